// The failed-setup record: what it may hold back, and that a damaged or
// planted one can only ever hold back the very setup it names, for a day.
#include "FailedSetupRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::int64_t kNow = 1800000000; // 2027-01-15
const std::int64_t kDay = updater::kFailedSetupHoldSeconds;
const std::string kDigest(64, 'a');
const std::string kOther = std::string(63, 'a') + "b";

std::string Record(std::uint32_t version, const std::string& digest, std::int64_t time) {
    updater::FailedSetup failed;
    failed.version = version;
    failed.digestHex = digest;
    failed.time = time;
    return updater::FormatFailedSetupRecord(failed);
}

TEST(FailedSetupRecord, ReadsWhatItWrites) {
    const std::string text = Record(0xFFFFFFFF, kDigest, kNow);
    EXPECT_EQ(text, "version=4294967295\r\ndigest=" + kDigest + "\r\ntime=1800000000\r\n");
    updater::FailedSetup read;
    ASSERT_TRUE(updater::ParseFailedSetupRecord(text, read));
    EXPECT_EQ(read.version, 0xFFFFFFFFu);
    EXPECT_EQ(read.digestHex, kDigest);
    EXPECT_EQ(read.time, kNow);
}

struct HoldCase {
    const char* label;
    std::string record;
    std::uint32_t offered;
    std::string offeredDigest;
    bool holdsBack;
};

TEST(FailedSetupRecord, HoldsBackOnlyTheSameSetupForADay) {
    const HoldCase cases[] = {
        {"same version, no key, an hour ago", Record(5, "", kNow - 3600), 5, "", true},
        {"same version and digest", Record(5, kDigest, kNow - 3600), 5, kDigest, true},
        {"digest in upper case", Record(5, kDigest, kNow), 5, std::string(64, 'A'), true},
        {"exactly 24 hours old", Record(5, "", kNow - kDay), 5, "", true},
        {"a second older", Record(5, "", kNow - kDay - 1), 5, "", false},
        {"newer version offered", Record(5, "", kNow), 6, "", false},
        {"older version offered", Record(5, "", kNow), 4, "", false},
        {"other digest", Record(5, kDigest, kNow), 5, kOther, false},
        {"record without digest, key now", Record(5, "", kNow), 5, kDigest, false},
        {"record with digest, no key now", Record(5, kDigest, kNow), 5, "", false},
        {"planted in the future", Record(5, "", kNow + 1), 5, "", false},
        {"planted far in the future", Record(5, "", 0x7FFFFFFFFFFFFFFF), 5, "", false},
        {"time 0", Record(5, "", 0), 5, "", false},
        {"\\n line ends", "version=5\ndigest=\ntime=1800000000\n", 5, "", true},
        {"other order", "time=1800000000\r\nversion=5\r\ndigest=\r\n", 5, "", true},
        {"empty", "", 5, "", false},
        {"cut short", "version=5\r\ndigest=\r\ntime=18000", 5, "", false},
        {"a line missing", "version=5\r\ntime=1800000000\r\n", 5, "", false},
        {"a line twice", "version=5\r\ndigest=\r\ntime=1800000000\r\nversion=5\r\n", 5, "", false},
        {"unknown line", Record(5, "", kNow) + "hold=forever\r\n", 5, "", false},
        {"version too large", "version=4294967296\r\ndigest=\r\ntime=1800000000\r\n", 0, "", false},
        {"signed number", "version=+5\r\ndigest=\r\ntime=1800000000\r\n", 5, "", false},
        {"negative time", "version=5\r\ndigest=\r\ntime=-1\r\n", 5, "", false},
        {"time of 20 digits", "version=5\r\ndigest=\r\ntime=00000000001800000000\r\n", 5, "",
         false},
        {"short digest", Record(5, kDigest.substr(1), kNow), 5, kDigest.substr(1), false},
        {"digest not hex", Record(5, std::string(64, 'g'), kNow), 5, std::string(64, 'g'), false},
        {"blank after a value", "version=5 \r\ndigest=\r\ntime=1800000000\r\n", 5, "", false},
    };
    for (const HoldCase& c : cases) {
        EXPECT_EQ(updater::RecordHoldsBack(c.record, c.offered, c.offeredDigest, kNow), c.holdsBack)
            << c.label;
    }
}

} // namespace
