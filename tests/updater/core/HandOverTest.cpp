#include "HandOver.h"

#include "FakeClientFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

const char kClient[] = "C:\\V\\Vemli.exe";
const char kCopy[] = "C:\\V\\Vemli.exe.bak";
const char kSetup[] = "C:\\T\\VemliSetup.exe";
const char kArgs[] = " /S /D=C:\\V";

class CFakeHandOver : public CFakeClientFiles<CHandOver> {
public:
    bool m_agrees = true;
    bool m_guardStarts = true;
    using CHandOver::Run;

protected:
    bool CloseClient() override {
        m_calls.push_back("close");
        return m_agrees;
    }
    void PauseForClient() override { m_calls.push_back("pause"); }
    bool StartGuard(bool clientAgreed) override {
        m_calls.push_back(std::string("guard ") + (clientAgreed ? "agreed" : "refused"));
        return m_guardStarts;
    }
};

TEST(HandOver, WithAGuardTheUpdaterOnlyAsksStartsAndPauses) {
    for (const bool agrees : {true, false}) {
        CFakeHandOver fake;
        fake.m_agrees = agrees;
        fake.m_files[kClient] = "old client";
        EXPECT_TRUE(fake.Run(kClient, kSetup, kArgs));
        const std::vector<std::string> expected = {
            "close", agrees ? "guard agreed" : "guard refused", "pause"};
        EXPECT_EQ(fake.m_calls, expected);
        EXPECT_EQ(fake.m_files.size(), 1u);
    }
}

struct FallbackCase {
    const char* label;
    bool clientExists;
    bool clientRunning;
    bool copyFails;
    bool renameFails;
    bool setupStarts;
    // Expected outcome.
    bool clientAfter;
    bool copyAfter;
    const char* filesWhenSetupStarts;
};

void PrintTo(const FallbackCase& c, std::ostream* os) {
    *os << c.label;
}

class HandOverWithoutGuard : public ::testing::TestWithParam<FallbackCase> {};

// No guard: the hand-over of before, except that the copy of the client
// stays once the setup has started.
TEST_P(HandOverWithoutGuard, NeverLeavesTheUserWithoutAClient) {
    const FallbackCase& c = GetParam();
    CFakeHandOver fake;
    fake.m_guardStarts = false;
    if (c.clientExists) {
        fake.m_files[kClient] = "old client";
    }
    fake.m_runningClient = c.clientRunning ? kClient : "";
    fake.m_copyFails = c.copyFails;
    fake.m_renameFails = c.renameFails;
    fake.m_setupStarts = c.setupStarts;

    EXPECT_EQ(fake.Run(kClient, kSetup, kArgs), c.setupStarts);

    ASSERT_GE(fake.m_calls.size(), 3u);
    EXPECT_EQ(fake.m_calls[2], "pause");
    EXPECT_EQ(fake.m_filesWhenSetupStarted, c.filesWhenSetupStarts);
    EXPECT_EQ(fake.m_files.count(kClient) != 0, c.clientAfter);
    EXPECT_EQ(fake.m_files.count(kCopy) != 0, c.copyAfter);
    for (const auto& file : fake.m_files) {
        EXPECT_EQ(file.second, "old client") << file.first;
    }
}

const std::string kCopyOnly = std::string(kCopy) + ";";
const std::string kClientOnly = std::string(kClient) + ";";
const std::string kBoth = kClientOnly + kCopyOnly;

const FallbackCase kFallbacks[] = {
    // label                                 exists running copyF renameF starts
    {"setup starts: the copy stays", true, false, false, false, true, false, true,
     kCopyOnly.c_str()},
    {"setup cannot start: client put back", true, false, false, false, false, true, false,
     kCopyOnly.c_str()},
    {"client still running keeps its file", true, true, false, false, true, true, true,
     kBoth.c_str()},
    {"no copy possible: client not deleted", true, false, true, false, true, true, false,
     kClientOnly.c_str()},
    {"restore fails: copied back", true, false, false, true, false, true, false, kCopyOnly.c_str()},
    {"no client file at all", false, false, false, false, true, false, false, ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, HandOverWithoutGuard, ::testing::ValuesIn(kFallbacks));

TEST(HandOver, KeepsTheUsersFilesUnderTheCopyNames) {
    // The user keeps a "Vemli.exe.bak" of their own: the copy takes the next
    // free name, and only that copy is ever removed or put back.
    for (const bool setupStarts : {true, false}) {
        CFakeHandOver fake;
        fake.m_guardStarts = false;
        fake.m_files[kClient] = "old client";
        fake.m_files[kCopy] = "user's file";
        fake.m_setupStarts = setupStarts;
        EXPECT_EQ(fake.Run(kClient, kSetup, kArgs), setupStarts);
        EXPECT_EQ(fake.m_files[kCopy], "user's file");
        EXPECT_EQ(fake.m_files.count("C:\\V\\Vemli.exe.1.bak"), setupStarts ? 1u : 0u);
        EXPECT_EQ(fake.m_files.count(kClient), setupStarts ? 0u : 1u);
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
        fake.m_guardStarts = false;
        fake.m_files[longClient] = "old client";
        EXPECT_TRUE(fake.Run(client, kSetup, kArgs));
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
