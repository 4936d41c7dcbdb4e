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

// The viewer's logs were listed earlier: one gone by now is named and the
// others exported (refused only when none is left); a path typed on the
// command line that is gone refuses the export.
TEST(ExportJob, ALogGoneSinceItWasListed) {
    CScratchDir scratch("exportjob");
    SampleAccountResult account = WriteAccount(scratch.Path() / "client", false);
    const struct {
        bool listed;
        bool all; // every log gone, else the first
        bool refused;
    } cases[] = {{true, false, false}, {false, false, true}, {true, true, true}};
    int n = 0;
    for (const auto& c : cases) {
        const std::size_t gone = c.all ? account.friends.size() : 1;
        ExportJobSettings settings =
            Settings(kChoices[2], "", scratch.Path() / ("out" + std::to_string(++n)));
        settings.options.inputs.clear();
        for (const SampleFriend& f : account.friends)
            settings.options.inputs.push_back(f.path);
        settings.inputsListedEarlier = c.listed;
        fs::path hidden = scratch.Path() / "hidden";
        fs::create_directories(hidden);
        for (std::size_t i = 0; i < gone; ++i)
            fs::rename(settings.options.inputs[i], hidden / std::to_string(i));
        ExportJobResult result = exporter::RunExportJob(settings, {});
        EXPECT_EQ(result.refused, c.refused) << n;
        EXPECT_EQ(result.damaged.size(), c.listed ? gone : 0u) << n;
        EXPECT_EQ(result.friends, c.refused ? 0u : account.friends.size() - gone) << n;
        for (std::size_t i = 0; i < gone; ++i)
            fs::rename(hidden / std::to_string(i), settings.options.inputs[i]);
    }
}

// --friend by key or nickname; a nickname two friends share, or a value
// that names no one, refuses the export with the keys named.
TEST(ExportJob, FriendsByKeyOrNickname) {
    CScratchDir scratch("exportjob");
    SampleAccountResult account = WriteAccount(scratch.Path() / "client", false);
    const fs::path twin = fs::path(account.folder) / "77.dat";
    fs::copy_file(account.friends[1].path, twin);
    std::vector<ExportFriendSummary> listed;
    ExportJobSettings settings = Settings(kChoices[2], account.folder, scratch.Path() / "x.json");
    ASSERT_EQ(exporter::ListExportFriends(settings, {}, listed).ExitCode(), 0);
    ASSERT_EQ(listed.size(), 4u);
    const std::string first = account.friends[0].key;
    std::string firstName, shared; // the copied log's nickname: its key is its source's
    for (const ExportFriendSummary& f : listed) {
        shared = fs::path(f.path).filename() == "77.dat" ? f.name : shared;
        firstName = f.key == first ? f.name : firstName;
    }
    struct Case {
        std::string value;
        int exit;
        std::size_t friends;
        std::string problemPart;
    };
    const Case cases[] = {
        {first, 0, 1, ""},
        {firstName, 0, 1, ""},
        {shared, 0, 2, ""}, // one key, two logs
        {"nobody", 64, 0, "no friend has this key or nickname"},
    };
    for (const Case& c : cases) {
        settings.options.friendKeys = {c.value};
        ExportJobResult result = exporter::RunExportJob(settings, {});
        EXPECT_EQ(result.ExitCode(), c.exit) << c.value;
        EXPECT_EQ(result.friends, c.friends) << c.value;
        std::string problems;
        for (const std::string& p : result.problems)
            problems += p;
        EXPECT_NE(problems.find(c.problemPart), std::string::npos) << problems;
    }
    // Two friends of one nickname with different keys.
    fs::copy_file(account.friends[0].path, fs::path(account.folder) / "78.dat");
    std::ifstream source(account.friends[0].path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    bytes.replace(bytes.find(account.friends[0].key), account.friends[0].key.size(),
                  std::string(account.friends[0].key.size(), '5'));
    std::ofstream(fs::path(account.folder) / "78.dat", std::ios::binary) << bytes;
    settings.options.friendKeys = {firstName};
    ExportJobResult result = exporter::RunExportJob(settings, {});
    EXPECT_EQ(result.ExitCode(), 64);
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_NE(result.problems[0].find(std::string(account.friends[0].key.size(), '5')),
              std::string::npos)
        << result.problems[0];
}

// --list and the folder indexes take the friends in the order the viewer's
// tree shows them: the folder listing's.
TEST(ExportJob, ListsFriendsInTheTreeOrder) {
    CScratchDir scratch("exportjob");
    SampleAccountOptions options;
    options.baseDir = (scratch.Path() / "client").string();
    options.friends = 12;
    options.messagesPerFriend = 3;
    SampleAccountResult account;
    std::string error;
    ASSERT_TRUE(WriteSampleAccount(options, account, error)) << error;
    std::vector<std::string> listing;
    for (const auto& entry : fs::directory_iterator(account.folder))
        listing.push_back(entry.path().filename().string());
    std::vector<ExportFriendSummary> listed;
    ExportJobSettings settings = Settings(kChoices[1], account.folder, scratch.Path() / "out");
    ASSERT_EQ(exporter::ListExportFriends(settings, {}, listed).ExitCode(), 0);
    std::vector<std::string> names;
    for (const ExportFriendSummary& f : listed) {
        names.push_back(fs::path(f.path).filename().string());
        EXPECT_EQ(f.messages, 3u) << f.key;
        EXPECT_FALSE(f.firstDate.empty() || f.lastDate < f.firstDate) << f.key;
    }
    EXPECT_EQ(names, listing);
}

// A folder export into the folder of an earlier one with a narrower range:
// the months it no longer lists go; files of other names stay.
TEST(ExportJob, RemovesThePagesItNoLongerLists) {
    CScratchDir scratch("exportjob");
    SampleAccountResult account = WriteAccount(scratch.Path() / "client", false);
    fs::path out = scratch.Path() / "out";
    ExportJobSettings settings = Settings(kChoices[3], account.folder, out);
    ASSERT_EQ(exporter::RunExportJob(settings, {}).ExitCode(), 0);
    fs::path big = out / fs::path(account.friends[0].path).stem();
    const char* kept[] = {"notes.txt", "0001.html", "001.txt", "index.tx", "0009.txt.bak"};
    for (const char* name : kept)
        std::ofstream(big / name) << "mine";
    auto before = Snapshot(out);
    settings.options.fromDate = "2026-01-10";
    ExportJobResult result = exporter::RunExportJob(settings, {});
    ASSERT_EQ(result.ExitCode(), 0);
    auto after = Snapshot(out);
    const std::string folder = big.filename().string() + "/";
    EXPECT_EQ(before.count(folder + "0005.txt"), 1u);
    EXPECT_EQ(after.count(folder + "0005.txt"), 0u);
    EXPECT_GT(result.stalePagesRemoved, 0u);
    EXPECT_EQ(before.size() - after.size(), result.stalePagesRemoved);
    for (const char* name : kept)
        EXPECT_EQ(after[folder + name], "mine") << name;
}
