#include "output/ray_format.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumiva {
namespace {

TEST(RayHeader, ZemaxIsTheRayCountAndFour) {
    EXPECT_EQ(rayHeader(RaysetFormat::Zemax, 30000, {}), "30000 4\r\n");
    EXPECT_EQ(rayHeader(RaysetFormat::Zemax, 1000000000, {19, 19, 91}), "1000000000 4\r\n");
}

TEST(RayHeader, TraceProHasSixLinesWithTheThreeCounts) {
    EXPECT_EQ(rayHeader(RaysetFormat::TracePro, 30000, {19, 21, 91}),
              "!! Source file: C:tolvinesk.oml \r\n"
              "\r\n"
              "TracePro Release: 4 0 0 \r\n"
              "19.000000 ignored \r\n"
              "21.000000 ignored \r\n"
              "91.000000 ignored \r\n");
    const std::string zero = rayHeader(RaysetFormat::TracePro, 1, {0, 0, 0});
    EXPECT_NE(zero.find("\r\n0.000000 ignored \r\n0.000000 ignored \r\n0.000000 ignored \r\n"),
              std::string::npos);
}

TEST(RayLine, SevenExponentFieldsSixSpacesAndCrLf) {
    const double fields[7] = {-2.3935e-4, 1.585e-05, 0.0, -0.5012285, 0.2271394, 0.8349466, 98};
    char line[kMaxRayLineChars];
    const std::size_t n = formatRayLine(fields, line);
    EXPECT_EQ(std::string(line, n),
              "-2.393500e-04 1.585000e-05 0.000000e+00 -5.012285e-01 2.271394e-01 8.349466e-01 "
              "9.800000e+01\r\n");
    const double widest[7] = {-1e-300, -1e-300, -1e-300, -1e-300, -1e-300, -1e-300, -1e-300};
    const std::size_t longest = formatRayLine(widest, line);
    EXPECT_EQ(longest, kMaxRayLineChars);
    EXPECT_EQ(std::count(line, line + longest, ' '), 6);
}

}  // namespace
}  // namespace lumiva
