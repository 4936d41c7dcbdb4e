// CChatLogFile over real files: the host's mmap, and the Win32 mapping when
// the same source runs under Wine.
#include "ChatLogFile.h"

#include "ChatLogFileCases.h"
#include "ChatLogNames.h"
#include "ChatLogWriter.h"
#include "SampleAccount.h"
#include "ScratchDir.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

TEST(ChatLogFile, FreshObjectIsClosed) {
    CChatLogFile log;
    EXPECT_FALSE(log.IsOpen());
    EXPECT_EQ(log.GetState(), CChatLogFile::State::Closed);
    chatlog::ChatLogHeader fresh = chatlog::MakeFreshChatLogHeader();
    EXPECT_EQ(std::memcmp(&log.Header(), &fresh, sizeof fresh), 0);
    EXPECT_TRUE(Contents(log).empty());
}

TEST(ChatLogFile, OpenReadsHeaderAndRecords) {
    CScratchDir dir;
    std::string path = dir.File("555.dat");
    ASSERT_TRUE(WriteChatLogFile(path, {"555", "owner", "\xd5\xc5\xc8\xfd"},
                                 {{1000, 0, "m0"}, {1001, 1, "m1"}, {1002, 2, "m2"}}));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    EXPECT_EQ(log.GetState(), CChatLogFile::State::Open);
    EXPECT_EQ(log.FriendKey(), "555");
    EXPECT_EQ(log.OwnerName(), "owner");
    EXPECT_EQ(log.FriendName(), "\xd5\xc5\xc8\xfd");
    EXPECT_STREQ(log.Path(), path.c_str());

    chatlog::ChatLogRecordIndex index;
    log.EnumRecords(index);
    EXPECT_EQ(log.GetState(), CChatLogFile::State::Mapped);
    ASSERT_EQ(index.size(), 3u);
    const std::uint32_t directions[] = {0, 1, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(chatlog::RecordContent(index[i]), "m" + std::to_string(i));
        EXPECT_EQ(chatlog::RecordTime(index[i]), 1000 + i);
        EXPECT_EQ(log.SenderName(index[i]), i == 0 ? "owner" : "\xd5\xc5\xc8\xfd");
        EXPECT_EQ(chatlog::RecordDirection(index[i]), directions[i]);
    }
    // Later calls reuse the view and deliver the same positions.
    chatlog::ChatLogRecordIndex again;
    log.EnumRecords(again);
    EXPECT_EQ(again, index);
}

TEST(ChatLogFile, ShortAndHeaderOnlyFiles) {
    CScratchDir dir;
    std::string h = Header();
    struct {
        std::size_t size;
        bool opens;
        CChatLogFile::State after;
    } cases[] = {
        {0, false, CChatLogFile::State::Open}, // opened, then refused: stays open until Close
        {1, false, CChatLogFile::State::Open},
        {79, false, CChatLogFile::State::Open},
        {80, true, CChatLogFile::State::Open}, // listed with no messages, never mapped
    };
    for (const auto& c : cases) {
        std::string path = dir.File(std::to_string(c.size) + ".dat");
        ASSERT_TRUE(WriteFileBytes(path, h.substr(0, c.size)));
        CChatLogFile log;
        EXPECT_EQ(log.Open(path.c_str()), c.opens) << c.size;
        EXPECT_EQ(log.GetState(), c.after) << c.size;
        EXPECT_TRUE(Contents(log).empty()) << c.size;
        EXPECT_EQ(log.GetState(), c.after) << c.size;
        log.Close();
        EXPECT_EQ(log.GetState(), CChatLogFile::State::Closed);
    }
}

TEST(ChatLogFile, RefusedPaths) {
    CScratchDir dir;
    fs::create_directories(dir.Path() / "456.dat");
    std::string missing = dir.File("404.dat");
    CChatLogFile log;
    EXPECT_FALSE(log.Open(static_cast<const char*>(nullptr)));
    EXPECT_FALSE(log.Open(""));
    EXPECT_FALSE(log.Open(dir.File("456.dat").c_str()));
    EXPECT_FALSE(log.Open(missing.c_str()));
    EXPECT_FALSE(fs::exists(missing)) << "opening must never create the file";
    EXPECT_EQ(log.GetState(), CChatLogFile::State::Closed);
}

