// The export job as the viewer runs it: a total known before the first byte,
// a cancel that leaves the output as it was, and the result's counts.
#include "ExportJob.h"

#include "SampleAccount.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Every file under `folder` with its bytes (none when it does not exist).
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    if (!fs::exists(folder, ec))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string& bytes = files[fs::relative(entry.path(), folder).generic_string()];
        if (entry.is_directory())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

SampleAccountResult WriteAccount(const fs::path& base, bool damaged) {
    SampleAccountOptions options;
    options.baseDir = base.string();
    options.friends = 3;
    options.messagesPerFriend = 1500;
    options.bigFriendMessages = 5000;
    options.damaged = damaged;
    SampleAccountResult account;
    std::string error;
    EXPECT_TRUE(WriteSampleAccount(options, account, error)) << error;
    return account;
}

struct Choice {
    ExportFormat format;
    ExportSplit split;
    bool toFolder;
    ExportOrder order;
    const char* fromDate;
};

const Choice kChoices[] = {
    {ExportFormat::Html, ExportSplit::Month, true, ExportOrder::Ascending, ""},
    {ExportFormat::Csv, ExportSplit::Default, true, ExportOrder::Descending, "2026-01-02"},
    {ExportFormat::Json, ExportSplit::Default, false, ExportOrder::Ascending, ""},
    {ExportFormat::Txt, ExportSplit::Count, true, ExportOrder::Descending, ""},
};

ExportJobSettings Settings(const Choice& c, const std::string& input, const fs::path& out) {
    ExportJobSettings settings;
    settings.options.inputs = {input};
    settings.options.format = c.format;
    settings.options.split = c.split;
    settings.options.splitCount = 1000;
    settings.options.order = c.order;
    settings.options.fromDate = c.fromDate;
    settings.options.output = out.string();
    settings.toFolder = c.toFolder;
    settings.countFirst = true;
    return settings;
}

} // namespace

TEST(ExportJob, ProgressKnowsItsTotalBeforeTheFirstByte) {
    CScratchDir scratch("exportjob");
    SampleAccountResult account = WriteAccount(scratch.Path() / "client", false);
    int n = 0;
    for (const Choice& c : kChoices) {
        fs::path out = scratch.Path() / ("out" + std::to_string(++n));
        ExportJobSettings settings = Settings(c, account.folder, c.toFolder ? out : out / "x");
        if (!c.toFolder)
            fs::create_directories(out);
        std::vector<ExportJobProgress> seen;
        ExportJobCallbacks callbacks;
        callbacks.progress = [&](const ExportJobProgress& p) {
            if (!p.counting)
                seen.push_back(p);
            return true;
        };
        ExportJobResult result = exporter::RunExportJob(settings, callbacks);
        ASSERT_EQ(result.ExitCode(), 0) << n;
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.front().messagesDone, 0u) << n;
        EXPECT_GT(result.messages, 0u) << n;
        std::uint64_t done = 0;
        for (const ExportJobProgress& p : seen) {
            EXPECT_EQ(p.messagesTotal, result.messages) << n; // never a guess, never changed
            EXPECT_GE(p.messagesDone, done) << n;
            done = p.messagesDone;
        }
        EXPECT_EQ(done, result.messages) << n;
        EXPECT_EQ(seen.back().friendsDone, account.friends.size()) << n;
        EXPECT_EQ(result.friends, account.friends.size()) << n;
        EXPECT_EQ(result.files, Snapshot(out).size() - (c.split == ExportSplit::Default ? 0 : 3))
            << n; // less the friends' folders
    }
}

// Cancelled half-way, into a folder that held an earlier export (other
// choices) or none: everything as it was, no temporary left.
TEST(ExportJob, CancelLeavesTheOutputAsItWas) {
    CScratchDir scratch("exportjob");
    SampleAccountResult account = WriteAccount(scratch.Path() / "client", false);
    int n = 0;
    for (const Choice& c : kChoices) {
        for (bool earlier : {true, false}) {
            fs::path out = scratch.Path() / ("out" + std::to_string(++n));
            ExportJobSettings settings = Settings(c, account.folder, c.toFolder ? out : out / "x");
            if (!c.toFolder)
                fs::create_directories(out);
            if (earlier) {
                ExportJobSettings before = settings;
                before.options.filter = kExportFilterSent;
                ASSERT_EQ(exporter::RunExportJob(before, {}).ExitCode(), 0) << n;
            }
            auto was = Snapshot(out);
            ExportJobCallbacks callbacks;
            callbacks.progress = [](const ExportJobProgress& p) {
                return p.messagesDone < p.messagesTotal / 2;
            };
            ExportJobResult result = exporter::RunExportJob(settings, callbacks);
            EXPECT_TRUE(result.cancelled) << n;
            EXPECT_EQ(Snapshot(out), was) << n;
        }
    }
}

TEST(ExportJob, ResultNamesTheDamagedLogs) {
    CScratchDir scratch("exportjob");
    SampleAccountResult account = WriteAccount(scratch.Path() / "client", true);
    ExportJobSettings settings = Settings(kChoices[1], account.folder, scratch.Path() / "out");
    ExportJobResult result = exporter::RunExportJob(settings, {});
    EXPECT_EQ(result.ExitCode(), 2);
    EXPECT_FALSE(result.cancelled || result.refused);
    std::size_t expected = 0;
    for (const SampleDamagedEntry& entry : account.damaged) {
        bool found = false;
        for (const ExportDamagedLog& log : result.damaged)
            found = found || fs::path(log.path).filename() == entry.fileName;
        bool cut = entry.what.find("truncated") != std::string::npos ||
                   entry.what.find("wLength") != std::string::npos ||
                   entry.what.find("shorter") != std::string::npos;
        expected += cut;
        if (cut) {
            EXPECT_TRUE(found) << entry.fileName << ": " << entry.what;
        }
    }
    EXPECT_GE(result.damaged.size(), expected);
    EXPECT_EQ(result.files, Snapshot(scratch.Path() / "out").size());
}
