#pragma once
// The bytes of a ray set: the TracePro and Zemax headers and the ray line. Every line,
// the last one included, ends with CR LF.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumiva {

enum class RaysetFormat { TracePro, Zemax };

// The counts n of the abscissa tables that the TracePro header names.
struct HeaderCounts {
    std::int64_t spatialX = 0;  // ComboBoxEx4
    std::int64_t spatialY = 0;  // ComboBoxEx3
    std::int64_t angularY = 0;  // ComboBoxEx1
};

// The whole header of the format: six lines for TracePro, one ("<N> 4") for Zemax.
std::string rayHeader(RaysetFormat format, std::int64_t rayCount, const HeaderCounts& counts);

// Longest ray line: seven fields, six spaces and CR LF.
inline constexpr std::size_t kMaxRayLineChars = 7 * 14 + 6 + 2;

// Writes "x y z L M N flux\r\n" at `out` and returns its length (at most kMaxRayLineChars).
std::size_t formatRayLine(const double (&fields)[7], char* out);

}  // namespace lumiva
