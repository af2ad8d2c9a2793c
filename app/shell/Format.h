// Locale-free conversions between numbers and text for the desktop program.
//
// Qt switches the C library to the user's locale at start-up, so nothing here
// goes through strtod, printf or iostreams: numbers are read with
// std::from_chars and written from std::to_chars digits, always with "." as
// the decimal symbol and without digit grouping.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kx {

// Formats a number by a pattern.
//
// Numeric patterns: "0" is a required digit, "#" an optional one, "." the
// decimal point (written even when no digit follows it), and "E+00" / "E-00"
// (or "e+00") an exponent: "E+" always writes its sign, "E-" only a minus;
// the exponent has at least as many digits as there are "0" after the sign
// ("#" there adds no minimum). Examples: "0.E+00" gives "1.E-10",
// "0.00####E+00" gives 2 to 6 decimals, "0.0" a fixed decimal, "0.##" up to
// two decimals. Rounding is half away from zero on the value's 15-significant-
// digit decimal form, so 2.675 with "0.00" gives "2.68".
//
// Text patterns made of "@" (one character each) right-align a text in that
// many columns; a leading "!" left-aligns it. A longer text is kept whole.
// A number given to a text pattern is first turned into text by NumberToText.
// An empty pattern gives NumberToText as well.
std::string Format(double value, std::string_view pattern);

// A factor as a label states it: by the exponent pattern when that text
// reads back as the value itself, else with as many more decimals as it
// takes (up to the 15 significant digits Format writes), so that a label
// never states another factor than the one applied: "0.0E+00" gives
// "1.0E+03" for 1000 and "1.25E+00" for 1.25.
std::string FormatFaithfully(double value, std::string_view pattern);

// Formats a text by a pattern. For a numeric pattern the text is first read
// as a number (ParseNumber); a text that is not numeric is returned unchanged.
std::string Format(std::string_view text, std::string_view pattern);

// True when the text is a decimal number: blanks around it allowed, an
// optional sign, digits with an optional ".", an optional exponent (E or e,
// optional sign, digits). Commas, grouping, hexadecimal, "inf", "nan" and
// values that overflow a double are not numeric.
bool IsNumeric(std::string_view text);

// The value of a numeric text (see IsNumeric), or nothing.
std::optional<double> ParseNumber(std::string_view text);

// The leading number of a text, 0 when there is none: blanks are skipped
// anywhere in the number, reading stops at the first character that cannot
// continue it ("12.5 atm" gives 12.5, "abc" gives 0). Never fails; an
// overflowing exponent gives +/- infinity clamped to the largest double.
double Val(std::string_view text);

// The default conversion of a number to text: up to 15 significant digits,
// no trailing zeros, fixed notation for magnitudes from 1e-4 up to below 1e15,
// else "1.5E+20" / "1E-05" (signed exponent of at least two digits).
std::string NumberToText(double value);

// As NumberToText, with a leading blank for values that are not negative.
std::string Str(double value);

// The nearest whole number, ties to the even one (2.5 gives 2, 3.5 gives 4).
double RoundHalfEven(double value);

}  // namespace kx
