#pragma once

#include <optional>
#include <string>
#include <string_view>

// The calculator's conversions between numbers and the text in its display. Locale-independent:
// the decimal point is always ".".
namespace NumberText {

// Strict reading: the whole text, blanks around it aside, must be one number. Empty or
// non-numeric text, and a number beyond the range of a double, give nothing.
std::optional<double> ToNumber(std::string_view text);

// Lenient reading: blanks anywhere are skipped and the scan stops at the first character that
// cannot continue a number, so "12 5" reads 125 and text without a number reads 0. Gives nothing
// only when the number scanned is beyond the range of a double.
std::optional<double> ScanNumber(std::string_view text);

// The standard text form: at most 15 significant digits, no leading blank, exponent form
// ("1.23456789012346E+15", "1E-05") for magnitudes from 1E+15 up and below 1E-04.
std::string ToText(double value);

// The standard text form with a blank in front of a non-negative number (" 5", "-5").
std::string ToTextWithSignBlank(double value);

} // namespace NumberText
