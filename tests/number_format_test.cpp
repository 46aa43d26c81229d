#include "output/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <string>

namespace lumiva {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The writer's text, checking on the way that it stays within its stated width and
// touches nothing after the characters it reports (no terminating NUL, no overrun).
template <typename Writer>
std::string written(Writer writer, std::size_t maxChars) {
    char text[400];
    std::memset(text, '#', sizeof text);
    const int n = writer(text);
    EXPECT_GT(n, 0);
    EXPECT_LE(static_cast<std::size_t>(n), maxChars);
    for (std::size_t i = static_cast<std::size_t>(n); i < sizeof text; ++i)
        if (text[i] != '#') {
            ADD_FAILURE() << "wrote past its length at " << i;
            break;
        }
    return std::string(text, static_cast<std::size_t>(n));
}

std::string exponent(double v) {
    return written([v](char* out) { return formatExponent(v, out); }, kMaxExponentChars);
}

std::string fixed(double v) {
    return written([v](char* out) { return formatFixed(v, out); }, 330);
}

std::string cExponent(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6e", v);
    return text;
}

std::string cFixed(double v) {
    char text[400];
    std::snprintf(text, sizeof text, "%f", v);
    return text;
}

struct Case {
    double value;
    const char* expected;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << std::hexfloat << c.value << " -> " << c.expected;
}

class ExponentForm : public ::testing::TestWithParam<Case> {};

TEST_P(ExponentForm, WritesSevenSignificantDigits) {
    EXPECT_EQ(exponent(GetParam().value), GetParam().expected) << std::hexfloat << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    HandPicked, ExponentForm,
    ::testing::Values(
        Case{0.0, "0.000000e+00"}, Case{-0.0, "-0.000000e+00"}, Case{1.0, "1.000000e+00"},
        Case{-0.5, "-5.000000e-01"}, Case{0.00025, "2.500000e-04"},
        Case{123456789.0, "1.234568e+08"}, Case{-98.0, "-9.800000e+01"},
        // Rounding up into the next power of ten. The double nearest 9.9999995 is
        // 9.99999949999999953...: below the tie, so it keeps its digits.
        Case{9.9999995, "9.999999e+00"}, Case{9.9999994999, "9.999999e+00"},
        Case{9.9999996, "1.000000e+01"}, Case{999999.95, "9.999999e+05"},
        Case{999999.96, "1.000000e+06"}, Case{0.099999995, "9.999999e-02"},
        Case{0.099999996, "1.000000e-01"}, Case{9.9999995e-5, "9.999999e-05"},
        // Exact binary ties go to the even digit, either way.
        Case{12345675.0, "1.234568e+07"}, Case{12345665.0, "1.234566e+07"},
        Case{1000000.5, "1.000000e+06"}, Case{1000001.5, "1.000002e+06"},
        Case{2345678.5, "2.345678e+06"}, Case{123456.75, "1.234568e+05"},
        Case{123456.25, "1.234562e+05"}, Case{0x1p-11, "4.882812e-04"},  // 4.8828125e-4
        Case{0x3p-11, "1.464844e-03"},                                   // 1.46484375e-3
        // Written as a tie, stored a little off it: the binary value decides.
        Case{1.0000005, "1.000001e+00"},  // 1.00000050000000006...
        Case{1.0000015, "1.000001e+00"},  // 1.00000149999999997...
        Case{0.1234565, "1.234565e-01"},  // 0.12345649999999999...
        // Next to powers of ten.
        Case{std::nextafter(1.0, 0.0), "1.000000e+00"},
        Case{std::nextafter(1.0, 2.0), "1.000000e+00"},
        Case{std::nextafter(10.0, 0.0), "1.000000e+01"},
        Case{std::nextafter(1e-5, 0.0), "1.000000e-05"},
        Case{std::nextafter(1e100, 0.0), "1.000000e+100"}, Case{1e22, "1.000000e+22"},
        Case{1e23, "1.000000e+23"},  // 9.99999999999999991611e22
        // Three-digit exponents and the ends of the range.
        Case{1e-100, "1.000000e-100"}, Case{1e100, "1.000000e+100"}, Case{1e-300, "1.000000e-300"},
        Case{-1e-300, "-1.000000e-300"}, Case{4.9406564584124654e-324, "4.940656e-324"},
        Case{9.8813129168249309e-324, "9.881313e-324"},
        Case{2.2250738585072009e-308, "2.225074e-308"},  // largest subnormal
        Case{2.2250738585072014e-308, "2.225074e-308"},  // smallest normal
        Case{DBL_MAX, "1.797693e+308"}, Case{-DBL_MAX, "-1.797693e+308"},
        // Not finite: by the sign bit, whatever the payload.
        Case{kInf, "+INF"}, Case{-kInf, "-INF"}, Case{kNaN, "+NAN"}, Case{-kNaN, "-NAN"},
        Case{std::bit_cast<double>(std::uint64_t{0xfff0000000000001}), "-NAN"}));

// Compares with the C library's "%.6e" and reports the first few differences by their
// exact binary value.
class SameAsCLibrary {
public:
    void check(double v) {
        if (mismatches_ >= 10) return;
        const std::string ours = exponent(v), theirs = cExponent(v);
        if (ours != theirs) {
            ++mismatches_;
            ADD_FAILURE() << std::hexfloat << v << ": " << ours << " instead of " << theirs;
        }
    }

private:
    int mismatches_ = 0;
};

TEST(ExponentFormAgainstCLibrary, RandomBitPatternsOverTheWholeRange) {
    std::mt19937_64 random(20261211);
    SameAsCLibrary same;
    for (int i = 0; i < 1000000;) {
        const double v = std::bit_cast<double>(random());
        if (!std::isfinite(v)) continue;
        same.check(v);
        ++i;
    }
}

TEST(ExponentFormAgainstCLibrary, AtAndAroundDecimalTies) {
    // (d + 1/2) × 10^k for seven-digit d, and two doubles on each side of it: the values
    // whose rounding only the last bits decide.
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> sevenDigits(1000000, 9999999), power(-330, 302);
    SameAsCLibrary same;
    for (int i = 0; i < 200000; ++i) {
        const double tie = (sevenDigits(random) + 0.5) * std::pow(10.0, power(random));
        if (!std::isfinite(tie)) continue;
        double below = tie, above = tie;
        same.check(tie);
        for (int step = 0; step < 2; ++step) {
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, kInf);
            same.check(below);
            if (std::isfinite(above)) same.check(above);
        }
    }
}

