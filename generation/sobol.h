#pragma once
// The Sobol quasi-random generator (Bratley and Fox, ACM TOMS Algorithm 659): up to 40
// dimensions, 30 binary digits per component, points in Gray-code order. One process-wide
// instance; its tables and counters live until the process ends.
//
// On a dimension outside 2 ... 40 or a seed whose column exceeds MAXCOL it writes its
// fixed report to standard output and ends the process (status 1 or 2).

#include <cstdint>

namespace lumiva {

inline constexpr std::int32_t MAX_DIMENSION = 40;
inline constexpr std::int32_t BIT_COUNT = 30;

// Fills POINT[0 .. DIM_NUM-1] with the point for SEED (set to 0 first if negative) and
// leaves SEED one greater than the value used.
void I4_SOBOL(std::int32_t DIM_NUM, std::int32_t& SEED, float* POINT);

// 1-based position of the highest 1 bit; 0 for n <= 0.
std::int32_t HIGHEST_ONE_BIT(std::int32_t n);
// 1-based position of the lowest 0 bit.
std::int32_t LOWEST_ZERO_BIT(std::int32_t n);

// Puts the generator back in its program-start state. For tests, which need the
// behaviour of a fresh process without starting one.
void resetSobolForTesting();
// DIRECTIONS[dimension][column] as it stands (1-based), for tests.
std::int32_t sobolDirectionForTesting(std::int32_t dimension, std::int32_t column);
// Sets LAST_SEED, so that tests reach the top of the seed range without walking a
// billion seeds to get there.
void setSobolLastSeedForTesting(std::int32_t last_seed);

// The initial direction numbers of dimensions 1 ... 40: for dimension d (0-based row
// d - 1) the polynomial, its degree s and m_1 ... m_s.
struct SobolInitialRow {
    std::int32_t polynomial;
    std::int32_t degree;
    std::int32_t numbers[8];
};
extern const SobolInitialRow kSobolInitialRows[MAX_DIMENSION];

}  // namespace lumiva
