#include "controls/control.h"

#include <algorithm>
#include <limits>

#include "controls/failure.h"
#include "controls/number_text.h"

namespace lumiva {

SpinEdit::SpinEdit(std::string name, std::int32_t minValue, std::int32_t maxValue,
                   std::int32_t increment, std::int32_t value, Bounds bounds)
    : Control(std::move(name), bounds),
      min_(minValue),
      max_(maxValue),
      increment_(increment),
      text_(std::to_string(value)) {}

void SpinEdit::setText(const std::string& text) {
    if (assign(text_, text)) run(onChange);
}

std::int32_t SpinEdit::value() {
    try {
        return textToInteger(text_);
    } catch (const Failure&) {
        setText(std::to_string(min_));
        return min_;
    }
}

void SpinEdit::setValue(std::int32_t value) { setText(std::to_string(clamp(value))); }

void SpinEdit::focusLost() {
    const std::int32_t current = value();
    if (clamp(current) != current) setValue(current);
}

std::int32_t SpinEdit::clamp(std::int32_t value) const {
    return min_ == max_ ? value : std::clamp(value, min_, max_);
}

std::int32_t SpinEdit::saturatingAdd(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace lumiva
