// The bytes and texts the chat log file tests build their logs from.
#pragma once

#include "ChatLogFile.h"
#include "ChatLogWriter.h"

#include <cstdint>
#include <string>
#include <vector>

inline std::string Header(const std::string& key = "555", const std::string& owner = "me",
                          const std::string& name = "\xd5\xc5\xc8\xfd") {
    return BuildHeaderBytes({key, owner, name});
}

inline std::vector<std::string> Contents(CChatLogFile& log) {
    chatlog::ChatLogRecordIndex index;
    log.EnumRecords(index);
    std::vector<std::string> texts;
    for (chatlog::ChatLogRecordPos p : index)
        texts.emplace_back(chatlog::RecordContent(p));
    return texts;
}

inline std::string Recs(int count, const std::string& stem = "m") {
    std::string out;
    for (int i = 0; i < count; ++i)
        out +=
            BuildRecordBytes(1000 + i, static_cast<std::uint32_t>(i % 3), stem + std::to_string(i));
    return out;
}

inline std::vector<std::string> Texts(int count, const std::string& stem = "m") {
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(stem + std::to_string(i));
    return out;
}
