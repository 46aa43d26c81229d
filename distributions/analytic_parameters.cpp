#include "distributions/analytic_parameters.h"

#include "controls/number_text.h"

namespace lumiva {

std::optional<std::string> boundedText(std::string_view text, float lower, float upper,
                                       std::string_view upperText, char decimalSeparator) {
    if (text.empty()) return std::nullopt;
    if (text == "-") return std::string("0");
    const float value = static_cast<float>(textToFloat(text, decimalSeparator));
    if (value > upper) return std::string(upperText);
    if (value < lower) return std::string("0");
    return std::string(text);
}

}  // namespace lumiva
