#pragma once
// Conversion between user-typed number texts and numbers, with the regional decimal
// separator passed in explicitly so that tests can use both "." and ",".

#include <cstdint>
#include <string>
#include <string_view>

namespace lumiva {

// A decimal number: optional blanks, an optional sign, digits with an optional fraction
// after `decimalSeparator`, an optional exponent ("E"/"e", optional sign, digits), optional
// blanks. Anything else throws notValidFloat(text).
double textToFloat(std::string_view text, char decimalSeparator);

// A whole signed 32-bit integer: optional leading blanks, an optional sign, digits and
// nothing after them. Anything else throws notValidInteger(text).
std::int32_t textToInteger(std::string_view text);

// The value rounded to `decimals` significant digits, then written with `decimals` digits
// after `decimalSeparator` (so 0.99998 with 4 gives "1.0000", 5 with 6 gives "5.000000").
std::string fixedText(double value, int decimals, char decimalSeparator);

// The decimal separator of a locale name such as "de_DE.UTF-8"; '.' when unknown.
char decimalSeparatorOfLocale(std::string_view localeName);

// The regional decimal separator of this process, from LC_ALL, LC_NUMERIC and LANG in
// that order (the first one set and non-empty); '.' when none is set.
char regionalDecimalSeparator();

}  // namespace lumiva
