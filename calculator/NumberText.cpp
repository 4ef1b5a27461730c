#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace NumberText {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest start of `text` that forms a number: sign, digits with at most one
// point, and an exponent that is taken only when digits follow its "E". 0 when no digit starts it.
std::size_t NumberPrefix(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i]))
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits)
        return 0;
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        while (i < text.size() && IsDigit(text[i]))
            end = ++i;
    }
    return end;
}

// Converts a text that NumberPrefix accepted in full. The program runs in the user's locale,
// so the conversion uses the C locale of its own to keep "." the decimal point.
std::optional<double> Convert(std::string_view number) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string text(number);
    const double value = strtod_l(text.c_str(), nullptr, cLocale);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ToNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || NumberPrefix(text) != text.size())
        return std::nullopt;
    return Convert(text);
}

std::optional<double> ScanNumber(std::string_view text) {
    std::string packed;
    for (char c : text) {
        if (!IsBlank(c))
            packed += c;
    }
    const std::size_t length = NumberPrefix(packed);
    if (length == 0)
        return 0.0;
    return Convert(std::string_view(packed).substr(0, length));
}

std::string ToText(double value) {
    if (value == 0)
        return "0"; // also for -0
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view text(buffer, result.ptr - buffer);
    if (!std::isfinite(value))
        return std::string(text);

    // text is "[-]d.dddddddddddddde[+-]xx"
    std::string sign;
    if (text.front() == '-') {
        sign = "-";
        text.remove_prefix(1);
    }
    const std::size_t e = text.find('e');
    std::string digits = std::string(1, text[0]) + std::string(text.substr(2, e - 2));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::from_chars(text.data() + e + 2, text.data() + text.size(), exponent);
    if (text[e + 1] == '-')
        exponent = -exponent;

    if (exponent >= 15 || exponent < -4) {
        std::string mantissa = digits.substr(0, 1);
        if (digits.size() > 1)
            mantissa += "." + digits.substr(1);
        std::string power = std::to_string(std::abs(exponent));
        if (power.size() < 2)
            power.insert(0, "0");
        return sign + mantissa + (exponent < 0 ? "E-" : "E+") + power;
    }
    if (exponent < 0)
        return sign + "0." + std::string(-exponent - 1, '0') + digits;
    const std::size_t integerDigits = exponent + 1;
    if (digits.size() <= integerDigits)
        return sign + digits + std::string(integerDigits - digits.size(), '0');
    return sign + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

std::string ToTextWithSignBlank(double value) {
    return (value < 0 ? "" : " ") + ToText(value);
}

} // namespace NumberText
