#include "generation/sobol.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

namespace lumiva {
namespace {

// Every test starts from the generator's program-start state.
class SobolTest : public ::testing::Test {
protected:
    void SetUp() override { resetSobolForTesting(); }

    static std::vector<float> call(std::int32_t dim, std::int32_t& seed) {
        std::vector<float> point(static_cast<std::size_t>(dim));
        I4_SOBOL(dim, seed, point.data());
        return point;
    }
};

TEST_F(SobolTest, ThreeDimensionsFromSeedZero) {
    const std::vector<std::vector<float>> expected = {{0, 0, 0},
                                                      {0.5, 0.5, 0.5},
                                                      {0.75, 0.25, 0.75},
                                                      {0.25, 0.75, 0.25},
                                                      {0.375, 0.375, 0.625},
                                                      {0.875, 0.875, 0.125},
                                                      {0.625, 0.125, 0.375},
                                                      {0.125, 0.625, 0.875}};
    std::int32_t seed = 0;
    for (const auto& point : expected) EXPECT_EQ(call(3, seed), point);
    EXPECT_EQ(seed, 8);
}

TEST_F(SobolTest, FirstSkipAheadFromStartIsHalfShiftedAndARestartIsNot) {
    std::int32_t seed = 100;
    EXPECT_EQ(call(2, seed), (std::vector<float>{0.9140625f, 0.7578125f}));
    EXPECT_EQ(seed, 101);
    seed = 100;
    EXPECT_EQ(call(2, seed), (std::vector<float>{0.4140625f, 0.2578125f}));
}

TEST_F(SobolTest, SeedOneFromStartAndNegativeSeedsGiveTheOrigin) {
    std::int32_t seed = 1;
    EXPECT_EQ(call(2, seed), (std::vector<float>{0, 0}));
    resetSobolForTesting();
    seed = -5;
    EXPECT_EQ(call(2, seed), (std::vector<float>{0, 0}));
    EXPECT_EQ(seed, 1);
}

TEST_F(SobolTest, ARepeatedSeedRestartsAndRepeatsThePoint) {
    std::int32_t seed = 0;
    for (int i = 0; i < 37; ++i) call(2, seed);
    std::int32_t again = seed - 1;
    std::int32_t last = seed - 1;
    resetSobolForTesting();
    std::vector<float> reached;
    for (std::int32_t s = 0; s <= last;) reached = call(2, s);
    EXPECT_EQ(call(2, again), reached);
}

// Independent of the generator's own path: the point of seed n, reached from 0, is the
// XOR of the scaled direction numbers of the columns set in the Gray code of n.
TEST_F(SobolTest, PointsFollowTheGrayCodeOfTheSeed) {
    std::int32_t seed = 0;
    call(5, seed);
    for (std::int32_t n = 1; n < 5000; ++n) {
        const std::vector<float> point = call(5, seed);
        const std::uint32_t gray =
            static_cast<std::uint32_t>(n) ^ (static_cast<std::uint32_t>(n) >> 1);
        for (std::int32_t d = 1; d <= 5; ++d) {
            std::int32_t accum = 0;
            for (std::int32_t k = 1; k <= 30; ++k)
                if (gray >> (k - 1) & 1) accum ^= sobolDirectionForTesting(d, k);
            ASSERT_EQ(point[d - 1], static_cast<float>(accum) / 1073741824.0f) << n << " " << d;
        }
        // Dimension 1 is the bit-reversed Gray code.
        std::uint32_t reversed = 0;
        for (int b = 0; b < 30; ++b) reversed |= ((gray >> b) & 1u) << (29 - b);
        ASSERT_EQ(point[0], static_cast<float>(reversed) / 1073741824.0f);
    }
}

TEST_F(SobolTest, EveryElementaryIntervalHoldsOnePoint) {
    // The first 2^m points of dimensions 1 and 2 put one point in each box of area 2^-m.
    std::int32_t seed = 0;
    const int m = 10;
    std::vector<std::pair<float, float>> points;
    for (int i = 0; i < (1 << m); ++i) {
        const std::vector<float> p = call(2, seed);
        points.emplace_back(p[0], p[1]);
    }
    for (int a = 0; a <= m; ++a) {
        std::vector<int> count(1 << m, 0);
        for (auto [x, y] : points)
            ++count[(static_cast<int>(x * (1 << a)) << (m - a)) +
                    static_cast<int>(y * (1 << (m - a)))];
        for (int c : count) ASSERT_EQ(c, 1) << "boxes 2^" << a << " x 2^" << m - a;
    }
}

TEST_F(SobolTest, DirectionTableHasTheKnownRows) {
    std::int32_t seed = 0;
    call(40, seed);
    const std::vector<std::pair<int, std::vector<int>>> rows = {
        {2, {1, 3, 5, 15, 17, 51, 85, 255, 257, 771}},
        {3, {1, 1, 7, 11, 13, 61, 67, 79, 465, 721}},
        {4, {1, 3, 7, 5, 7, 43, 49, 147, 439, 1013}},
        {40, {1, 3, 3, 9, 9, 25, 107, 39, 361, 251}}};
    for (const auto& [dim, numbers] : rows)
        for (int k = 1; k <= 10; ++k)  // scaled by 2^(30 - k)
            EXPECT_EQ(sobolDirectionForTesting(dim, k), numbers[k - 1] << (30 - k))
                << dim << " " << k;
    EXPECT_EQ(sobolDirectionForTesting(1, 30), 1);
    EXPECT_EQ(sobolDirectionForTesting(1, 1), 1 << 29);
}

TEST_F(SobolTest, ChangingTheDimensionRebuildsAndTheSharedDimensionsContinue) {
    std::int32_t seed = 0;
    std::vector<std::vector<float>> mixed;
    for (int i = 0; i < 12; ++i) {
        std::vector<float> p = call(i % 3 == 1 ? 3 : 2, seed);
        mixed.push_back({p[0], p[1]});
    }
    resetSobolForTesting();
    seed = 0;
    for (int i = 0; i < 12; ++i) EXPECT_EQ(call(2, seed), mixed[i]) << i;
}

TEST(SobolBits, HighestOneAndLowestZero) {
    const std::pair<std::int32_t, std::int32_t> highest[] = {
        {-5, 0}, {0, 0}, {1, 1}, {2, 2}, {3, 2}, {285, 9}, {1073741823, 30}, {2147483647, 31}};
    for (auto [n, bit] : highest) EXPECT_EQ(HIGHEST_ONE_BIT(n), bit) << n;
    const std::pair<std::int32_t, std::int32_t> lowest[] = {
        {0, 1}, {1, 2}, {2, 1}, {3, 3}, {11, 3}, {1073741822, 1}, {1073741823, 31}};
    for (auto [n, bit] : lowest) EXPECT_EQ(LOWEST_ZERO_BIT(n), bit) << n;
}

// Death tests see the child's standard error: send its standard output there.
void toStderr() { ::dup2(2, 1); }

using SobolDeathTest = SobolTest;

TEST_F(SobolDeathTest, DimensionOutsideTwoToFortyEndsWithStatusOne) {
    for (std::int32_t dim : {1, 41, 0}) {
        EXPECT_EXIT(
            {
                toStderr();
                std::int32_t seed = 0;
                float point[41];
                I4_SOBOL(dim, seed, point);
            },
            ::testing::ExitedWithCode(1),
            "^\nI4_SOBOL - Fatal error!\n  The spatial dimension DIM_NUM should satisfy:\n"
            "    2 <= DIM_NUM <= 40\n  But this input value is DIM_NUM = " +
                std::to_string(dim) + "\n$");
    }
    // Also once the table is built for a valid dimension.
    std::int32_t seed = 0;
    float point[41];
    I4_SOBOL(2, seed, point);
    EXPECT_EXIT(
        {
            toStderr();
            I4_SOBOL(41, seed, point);
        },
        ::testing::ExitedWithCode(1), "DIM_NUM = 41\n$");
}

TEST_F(SobolDeathTest, TheLastServedSeedThenTheFirstOneBeyondAndAJumpOverIt) {
    std::int32_t seed = 1073741822;
    float point[2];
    I4_SOBOL(2, seed, point);  // served, by a long skip ahead
    EXPECT_EQ(seed, 1073741823);
    EXPECT_EXIT(
        {
            toStderr();
            I4_SOBOL(2, seed, point);
        },
        ::testing::ExitedWithCode(2),
        "^\nI4_SOBOL - Fatal error!\n  The value of SEED seems to be too large!\n"
        "  SEED =   1073741823\n  MAXCOL = 30\n  L =      31\n$");
    // A jump over 2^30 - 1 would need a column beyond the table: the same report.
    seed = 1073741830;
    EXPECT_EXIT(
        {
            toStderr();
            I4_SOBOL(2, seed, point);
        },
        ::testing::ExitedWithCode(2), "SEED =   1073741830\n  MAXCOL = 30\n  L =      31\n$");
}

}  // namespace
}  // namespace lumiva
