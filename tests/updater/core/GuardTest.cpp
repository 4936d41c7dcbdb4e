// The guard's sequence and its rules: what it does once the setup ended.
#include "Guard.h"

#include "FakeClientFiles.h"
#include "GuardRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

const char kClient[] = "C:\\V\\Vemli.exe";
const char kCopy[] = "C:\\V\\Vemli.exe.bak";
const char kSetup[] = "C:\\T\\VemliGuard-1\\VemliSetup.exe";
const char kArgs[] = " /S /D=C:\\V";

// What the setup does to the install folder while the guard waits.
enum class Setup { NewClient, NoClient, Running, RunningWithClient };

class CFakeGuard : public CFakeClientFiles<CGuard> {
public:
    Setup m_setup = Setup::NewClient;
    using CGuard::Run;

protected:
    void WaitForUpdater() override { m_calls.push_back("wait updater"); }
    bool WaitForSetup() override {
        m_calls.push_back("wait setup");
        if (m_setup == Setup::NewClient || m_setup == Setup::RunningWithClient) {
            m_files[kClient] = "new client";
        }
        return m_setup == Setup::NewClient || m_setup == Setup::NoClient;
    }
    void RecordFailure() override { m_calls.push_back("record"); }
    void ReleaseInstance() override { m_calls.push_back("release"); }
    void RestartClient(const char* clientPath) override {
        m_calls.push_back(std::string("restart ") + clientPath);
    }
};

struct GuardCase {
    const char* label;
    Setup setup;
    bool setupStarts;
    bool agreed;
    bool renameFails;
    bool clientRunning; // the client refused to quit: its file stays
    // Expected.
    const char* clientAfter; // content, or "" for none
    bool copyAfter;
    bool recorded;
    bool restarted;
};

void PrintTo(const GuardCase& c, std::ostream* os) {
    *os << c.label;
}

class GuardRun : public ::testing::TestWithParam<GuardCase> {};

TEST_P(GuardRun, GivesTheClientBackWhenTheSetupLeftNone) {
    const GuardCase& c = GetParam();
    CFakeGuard fake;
    fake.m_files[kClient] = "old client";
    fake.m_setup = c.setup;
    fake.m_setupStarts = c.setupStarts;
    fake.m_renameFails = c.renameFails;
    fake.m_runningClient = c.clientRunning ? kClient : "";

    fake.Run(kClient, kSetup, kArgs, c.agreed);

    const std::vector<std::string>& calls = fake.m_calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "wait updater");
    EXPECT_EQ(calls[1], std::string("copy ") + kCopy);
    const auto has = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    };
    EXPECT_EQ(has("wait setup"), c.setupStarts);
    EXPECT_EQ(fake.m_files.count(kClient) ? fake.m_files[kClient] : "", c.clientAfter);
    EXPECT_EQ(fake.m_files.count(kCopy) != 0, c.copyAfter);
    EXPECT_EQ(has("record"), c.recorded);
    EXPECT_EQ(has(std::string("restart ") + kClient), c.restarted);
    // The instance is let go before the client starts (it may start an updater).
    const auto release = std::find(calls.begin(), calls.end(), "release");
    ASSERT_NE(release, calls.end());
    EXPECT_EQ(release + (c.restarted ? 2 : 1), calls.end());
}

const GuardCase kGuardCases[] = {
    // label                                setup  starts agreed renameF running
    {"new client: copy dropped", Setup::NewClient, true, true, false, false, "new client", false,
     false, false},
    {"no client left: put back, restarted", Setup::NoClient, true, true, false, false, "old client",
     false, true, true},
    {"no client, had not agreed: not restarted", Setup::NoClient, true, false, false, false,
     "old client", false, true, false},
    {"rename fails: copied back", Setup::NoClient, true, true, true, false, "old client", false,
     true, true},
    {"setup cannot start: put back", Setup::NoClient, false, true, false, false, "old client",
     false, true, true},
    {"past the limit without a client: put back", Setup::Running, true, true, false, false,
     "old client", false, true, true},
    {"past the limit with a client: copy kept", Setup::RunningWithClient, true, true, false, false,
     "new client", true, false, false},
    {"client refused and runs: its file stays", Setup::NoClient, true, false, false, true,
     "old client", false, false, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, GuardRun, ::testing::ValuesIn(kGuardCases));

TEST(GuardRun, TheSetupStartsWithoutTheClientAfterTheUpdaterEnded) {
    CFakeGuard fake;
    fake.m_files[kClient] = "old client";
    fake.Run(kClient, kSetup, kArgs, true);
    const std::vector<std::string> expected = {
        "wait updater",
        std::string("copy ") + kCopy,
        std::string("remove ") + kClient,
        std::string("setup ") + kSetup + "|" + kArgs,
        "wait setup",
        std::string("remove ") + kCopy,
        "release",
    };
    EXPECT_EQ(fake.m_calls, expected);
    EXPECT_EQ(fake.m_filesWhenSetupStarted, std::string(kCopy) + ";");
}

TEST(GuardRules, FolderNames) {
    char name[64];
    ASSERT_TRUE(updater::FormatGuardFolderName(0x1A2B, 0xFFFFFFFFFull, 3, name, sizeof name));
    EXPECT_STREQ(name, "VemliGuard-1A2B-FFFFFFFFF-3");
    EXPECT_TRUE(updater::IsGuardFolderName(name));
    EXPECT_FALSE(updater::FormatGuardFolderName(1, 1, 0, name, 16)); // "VemliGuard-1-1-0"
    EXPECT_TRUE(updater::FormatGuardFolderName(1, 1, 0, name, 17));

    const std::string longest = "VemliGuard-" + std::string(40, 'A');
    const std::string tooLong = longest + "A";

    const struct {
        const char* name;
        bool ours;
    } cases[] = {
        {"VemliGuard-0", true},
        {"VemliGuard-", false},
        {"VemliGuard--1", false},
        {"VemliGuard-1-", false},
        {"VemliGuard-1.tmp", false},
        {"vemliguard-1", false},
        {"VemliGuard-1\\..", false},
        {"Vemli", false},
        {nullptr, false},
        {longest.c_str(), true},
        {tooLong.c_str(), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(updater::IsGuardFolderName(c.name), c.ours) << (c.name ? c.name : "(null)");
    }
}

TEST(GuardRules, TheLimitCanOnlyBeShortened) {
    const std::uint32_t full = updater::kGuardSetupLimitMs;
    const struct {
        const char* value;
        std::uint32_t limit;
    } cases[] = {
        {nullptr, full}, {"", full},           {"3000", 3000},    {"1", 1},
        {"0", full},     {"1800000", 1800000}, {"1800001", full}, {"99999999999", full},
        {"-5", full},    {" 3000", full},      {"3000ms", full},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(updater::GuardSetupLimitMs(c.value), c.limit) << (c.value ? c.value : "(null)");
    }
}

} // namespace
