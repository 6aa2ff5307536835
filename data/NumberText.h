// Numbers as text without the C locale: the reader accepts exactly the forms a
// user types (sign, digits, one point, exponent) and nothing a C library might
// add (hexadecimal, "inf", "nan"); the writer gives the shortest text that
// reads back to the same double, so a copy or export never loses digits.
#pragma once

#include <string>
#include <string_view>

// Reads the whole of text (no blanks) as a decimal number with "." as the
// decimal point. False for anything else, and for a value out of range.
bool ParseNumberText(std::string_view text, double& value);

// The shortest text that reads back to value ("." as the decimal point).
std::string ShortestNumberText(double value);
