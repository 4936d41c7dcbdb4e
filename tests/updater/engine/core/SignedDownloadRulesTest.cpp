// The signed download's decisions: what the record beside a part allows,
// how much of the part is kept, and what each answer means.
#include "SignedDownloadRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using updater::AnswerMeaning;

TEST(SignedDownloadRules, RecordAllowsResume) {
    const updater::SetupDigest digest{{1, 2, 3}};
    const updater::SetupDigest other{{1, 2, 4}};
    const std::vector<std::string> addresses = {"http://a/s.exe", "https://b/s.exe"};
    const std::int64_t week = updater::kPartMaxAgeSeconds;
    struct Case {
        const char* label;
        std::int64_t age;
        bool haveRecord;
        updater::PartRecord record;
        bool allowed;
    };
    const Case cases[] = {
        {"fresh, same setup", 0, true, {"https://b/s.exe", "\"e1\"", digest, 3000}, true},
        {"a week old", week, true, {"http://a/s.exe", "", digest, 3000}, true},
        {"older than a week", week + 1, true, {"http://a/s.exe", "", digest, 3000}, false},
        {"age unknown", -1, true, {"http://a/s.exe", "", digest, 3000}, false},
        {"no record", 0, false, {"http://a/s.exe", "", digest, 3000}, false},
        {"another digest", 0, true, {"http://a/s.exe", "", other, 3000}, false},
        {"another size", 0, true, {"http://a/s.exe", "", digest, 2999}, false},
        {"an address no longer offered", 0, true, {"http://c/s.exe", "", digest, 3000}, false},
        {"an address's prefix", 0, true, {"http://a/s.ex", "", digest, 3000}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(updater::RecordAllowsResume(c.age, c.haveRecord ? &c.record : nullptr, digest,
                                              3000, addresses),
                  c.allowed)
            << c.label;
    }
}

TEST(SignedDownloadRules, BytesToKeep) {
    struct Case {
        bool resumable;
        std::uint64_t partSize, size, kept;
    };
    const Case cases[] = {
        {true, 1500, 3000, 1500}, {true, 3000, 3000, 3000}, {true, 3001, 3000, 0},
        {true, 0, 3000, 0},       {false, 1500, 3000, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(updater::BytesToKeep(c.resumable, c.partSize, c.size), c.kept)
            << c.resumable << " " << c.partSize << "/" << c.size;
    }
}

TEST(SignedDownloadRules, WhatAnAnswerMeans) {
    const char* kRest = "bytes 1000-2999/3000";
    struct Case {
        const char* label;
        unsigned long status;
        bool announced;
        std::uint64_t length;
        const char* contentRange;
        unsigned attempt;
        std::uint64_t offset;
        AnswerMeaning meaning;
    };
    const Case cases[] = {
        {"whole", 200, true, 3000, nullptr, 0, 0, AnswerMeaning::Whole},
        {"whole, no length", 200, false, 0, nullptr, 0, 0, AnswerMeaning::Whole},
        {"whole for a range: over", 200, true, 3000, nullptr, 1, 1000, AnswerMeaning::Whole},
        {"whole of another size", 200, true, 2999, nullptr, 0, 0, AnswerMeaning::SizeMismatch},
        {"the rest", 206, true, 2000, kRest, 1, 1000, AnswerMeaning::Continues},
        {"the rest, no length", 206, false, 0, kRest, 0, 1000, AnswerMeaning::Continues},
        {"the rest, a wrong length", 206, true, 2001, kRest, 1, 1000, AnswerMeaning::Refused},
        {"another range", 206, true, 1999, "bytes 1001-2999/3000", 1, 1000, AnswerMeaning::Refused},
        {"a range without Content-Range", 206, true, 2000, nullptr, 1, 1000,
         AnswerMeaning::Refused},
        {"a range never asked for", 206, true, 3000, "bytes 0-2999/3000", 0, 0,
         AnswerMeaning::Refused},
        {"a range never asked for, later", 206, true, 3000, "bytes 0-2999/3000", 1, 0,
         AnswerMeaning::Refused},
        {"404 at first", 404, true, 10, nullptr, 0, 0, AnswerMeaning::Missing},
        {"404 for an earlier run's part", 404, true, 10, nullptr, 0, 1000, AnswerMeaning::Missing},
        {"404 asking again", 404, true, 10, nullptr, 2, 1000, AnswerMeaning::Refused},
        {"416 asking again", 416, false, 0, "bytes */3000", 1, 1000, AnswerMeaning::Refused},
        // No answer: the end of a first request, one of the tries of any other.
        {"no answer at first", 0, false, 0, nullptr, 0, 0, AnswerMeaning::Missing},
        {"no answer for an earlier run's part", 0, false, 0, nullptr, 0, 1000,
         AnswerMeaning::Unanswered},
        {"no answer resuming", 0, false, 0, nullptr, 3, 1000, AnswerMeaning::Unanswered},
        {"no answer asking again from 0", 0, false, 0, nullptr, 1, 0, AnswerMeaning::Unanswered},
    };
    for (const Case& c : cases) {
        updater::AnswerFacts answer;
        answer.status = c.status;
        answer.announced = c.announced;
        answer.announcedLength = c.length;
        answer.contentRange = c.contentRange;
        EXPECT_EQ(updater::JudgeAnswer(answer, c.attempt, c.offset, 3000), c.meaning) << c.label;
    }
}

} // namespace
