// From operands to chat log files.
#include "ExportInputs.h"

#include "ChatLogWriter.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(ExportInputs, FindsTheLogsOfEachKindOfOperand) {
    CScratchDir scratch("exporter");
    const fs::path& root = scratch.Path();
    std::string log = BuildHeaderBytes(ChatLogHeaderFields());
    WriteFile(root / "12345" / "ChatLog" / "1.dat", log);
    WriteFile(root / "12345" / "ChatLog" / "2.DAT", log);
    WriteFile(root / "12345" / "ChatLog" / "3.txt", log);
    fs::create_directories(root / "12345" / "ChatLog" / "4.dat");
    WriteFile(root / "loose" / "7.dat", log);
    WriteFile(root / "empty" / "readme.txt", "x");
    WriteFile(root / "any.bin", log);
    struct Case {
        fs::path operand;
        bool ok;
        std::vector<std::string> names; // sorted
        std::string ownerKey;
    };
    const Case cases[] = {
        {root / "12345", true, {"1.dat", "2.DAT"}, "12345"},
        {root / "12345" / "", true, {"1.dat", "2.DAT"}, "12345"},
        {root / "12345" / "ChatLog", true, {"1.dat", "2.DAT"}, "12345"},
        {root / "loose", true, {"7.dat"}, ""},
        {root / "any.bin", true, {"any.bin"}, ""},
        {root / "empty", false, {}, ""},
        {root / "missing", false, {}, ""},
    };
    for (const Case& c : cases) {
        std::vector<ExportSource> sources;
        std::string error;
        EXPECT_EQ(exporter::CollectExportSources(exporter::PathText(c.operand), sources, error),
                  c.ok)
            << exporter::PathText(c.operand) << ": " << error;
        std::vector<std::string> names;
        for (const ExportSource& s : sources) {
            names.push_back(exporter::PathText(s.path.filename()));
            EXPECT_EQ(s.hasOwnerKey, !c.ownerKey.empty());
            EXPECT_EQ(s.ownerKey, c.ownerKey);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.names) << exporter::PathText(c.operand);
    }
}
