#include "HandOver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

const char kClient[] = "C:\\V\\Vemli.exe";
const char kCopy[] = "C:\\V\\Vemli.exe.bak";
const char kSetup[] = "C:\\T\\VemliSetup.exe";
const char kArgs[] = " /S /D=C:\\V";

// Files as a map from path to content, with switches for what fails.
class CFakeHandOver : public CHandOver {
public:
    std::map<std::string, std::string> m_files;
    bool m_clientRunning = false; // the running client's file cannot be deleted
    bool m_copyFails = false;
    bool m_renameFails = false;
    bool m_setupStarts = true;
    std::vector<std::string> m_calls;
    std::string m_filesWhenSetupStarted;

protected:
    void CloseClient() override { m_calls.push_back("close"); }
    void PauseForClient() override { m_calls.push_back("pause"); }
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
        if (m_clientRunning && path == std::string(kClient)) {
            return false;
        }
        return m_files.erase(path) != 0;
    }
    bool Rename(const char* from, const char* to) override {
        m_calls.push_back("rename");
        if (m_renameFails || !m_files.count(from) || m_files.count(to)) {
            return false;
        }
        m_files[to] = m_files[from];
        m_files.erase(from);
        return true;
    }
    bool StartSetup(const char* path, const char* arguments) override {
        m_calls.push_back(std::string("setup ") + path + "|" + arguments);
        m_filesWhenSetupStarted = m_files.count(kClient) ? "client" : "no client";
        return m_setupStarts;
    }

public:
    using CHandOver::Run;
};

struct HandOverCase {
    const char* label;
    bool clientExists;
    bool clientRunning;
    bool copyFails;
    bool renameFails;
    bool setupStarts;
    // Expected outcome.
    bool started;
    bool clientAfter;
    bool copyAfter;
    const char* clientWhenSetupStarts;
};

void PrintTo(const HandOverCase& c, std::ostream* os) {
    *os << c.label;
}

class HandOverTest : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(HandOverTest, NeverLeavesTheUserWithoutAClient) {
    const HandOverCase& c = GetParam();
    CFakeHandOver fake;
    if (c.clientExists) {
        fake.m_files[kClient] = "old client";
    }
    fake.m_files[kSetup] = "setup";
    fake.m_clientRunning = c.clientRunning;
    fake.m_copyFails = c.copyFails;
    fake.m_renameFails = c.renameFails;
    fake.m_setupStarts = c.setupStarts;

    EXPECT_EQ(fake.Run(kClient, kSetup, kArgs), c.started);

    ASSERT_GE(fake.m_calls.size(), 2u);
    EXPECT_EQ(fake.m_calls[0], "close");
    EXPECT_EQ(fake.m_calls[1], "pause");
    EXPECT_NE(std::find(fake.m_calls.begin(), fake.m_calls.end(),
                        std::string("setup ") + kSetup + "|" + kArgs),
              fake.m_calls.end());
    EXPECT_EQ(fake.m_filesWhenSetupStarted, c.clientWhenSetupStarts);
    EXPECT_EQ(fake.m_files.count(kClient) != 0, c.clientAfter);
    EXPECT_EQ(fake.m_files.count(kCopy) != 0, c.copyAfter);
    if (fake.m_files.count(kClient) != 0) {
        EXPECT_EQ(fake.m_files[kClient], "old client"); // the client's bytes, not a stand-in
    }
}

const HandOverCase kHandOvers[] = {
    // label                                 exists running copyF renameF starts
    {"setup starts: client gone, copy gone", true, false, false, false, true, true, false, false,
     "no client"},
    {"setup cannot start: client put back", true, false, false, false, false, false, true, false,
     "no client"},
    {"client still running keeps its file", true, true, false, false, true, true, true, false,
     "client"},
    {"running client, setup fails: copy dropped", true, true, false, false, false, false, true,
     false, "client"},
    {"no copy possible: client not deleted", true, false, true, false, false, false, true, false,
     "client"},
    {"no copy possible, setup starts", true, false, true, false, true, true, true, false, "client"},
    {"restore fails: copy stays", true, false, false, true, false, false, false, true, "no client"},
    {"no client file at all", false, false, false, false, true, true, false, false, "no client"},
    {"no client file, setup fails", false, false, false, false, false, false, false, false,
     "no client"},
};

