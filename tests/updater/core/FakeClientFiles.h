// The file services of a hand-over over a map from path to content, with
// switches for what fails, for the hand-over's and the guard's tables.
#pragma once

#include <map>
#include <string>
#include <vector>

template <class Base> class CFakeClientFiles : public Base {
public:
    std::map<std::string, std::string> m_files;
    std::string m_runningClient; // a running client's file cannot be deleted
    bool m_copyFails = false;
    bool m_renameFails = false;
    bool m_setupStarts = true;
    std::vector<std::string> m_calls;
    std::string m_filesWhenSetupStarted;

protected:
    bool FileExists(const char* path) override { return m_files.count(path) != 0; }
    bool CopyToNew(const char* from, const char* to) override {
        m_calls.push_back(std::string("copy ") + to);
        if (m_copyFails || !m_files.count(from) || m_files.count(to)) {
            return false;
        }
        m_files[to] = m_files[from];
        return true;
    }
    bool Remove(const char* path) override {
        m_calls.push_back(std::string("remove ") + path);
        if (path == m_runningClient) {
            return false;
        }
        return m_files.erase(path) != 0;
    }
    bool Rename(const char* from, const char* to) override {
        m_calls.push_back(std::string("rename ") + to);
        if (m_renameFails || !m_files.count(from) || m_files.count(to)) {
            return false;
        }
        m_files[to] = m_files[from];
        m_files.erase(from);
        return true;
    }
    bool StartSetup(const char* path, const char* arguments) override {
        m_calls.push_back(std::string("setup ") + path + "|" + arguments);
        m_filesWhenSetupStarted = "";
        for (const auto& file : m_files) {
            m_filesWhenSetupStarted += file.first + ";";
        }
        return m_setupStarts;
    }
};
