// What the benchmarks measure with: milliseconds between two clock readings,
// the median of rounds, and the bare walk every chat log walk is compared
// with.
#pragma once

#include "ChatLogFormat.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

using Clock = std::chrono::steady_clock;

inline double Millis(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The least any walk can do: follow wLength from record to record.
inline std::size_t BareWalk(const unsigned char* view, std::uint32_t size) {
    std::size_t count = 0;
    std::uint32_t pos = chatlog::kChatLogHeaderSize;
    while (size - pos >= 2) {
        std::uint16_t length;
        std::memcpy(&length, view + pos, 2);
        if (length == 0 || length > size - pos)
            break;
        pos += length;
        ++count;
    }
    return count;
}
