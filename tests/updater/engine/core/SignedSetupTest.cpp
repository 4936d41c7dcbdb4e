// The texts of signed setups: hex parsing of the key, digest and signature,
// the message the publisher signs, and where Server.ini and the version
// document carry them.
#include "SignedSetup.h"

#include "ScratchDir.h"
#include "ServerConfig.h"
#include "VersionInfo.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string kKey = "0123456789abcdefABCDEF0123456789abcdefABCDEF0123456789abcdef0123"
                         "456789abcdefABCDEF0123456789abcdefABCDEF0123456789abcdef01234567";
const std::string kDigest = "00ff10ee20dd30cc40bb50aa60997088807790668055a044b033c022d011e0FF";

std::string LowerCase(std::string text) {
    for (char& ch : text) {
        ch = char(std::tolower(static_cast<unsigned char>(ch)));
    }
    return text;
}

// Scratch documents, numbered, in a folder of this test's own.
class CScratchDocuments {
public:
    std::string Write(const std::string& bytes) {
        const std::string path = m_scratch.File(std::to_string(++m_serial) + ".ini");
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return path;
    }

private:
    CScratchDir m_scratch{"signed_setup"};
    int m_serial = 0;
};

TEST(SignedSetup, HexTexts) {
    struct Case {
        const char* label;
        std::string text;
        std::size_t size;
        bool valid;
    };
    const Case cases[] = {
        {"key, mixed case", kKey, 64, true},
        {"digest", kDigest, 32, true},
        {"digest as key", kDigest, 64, false},
        {"one digit short", kKey.substr(1), 64, false},
        {"one digit more", kKey + "0", 64, false},
        {"odd length", kDigest.substr(0, 63), 32, false},
        {"empty", "", 32, false},
        {"g is no digit", kDigest.substr(0, 63) + "g", 32, false},
        {"inner blank", kDigest.substr(0, 31) + " " + kDigest.substr(32), 32, false},
        {"leading blank", " " + kDigest.substr(1), 32, false},
        {"0x prefix", "0x" + kDigest.substr(2), 32, false},
        {"inner NUL ends the text", kDigest.substr(0, 10) + std::string(1, '\0') + kDigest, 32,
         false},
    };
    for (const Case& c : cases) {
        std::array<unsigned char, 64> out;
        out.fill(0x5A);
        EXPECT_EQ(updater::ParseHexBytes(c.text.c_str(), out.data(), c.size), c.valid) << c.label;
        if (c.valid) {
            EXPECT_EQ(updater::HexText(out.data(), c.size), LowerCase(c.text)) << c.label;
        } else {
            EXPECT_EQ(out[0], 0x5A) << c.label << ": output changed";
        }
    }
    updater::SetupDigest digest;
    EXPECT_FALSE(updater::ParseHexBytes(nullptr, digest));
}

TEST(SignedSetup, MessageBindsVersionSizeDigestAndExpiry) {
    updater::SetupDigest digest;
    ASSERT_TRUE(updater::ParseHexBytes(kDigest.c_str(), digest));
    const std::string lower = LowerCase(kDigest);
    EXPECT_EQ(updater::SignedSetupMessage("1,2,3,5", 4294967295u, digest, "2030-01-02T03:04:05Z"),
              "1,2,3,5\n4294967295\n" + lower + "\n2030-01-02T03:04:05Z");
    EXPECT_EQ(updater::SignedSetupMessage("1,2,3,5", 7, digest, ""), "1,2,3,5\n7\n" + lower + "\n");
    EXPECT_EQ(updater::SignedSetupMessage(nullptr, 1, digest, nullptr), "\n1\n" + lower + "\n");
}

TEST(SignedSetup, SetupSizeBounds) {
    struct Case {
        const char* text;
        bool valid;
        std::uint32_t size;
    };
    const Case cases[] = {
        {"1", true, 1},
        {"104857600", true, 104857600},
        {"4294967295", true, 4294967295u},
        {"4294967296", false, 0},
        {"18446744073709551617", false, 0},
        {"0", false, 0},
        {"", false, 0},
        {"00", false, 0},
        {"0100", false, 0},
        {"-1", false, 0},
        {"+5", false, 0},
        {"1e3", false, 0},
        {"12 ", false, 0},
        {"0x10", false, 0},
    };
    for (const Case& c : cases) {
        std::uint32_t size = 99;
        EXPECT_EQ(updater::ParseSetupSize(c.text, size), c.valid) << c.text;
        EXPECT_EQ(size, c.valid ? c.size : 99u) << c.text;
    }
    std::uint32_t size = 0;
    EXPECT_FALSE(updater::ParseSetupSize(nullptr, size));
}

