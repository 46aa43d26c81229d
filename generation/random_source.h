#pragma once
// The run's pseudo-random source: the 32-bit Mersenne Twister MT19937 (the sequence of
// std::mt19937) from a 32-bit seed. Its algorithm and this exact use of its outputs,
// together with the fixed build flags (no FMA contraction, no fast-math, no host-specific
// instructions), make a ray set reproducible from its seed on every machine. A window run
// seeds it with the current time in whole seconds.

#include <array>
#include <cstdint>

namespace lumiva {

inline constexpr std::uint32_t kGridResolution = 100000;

// MT19937 on 32-bit words: the same outputs as std::mt19937, at about a third of its cost
// here (the library's engine keeps its state in 64-bit words and branches on every
// regenerated word).
class Mt19937 {
public:
    explicit Mt19937(std::uint32_t seed) {
        state_[0] = seed;
        for (std::uint32_t i = 1; i < kWords; ++i)
            state_[i] = 1812433253u * (state_[i - 1] ^ (state_[i - 1] >> 30)) + i;
    }

    std::uint32_t operator()() {
        if (next_ == kWords) regenerate();
        std::uint32_t y = state_[next_++];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        return y ^ (y >> 18);
    }

private:
    static constexpr std::uint32_t kWords = 624, kShift = 397;

    static std::uint32_t twist(std::uint32_t word, std::uint32_t following, std::uint32_t far) {
        const std::uint32_t y = (word & 0x80000000u) | (following & 0x7fffffffu);
        return far ^ (y >> 1) ^ ((0u - (y & 1u)) & 0x9908b0dfu);
    }

    void regenerate() {
        std::uint32_t i = 0;
        for (; i < kWords - kShift; ++i)
            state_[i] = twist(state_[i], state_[i + 1], state_[i + kShift]);
        for (; i < kWords - 1; ++i)
            state_[i] = twist(state_[i], state_[i + 1], state_[i + kShift - kWords]);
        state_[kWords - 1] = twist(state_[kWords - 1], state_[0], state_[kShift - 1]);
        next_ = 0;
    }

    std::array<std::uint32_t, kWords> state_;
    std::uint32_t next_ = kWords;
};

class RandomSource {
public:
    explicit RandomSource(std::uint32_t seed) : engine_(seed) {}

    // A whole number from 0 to n - 1: the next output's top 31 bits (0 ... 2147483647)
    // modulo n.
    std::uint32_t random(std::uint32_t n) { return (engine_() >> 1) % n; }

    // random(100000): which of the grid's 100000 fractions comes next.
    std::uint32_t gridIndex() { return random(kGridResolution); }
    // (random(100000) + 1) / 100000: 0.00001 ... 1 in steps of 0.00001.
    double gridFraction() { return gridFractionOf(gridIndex()); }

    static double gridFractionOf(std::uint32_t index) { return (index + 1) / 100000.0; }

private:
    Mt19937 engine_;
};

}  // namespace lumiva