// Paths are held in 260 bytes: 259 bytes of text open, 260 and more do not.
TEST(ChatLogFile, PathLengthLimit) {
    CScratchDir dir;
    std::string base = dir.Path().string();
    ASSERT_LT(base.size() + 10, 259u);
    // Make a real file whose full path is exactly N bytes long, in a folder
    // short enough for every platform.
    auto pathOfLength = [&](std::size_t total) {
        std::string folder =
            base + "/" + std::string(std::min<std::size_t>(100, total - base.size() - 12), 'd');
        fs::create_directories(folder);
        std::string name = std::string(total - folder.size() - 1 - 4, '7') + ".dat";
        return folder + "/" + name;
    };
    for (std::size_t total : {259u, 260u, 300u}) {
        std::string path = pathOfLength(total);
        ASSERT_EQ(path.size(), total);
        if (total < 260) {
            ASSERT_TRUE(WriteFileBytes(path, Header() + Recs(1)));
        } else {
            // The file needs not exist: the length alone refuses it.
            WriteFileBytes(path, Header() + Recs(1));
        }
        CChatLogFile log;
        EXPECT_EQ(log.Open(path.c_str()), total < 260) << total;
    }
}

TEST(ChatLogFile, FailedOpenKeepsThePreviousFile) {
    CScratchDir dir;
    std::string path = dir.File("1.dat");
    ASSERT_TRUE(WriteFileBytes(path, Header() + Recs(2)));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    EXPECT_FALSE(log.Open(dir.File("2.dat").c_str()));
    EXPECT_TRUE(log.IsOpen());
    EXPECT_EQ(Contents(log), Texts(2));
}

TEST(ChatLogFile, ReopenClosesThePrevious) {
    CScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("1.dat"), Header("1") + Recs(2, "a")));
    ASSERT_TRUE(WriteFileBytes(dir.File("2.dat"), Header("2") + Recs(3, "b")));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(dir.File("1.dat").c_str()));
    EXPECT_EQ(Contents(log), Texts(2, "a"));
    ASSERT_TRUE(log.Open(dir.File("2.dat").c_str()));
    EXPECT_EQ(log.GetState(), CChatLogFile::State::Open);
    EXPECT_EQ(log.FriendKey(), "2");
    EXPECT_EQ(Contents(log), Texts(3, "b"));
}

TEST(ChatLogFile, WrongMagicAndVersionAreRead) {
    CScratchDir dir;
    ChatLogHeaderFields fields{"77", "o", "f", "XXXX", 9};
    std::string path = dir.File("77.dat");
    ASSERT_TRUE(WriteFileBytes(path, BuildHeaderBytes(fields) + Recs(2)));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    EXPECT_EQ(std::string(log.Header().magic, 4), "XXXX");
    EXPECT_EQ(log.Header().wVersion, 9);
    EXPECT_EQ(Contents(log), Texts(2));
}

TEST(ChatLogFile, SingleRecordFillingTheFile) {
    CScratchDir dir;
    std::string path = dir.File("1.dat");
    ASSERT_TRUE(WriteFileBytes(path, Header() + BuildRecordBytes(5, 0, "only")));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    EXPECT_EQ(Contents(log), std::vector<std::string>{"only"});
}

