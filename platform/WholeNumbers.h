// Whole numbers read from short texts (profile values, field parameters)
// without the C locale.
#pragma once

#include <string_view>

// Reads exactly count whole numbers from text: blanks around each, an
// optional '+', and between two numbers the separator (a blank separator
// means blanks alone). The text must be used up; false otherwise.
bool ParseWholeNumbers(std::string_view text, char separator, int* out, int count);
