#pragma once
// Distribution files (".ang" angular, ".spa" spatial): line 1 the abscissae, line 3 the
// ordinates, every value followed by exactly one space. Only those two lines are read.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumiva {

// Table capacities: the preview holds 499 values per line, a generation run 999.
inline constexpr std::size_t kPreviewTableCapacity = 499;
inline constexpr std::size_t kRunTableCapacity = 999;

struct Distribution {
    std::vector<double> abscissae;  // line 1, in file order
    // line 3, in file order; never shorter than abscissae: ordinates missing from line 3
    // read as 0, so every abscissa has its pair
    std::vector<double> ordinates;
    std::size_t count() const { return abscissae.size(); }  // n, the count of line 1
};

// The values of one line: each space ends a value; text after the last space is not a
// value. Throws notValidFloat for a value that is not a number (the empty one included)
// and a Failure naming `path` when the line holds more than `capacity` values.
std::vector<double> scanDistributionLine(std::string_view line, char decimalSeparator,
                                         const std::string& path, std::size_t capacity);

// Reads the file named by a picker's text, unchanged (relative to the working folder).
// Throws cannotOpenFile(pickerText), listIndexOutOfBounds(0) for a file without line 1,
// listIndexOutOfBounds(2) for fewer than three lines, notValidFloat for a bad value, and a
// Failure for a line longer than `capacity` values.
Distribution readDistributionFile(const std::string& pickerText, char decimalSeparator,
                                  std::size_t capacity);

}  // namespace lumiva
