#include "SampleAccount.h"

#include "ChatLogNames.h"
#include "ChatLogWriter.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

const std::vector<std::string>& SampleNicknames() {
    static const std::vector<std::string> names = {
        "\xd5\xc5\xc8\xfd",         // 张三
        "\xc0\xee\xcb\xc4",         // 李四
        "\xcd\xf5\xce\xe5",         // 王五
        "\xd5\xd4\xc1\xf9",         // 赵六
        "\xcb\xef\xd0\xa1\xc3\xc0", // 孙小美
        "\xd6\xdc\xbd\xdc",         // 周杰
        "\xce\xe2\xcf\xfe\xd1\xe0", // 吴晓燕
        "\xd6\xa3\xb4\xf3\xce\xb0", // 郑大伟
        "\xd0\xa1\xc3\xf7",         // 小明
    };
    return names;
}

const std::vector<std::string>& SampleMessages() {
    static const std::vector<std::string> messages = {
        "\xc4\xe3\xba\xc3\xa3\xa1", // 你好！
        "\xd4\xda\xc2\xf0\xa3\xbf", // 在吗？
        // 今天晚上一起吃饭吧。
        "\xbd\xf1\xcc\xec\xcd\xed\xc9\xcf\xd2\xbb\xc6\xf0\xb3\xd4\xb7\xb9\xb0\xc9\xa1\xa3",
        // 好的，七点见。
        "\xba\xc3\xb5\xc4\xa3\xac\xc6\xdf\xb5\xe3\xbc\xfb\xa1\xa3",
        // 收到，谢谢！
        "\xca\xd5\xb5\xbd\xa3\xac\xd0\xbb\xd0\xbb\xa3\xa1",
        // 明天的会议改到下午三点。
        "\xc3\xf7\xcc\xec\xb5\xc4\xbb\xe1\xd2\xe9\xb8\xc4\xb5\xbd\xcf\xc2\xce\xe7\xc8\xfd\xb5\xe3"
        "\xa1\xa3",
        // 我已经到了，你在哪里？
        "\xce\xd2\xd2\xd1\xbe\xad\xb5\xbd\xc1\xcb\xa3\xac\xc4\xe3\xd4\xda\xc4\xc4\xc0\xef\xa3\xbf",
        // 周末去爬山怎么样？
        "\xd6\xdc\xc4\xa9\xc8\xa5\xc5\xc0\xc9\xbd\xd4\xf5\xc3\xb4\xd1\xf9\xa3\xbf",
        // 这个文件请帮我看一下。/ 第二行：细节在附件里。/ 第三行：谢谢！
        "\xd5\xe2\xb8\xf6\xce\xc4\xbc\xfe\xc7\xeb\xb0\xef\xce\xd2\xbf\xb4\xd2\xbb\xcf\xc2\xa1\xa3"
        "\r\n"
        "\xb5\xda\xb6\xfe\xd0\xd0\xa3\xba\xcf\xb8\xbd\xda\xd4\xda\xb8\xbd\xbc\xfe\xc0\xef\xa1\xa3"
        "\r\n"
        "\xb5\xda\xc8\xfd\xd0\xd0\xa3\xba\xd0\xbb\xd0\xbb\xa3\xa1",
        // 哈哈，太好笑了
        "\xb9\xfe\xb9\xfe\xa3\xac\xcc\xab\xba\xc3\xd0\xa6\xc1\xcb",
        "\xcd\xed\xb0\xb2",                                         // 晚安
        "\xc2\xb7\xc9\xcf\xd0\xa1\xd0\xc4",                         // 路上小心
        "\xc7\xeb\xb0\xd1\xb1\xa8\xb8\xe6\xb7\xa2\xb8\xf8\xce\xd2", // 请把报告发给我
        "\xc3\xbb\xce\xca\xcc\xe2",                                 // 没问题
        "OK, see you at 7.",
    };
    return messages;
}

