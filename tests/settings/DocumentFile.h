// A scratch file holding exact bytes, removed again when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

class CDocumentFile {
public:
    explicit CDocumentFile(const std::string& bytes) {
        static int serial = 0;
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            info != nullptr ? std::string(info->test_suite_name()) + "_" + info->name() : "doc";
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        m_path =
            ::testing::TempDir() + "settings_" + std::to_string(++serial) + "_" + name + ".ini";
        std::FILE* f = std::fopen(m_path.c_str(), "wb");
        if (f != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    ~CDocumentFile() { std::remove(m_path.c_str()); }
    CDocumentFile(const CDocumentFile&) = delete;
    CDocumentFile& operator=(const CDocumentFile&) = delete;

    const char* Path() const { return m_path.c_str(); }

private:
    std::string m_path;
};
