// POSIX: an output file is never readable by more people than the file it
// replaces, or than the umask allows for a new one, neither while it is
// written nor after (Windows keeps the folder's inherited permissions).
#include "AtomicOutputFile.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777) : 01000;
}

} // namespace

TEST(OutputFileMode, TemporaryAndResultKeepTheReplacedModeOrTheUmask) {
    struct Case {
        mode_t existing; // 0: no file there yet
        mode_t umask;
        mode_t expected;
    };
    const Case cases[] = {
        {0600, 022, 0600}, {0640, 022, 0640}, {0644, 077, 0644}, {0400, 022, 0400},
        {0, 022, 0644},    {0, 077, 0600},    {0, 002, 0664},
    };
    CScratchDir scratch("exporter");
    int n = 0;
    for (const Case& c : cases) {
        fs::path folder = scratch.Path() / std::to_string(n++);
        fs::create_directories(folder);
        fs::path target = folder / "out.csv";
        if (c.existing) {
            std::ofstream(target) << "old";
            ASSERT_EQ(chmod(target.c_str(), c.existing), 0);
        }
        mode_t saved = umask(c.umask);
        CAtomicOutputFile file;
        std::string error;
        bool created = file.Create(target, error);
        umask(saved);
        ASSERT_TRUE(created) << error;
        mode_t during = 01000;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.path() != target)
                during = ModeOf(entry.path());
        }
        EXPECT_EQ(during, c.expected) << std::oct << c.existing << " umask " << c.umask;
        ASSERT_TRUE(file.Commit(error)) << error;
        EXPECT_EQ(ModeOf(target), c.expected) << std::oct << c.existing << " umask " << c.umask;
    }
}