INSTANTIATE_TEST_SUITE_P(Cases, HandOverTest, ::testing::ValuesIn(kHandOvers));

TEST(HandOver, CopyIsTakenBeforeTheClientIsDeleted) {
    CFakeHandOver fake;
    fake.m_files[kClient] = "old client";
    fake.Run(kClient, kSetup, kArgs);
    const std::vector<std::string> expected = {
        "close",
        "pause",
        std::string("copy ") + kCopy,
        std::string("remove ") + kClient,
        std::string("setup ") + kSetup + "|" + kArgs,
        std::string("remove ") + kCopy,
    };
    EXPECT_EQ(fake.m_calls, expected);
}

TEST(HandOver, KeepsTheUsersFilesUnderTheCopyNames) {
    // The user keeps a "Vemli.exe.bak" of their own: the copy takes the next
    // free name, and only the copy is removed afterwards.
    for (const bool setupStarts : {true, false}) {
        CFakeHandOver fake;
        fake.m_files[kClient] = "old client";
        fake.m_files[kCopy] = "user's file";
        fake.m_setupStarts = setupStarts;
        EXPECT_EQ(fake.Run(kClient, kSetup, kArgs), setupStarts);
        EXPECT_EQ(fake.m_files[kCopy], "user's file");
        EXPECT_EQ(fake.m_files.count("C:\\V\\Vemli.exe.1.bak"), 0u);
        EXPECT_EQ(fake.m_files.count(kClient), setupStarts ? 0u : 1u);
        EXPECT_EQ(fake.m_filesWhenSetupStarted, "no client");
    }
}

TEST(HandOver, WithoutARoomForTheCopyTheSetupStillStarts) {
    // Folders whose client path fits in 260 bytes but not with ".bak", and a
    // folder too long to name the client at all.
    const std::string longClient = "C:\\" + std::string(245, 'f') + "\\Vemli.exe";
    ASSERT_LT(longClient.size(), 260u);
    ASSERT_GE(longClient.size() + 4, 260u);
    for (const char* client : {longClient.c_str(), static_cast<const char*>(nullptr)}) {
        CFakeHandOver fake;
        fake.m_files[longClient] = "old client";
        EXPECT_TRUE(fake.Run(client, kSetup, kArgs));
        EXPECT_EQ(fake.m_calls.front(), "close");
        EXPECT_EQ(fake.m_files[longClient], "old client");
        EXPECT_EQ(fake.m_files.size(), 1u) << (client ? "long" : "null"); // no copy left
        for (const std::string& call : fake.m_calls) {
            EXPECT_EQ(call.rfind("remove", 0), std::string::npos) << call;
        }
    }
}

TEST(HandOver, CopyNames) {
    char out[32] = "unchanged";
    const struct {
        const char* client;
        unsigned index;
        std::size_t size;
        const char* expected; // null: refused
    } cases[] = {
        {"C:\\Vemli.exe", 0, sizeof out, "C:\\Vemli.exe.bak"},
        {"C:\\Vemli.exe", 1, sizeof out, "C:\\Vemli.exe.1.bak"},
        {"C:\\Vemli.exe", 12, sizeof out, "C:\\Vemli.exe.12.bak"},
        {"C:\\Vemli.exe", 0, 17, "C:\\Vemli.exe.bak"},
        {"C:\\Vemli.exe", 0, 16, nullptr},
        {nullptr, 0, sizeof out, nullptr},
    };
    for (const auto& c : cases) {
        std::snprintf(out, sizeof out, "unchanged");
        EXPECT_EQ(updater::ClientCopyName(c.client, c.index, out, c.size), c.expected != nullptr);
        EXPECT_STREQ(out, c.expected ? c.expected : "unchanged") << c.index << " " << c.size;
    }
}

} // namespace
