#include "controls/number_text.h"

#include <langinfo.h>
#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "controls/failure.h"

namespace lumiva {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double textToFloat(std::string_view text, char decimalSeparator) {
    // Rebuilt in the one notation std::from_chars reads, whatever the process locale.
    std::string plain;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::size_t digits = 0;
    long long leadingDigits = 0;
    while (i < n && isDigit(text[i])) {
        plain += text[i++];
        ++digits;
        ++leadingDigits;
    }
    if (i < n && text[i] == decimalSeparator) {
        ++i;
        plain += '.';
        while (i < n && isDigit(text[i])) {
            plain += text[i++];
            ++digits;
        }
    }
    if (digits == 0) throw notValidFloat(text);
    if (plain.front() == '.') plain.insert(plain.begin(), '0');
    if (plain.back() == '.') plain += '0';
    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += text[i++];
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            if (text[i] == '-') plain += '-';
            ++i;
        }
        std::size_t exponentDigits = 0;
        bool exponentNegative = !plain.empty() && plain.back() == '-';
        while (i < n && isDigit(text[i])) {
            plain += text[i];
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) throw notValidFloat(text);
        if (exponentNegative) exponent = -exponent;
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) throw notValidFloat(text);

    double value = 0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large is an error; too small is zero.
        if (exponent + leadingDigits > 0) throw notValidFloat(text);
        value = 0;
    } else if (ec != std::errc() || end != plain.data() + plain.size()) {
        throw notValidFloat(text);
    }
    return negative ? -value : value;
}

std::int32_t textToInteger(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == n) throw notValidInteger(text);
    long long value = 0;
    for (; i < n; ++i) {
        if (!isDigit(text[i])) throw notValidInteger(text);
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) throw notValidInteger(text);
    }
    if (negative) value = -value;
    if (value > 2147483647LL) throw notValidInteger(text);
    return static_cast<std::int32_t>(value);
}

std::string fixedText(double value, int decimals, char decimalSeparator) {
    // Below 1 the decimals are the tighter limit, from 1 up the significant digits; one
    // rounding at the tighter one. std::to_chars writes a point whatever the locale.
    char buffer[400];
    double rounded = value;
    if (std::fabs(value) >= 1) {
        auto end = std::to_chars(buffer, buffer + sizeof buffer, value,
                                 std::chars_format::scientific, decimals > 0 ? decimals - 1 : 0);
        std::from_chars(buffer, end.ptr, rounded);
    }
    auto end =
        std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, decimals);
    std::string text(buffer, end.ptr);
    for (char& c : text)
        if (c == '.') c = decimalSeparator;
    return text;
}

char decimalSeparatorOfLocale(std::string_view localeName) {
    const std::string name(localeName.substr(0, localeName.find_first_of(".@")));
    if (name.empty() || name == "C" || name == "POSIX") return '.';
    if (locale_t locale = newlocale(LC_NUMERIC_MASK, std::string(localeName).c_str(), locale_t{})) {
        const char* radix = nl_langinfo_l(RADIXCHAR, locale);
        const char separator = (radix && radix[0] && !radix[1]) ? radix[0] : '.';
        freelocale(locale);
        return separator;
    }
    // The locale is not installed here: decide by the usual notation of the region.
    static const char* const pointRegions[] = {"de_CH", "it_CH", "es_MX", "es_US"};
    for (const char* region : pointRegions)
        if (name == region) return '.';
    static const char* const commaLanguages[] = {
        "af", "az", "be", "bg", "bs", "ca", "cs", "da", "de", "el", "es", "et",
        "eu", "fi", "fo", "fr", "gl", "hr", "hu", "hy", "id", "is", "it", "ka",
        "kk", "ky", "lt", "lv", "mk", "mn", "nb", "nl", "nn", "no", "pl", "pt",
        "ro", "ru", "sk", "sl", "sq", "sr", "sv", "tr", "uk", "uz", "vi"};
    const std::string language = name.substr(0, name.find('_'));
    for (const char* comma : commaLanguages)
        if (language == comma) return ',';
    return '.';
}

char regionalDecimalSeparator() {
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return decimalSeparatorOfLocale(value);
    }
    return '.';
}

}  // namespace lumiva