// Appends after Open stay unseen until the log is opened again, whether the
// view already exists or not; the client's writer shares the file with us.
TEST(ChatLogFile, AppendedAfterOpenNotSeen) {
    CScratchDir dir;
    std::string path = dir.File("1.dat");
    ASSERT_TRUE(WriteFileBytes(path, Header() + Recs(2)));
    CChatLogFile beforeMap;
    CChatLogFile afterMap;
    ASSERT_TRUE(beforeMap.Open(path.c_str()));
    ASSERT_TRUE(afterMap.Open(path.c_str()));
    EXPECT_EQ(Contents(afterMap), Texts(2));

    CChatLogWriter writer;
    ASSERT_TRUE(writer.OpenAppend(path)) << "the reader must share writing";
    ASSERT_TRUE(writer.Append(2000, 1, "later"));
    ASSERT_TRUE(writer.Flush());
    EXPECT_EQ(Contents(beforeMap), Texts(2));
    EXPECT_EQ(Contents(afterMap), Texts(2));
    ASSERT_TRUE(writer.Append(2001, 0, "later still"));
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(Contents(afterMap), Texts(2));

    CChatLogFile reopened;
    ASSERT_TRUE(reopened.Open(path.c_str()));
    std::vector<std::string> expected = Texts(2);
    expected.push_back("later");
    expected.push_back("later still");
    EXPECT_EQ(Contents(reopened), expected);
}

// Reads by piece see what a view would: the bytes up to the size taken at
// open, nothing appended since, less when the file was cut short.
TEST(ChatLogFile, ReadsAtAnOffsetStopAtTheSizeTakenAtOpenAndTheFileNow) {
    CScratchDir dir;
    std::string path = dir.File("1.dat");
    const std::string bytes = Header() + Recs(3);
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    CChatLogWriter writer;
    ASSERT_TRUE(writer.OpenAppend(path));
    ASSERT_TRUE(writer.Append(2000, 1, "later"));
    ASSERT_TRUE(writer.Close());
    const struct {
        size_t fileSize; // cut to this first (0: as written)
        std::uint32_t offset;
        size_t count;
    } cases[] = {
        {0, 0, 4096},
        {0, chatlog::kChatLogHeaderSize, 7},
        {0, 90, 4096},
        {bytes.size() - 5, 85, 4096},
        {chatlog::kChatLogHeaderSize, chatlog::kChatLogHeaderSize, 10},
        {chatlog::kChatLogHeaderSize, 1000, 10},
    };
    for (const auto& c : cases) {
        if (c.fileSize != 0) {
            ASSERT_TRUE(TruncateFile(path, c.fileSize));
        }
        const size_t now = c.fileSize != 0 ? c.fileSize : bytes.size();
        std::uint32_t size = 0;
        ASSERT_TRUE(log.ReadableSize(size));
        EXPECT_EQ(size, now);
        std::string read(c.count, '\0');
        size_t got = 99;
        ASSERT_TRUE(log.ReadAt(c.offset, read.data(), c.count, got)) << c.offset;
        read.resize(got);
        EXPECT_EQ(read, c.offset < now ? bytes.substr(c.offset, std::min(c.count, now - c.offset))
                                       : std::string())
            << c.offset;
    }
}

// The client usually has the log open for writing when the viewer opens it.
TEST(ChatLogFile, OpenWhileTheClientWrites) {
    CScratchDir dir;
    std::string path = dir.File("1.dat");
    CChatLogWriter writer;
    ASSERT_TRUE(writer.Create(path, {"1", "o", "f"}));
    ASSERT_TRUE(writer.Append(1, 0, "first"));
    ASSERT_TRUE(writer.Flush());
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    ASSERT_TRUE(writer.Append(2, 1, "second"));
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(Contents(log), std::vector<std::string>{"first"});
}

TEST(ChatLogFile, ReleaseViewThenEnumMapsAgain) {
    CScratchDir dir;
    std::string path = dir.File("1.dat");
    ASSERT_TRUE(WriteFileBytes(path, Header() + Recs(4)));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    EXPECT_EQ(Contents(log), Texts(4));
    log.ReleaseView();
    EXPECT_EQ(log.GetState(), CChatLogFile::State::Open);
    log.ReleaseView(); // harmless twice
    EXPECT_EQ(Contents(log), Texts(4));
    EXPECT_EQ(log.GetState(), CChatLogFile::State::Mapped);
    log.Close();
    EXPECT_EQ(log.GetState(), CChatLogFile::State::Closed);
    EXPECT_TRUE(Contents(log).empty());
    log.Close(); // harmless twice
}