namespace {

// A small deterministic generator, so a seed always gives the same account.
class CSampleRandom {
public:
    explicit CSampleRandom(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    std::uint32_t Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }

private:
    std::uint32_t m_state;
};

// Mostly sent (0) and received (1), with the other received values a client
// may write now and then.
std::uint32_t PickDirection(CSampleRandom& random) {
    std::uint32_t r = random.Next() % 20;
    if (r < 9)
        return 0;
    if (r < 18)
        return 1;
    return r == 18 ? 2u : 0xFFFFFFFFu;
}

bool WriteLog(const std::string& path, const ChatLogHeaderFields& header, int messages,
              std::int32_t startTime, CSampleRandom& random) {
    CChatLogWriter writer;
    if (!writer.Create(path, header))
        return false;
    const auto& texts = SampleMessages();
    std::int32_t time = startTime;
    for (int i = 0; i < messages; ++i) {
        time += 5 + static_cast<std::int32_t>(random.Next() % 600);
        if (!writer.Append(time, PickDirection(random), texts[random.Next() % texts.size()]))
            return false;
    }
    return writer.Close();
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return (fs::path(folder) / name).string();
}

} // namespace

bool WriteSampleAccount(const SampleAccountOptions& options, SampleAccountResult& result,
                        std::string& error) {
    result = SampleAccountResult();
    result.ownerKey = chatlog::FormatAccountKey(options.ownerFirst, options.ownerSecond);
    result.folder = (fs::path(options.baseDir) / result.ownerKey / "ChatLog").string();
    std::error_code ec;
    fs::create_directories(result.folder, ec);
    if (ec) {
        error = "cannot create " + result.folder + ": " + ec.message();
        return false;
    }
    const auto& names = SampleNicknames();
    std::string ownerName = options.ownerName.empty() ? "\xd7\xd4\xbc\xba" /* 自己 */
                                                      : options.ownerName;
    CSampleRandom random(options.seed);
    for (int i = 0; i < options.friends; ++i) {
        SampleFriend entry;
        entry.first = 1 + static_cast<std::uint32_t>(i) % 7;
        entry.second = 80000000u + static_cast<std::uint32_t>(i) * 1111u;
        entry.key = chatlog::FormatAccountKey(entry.first, entry.second);
        entry.name = names[static_cast<std::size_t>(i) % names.size()];
        if (static_cast<std::size_t>(i) >= names.size())
            entry.name += std::to_string(i / names.size() + 1);
        entry.messages = (i == 0 && options.bigFriendMessages > 0) ? options.bigFriendMessages
                                                                   : options.messagesPerFriend;
        entry.path = JoinPath(result.folder, entry.key + ".dat");
        ChatLogHeaderFields header;
        header.friendKey = entry.key;
        header.ownerName = ownerName;
        header.friendName = entry.name;
        if (!WriteLog(entry.path, header, entry.messages, options.startTime, random)) {
            error = "cannot write " + entry.path;
            return false;
        }
        result.totalMessages += static_cast<std::uint64_t>(entry.messages);
        result.friends.push_back(entry);
    }
    if (options.damaged &&
        !WriteDamagedEntries(result.folder, ownerName, options.startTime, result.damaged, error))
        return false;
    return true;
}

