#pragma once
// The number forms of a ray set, always with a point as decimal separator:
//   exponent form  "%e"  every field of a ray line
//   fixed form     "%f"  the counts of the TracePro header
//   integer form   "%i"  the ray count of the Zemax header
// A value that is not finite is written "+INF", "-INF", "+NAN" or "-NAN" by its sign in
// every form. Each writer puts its characters at `out` (no terminating NUL) and returns
// how many it wrote; none of them allocates.

#include <cstddef>
#include <cstdint>

namespace lumiva {

// Longest exponent form: "-1.234567e-308" is 14 characters.
inline constexpr std::size_t kMaxExponentChars = 14;

// Seven significant digits, rounded to nearest with ties to even on the exact binary
// value, exactly as the C library's "%e" writes finite values: an optional "-", one
// digit, ".", six digits, "e", the exponent's sign, at least two exponent digits.
// Negative zero is written "-0.000000e+00".
int formatExponent(double value, char* out);

// Seven values in the exponent form, separated by single spaces; at most
// 7 × kMaxExponentChars + 6 characters.
std::size_t formatExponentLine(const double (&values)[7], char* out);

// "%f": an optional "-", the integer digits, ".", six digits. `out` must hold 330 chars.
int formatFixed(double value, char* out);

// "%i": the decimal digits, a "-" before a negative number.
int formatInteger(std::int64_t value, char* out);

}  // namespace lumiva
