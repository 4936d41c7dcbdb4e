// The texts of signed setups: hex parsing of the key, digest and signature,
// the message the publisher signs, and where Server.ini and the version
// document carry them.
#include "SignedSetup.h"

#include "ScratchDir.h"
#include "ServerConfig.h"
#include "VersionInfo.h"

#include <gtest/gtest.h>

#include <cctype>
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

TEST(SignedSetup, MessageBindsTheVersionToTheLowerCaseDigest) {
    updater::SetupDigest digest;
    ASSERT_TRUE(updater::ParseHexBytes(kDigest.c_str(), digest));
    const std::string lower = LowerCase(kDigest);
    EXPECT_EQ(updater::SignedSetupMessage("1,2,3,5", digest), "1,2,3,5\n" + lower);
    EXPECT_EQ(updater::SignedSetupMessage("", digest), "\n" + lower);
    EXPECT_EQ(updater::SignedSetupMessage(nullptr, digest), "\n" + lower);
}

TEST(SignedSetup, SetupKeyInServerIni) {
    const std::string base =
        "[Update]\nServer=u.example\nPath=/p/\nFile=v.ini\n[Server]\na=u.example:80\n[Update]\n";
    struct Case {
        const char* label;
        std::string updateLines; // inside the first [Update]
        bool loads;
        bool hasKey;
    };
    const Case cases[] = {
        {"no key: as before", "", true, false},
        {"key", "SetupKey=" + kKey + "\n", true, true},
        {"blanks and comment around it", "SetupKey =  " + kKey + "  # publisher\n", true, true},
        {"empty value", "SetupKey=\n", false, false},
        {"127 digits", "SetupKey=" + kKey.substr(1) + "\n", false, false},
        {"129 digits", "SetupKey=" + kKey + "0\n", false, false},
        {"not hex", "SetupKey=" + kKey.substr(1) + "z\n", false, false},
        {"uncompressed point with its 04", "SetupKey=04" + kKey + "\n", false, false},
        {"far longer than any buffer", "SetupKey=" + std::string(1000, 'a') + "\n", false, false},
        {"key name is case-sensitive", "setupkey=zz\n", true, false},
    };
    CScratchDocuments scratch;
    for (const Case& c : cases) {
        const std::string text =
            "[Update]\n" + c.updateLines +
            "Server=u.example\nPath=/p/\nFile=v.ini\n[Server]\na=u.example:80\n";
        CServerConfig config;
        EXPECT_EQ(config.Load(scratch.Write(text).c_str()), c.loads) << c.label;
        EXPECT_EQ(config.HasSetupKey(), c.hasKey) << c.label;
        if (c.hasKey) {
            EXPECT_EQ(updater::HexText(config.GetSetupKey().data(), 64).substr(0, 16),
                      "0123456789abcdef")
                << c.label;
        }
    }
    // Only the first [Update] counts, here as everywhere.
    CServerConfig config;
    EXPECT_TRUE(config.Load(scratch.Write(base + "SetupKey=" + kKey + "\n").c_str()));
    EXPECT_FALSE(config.HasSetupKey());
}

TEST(SignedSetup, DigestAndSignatureInTheVersionDocument) {
    const std::string signature = kKey; // any 128 hex digits
    struct Case {
        const char* label;
        std::string versionLines;
        bool valid;
    };
    const Case cases[] = {
        {"both", "SetupSHA256=" + kDigest + "\nSetupSignature=" + signature + "\n", true},
        {"digest missing", "SetupSignature=" + signature + "\n", false},
        {"signature missing", "SetupSHA256=" + kDigest + "\n", false},
        {"digest empty", "SetupSHA256=\nSetupSignature=" + signature + "\n", false},
        {"digest of 63 digits",
         "SetupSHA256=" + kDigest.substr(1) + "\nSetupSignature=" + signature + "\n", false},
        {"signature of 64 digits", "SetupSHA256=" + kDigest + "\nSetupSignature=" + kDigest + "\n",
         false},
        {"signature not hex",
         "SetupSHA256=" + kDigest + "\nSetupSignature=" + signature.substr(1) + "x\n", false},
    };
    CScratchDocuments scratch;
    for (const Case& c : cases) {
        const std::string text = "[Version]\nCurrentVersion=1,2,3,5\n" + c.versionLines +
                                 "[DownloadUrls]\na=http://d.example/s.exe\n";
        CVersionInfo info;
        ASSERT_TRUE(info.LoadVersion(scratch.Write(text).c_str())) << c.label;
        updater::SetupDigest digest;
        digest.fill(0x5A);
        updater::SetupSignature parsed;
        EXPECT_EQ(info.GetSetupSignature(digest, parsed), c.valid) << c.label;
        EXPECT_EQ(digest[0], c.valid ? 0x00 : 0x5A) << c.label;
    }
    // In another section the keys do not count.
    CVersionInfo info;
    ASSERT_TRUE(info.LoadVersion(scratch
                                     .Write("[Version]\nCurrentVersion=1\n[DownloadUrls]\na=x\n"
                                            "SetupSHA256=" +
                                            kDigest + "\nSetupSignature=" + signature + "\n")
                                     .c_str()));
    updater::SetupDigest digest;
    updater::SetupSignature parsed;
    EXPECT_FALSE(info.GetSetupSignature(digest, parsed));
}

} // namespace
