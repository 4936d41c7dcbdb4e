// RunSetup on the real system: which paths start a program, with what.
#include "SetupLauncher.h"

#include "ScratchDir.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> WaitForRecord(const std::string& path) {
    std::map<std::string, std::string> record;
    WaitUntil(
        [&] {
            record.clear();
            std::ifstream in(path, std::ios::binary);
            std::string line;
            int lines = 0;
            while (std::getline(in, line)) {
                ++lines;
                const std::size_t equals = line.find('=');
                if (equals != std::string::npos) {
                    record[line.substr(0, equals)] = line.substr(equals + 1);
                }
            }
            return lines >= 5;
        },
        15000);
    return record;
}

// Counts the processes this test process starts from now on, however short
// their lives: the test process joins a job, which its children then join too.
class CChildCount {
public:
    CChildCount() : m_job(CreateJobObjectW(nullptr, nullptr)) {
        EXPECT_TRUE(m_job && AssignProcessToJobObject(m_job, GetCurrentProcess()));
        m_before = Total();
    }
    ~CChildCount() { CloseHandle(m_job); }
    CChildCount(const CChildCount&) = delete;
    CChildCount& operator=(const CChildCount&) = delete;
    DWORD Started() const { return Total() - m_before; }

private:
    DWORD Total() const {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
        EXPECT_TRUE(QueryInformationJobObject(m_job, JobObjectBasicAccountingInformation, &info,
                                              sizeof info, nullptr));
        return info.TotalProcesses;
    }
    HANDLE m_job;
    DWORD m_before = 0;
};

class RunSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        char previous[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof previous, previous);
        m_previous = previous;
        m_folder = m_scratch.Path().string();
        std::error_code error;
        fs::create_directories(m_folder + "\\sub", error);
        const std::string setup = BuildOutput(UPDATER_SETUP_STANDIN_EXE);
        ASSERT_TRUE(CopyFileA(setup.c_str(), (m_folder + "\\sub\\setup.exe").c_str(), FALSE));
        ASSERT_TRUE(SetCurrentDirectoryA(m_folder.c_str()));
    }
    void TearDown() override { SetCurrentDirectoryA(m_previous.c_str()); }

    std::string m_previous;
    CScratchDir m_scratch{"runsetup"};
    std::string m_folder;
};

TEST_F(RunSetupTest, RelativePathIsTakenFromTheCurrentFolder) {
    ASSERT_TRUE(updater::RunSetup("sub\\setup.exe", " /S /D=C:\\Target"));
    std::map<std::string, std::string> record = WaitForRecord(m_folder + "\\sub\\setup.exe.record");
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record["commandline"], " /S /D=C:\\Target"); // no program name in front
    EXPECT_EQ(record["path"], m_folder + "\\sub\\setup.exe");
    EXPECT_EQ(record["folder"], m_folder); // our current folder, inherited
}

TEST_F(RunSetupTest, AbsolutePathIsUsedUnchanged) {
    SetCurrentDirectoryA((m_folder + "\\sub").c_str()); // would double "sub" if joined
    ASSERT_TRUE(updater::RunSetup((m_folder + "\\sub\\setup.exe").c_str(), " /S /D=X"));
    std::map<std::string, std::string> record = WaitForRecord(m_folder + "\\sub\\setup.exe.record");
    EXPECT_EQ(record["commandline"], " /S /D=X");
}

TEST_F(RunSetupTest, NothingStartsForWhatIsNoProgramFile) {
    CChildCount children;
    std::ofstream(m_folder + "\\text.exe", std::ios::binary) << "only text";
    const char* paths[] = {"missing.exe", "sub", "sub\\", "text.exe", "", "setup.exe"};
    for (const char* path : paths) {
        EXPECT_FALSE(updater::RunSetup(path, " /S /D=X")) << path;
    }
    EXPECT_FALSE(updater::RunSetup(nullptr, " /S /D=X"));
    EXPECT_FALSE(updater::RunSetup("sub\\setup.exe", nullptr));
    EXPECT_EQ(children.Started(), 0u);
    // The count does see a setup that starts.
    ASSERT_TRUE(updater::RunSetup("sub\\setup.exe", " /S /D=X"));
    EXPECT_EQ(children.Started(), 1u);
    EXPECT_FALSE(WaitForRecord(m_folder + "\\sub\\setup.exe.record").empty());
}

} // namespace