// The client may cut a log short while it is open. The view must never be
// read beyond the file's end: on POSIX that is a SIGBUS.
TEST(ChatLogFile, TruncatedBeforeTheFirstListing) {
    CScratchDir dir;
    std::string path = dir.File("1.dat");
    std::string bytes = Header() + Recs(5);
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    // Two whole records and half of the third remain.
    std::size_t keep = 80 + 2 * BuildRecordBytes(0, 0, "m0").size() + 6;
    ASSERT_TRUE(TruncateFile(path, keep));
    EXPECT_EQ(Contents(log), Texts(2));
    // Windows shrinks a file only while no view of it exists.
    log.ReleaseView();
    ASSERT_TRUE(TruncateFile(path, 40));
    EXPECT_TRUE(Contents(log).empty());
}

TEST(ChatLogFile, TruncatedWhileMapped) {
    CScratchDir dir;
    std::string path = dir.File("1.dat");
    // Several pages, so a cut falls pages before the mapped end.
    std::string bytes = Header() + Recs(2000);
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    ASSERT_EQ(Contents(log).size(), 2000u);
    std::size_t record = BuildRecordBytes(0, 0, "m0").size();
    bool cut = TruncateFile(path, 80 + 3 * record);
    if (!MappedFileCanShrink()) {
        // Windows refuses to shrink a file with a mapped view, so the view
        // stays whole and so does the list.
        EXPECT_FALSE(cut);
        EXPECT_EQ(Contents(log).size(), 2000u);
        return;
    }
    ASSERT_TRUE(cut);
    EXPECT_EQ(Contents(log), Texts(3));
    ASSERT_TRUE(TruncateFile(path, 0));
    EXPECT_TRUE(Contents(log).empty());
}

// The sample account's damaged entries, read as the viewer would list them:
// name rule first, then Open, then the walk.
TEST(ChatLogFile, SampleAccountWithDamagedEntries) {
    CScratchDir dir;
    SampleAccountOptions options;
    options.baseDir = dir.Path().string();
    options.friends = 4;
    options.messagesPerFriend = 7;
    options.bigFriendMessages = 300;
    options.damaged = true;
    SampleAccountResult result;
    std::string error;
    ASSERT_TRUE(WriteSampleAccount(options, result, error)) << error;
    ASSERT_EQ(result.friends.size(), 4u);
    EXPECT_EQ(result.ownerKey, "123456789");

    for (const SampleFriend& f : result.friends) {
        CChatLogFile log;
        ASSERT_TRUE(log.Open(f.path.c_str())) << f.path;
        EXPECT_EQ(log.FriendKey(), f.key);
        EXPECT_EQ(log.FriendName(), f.name);
        chatlog::ChatLogRecordIndex index;
        log.EnumRecords(index);
        EXPECT_EQ(index.size(), static_cast<std::size_t>(f.messages));
        for (chatlog::ChatLogRecordPos p : index)
            EXPECT_FALSE(chatlog::RecordContent(p).empty());
    }
    ASSERT_FALSE(result.damaged.empty());
    for (const SampleDamagedEntry& d : result.damaged) {
        std::string path = (fs::path(result.folder) / d.fileName).string();
        bool listed = false;
        std::size_t records = 0;
        if (!fs::is_directory(path) && chatlog::IsChatLogFileName(d.fileName.c_str())) {
            CChatLogFile log;
            listed = log.Open(path.c_str());
            chatlog::ChatLogRecordIndex index;
            log.EnumRecords(index);
            records = index.size();
            for (chatlog::ChatLogRecordPos p : index)
                EXPECT_LE(chatlog::RecordContent(p).size(), chatlog::RecordLength(p) - 12u);
        }
        EXPECT_EQ(listed, d.listed) << d.fileName << ": " << d.what;
        EXPECT_EQ(records, static_cast<std::size_t>(d.records)) << d.fileName << ": " << d.what;
    }
}
