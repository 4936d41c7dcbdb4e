// Which input a folder export would write over.
#include "InputChecks.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

TEST(InputChecks, FindsTheInputAFolderExportWouldWriteOver) {
    CScratchDir scratch("exporter");
    const fs::path out = scratch.Path() / "out";
    for (const char* file : {"out/42.csv", "out/INDEX.html", "out/7.dat",
                             "out/2026-01/2026-01.html", "out/42/42.dat", "elsewhere/42.csv"}) {
        fs::create_directories((scratch.Path() / file).parent_path());
        std::ofstream(scratch.Path() / file) << "log";
    }
    struct Case {
        const char* input; // under the scratch folder
        std::vector<std::string> written;
        const char* pageExtension;
        bool found;
    };
    const Case cases[] = {
        {"out/42.csv", {"index.csv", "42.csv"}, "", true},
        {"elsewhere/42.csv", {"index.csv", "42.csv"}, "", false},
        {"out/7.dat", {"index.csv", "7.csv"}, "", false},
        {"out/INDEX.html", {"index.html"}, "", fs::exists(out / "index.html")}, // as the FS names
        {"out/2026-01/2026-01.html", {"index.html", "2026-01"}, ".html", true},
        {"out/2026-01/2026-01.html", {"index.html", "2026-01.html"}, "", false},
        {"out/42/42.dat", {"index.html", "42"}, ".html", false},
        {"out/42.csv", {"index.csv", "42.csv"}, ".csv", true},
        {"out/42.csv", {"index.csv"}, "", false},
    };
    for (const Case& c : cases) {
        std::vector<fs::path> inputs = {scratch.Path() / "elsewhere" / "42.csv",
                                        scratch.Path() / c.input};
        std::size_t got = exporter::FindInputWrittenOver(inputs, out, c.written, c.pageExtension);
        EXPECT_EQ(got, c.found ? 1u : inputs.size()) << c.input << " " << c.pageExtension;
        EXPECT_EQ(exporter::FindInputWrittenOver(inputs, scratch.Path() / "none", c.written,
                                                 c.pageExtension),
                  inputs.size())
            << c.input;
    }
}
