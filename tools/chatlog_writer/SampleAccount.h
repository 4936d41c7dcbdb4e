// Generated sample accounts: an account folder <dir>/<ownerkey>/ChatLog with
// one log per friend, Chinese nicknames and messages in GBK, and on request
// the damaged and misnamed entries the viewer has to cope with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// GBK sample texts (nicknames; messages, some of several lines).
const std::vector<std::string>& SampleNicknames();
const std::vector<std::string>& SampleMessages();

struct SampleAccountOptions {
    std::string baseDir;          // the client's folder
    std::uint32_t ownerFirst = 1; // the client's two numbers for the owner
    std::uint32_t ownerSecond = 23456789;
    std::string ownerName; // GBK; empty takes a sample nickname
    int friends = 3;
    int messagesPerFriend = 20;
    int bigFriendMessages = 0; // > 0: the first friend gets this many instead
    bool damaged = false;      // add the damaged and misnamed entries
    std::uint32_t seed = 1;
    std::int32_t startTime = 1767225600; // 2026-01-01 00:00:00 UTC
};

struct SampleFriend {
    std::uint32_t first = 0; // the numbers the client sends to select it
    std::uint32_t second = 0;
    std::string key;
    std::string name; // GBK
    std::string path;
    int messages = 0;
};

// One entry that the damaged set adds to the folder.
struct SampleDamagedEntry {
    std::string fileName;
    std::string what;    // a short English description
    bool listed = false; // passes the name rule and the header read
    int records = 0;     // records a reader should list when listed
};

struct SampleAccountResult {
    std::string ownerKey;
    std::string folder; // <baseDir>/<ownerKey>/ChatLog
    std::vector<SampleFriend> friends;
    std::vector<SampleDamagedEntry> damaged;
    std::uint64_t totalMessages = 0;
};

// Writes the account; false (with `error` set) if a folder or file cannot be
// written.
bool WriteSampleAccount(const SampleAccountOptions& options, SampleAccountResult& result,
                        std::string& error);

// Writes the damaged and misnamed entries into an existing folder.
bool WriteDamagedEntries(const std::string& folder, const std::string& ownerName,
                         std::int32_t startTime, std::vector<SampleDamagedEntry>& entries,
                         std::string& error);
