// Output files are whole or absent.
#include "AtomicOutputFile.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(AtomicOutputFile, OutputFileIsWholeOrAbsent) {
    CScratchDir scratch("exporter");
    fs::path target = scratch.Path() / "out.csv";
    std::ofstream(target, std::ios::binary) << "old";
    std::string error;
    {
        // Abandoned halfway: the old file stays and no temporary is left.
        CAtomicOutputFile file;
        ASSERT_TRUE(file.Create(target, error)) << error;
        std::fputs("half", file.Stream());
    }
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path()), fs::directory_iterator()), 1);
    {
        CAtomicOutputFile file;
        ASSERT_TRUE(file.Create(target, error)) << error;
        std::fputs("new and whole", file.Stream());
        EXPECT_EQ(ReadFile(target), "old"); // not yet
        ASSERT_TRUE(file.Commit(error)) << error;
    }
    EXPECT_EQ(ReadFile(target), "new and whole");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path()), fs::directory_iterator()), 1);
    CAtomicOutputFile nowhere;
    EXPECT_FALSE(nowhere.Create(scratch.Path() / "no" / "such" / "folder.csv", error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
}
