#include "IniDocument.h"

#include "DocumentFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

// One document and one lookup it must answer (or refuse).
struct LookupCase {
    const char* label;
    std::string document;
    const char* section;
    const char* key;
    bool found;
    const char* value; // expected text when found
};

void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << c.label;
}

class LookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LookupTest, AnswersLookup) {
    const LookupCase& c = GetParam();
    CDocumentFile file(c.document);
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path())) << c.label;
    char buffer[64] = "untouched";
    EXPECT_EQ(doc.GetString(c.section, c.key, buffer, sizeof buffer), c.found) << c.label;
    EXPECT_STREQ(buffer, c.found ? c.value : "untouched") << c.label;
}

const LookupCase kLookups[] = {
    {"plain", "[Update]\nServer=x\n", "Update", "Server", true, "x"},
    {"section name ignores case", "[UPDATE]\nServer=x\n", "Update", "Server", true, "x"},
    {"key keeps case", "[Update]\nserver=x\n", "Update", "Server", false, nullptr},
    {"leading blanks belong to the key", "[Update]\n  Server=x\n", "Update", "Server", false,
     nullptr},
    {"leading blanks found as written", "[Update]\n  Server=x\n", "Update", "  Server", true, "x"},
    {"blanks around '=' trimmed", "[Update]\nServer = x \n", "Update", "Server", true, "x"},
    {"tabs and control bytes trimmed", "[Update]\nServer\t=\t\x01x\x1f\t\n", "Update", "Server",
     true, "x"},
    {"inner blanks of a value kept", "[Update]\nPath = a  b \n", "Update", "Path", true, "a  b"},
    {"comment cut from value", "[Update]\nFile=x # comment\n", "Update", "File", true, "x"},
    {"value that is only a comment", "[Update]\nFile=#x\n", "Update", "File", true, ""},
    {"empty value", "[Update]\nFile=\n", "Update", "File", true, ""},
    {"line without '='", "[Update]\nFile\n", "Update", "File", true, ""},
    {"later '=' belong to the value", "[S]\nA=b=c\n", "S", "A", true, "b=c"},
    {"leading '=' skipped", "[S]\n==A=b\n", "S", "A", true, "b"},
    {"'#' inside a key is no comment", "[S]\nA#1=b\n", "S", "A#1", true, "b"},
    {"comment line", "[S]\n#A=b\nA=c\n", "S", "A", true, "c"},
    {"indented comment line", "[S]\n  \t# A=b\nA=c\n", "S", "  \t# A", false, nullptr},
    {"repeated key keeps first value", "[S]\nA=1\nA=2\n", "S", "A", true, "1"},
    {"repeated key without value first", "[S]\nA\nA=2\n", "S", "A", true, ""},
    {"first of two sections answers", "[Update]\nServer=one\n[Update]\nServer=two\n", "Update",
     "Server", true, "one"},
    {"second section of a name never searched", "[Update]\nPath=/\n[update]\nServer=two\n",
     "Update", "Server", false, nullptr},
    {"indented header", "  [Update]\nServer=x\n", "Update", "Server", true, "x"},
    {"header name not trimmed", "[ Update ]\nServer=x\n", " Update ", "Server", true, "x"},
    {"header name not trimmed, plain lookup", "[ Update ]\nServer=x\n", "Update", "Server", false,
     nullptr},
    {"'[Update] ' later is a key of the earlier section", "[A]\nk=1\n[Update] \nServer=x\n", "A",
     "Server", true, "x"},
    {"'[Update] ' later stored as a key", "[A]\n[Update] \n", "A", "[Update]", true, ""},
    {"'[]' is an entry", "[A]\n[]\n", "A", "[]", true, ""},
    {"CR LF line ends", "[Update]\r\nServer=x\r\nPath=/a/\r\n", "Update", "Path", true, "/a/"},
    {"no final line end", "[Update]\nServer=x", "Update", "Server", true, "x"},
    {"GBK key and value", "[\xb8\xfc\xd0\xc2]\n\xb5\xd8\xd6\xb7=\xb7\xfe\xce\xf1\xc6\xf7\n",
     "\xb8\xfc\xd0\xc2", "\xb5\xd8\xd6\xb7", true, "\xb7\xfe\xce\xf1\xc6\xf7"},
    // 0xC1 0x41 is a GBK character whose second byte is 'A': bytes fold like ASCII.
    {"GBK trail byte folds like ASCII in a section name", "[\xc1\x41]\nk=v\n", "\xc1\x61", "k",
     true, "v"},
    {"high bytes are not blanks", "[S]\nk=\xa1\xa1x\xa1\xa1\n", "S", "k", true,
     "\xa1\xa1x\xa1\xa1"},
    {"NUL ends the visible line", std::string("[S]\nk=ab\0cd\nm=n\n", 16), "S", "k", true, "ab"},
    {"line after a NUL still read", std::string("[S]\nk=ab\0cd\nm=n\n", 16), "S", "m", true, "n"},
    {"null section", "[S]\nk=v\n", nullptr, "k", false, nullptr},
    {"null key", "[S]\nk=v\n", "S", nullptr, false, nullptr},
    {"unknown section", "[S]\nk=v\n", "T", "k", false, nullptr},
    {"empty document", "", "S", "k", false, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, LookupTest, ::testing::ValuesIn(kLookups));

struct LoadFailureCase {
    const char* label;
    const char* document;
};

void PrintTo(const LoadFailureCase& c, std::ostream* os) {
    *os << c.label;
}

class LoadFailureTest : public ::testing::TestWithParam<LoadFailureCase> {};

TEST_P(LoadFailureTest, RefusesDocument) {
    const LoadFailureCase& c = GetParam();
    CDocumentFile file(c.document);
    CIniDocument doc;
    EXPECT_FALSE(doc.Load(file.Path())) << c.label;
    EXPECT_EQ(doc.GetKeyCount("Update"), 0u) << c.label;
}

const LoadFailureCase kLoadFailures[] = {
    {"entry before any header", "Server=x\n[Update]\nPath=/\n"},
    {"first header with a trailing blank", "[Update] \nServer=x\n"},
    {"'[]' before any header", "[]\n[Update]\n"},
    {"blank-only first line then entry", " \t\nServer=x\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, LoadFailureTest, ::testing::ValuesIn(kLoadFailures));

TEST(CIniDocument, CommentsAndBlankLinesBeforeHeaderAreFine) {
    CDocumentFile file("# about\n\n   \r\n\t# more\n[S]\nk=v\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path()));
    EXPECT_EQ(doc.GetKeyCount("S"), 1u);
}

TEST(CIniDocument, MissingFileFailsWithItsErrorText) {
    const std::string path = CScratchDir().File("no_such_settings_file.ini");
    std::remove(path.c_str());
    CIniDocument doc;
    EXPECT_STREQ(doc.GetLastError(), "");
    EXPECT_FALSE(doc.Load(path.c_str()));
    // "无法打开目标文件 " in code page 936, then the path.
    const std::string expected =
        "\xce\xde\xb7\xa8\xb4\xf2\xbf\xaa\xc4\xbf\xb1\xea\xce\xc4\xbc\xfe " + path;
    EXPECT_EQ(std::string(doc.GetLastError()), expected);
}

TEST(CIniDocument, NullPathFails) {
    CIniDocument doc;
    EXPECT_FALSE(doc.Load(nullptr));
}

TEST(CIniDocument, LoadDiscardsEarlierContentEvenWhenItFails) {
    CDocumentFile first("[A]\nk=1\n");
    CDocumentFile bad("k=1\n");
    CDocumentFile second("[B]\nk=2\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(first.Path()));
    ASSERT_TRUE(doc.Load(second.Path()));
    EXPECT_EQ(doc.GetKeyCount("A"), 0u);
    EXPECT_EQ(doc.GetKeyCount("B"), 1u);
    EXPECT_FALSE(doc.Load(bad.Path()));
    EXPECT_EQ(doc.GetKeyCount("B"), 0u);
}

TEST(CIniDocument, ClearDropsEverything) {
    CDocumentFile file("[A]\nk=1\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path()));
    doc.Clear();
    char buffer[8];
    EXPECT_FALSE(doc.GetString("A", "k", buffer, sizeof buffer));
    EXPECT_EQ(doc.GetKeyCount("A"), 0u);
}

// A line longer than 1023 bytes arrives in pieces, each read as a line.
TEST(CIniDocument, LongLineSplitsIntoPieces) {
    const std::string key(1000, 'k');
    // Piece one: "K=" + 1021 'a' (1023 bytes). Piece two starts at "tail=...".
    const std::string first = "K=" + std::string(1021, 'a');
    CDocumentFile file("[S]\n" + first + "tail=yes\n" + key + "=v\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path()));
    char buffer[2048];
    ASSERT_TRUE(doc.GetString("S", "K", buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), std::string(1021, 'a'));
    ASSERT_TRUE(doc.GetString("S", "tail", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "yes");
    ASSERT_TRUE(doc.GetString("S", key.c_str(), buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "v");
    EXPECT_EQ(doc.GetKeyCount("S"), 3u);
}

TEST(CIniDocument, LongLinePieceCanBeAHeader) {
    // The second piece of an over-long entry line is "[T]" and opens a section.
    const std::string first = "K=" + std::string(1021, 'a');
    CDocumentFile file("[S]\n" + first + "[T]\nk=v\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path()));
    EXPECT_EQ(doc.GetKeyCount("S"), 1u);
    char buffer[8];
    ASSERT_TRUE(doc.GetString("T", "k", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "v");
}

TEST(CIniDocument, ValueMustFitWithItsTerminator) {
    CDocumentFile file("[S]\nk=abcd\nempty=\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path()));
    char buffer[8];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_FALSE(doc.GetString("S", "k", buffer, 4));
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(8, 'Z'));
    EXPECT_TRUE(doc.GetString("S", "k", buffer, 5));
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_FALSE(doc.GetString("S", "empty", buffer, 0));
    EXPECT_TRUE(doc.GetString("S", "empty", buffer, 1));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(doc.GetString("S", "k", nullptr, 100));
}

TEST(CIniDocument, GetIntReadsAsAtoi) {
    CDocumentFile file("[L]\nplain=42\nneg=-17\nlead= +8x\ntext=abc\nnone=\nbig=4294967297\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path()));
    const struct {
        const char* key;
        bool found;
        int expected;
    } cases[] = {
        {"plain", true, 42}, {"neg", true, -17}, {"lead", true, 8},     {"text", true, 0},
        {"none", true, 0},   {"big", true, 1},   {"missing", false, 0},
    };
    for (const auto& c : cases) {
        int value = 12345;
        EXPECT_EQ(doc.GetInt("l", c.key, value), c.found) << c.key;
        EXPECT_EQ(value, c.found ? c.expected : 12345) << c.key;
    }
}

TEST(CIniDocument, KeyOrderIsUnsignedByteOrder) {
    // 'B' < 'a' < 'b' < 0xB0 (a GBK lead byte): unsigned, case-sensitive order.
    CDocumentFile file("[U]\nb=2\n\xb0\xa1=4\na=1\nB=0\nnovalue\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path()));
    ASSERT_EQ(doc.GetKeyCount("u"), 5u);
    const char* expected[] = {"0", "1", "2", nullptr, "4"};
    for (int i = 0; i < 5; ++i) {
        const char* value = doc.GetValueAt("U", i);
        if (expected[i] == nullptr) {
            EXPECT_EQ(value, nullptr) << i; // "novalue" sorts between "b" and 0xB0
        } else {
            ASSERT_NE(value, nullptr) << i;
            EXPECT_STREQ(value, expected[i]) << i;
        }
    }
}

TEST(CIniDocument, GetValueAtRefusesBadRequests) {
    CDocumentFile file("[U]\na=1\nb=2\n[U]\nc=3\nd=4\ne=5\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path()));
    EXPECT_EQ(doc.GetKeyCount("U"), 2u); // only the first [U]
    EXPECT_EQ(doc.GetKeyCount(nullptr), 0u);
    EXPECT_EQ(doc.GetKeyCount("V"), 0u);
    const struct {
        const char* section;
        int index;
    } bad[] = {{nullptr, 0}, {"U", -1}, {"U", 2}, {"U", 4}, {"V", 0}, {"U", -2147483647 - 1}};
    for (const auto& c : bad) {
        EXPECT_EQ(doc.GetValueAt(c.section, c.index), nullptr) << c.index;
    }
    ASSERT_NE(doc.GetValueAt("U", 1), nullptr);
    EXPECT_STREQ(doc.GetValueAt("U", 1), "2");
}

TEST(CIniDocument, EmptySectionCountsNothing) {
    CDocumentFile file("[Empty]\n[Full]\nk=v\n");
    CIniDocument doc;
    ASSERT_TRUE(doc.Load(file.Path()));
    EXPECT_EQ(doc.GetKeyCount("Empty"), 0u);
    EXPECT_EQ(doc.GetValueAt("Empty", 0), nullptr);
    EXPECT_EQ(doc.GetKeyCount("Full"), 1u);
}

} // namespace