TEST(SignedSetup, ExpiryDates) {
    struct Case {
        const char* text;
        std::int64_t seconds; // -1: not a valid expiry
    };
    const Case cases[] = {
        {"1970-01-01T00:00:00Z", 0},
        {"2000-02-29T12:00:00Z", 951825600},
        {"2038-01-19T03:14:08Z", 2147483648LL},
        {"2100-03-01T00:00:00Z", 4107542400LL},
        {"9999-12-31T23:59:59Z", 253402300799LL},
        {"1969-12-31T23:59:59Z", -1},
        {"2100-02-29T00:00:00Z", -1}, // no leap year
        {"2023-02-29T00:00:00Z", -1},
        {"2024-04-31T00:00:00Z", -1},
        {"2024-13-01T00:00:00Z", -1},
        {"2024-00-10T00:00:00Z", -1},
        {"2024-01-00T00:00:00Z", -1},
        {"2024-01-01T24:00:00Z", -1},
        {"2024-01-01T23:60:00Z", -1},
        {"2024-01-01T23:59:60Z", -1},
        {"2024-01-01T00:00:00", -1},
        {"2024-01-01T00:00:00z", -1},
        {"2024-01-01 00:00:00Z", -1},
        {"2024-01-01T00:00:00+00:00", -1},
        {"2024-01-01T00:00:00Z ", -1},
        {"2024-1-01T00:00:00Z", -1},
        {"+024-01-01T00:00:00Z", -1},
        {"", -1},
    };
    for (const Case& c : cases) {
        std::int64_t seconds = 42;
        EXPECT_EQ(updater::ParseExpiresText(c.text, seconds), c.seconds >= 0) << c.text;
        EXPECT_EQ(seconds, c.seconds >= 0 ? c.seconds : 42) << c.text;
        if (c.seconds >= 0) {
            EXPECT_EQ(updater::ExpiresText(c.seconds), c.text);
        }
    }
    EXPECT_EQ(updater::ExpiresText(-1), "");
    EXPECT_EQ(updater::ExpiresText(253402300800LL), "");
}

TEST(SignedSetup, SetupKeyInServerIni) {
    const std::string rest = "Server=u.example\nPath=/p/\nFile=v.ini\n[Server]\na=u.example:80\n";
    const std::string key = "SetupKey=" + kKey + "\n";
    struct Case {
        const char* label;
        std::string text;
        bool loads;
        bool hasKey;
        unsigned strayLine; // the line a SetupKey the lookup cannot read stands on
    };
    const Case cases[] = {
        {"no key: as before", "[Update]\n" + rest, true, false, 0},
        {"key", "[Update]\n" + key + rest, true, true, 0},
        {"blanks and comment around it", "[Update]\nSetupKey =  " + kKey + "  # publisher\n" + rest,
         true, true, 0},
        {"section named in other letter case", "[UPDATE]\n" + key + rest, true, true, 0},
        {"empty value", "[Update]\nSetupKey=\n" + rest, false, false, 0},
        {"127 digits", "[Update]\nSetupKey=" + kKey.substr(1) + "\n" + rest, false, false, 0},
        {"129 digits", "[Update]\nSetupKey=" + kKey + "0\n" + rest, false, false, 0},
        {"not hex", "[Update]\nSetupKey=" + kKey.substr(1) + "z\n" + rest, false, false, 0},
        {"uncompressed point with its 04", "[Update]\nSetupKey=04" + kKey + "\n" + rest, false,
         false, 0},
        {"far longer than any buffer", "[Update]\nSetupKey=" + std::string(1000, 'a') + "\n" + rest,
         false, false, 0},
        // Keys a publisher meant as SetupKey, which the lookup would not read.
        {"lower case", "[Update]\nsetupkey=" + kKey + "\n" + rest, false, false, 2},
        {"upper case, no value", "[Update]\n" + rest + "SETUPKEY\n", false, false, 7},
        {"indented",
         "# c\n[Update]\n" + rest.substr(0, 17) + "  SetupKey=" + kKey + "\n" + rest.substr(17),
         false, false, 4},
        {"indented with a tab", "[Update]\n\tSetupKey=" + kKey + "\n" + rest, false, false, 2},
        {"second [Update] at the end", "[Update]\n" + rest + "[Update]\n" + key, false, false, 8},
        {"written twice", "[Update]\n" + key + rest.substr(0, 17) + key + rest.substr(17), false,
         false, 4},
        {"in another section", "[Update]\n" + rest + key, false, false, 7},
        {"before a good one", "[Limit]\n SetupKey = x\n[Update]\n" + key + rest, false, false, 2},
        {"leading '=' is the parser's own rule", "[Update]\n=SetupKey=" + kKey + "\n" + rest, true,
         true, 0},
        {"other names stay other keys", "[Update]\nSetup Key=1\nSetupKeys=2\nXSetupKey=3\n" + rest,
         true, false, 0},
    };
    CScratchDocuments scratch;
    for (const Case& c : cases) {
        CServerConfig config;
        EXPECT_EQ(config.Load(scratch.Write(c.text).c_str()), c.loads) << c.label;
        EXPECT_EQ(config.HasSetupKey(), c.hasKey) << c.label;
        EXPECT_EQ(config.GetStraySetupKeyLine(), c.strayLine) << c.label;
        if (c.hasKey) {
            EXPECT_EQ(updater::HexText(config.GetSetupKey().data(), 64).substr(0, 16),
                      "0123456789abcdef")
                << c.label;
        }
    }
}

