// Texts of doubles in dialog fields, where the blank value (no number) shows as
// an empty field. Locale-free: digits, '.', 'e' and a sign.
#pragma once

#include <string>
#include <string_view>

// Fifteen significant digits, as number fields show them; a blank gives "".
std::string FormatDoubleOrBlank(double value);
// Blanks and tabs around the number are allowed; an empty text gives the
// blank value. False for any other text or a number out of range.
bool ParseDoubleOrBlank(std::string_view text, double& value);
// Orders numbers ascending with blanks after every number.
bool LessBlankLast(double a, double b);
