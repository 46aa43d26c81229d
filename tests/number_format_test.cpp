#include "output/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace lumiva {
namespace {

std::string exponent(double v) {
    char text[kMaxExponentChars + 1];
    const int n = formatExponent(v, text);
    EXPECT_LE(n, static_cast<int>(kMaxExponentChars));
    return std::string(text, static_cast<std::size_t>(n));
}

std::string reference(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6e", v);
    return text;
}

struct Case {
    double value;
    const char* expected;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.expected; }

class ExponentForm : public ::testing::TestWithParam<Case> {};

TEST_P(ExponentForm, WritesSevenSignificantDigits) {
    EXPECT_EQ(exponent(GetParam().value), GetParam().expected) << std::hexfloat << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    HandPicked, ExponentForm,
    ::testing::Values(Case{0.0, "0.000000e+00"}, Case{-0.0, "-0.000000e+00"},
                      Case{1.0, "1.000000e+00"}, Case{-0.5, "-5.000000e-01"},
                      Case{0.00025, "2.500000e-04"}, Case{123456789.0, "1.234568e+08"},
                      // Carries into the next power of ten, and values just short of it: the double
                      // nearest 9.9999995 lies below the tie, so it keeps its digits.
                      Case{9.9999996, "1.000000e+01"}, Case{9.99999950000001, "1.000000e+01"},
                      Case{9.9999995, "9.999999e+00"}, Case{9.9999994999, "9.999999e+00"},
                      Case{999999.96, "1.000000e+06"}, Case{999999.95, "9.999999e+05"},
                      Case{0.099999996, "1.000000e-01"}, Case{0.099999995, "9.999999e-02"},
                      // Exact ties round to the even digit.
                      Case{12345675.0, "1.234568e+07"}, Case{12345665.0, "1.234566e+07"},
                      Case{1000000.5, "1.000000e+06"}, Case{1000001.5, "1.000002e+06"},
                      Case{2.5, "2.500000e+00"}, Case{0.1234565, "1.234565e-01"},
                      // Near-ties that are not ties: the binary value decides.
                      Case{1.0000005, "1.000001e+00"}, Case{1.0000015, "1.000001e+00"},
                      // Three-digit exponents, subnormals and the ends of the range.
                      Case{1e-100, "1.000000e-100"}, Case{1e100, "1.000000e+100"},
                      Case{1e-300, "1.000000e-300"}, Case{4.9406564584124654e-324, "4.940656e-324"},
                      Case{2.2250738585072009e-308, "2.225074e-308"},
                      Case{2.2250738585072014e-308, "2.225074e-308"},
                      Case{DBL_MAX, "1.797693e+308"}, Case{-DBL_MAX, "-1.797693e+308"},
                      Case{1e22, "1.000000e+22"}, Case{1e23, "1.000000e+23"},
                      Case{9.999999e-5, "9.999999e-05"},
                      Case{std::nextafter(1.0, 0.0), "1.000000e+00"},
                      Case{std::nextafter(10.0, 0.0), "1.000000e+01"},
                      // Values that are not finite, by sign.
                      Case{std::numeric_limits<double>::infinity(), "+INF"},
                      Case{-std::numeric_limits<double>::infinity(), "-INF"},
                      Case{std::numeric_limits<double>::quiet_NaN(), "+NAN"},
                      Case{-std::numeric_limits<double>::quiet_NaN(), "-NAN"}));

TEST(ExponentForm, MatchesTheCLibraryOnAMillionDoublesOverTheWholeRange) {
    std::mt19937_64 random(20261211);
    int mismatches = 0;
    for (int i = 0; i < 1000000 && mismatches < 10; ++i) {
        double v;
        do v = std::bit_cast<double>(random());
        while (!std::isfinite(v));
        const std::string expected = reference(v);
        if (exponent(v) != expected) {
            ADD_FAILURE() << std::hexfloat << v << ": " << exponent(v) << " != " << expected;
            ++mismatches;
        }
    }
}

TEST(ExponentForm, MatchesTheCLibraryAtAndAroundDecimalTies) {
    // (d + 1/2) × 10^k for seven-digit d, and the doubles on both sides of it: the values
    // where rounding is decided by the last bits.
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> digits(1000000, 9999999), power(-320, 300);
    int mismatches = 0;
    for (int i = 0; i < 200000 && mismatches < 10; ++i) {
        const double tie = (digits(random) + 0.5) * std::pow(10.0, power(random) - 6);
        for (double v : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, HUGE_VAL)}) {
            if (!std::isfinite(v) || v == 0) continue;
            if (exponent(v) != reference(v)) {
                ADD_FAILURE() << std::hexfloat << v << ": " << exponent(v)
                              << " != " << reference(v);
                ++mismatches;
            }
        }
    }
    // Every exactly representable tie with a small exponent, both parities.
    for (double d = 1000000.5; d < 1001000; d += 1) ASSERT_EQ(exponent(d), reference(d)) << d;
    for (double d = 12345600; d < 12346600; d += 5) ASSERT_EQ(exponent(d), reference(d)) << d;
}

TEST(ExponentForm, MatchesTheCLibraryOnRaySetValues) {
    // Coordinates on the 1/100000 grid, direction cosines and fluxes, as the run writes them.
    std::mt19937 random(3);
    for (int i = 0; i < 200000; ++i) {
        const double g = ((random() >> 1) % 100000 + 1) / 100000.0;
        for (double v : {0.001 * 0.5 - g * 0.001, std::sin(g * 6.283185307179586), std::cos(g),
                         100.0 / (i + 1), std::trunc(g * 100) * 0.5})
            ASSERT_EQ(exponent(v), reference(v)) << std::hexfloat << v;
    }
}

TEST(FixedForm, WritesSixDecimals) {
    const Case cases[] = {{0, "0.000000"},
                          {19, "19.000000"},
                          {91, "91.000000"},
                          {-3, "-3.000000"},
                          {999, "999.000000"},
                          {0.5, "0.500000"},
                          {1.0000005, "1.000001"},
                          {2.5e-7, "0.000000"},
                          {9007199254740993.0, "9007199254740992.000000"},
                          {1e20, "100000000000000000000.000000"},
                          {std::numeric_limits<double>::infinity(), "+INF"},
                          {-std::numeric_limits<double>::quiet_NaN(), "-NAN"}};
    for (const Case& c : cases) {
        char text[400];
        EXPECT_EQ(std::string(text, static_cast<std::size_t>(formatFixed(c.value, text))),
                  c.expected);
    }
    std::mt19937_64 random(11);
    for (int i = 0; i < 20000; ++i) {
        double v;
        do v = std::bit_cast<double>(random());
        while (!std::isfinite(v) || std::fabs(v) > 1e30);
        char text[400], expected[400];
        std::snprintf(expected, sizeof expected, "%f", v);
        ASSERT_EQ(std::string(text, static_cast<std::size_t>(formatFixed(v, text))), expected)
            << std::hexfloat << v;
    }
}

TEST(IntegerForm, WritesTheDigits) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0"},         {4, "4"},
        {30000, "30000"}, {1000000000, "1000000000"},
        {-12, "-12"},     {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"}};
    for (auto [value, expected] : cases) {
        char text[24];
        EXPECT_EQ(std::string(text, static_cast<std::size_t>(formatInteger(value, text))),
                  expected);
    }
}

}  // namespace
}  // namespace lumiva
