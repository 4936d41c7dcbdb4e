// The guard's command line: what the updater writes, the guard reads back,
// and nothing else.
#include "GuardOrder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

updater::GuardOrder Order() {
    updater::GuardOrder order;
    order.updaterProcess = 0x1F4;
    order.instanceMutex = 0xFFFFFFFFFFFFFFFFull;
    order.heldSetup = 0;
    order.clientAgreed = true;
    order.version = 0x01020305;
    order.digestHex = std::string(64, 'c');
    order.setupPath = "C:\\users\\a b\\Temp\\VemliGuard-1\\VemliSetup.exe";
    order.setupArguments = " /S /D=C:\\Program Files\\Vemli";
    order.installFolder = "C:\\Program Files\\Vemli";
    return order;
}

TEST(GuardOrder, ReadsBackWhatTheUpdaterWrote) {
    for (const bool signed_ : {true, false}) {
        updater::GuardOrder order = Order();
        if (!signed_) {
            order.digestHex.clear();
            order.clientAgreed = false;
        }
        std::string arguments;
        ASSERT_TRUE(updater::FormatGuardArguments(order, arguments));
        EXPECT_TRUE(updater::IsGuardArguments(arguments.c_str()));
        updater::GuardOrder read;
        ASSERT_TRUE(updater::ParseGuardArguments(arguments.c_str(), read)) << arguments;
        EXPECT_EQ(read.updaterProcess, order.updaterProcess);
        EXPECT_EQ(read.instanceMutex, order.instanceMutex);
        EXPECT_EQ(read.heldSetup, order.heldSetup);
        EXPECT_EQ(read.clientAgreed, order.clientAgreed);
        EXPECT_EQ(read.version, order.version);
        EXPECT_EQ(read.digestHex, order.digestHex);
        EXPECT_EQ(read.setupPath, order.setupPath);
        EXPECT_EQ(read.setupArguments, order.setupArguments);
        EXPECT_EQ(read.installFolder, order.installFolder);
    }
    const std::string expected = "-guard 500 18446744073709551615 0 1 16909061 " +
                                 std::string(64, 'c') +
                                 " \"C:\\users\\a b\\Temp\\VemliGuard-1\\VemliSetup.exe\" \" /S "
                                 "/D=C:\\Program Files\\Vemli\" \"C:\\Program Files\\Vemli\"";
    std::string arguments;
    ASSERT_TRUE(updater::FormatGuardArguments(Order(), arguments));
    EXPECT_EQ(arguments, expected);
}

TEST(GuardOrder, NoQuoteInAText) {
    updater::GuardOrder order = Order();
    order.installFolder = "C:\\a\"b";
    std::string arguments = "unchanged";
    EXPECT_FALSE(updater::FormatGuardArguments(order, arguments));
    order = Order();
    order.setupPath.clear();
    EXPECT_FALSE(updater::FormatGuardArguments(order, arguments));
    EXPECT_EQ(arguments, "unchanged");
}

TEST(GuardOrder, RefusesEverythingElse) {
    const std::string tail = " \"C:\\T\\s.exe\" \" /S /D=C:\\V\" \"C:\\V\"";
    const struct {
        const char* label;
        std::string arguments;
    } cases[] = {
        {"no switch", "-v16909060"},
        {"switch alone", "-guard"},
        {"switch in other case", "-GUARD 1 2 0 1 5 -" + tail},
        {"a field missing", "-guard 1 2 0 1 -" + tail},
        {"a field too many", "-guard 1 2 0 1 5 - 7" + tail},
        {"agreed not 0 or 1", "-guard 1 2 0 2 5 -" + tail},
        {"version over 32 bits", "-guard 1 2 0 1 4294967296 -" + tail},
        {"handle over 64 bits", "-guard 18446744073709551616 2 0 1 5 -" + tail},
        {"negative handle", "-guard -1 2 0 1 5 -" + tail},
        {"digest too short", "-guard 1 2 0 1 5 abc" + tail},
        {"digest in upper case", "-guard 1 2 0 1 5 " + std::string(64, 'C') + tail},
        {"two blanks", "-guard 1  2 0 1 5 -" + tail},
        {"trailing blank", "-guard 1 2 0 1 5 -" + tail + " "},
        {"quote not closed", "-guard 1 2 0 1 5 - \"C:\\T\\s.exe \" /S\" \"C:\\V\""},
        {"empty path", "-guard 1 2 0 1 5 - \"\" \" /S /D=C:\\V\" \"C:\\V\""},
        {"text after a quote", "-guard 1 2 0 1 5 - \"C:\\T\\s.exe\"x \" /S\" \"C:\\V\""},
    };
    for (const auto& c : cases) {
        updater::GuardOrder order;
        order.version = 77;
        EXPECT_FALSE(updater::ParseGuardArguments(c.arguments.c_str(), order)) << c.label;
        EXPECT_EQ(order.version, 77u) << c.label;
    }
    updater::GuardOrder order;
    EXPECT_TRUE(updater::ParseGuardArguments(("-guard 1 2 0 1 5 -" + tail).c_str(), order));
    EXPECT_FALSE(updater::ParseGuardArguments(nullptr, order));
}

} // namespace
