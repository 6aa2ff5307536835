// The process-wide characters with which numbers are written and read: the
// decimal character, list separator, digit group separator, digits in a group
// and negative symbol. Each character is kept as UTF-8 text of one character.
// The application sets them from its preferences at start-up.
#pragma once

#include <string>
#include <string_view>

const std::string& GetDecimalChar();         // initially "."
const std::string& GetListSeparator();       // initially ","
const std::string& GetDigitGroupSeparator(); // initially ","
int GetDigitsInGroup();                      // initially 3; 0 or less: no grouping
const std::string& GetNegativeSymbol();      // initially "-"

// Each setter keeps the first (UTF-8) character of text; an empty text keeps
// the current value.
void SetDecimalChar(std::string_view text);
void SetListSeparator(std::string_view text);
void SetDigitGroupSeparator(std::string_view text);
void SetDigitsInGroup(int digits);
void SetNegativeSymbol(std::string_view text);
// Back to the initial values (for tests and a fresh start).
void ResetLocaleChars();

// Profile section "Preferences": "Decimal", "ListSeparator",
// "DigitGroupSeparator", "DigitsInGroup", "NegativeSymbol". A missing key
// keeps the current value (the program's defaults, which match the usual
// user locale); strings keep their first character.
void LoadDecimalChar();
void LoadListSeparator();
void LoadDigitGroupSeparator();
void LoadDigitsInGroup();
void LoadNegativeSymbol();
void SaveDecimalChar();
void SaveListSeparator();
void SaveDigitGroupSeparator();
void SaveDigitsInGroup();
void SaveNegativeSymbol();

// The first UTF-8 character of text (empty for an empty text).
std::string FirstCharacter(std::string_view text);

// Turns every occurrence of the decimal character (empty = the current one)
// into "."; RestoreDecimalChar turns every "." into it. Nothing happens when
// the character is ".".
void ReplaceDecimalChar(std::string& text, std::string_view decimalChar = {});
void RestoreDecimalChar(std::string& text, std::string_view decimalChar = {});
