#include "generation/sobol.h"

#include <cstdio>
#include <cstdlib>

namespace lumiva {

namespace {

// The generator's process-wide state, with its values at program start. Arrays are
// 1-based as the algorithm numbers dimensions and columns; index 0 is unused.
bool TABLE_BUILT = false;
std::int32_t TABLE_DIM = 0;
std::int32_t DIRECTIONS[MAX_DIMENSION + 1][BIT_COUNT + 1] = {};
std::int32_t MAXCOL = 0;
float SCALE = 0.0f;
std::int32_t ACCUM[MAX_DIMENSION + 1] = {};
// 0, not -1: a first call with seed 1 is taken as the next point after seed 0.
std::int32_t LAST_SEED = 0;

// The constant POLYNOMIALS of the state lives beside the initial direction numbers in
// kSobolInitialRows, so the two cannot drift apart; this reads dimension d's entry.
std::int32_t POLYNOMIALS(std::int32_t d) { return kSobolInitialRows[d - 1].polynomial; }

[[noreturn]] void dimensionReport(std::int32_t DIM_NUM) {
    std::fputs("\n", stdout);
    std::fputs("I4_SOBOL - Fatal error!\n", stdout);
    std::fputs("  The spatial dimension DIM_NUM should satisfy:\n", stdout);
    std::printf("    2 <= DIM_NUM <= %d\n", static_cast<int>(MAX_DIMENSION));
    std::printf("  But this input value is DIM_NUM = %d\n", static_cast<int>(DIM_NUM));
    std::fflush(stdout);
    std::exit(1);
}

[[noreturn]] void seedReport(std::int32_t SEED, std::int32_t L) {
    std::fputs("\n", stdout);
    std::fputs("I4_SOBOL - Fatal error!\n", stdout);
    std::fputs("  The value of SEED seems to be too large!\n", stdout);
    std::printf("  SEED =   %d\n", static_cast<int>(SEED));
    std::printf("  MAXCOL = %d\n", static_cast<int>(MAXCOL));
    std::printf("  L =      %d\n", static_cast<int>(L));
    std::fflush(stdout);
    std::exit(2);
}

void buildTable(std::int32_t DIM_NUM) {
    TABLE_BUILT = true;

    // Every row gets its initial numbers, whatever DIM_NUM is; only then is it checked.
    for (auto& row : DIRECTIONS)
        for (std::int32_t& v : row) v = 0;
    for (std::int32_t d = 1; d <= MAX_DIMENSION; ++d) {
        const SobolInitialRow& row = kSobolInitialRows[d - 1];
        for (std::int32_t k = 1; k <= row.degree; ++k) DIRECTIONS[d][k] = row.numbers[k - 1];
    }

    if (DIM_NUM < 2 || DIM_NUM > MAX_DIMENSION) dimensionReport(DIM_NUM);
    TABLE_DIM = DIM_NUM;

    std::int32_t atmost = 0;
    for (std::int32_t i = 0; i < BIT_COUNT; ++i) atmost = 2 * atmost + 1;
    MAXCOL = HIGHEST_ONE_BIT(atmost);

    for (std::int32_t k = 1; k <= MAXCOL; ++k) DIRECTIONS[1][k] = 1;

    // Unscaled, V[d][k] < 2^k, so 2^j * V[d][k - j] stays below 2^30.
    for (std::int32_t d = 2; d <= DIM_NUM; ++d) {
        const std::int32_t p = POLYNOMIALS(d);
        const std::int32_t s = HIGHEST_ONE_BIT(p) - 1;
        for (std::int32_t k = s + 1; k <= MAXCOL; ++k) {
            std::int32_t value = DIRECTIONS[d][k - s];
            for (std::int32_t j = 1; j <= s; ++j)
                if ((p >> (s - j)) & 1) value ^= (1 << j) * DIRECTIONS[d][k - j];
            DIRECTIONS[d][k] = value;
        }
    }

    for (std::int32_t k = MAXCOL - 1; k >= 1; --k)
        for (std::int32_t d = 1; d <= DIM_NUM; ++d) DIRECTIONS[d][k] *= 1 << (MAXCOL - k);

    SCALE = static_cast<float>(1.0 / (2.0 * (1 << 29)));
}

// Brings ACCUM of dimensions 1 ... DIM_NUM over the seeds first ... last, one column
// each. A jump over 2^30 - 1 would need a column beyond the table: that ends the
// process with the seed report, as that seed itself would.
void advance(std::int32_t DIM_NUM, std::int32_t first, std::int32_t last, std::int32_t SEED) {
    for (std::int32_t t = first; t <= last; ++t) {
        const std::int32_t column = LOWEST_ZERO_BIT(t);
        if (column > MAXCOL) seedReport(SEED, column);
        for (std::int32_t d = 1; d <= DIM_NUM; ++d) ACCUM[d] ^= DIRECTIONS[d][column];
    }
}

}  // namespace

std::int32_t HIGHEST_ONE_BIT(std::int32_t n) {
    std::int32_t bit = 0;
    while (n > 0) {
        ++bit;
        n /= 2;
    }
    return bit;
}

std::int32_t LOWEST_ZERO_BIT(std::int32_t n) {
    std::int32_t bit = 1;
    while (n % 2 != 0) {
        n /= 2;
        ++bit;
    }
    return bit;
}

void I4_SOBOL(std::int32_t DIM_NUM, std::int32_t& SEED, float* POINT) {
    if (!TABLE_BUILT || DIM_NUM != TABLE_DIM) buildTable(DIM_NUM);

    if (SEED < 0) SEED = 0;

    std::int32_t L;
    if (SEED == 0) {
        for (std::int32_t d = 1; d <= DIM_NUM; ++d) ACCUM[d] = 0;
        L = 1;
    } else if (SEED == LAST_SEED + 1) {
        L = LOWEST_ZERO_BIT(SEED);
    } else if (SEED > LAST_SEED) {
        advance(DIM_NUM, LAST_SEED + 1, SEED - 1, SEED);
        L = LOWEST_ZERO_BIT(SEED);
    } else {
        LAST_SEED = 0;
        for (std::int32_t d = 1; d <= DIM_NUM; ++d) ACCUM[d] = 0;
        advance(DIM_NUM, 0, SEED - 1, SEED);
        L = LOWEST_ZERO_BIT(SEED);
    }

    if (L > MAXCOL) seedReport(SEED, L);

    for (std::int32_t d = 1; d <= DIM_NUM; ++d) {
        // ACCUM < 2^30 and SCALE = 2^-30: the product is exact in double, so the one
        // rounding is the conversion to float (nearest, ties to even; may give 1.0).
        POINT[d - 1] =
            static_cast<float>(static_cast<double>(ACCUM[d]) * static_cast<double>(SCALE));
        ACCUM[d] ^= DIRECTIONS[d][L];
    }

    LAST_SEED = SEED;
    SEED = SEED + 1;
}

void resetSobolForTesting() {
    TABLE_BUILT = false;
    TABLE_DIM = 0;
    for (auto& row : DIRECTIONS)
        for (std::int32_t& v : row) v = 0;
    MAXCOL = 0;
    SCALE = 0.0f;
    for (std::int32_t& a : ACCUM) a = 0;
    LAST_SEED = 0;
}

std::int32_t sobolDirectionForTesting(std::int32_t dimension, std::int32_t column) {
    return DIRECTIONS[dimension][column];
}

void setSobolLastSeedForTesting(std::int32_t last_seed) { LAST_SEED = last_seed; }

}  // namespace lumiva