TEST(ExponentFormAgainstCLibrary, AtBothEndsOfEveryBinadeAndAroundEveryPowerOfTen) {
    SameAsCLibrary same;
    for (int e2 = -1074; e2 <= 1023; ++e2) {
        const double low = std::ldexp(1.0, e2);
        same.check(low);
        same.check(std::nextafter(low, kInf));
        same.check(e2 == 1023 ? DBL_MAX : std::nextafter(std::ldexp(1.0, e2 + 1), 0.0));
    }
    for (int k = -323; k <= 308; ++k) {
        const double power = std::strtod(("1e" + std::to_string(k)).c_str(), nullptr);
        double below = power, above = power;
        same.check(power);
        for (int step = 0; step < 3; ++step) {
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, kInf);
            same.check(below);
            if (std::isfinite(above)) same.check(above);
        }
    }
}

TEST(ExponentFormAgainstCLibrary, RaySetValues) {
    // Grid coordinates in millimetres, direction cosines and fluxes, as a run makes them.
    std::mt19937 random(3);
    SameAsCLibrary same;
    for (int i = 0; i < 100000; ++i) {
        const double g = (random() % 100000 + 1) / 100000.0;
        same.check((g - 0.5) * 0.3);
        same.check(std::sin(g * 6.283185307179586) * 0.8);
        same.check(std::cos(g * 1.5707963267948966));
        same.check(std::pow(std::cos(g), 1.7) * 100.0);
    }
}

// A ray line's seven values, each as formatExponent writes it alone, whatever mix of
// values stands side by side (zeros, infinities and NaNs, ties, subnormals, carries).
TEST(ExponentLine, WritesEachValueAsAloneSeparatedBySpaces) {
    const double special[] = {
        0.0,     -0.0,      kInf,   -kInf, kNaN, -kNaN, 9.9999996, 0.5e-6, 4.9406564584124654e-324,
        DBL_MAX, 1.2345665, -1e-100};
    std::mt19937_64 random(11);
    for (int line = 0; line < 100000; ++line) {
        double values[7];
        std::string expected;
        for (double& v : values) {
            const std::uint64_t pick = random();
            v = pick % 4 == 0 ? special[pick / 4 % std::size(special)]
                              : std::bit_cast<double>(random());
            expected += (expected.empty() ? "" : " ") + exponent(v);
        }
        const std::string got =
            written([&](char* out) { return static_cast<int>(formatExponentLine(values, out)); },
                    7 * kMaxExponentChars + 6);
        ASSERT_EQ(got, expected) << "line " << line;
    }
}

TEST(FixedForm, WritesSixDecimalsOfTheExactValue) {
    const Case cases[] = {
        {0.0, "0.000000"},
        {-0.0, "-0.000000"},
        {19.0, "19.000000"},
        {91.0, "91.000000"},
        {-3.0, "-3.000000"},
        {0.5, "0.500000"},
        {1.5e-6, "0.000002"},  // 1.50000000000000004e-6
        {5e-7, "0.000000"},    // 4.99999999999999977e-7
        {0x1p-7, "0.007812"},  // 0.0078125, a tie: even
        {0x3p-7, "0.023438"},  // 0.0234375, a tie: even
        {-1e-9, "-0.000000"},
        {4.9406564584124654e-324, "0.000000"},
        {9007199254740993.0, "9007199254740992.000000"},
        {9223372036854775808.0, "9223372036854775808.000000"},
        {1e20, "100000000000000000000.000000"},
        {DBL_MAX,
         "17976931348623157081452742373170435679807056752584499659891747680315726078002853876"
         "05895586327668781715404589535143824642343213268894641827684675467035375169860499105"
         "76551282076245490090389328944075868508455133942304583236903222948165808559332123348"
         "274797826204144723168738177180919299881250404026184124858368.000000"},
        {kInf, "+INF"},
        {-kInf, "-INF"},
        {kNaN, "+NAN"},
        {-kNaN, "-NAN"}};
    for (const Case& c : cases) EXPECT_EQ(fixed(c.value), c.expected) << std::hexfloat << c.value;

    std::mt19937_64 random(11);
    for (int i = 0; i < 20000;) {
        const double v = std::bit_cast<double>(random());
        if (!std::isfinite(v)) continue;
        ASSERT_EQ(fixed(v), cFixed(v)) << std::hexfloat << v;
        ++i;
    }
}

TEST(IntegerForm, WritesTheDecimalDigits) {
    const struct {
        std::int64_t value;
        const char* expected;
    } cases[] = {{0, "0"},
                 {19, "19"},
                 {91, "91"},
                 {30000, "30000"},
                 {-12, "-12"},
                 {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
                 {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"}};
    for (const auto& c : cases)
        EXPECT_EQ(written([&](char* out) { return formatInteger(c.value, out); }, 20), c.expected);
}

}  // namespace
}  // namespace lumiva