TEST(SignedSetup, SignedLinesInTheVersionDocument) {
    const std::string signature = kKey; // any 128 hex digits
    const std::string size = "SetupSize=3000\n";
    const std::string digest = "SetupSHA256=" + kDigest + "\n";
    const std::string signed_ = "SetupSignature=" + signature + "\n";
    struct Case {
        const char* label;
        std::string versionLines;
        bool valid;
        const char* expires;
    };
    const Case cases[] = {
        {"all three", size + digest + signed_, true, ""},
        {"with an expiry", size + digest + "SetupExpires=2031-05-06T07:08:09Z\n" + signed_, true,
         "2031-05-06T07:08:09Z"},
        {"expiry malformed", size + digest + "SetupExpires=2031-05-06\n" + signed_, false, ""},
        {"expiry without value", size + digest + "SetupExpires=\n" + signed_, false, ""},
        {"size missing", digest + signed_, false, ""},
        {"size 0", "SetupSize=0\n" + digest + signed_, false, ""},
        {"size 2^32", "SetupSize=4294967296\n" + digest + signed_, false, ""},
        {"digest missing", size + signed_, false, ""},
        {"signature missing", size + digest, false, ""},
        {"digest empty", size + "SetupSHA256=\n" + signed_, false, ""},
        {"digest of 63 digits", size + "SetupSHA256=" + kDigest.substr(1) + "\n" + signed_, false,
         ""},
        {"signature of 64 digits", size + digest + "SetupSignature=" + kDigest + "\n", false, ""},
        {"signature not hex", size + digest + "SetupSignature=" + signature.substr(1) + "x\n",
         false, ""},
    };
    CScratchDocuments scratch;
    for (const Case& c : cases) {
        const std::string text = "[Version]\nCurrentVersion=1,2,3,5\n" + c.versionLines +
                                 "[DownloadUrls]\na=http://d.example/s.exe\n";
        CVersionInfo info;
        ASSERT_TRUE(info.LoadVersion(scratch.Write(text).c_str())) << c.label;
        CVersionInfo::SignedSetup setup;
        setup.size = 7;
        EXPECT_EQ(info.GetSignedSetup(setup), c.valid) << c.label;
        EXPECT_EQ(setup.size, c.valid ? 3000u : 7u) << c.label;
        EXPECT_EQ(setup.digest[1], c.valid ? 0xFF : 0x00) << c.label;
        EXPECT_EQ(setup.expires, c.expires) << c.label;
    }
    // In another section the keys do not count.
    CVersionInfo info;
    ASSERT_TRUE(info.LoadVersion(
        scratch
            .Write("[Version]\nCurrentVersion=1\n[DownloadUrls]\na=x\n" + size + digest + signed_)
            .c_str()));
    CVersionInfo::SignedSetup setup;
    EXPECT_FALSE(info.GetSignedSetup(setup));
}

} // namespace
