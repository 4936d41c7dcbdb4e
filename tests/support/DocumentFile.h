// A scratch file holding exact bytes, removed again when the test ends.
#pragma once

#include "ScratchDir.h"

#include <cstdio>
#include <string>

class CDocumentFile {
public:
    explicit CDocumentFile(const std::string& bytes) : m_path(m_dir.File("document.ini")) {
        std::FILE* f = std::fopen(m_path.c_str(), "wb");
        if (f != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    CDocumentFile(const CDocumentFile&) = delete;
    CDocumentFile& operator=(const CDocumentFile&) = delete;

    const char* Path() const { return m_path.c_str(); }

private:
    CScratchDir m_dir{"document"};
    std::string m_path;
};
