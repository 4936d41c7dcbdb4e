// Stands in for the user at the system's dialogs: folder pickers and Save
// dialogs answer from a script, message boxes are recorded and answered.
#pragma once

#include "ShellDialogs.h"

#include <deque>
#include <string>
#include <vector>

class CScriptedShell : public CShellDialogs {
public:
    // Answers of the next pickers in turn; an empty one cancels.
    std::deque<std::wstring> m_folders;
    std::deque<std::wstring> m_saveFiles;
    // What the dialogs were asked.
    std::vector<std::wstring> m_folderStarts;
    std::vector<SaveRequest> m_saveRequests;
    std::vector<std::wstring> m_messages;
    std::vector<std::wstring> m_shown;
    int m_messageAnswer = IDOK;

    bool PickFolder(HWND, const std::wstring&, const std::wstring& start,
                    std::wstring& chosen) override {
        m_folderStarts.push_back(start);
        return Next(m_folders, chosen);
    }
    bool PickSaveFile(HWND, const SaveRequest& request, std::wstring& chosen) override {
        m_saveRequests.push_back(request);
        return Next(m_saveFiles, chosen);
    }
    int Message(HWND, const std::wstring& text, UINT) override {
        m_messages.push_back(text);
        return m_messageAnswer;
    }
    bool ShowInFileManager(const std::wstring& path) override {
        m_shown.push_back(path);
        return true;
    }

private:
    static bool Next(std::deque<std::wstring>& answers, std::wstring& chosen) {
        if (answers.empty())
            return false;
        chosen = answers.front();
        answers.pop_front();
        return !chosen.empty();
    }
};
