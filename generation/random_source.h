#pragma once
// The run's pseudo-random source: std::mt19937 from a 32-bit seed. Its algorithm and
// this exact use of its outputs, together with the fixed build flags (no FMA contraction,
// no fast-math, no host-specific instructions), make a ray set reproducible from its seed
// on every machine. A window run seeds it with the current time in whole seconds.

#include <cstdint>
#include <random>

namespace lumiva {

inline constexpr std::uint32_t kGridResolution = 100000;

class RandomSource {
public:
    explicit RandomSource(std::uint32_t seed) : engine_(seed) {}

    // A whole number from 0 to n - 1: the next output's top 31 bits (0 ... 2147483647)
    // modulo n.
    std::uint32_t random(std::uint32_t n) { return (engine_() >> 1) % n; }

    // (random(100000) + 1) / 100000: 0.00001 ... 1 in steps of 0.00001.
    double gridFraction() { return (random(kGridResolution) + 1) / 100000.0; }

private:
    std::mt19937 engine_;
};

}  // namespace lumiva