bool WriteDamagedEntries(const std::string& folder, const std::string& ownerName,
                         std::int32_t startTime, std::vector<SampleDamagedEntry>& entries,
                         std::string& error) {
    const auto& texts = SampleMessages();
    auto header = [&](const std::string& key, const std::string& name) {
        ChatLogHeaderFields fields;
        fields.friendKey = key;
        fields.ownerName = ownerName;
        fields.friendName = name;
        return BuildHeaderBytes(fields);
    };
    auto records = [&](int count, std::int32_t time) {
        std::string out;
        for (int i = 0; i < count; ++i)
            out += BuildRecordBytes(time + i * 60, static_cast<std::uint32_t>(i % 2),
                                    texts[static_cast<std::size_t>(i) % texts.size()]);
        return out;
    };
    struct Item {
        std::string name;
        std::string what;
        bool listed;
        int records;
        std::string bytes;
    };
    std::vector<Item> items;
    std::string full = header("9000001", "\xb6\xcc\xce\xc4\xbc\xfe" /* 短文件 */);
    items.push_back(
        {"9000001.dat", "79 bytes: shorter than a header", false, 0, full.substr(0, 79)});
    items.push_back({"9000002.dat", "header only (80 bytes)", true, 0,
                     header("9000002", "\xd6\xbb\xd3\xd0\xcd\xb7" /* 只有头 */)});
    {
        std::string bytes =
            header("9000003", "\xbd\xd8\xb6\xcf" /* 截断 */) + records(3, startTime);
        std::string last = BuildRecordBytes(startTime + 999, 1, texts[8]);
        bytes += last.substr(0, last.size() - 5);
        items.push_back({"9000003.dat", "last record truncated", true, 3, bytes});
    }
    {
        std::string bytes = header("9000004", "\xc1\xe3\xb3\xa4\xb6\xc8" /* 零长度 */) +
                            records(2, startTime) + BuildRawRecordBytes(0, startTime, 1, "x") +
                            records(2, startTime);
        items.push_back({"9000004.dat", "wLength 0 after 2 records", true, 2, bytes});
    }
    {
        std::string bytes = header("9000005", "\xb6\xcc\xbc\xc7\xc2\xbc" /* 短记录 */) +
                            records(1, startTime) + BuildRawRecordBytes(12, startTime, 0, "") +
                            records(2, startTime);
        items.push_back({"9000005.dat", "wLength 12 after 1 record", true, 1, bytes});
    }
    {
        // Names that fill their fields: no NUL inside the 16 and 21 bytes.
        ChatLogHeaderFields fields;
        fields.friendKey = "9000006123456789";
        fields.ownerName = std::string(21, 'O');
        fields.friendName = "\xc3\xbb\xd3\xd0\xbd\xe1\xce\xb2\xb5\xc4\xc3\xfb\xd7\xd6"
                            "abcdefg";
        std::string bytes = BuildHeaderBytes(fields) + records(1, startTime);
        std::string text = texts[2];
        bytes +=
            BuildRawRecordBytes(static_cast<std::uint16_t>(12 + text.size()), startTime, 1, text);
        bytes += records(1, startTime);
        items.push_back(
            {"9000006.dat", "no NUL in header fields and in one record's text", true, 3, bytes});
    }
    {
        ChatLogHeaderFields fields;
        fields.friendKey = "9000007";
        fields.ownerName = ownerName;
        fields.friendName = "\xb4\xed\xce\xf3\xc4\xa7\xca\xfd" /* 错误魔数 */;
        fields.magic = "XXXX";
        fields.version = 7;
        items.push_back({"9000007.dat", "wrong magic and version 7", true, 4,
                         BuildHeaderBytes(fields) + records(4, startTime)});
    }
    {
        // Odd-length texts put every other record at an odd file offset.
        std::string bytes = header("9000008", "\xc6\xe6\xca\xfd\xce\xbb\xd6\xc3" /* 奇数位置 */);
        for (int i = 0; i < 6; ++i)
            bytes +=
                BuildRecordBytes(startTime + i, i % 2 ? 0xFFFFFFFFu : 0u,
                                 std::string(static_cast<std::size_t>(i % 2 ? 4 : 3), 'a' + i));
        items.push_back({"9000008.dat", "records at odd offsets", true, 6, bytes});
    }
    // Names the rule turns away (their contents are fine) and two it takes.
    std::string good = header("9000010", "\xc3\xfb\xd7\xd6" /* 名字 */) + records(2, startTime);
    items.push_back({"12a.dat", "misnamed: letter in the stem", false, 0, good});
    items.push_back({"1.2.dat", "misnamed: second dot", false, 0, good});
    items.push_back({"123.dat.bak", "misnamed: .dat.bak", false, 0, good});
    items.push_back({"123.data", "misnamed: .data", false, 0, good});
    items.push_back({"123", "misnamed: no extension", false, 0, good});
    items.push_back({"123.DAT", "upper-case extension (taken)", true, 2,
                     header("9000011", "\xb4\xf3\xd0\xb4" /* 大写 */) + records(2, startTime)});
    items.push_back({".dat", "empty stem (taken)", true, 1,
                     header("9000012", "\xbf\xd5\xc3\xfb" /* 空名 */) + records(1, startTime)});

    for (const Item& item : items) {
        std::string path = JoinPath(folder, item.name);
        if (!WriteFileBytes(path, item.bytes)) {
            error = "cannot write " + path;
            return false;
        }
        entries.push_back({item.name, item.what, item.listed, item.records});
    }
    std::error_code ec;
    std::string dir = JoinPath(folder, "456.dat");
    fs::create_directories(dir, ec);
    if (ec) {
        error = "cannot create " + dir;
        return false;
    }
    entries.push_back({"456.dat", "a directory (ignored)", false, 0});
    return true;
}
