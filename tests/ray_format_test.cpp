#include "output/ray_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace lumiva {
namespace {

TEST(RayHeader, ZemaxIsTheRayCountAndFour) {
    EXPECT_EQ(rayHeader(RaysetFormat::Zemax, 30000, {}), "30000 4\r\n");
    // The counts belong to TracePro only.
    EXPECT_EQ(rayHeader(RaysetFormat::Zemax, 1, {19, 19, 91}), "1 4\r\n");
    EXPECT_EQ(rayHeader(RaysetFormat::Zemax, 2000000000, {}), "2000000000 4\r\n");
}

TEST(RayHeader, TraceProHasSixLinesWithTheCountsInTheirOrder) {
    const struct {
        HeaderCounts counts;
        const char* countLines;
    } cases[] = {
        {{19, 19, 91}, "19.000000 ignored \r\n19.000000 ignored \r\n91.000000 ignored \r\n"},
        {{0, 0, 0}, "0.000000 ignored \r\n0.000000 ignored \r\n0.000000 ignored \r\n"},
        // Spatial X, spatial Y, angular Y: distinct counts show the order.
        {{3, 21, 999}, "3.000000 ignored \r\n21.000000 ignored \r\n999.000000 ignored \r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rayHeader(RaysetFormat::TracePro, 30000, c.counts),
                  std::string("!! Source file: C:tolvinesk.oml \r\n"
                              "\r\n"
                              "TracePro Release: 4 0 0 \r\n") +
                      c.countLines);
}

TEST(RayLine, SevenExponentFieldsSixSpacesAndCrLf) {
    const double fields[7] = {-2.3935e-4, 1.585e-05, 0.0, -0.5012285, 0.2271394, 0.8349466, 98};
    char line[kMaxRayLineChars + 8];
    std::memset(line, '#', sizeof line);
    const std::size_t n = formatRayLine(fields, line);
    EXPECT_EQ(std::string(line, n),
              "-2.393500e-04 1.585000e-05 0.000000e+00 -5.012285e-01 2.271394e-01 8.349466e-01 "
              "9.800000e+01\r\n");
    EXPECT_EQ(line[n], '#');
}

TEST(RayLine, TheWidestLineFitsItsStatedLength) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double widest[7] = {-1e-300, -1.5e+300, -1e-300, -1e-300, -1e-300, -1e-300, -1e-300};
    char line[kMaxRayLineChars];
    const std::size_t n = formatRayLine(widest, line);
    EXPECT_EQ(n, kMaxRayLineChars);
    EXPECT_EQ(std::count(line, line + n, ' '), 6);
    EXPECT_EQ(std::string(line + n - 2, 2), "\r\n");

    const double degenerate[7] = {0.0, -0.0, nan, -nan, std::numeric_limits<double>::infinity(),
                                  1,   0};
    char shortLine[kMaxRayLineChars];
    EXPECT_EQ(std::string(shortLine, formatRayLine(degenerate, shortLine)),
              "0.000000e+00 -0.000000e+00 +NAN -NAN +INF 1.000000e+00 0.000000e+00\r\n");
}

}  // namespace
}  // namespace lumiva
