#pragma once
// Keeping an aperture or shape-exponent text within its bounds, as its edit does while
// the user types: the comparisons are made on the single-precision value.

#include <optional>
#include <string>
#include <string_view>

namespace lumiva {

// The text the edit is left with: a lone "-" becomes "0", a number above `upper` becomes
// `upperText`, one below `lower` becomes "0", any other number stays as typed. nullopt for
// an empty text (the validation stops silently and the text stays empty). A text that is
// not a number throws notValidFloat.
std::optional<std::string> boundedText(std::string_view text, float lower, float upper,
                                       std::string_view upperText, char decimalSeparator);

}  // namespace lumiva
