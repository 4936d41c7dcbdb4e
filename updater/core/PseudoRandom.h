// The number that picks a download address. Seeded on the main thread and
// drawn on the engine's check thread: the C runtime's rand() keeps its state
// per thread on Windows, so a seed given on one thread never reaches another
// (every run would draw the same first number there). One process-wide
// generator with the same sequence as the runtime's does what is meant.
#pragma once

#include <cstdint>

class CPseudoRandom {
public:
    // Largest number Next returns.
    static constexpr unsigned kMax = 32767;

    explicit CPseudoRandom(std::uint32_t seed = 1) : m_state(seed) {}

    void Seed(std::uint32_t seed) { m_state = seed; }

    // 0 to 32767; the Microsoft C runtime's linear congruential sequence.
    unsigned Next();

private:
    std::uint32_t m_state;
};
