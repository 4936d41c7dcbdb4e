// What only POSIX lets happen to a folder export: a symbolic link planted
// where it writes, a log shrunk under its mapped walk, and a full disk.
#include "ExportJob.h"
#include "OutputSink.h"
#include "SampleAccount.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

SampleAccountResult WriteAccount(const fs::path& base, int bigFriend) {
    SampleAccountOptions options;
    options.baseDir = base.string();
    options.friends = 2;
    options.messagesPerFriend = 40;
    options.bigFriendMessages = bigFriend;
    SampleAccountResult account;
    std::string error;
    EXPECT_TRUE(WriteSampleAccount(options, account, error)) << error;
    return account;
}

bool HasTemporary(const fs::path& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.path().filename().string().find(".tmp-") != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

// A link named as a friend's folder (pages) or file (one per friend), or as
// the account index: refused, nothing written where it points, the other
// friend exported.
TEST(FolderExportPosix, RefusesSymbolicLinks) {
    CScratchDir scratch("exportposix");
    SampleAccountResult account = WriteAccount(scratch.Path() / "client", 0);
    const std::string stem = fs::path(account.friends[0].path).stem().string();
    struct Case {
        ExportFormat format;
        std::string linkName;
        bool folder;
    };
    const Case cases[] = {{ExportFormat::Html, stem, true},
                          {ExportFormat::Csv, stem + ".csv", false},
                          {ExportFormat::Json, "index.json", false}};
    int n = 0;
    for (const Case& c : cases) {
        fs::path out = scratch.Path() / ("out" + std::to_string(++n));
        fs::path elsewhere = scratch.Path() / ("elsewhere" + std::to_string(n));
        fs::create_directories(out);
        if (c.folder)
            fs::create_directories(elsewhere);
        else
            std::ofstream(elsewhere) << "theirs";
        fs::create_symlink(elsewhere, out / c.linkName);
        ExportJobSettings settings;
        settings.options.inputs = {account.folder};
        settings.options.format = c.format;
        settings.options.output = out.string();
        settings.toFolder = true;
        ExportJobResult result = exporter::RunExportJob(settings, {});
        EXPECT_EQ(result.ExitCode(), 2) << c.linkName;
        ASSERT_FALSE(result.problems.empty()) << c.linkName;
        EXPECT_NE(result.problems[0].find("symbolic link"), std::string::npos)
            << result.problems[0];
        if (c.folder) {
            EXPECT_TRUE(fs::is_empty(elsewhere)) << c.linkName;
        } else {
            std::ifstream in(elsewhere);
            std::string text((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
            EXPECT_EQ(text, "theirs") << c.linkName;
        }
        EXPECT_TRUE(fs::is_symlink(out / c.linkName)) << c.linkName;
        EXPECT_GE(result.friends, 1u) << c.linkName;
    }
}

// The log shrinks to half while the walk is in it: the walk ends there as
// at damage (no SIGBUS), what was read is written, no temporary is left.
TEST(FolderExportPosix, LogShrunkDuringTheWalkEndsAsDamage) {
    CScratchDir scratch("exportposix");
    SampleAccountResult account = WriteAccount(scratch.Path() / "client", 60000);
    const fs::path log = account.friends[0].path;
    for (ExportOrder order : {ExportOrder::Ascending, ExportOrder::Descending}) {
        fs::path copy = scratch.Path() / (order == ExportOrder::Ascending ? "a.dat" : "d.dat");
        fs::copy_file(log, copy);
        const std::uintmax_t size = fs::file_size(copy);
        fs::path out = scratch.Path() / (copy.stem().string() + "-out");
        ExportJobSettings settings;
        settings.options.inputs = {copy.string()};
        settings.options.format = ExportFormat::Csv;
        settings.options.order = order;
        settings.options.output = out.string();
        settings.toFolder = true;
        bool shrunk = false;
        ExportJobCallbacks callbacks;
        callbacks.progress = [&](const ExportJobProgress& p) {
            if (!shrunk && p.messagesDone >= 2048) {
                fs::resize_file(copy, size / 2);
                shrunk = true;
            }
            return true;
        };
        ExportJobResult result = exporter::RunExportJob(settings, callbacks);
        EXPECT_TRUE(shrunk);
        EXPECT_EQ(result.ExitCode(), 2);
        ASSERT_EQ(result.damaged.size(), 1u);
        EXPECT_NE(result.damaged[0].what.find("shrank"), std::string::npos)
            << result.damaged[0].what;
        EXPECT_GT(result.messages, 2048u);
        EXPECT_LT(result.messages, 60000u);
        EXPECT_TRUE(fs::exists(out / (copy.stem().string() + ".csv")));
        EXPECT_FALSE(HasTemporary(out));
    }
}

// A disk that fills: /dev/full refuses every write with ENOSPC, and the
// failure names the file and the system's reason.
TEST(FolderExportPosix, AFullDiskIsNamedInTheFailure) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    COutputSink sink(full);
    sink.Text().assign(1 << 17, 'x');
    sink.Flush();
    std::fclose(full);
    EXPECT_FALSE(sink.Ok());
    EXPECT_EQ(sink.WriteFailure("out.html"),
              "out.html: cannot write: " + std::string(std::strerror(ENOSPC)));
}
