// Data exchange for fields that may be left empty. An empty integer field
// means "not set" (-1); an integer field whose text is no number reads as -2.
// An empty number field shows the blank value (no number). These extend the
// framework's exchange of ui/widgets/DataExchange.h with that convention.
#pragma once

class CDataExchange;
class QLineEdit;

// Integers that may be unset.
inline constexpr int kOptionalIntEmpty = -1;
inline constexpr int kOptionalIntInvalid = -2;

// Reading: an empty field gives -1; else the framework's integer exchange
// (which reports text that is no integer); a typed -1 reads as -2.
// Showing: -1 empties the field.
void DDX_OptionalInt(CDataExchange* pDX, QLineEdit* edit, int& value);
// The framework's range check, skipped for an unset value.
void DDV_OptionalMinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum);
// Reading as DDX_OptionalInt, but the number is read as far as it goes
// ("12abc" reads 12) and text that starts with no number reads as -2 and
// empties the field; nothing is reported.
void DDX_OptionalIntScan(CDataExchange* pDX, QLineEdit* edit, int& value);
// Reading: a set value is brought into [minimum, maximum] and shown again.
void DDX_ClampOptionalInt(CDataExchange* pDX, QLineEdit* edit, int& value, int minimum, int maximum);

// Reading: blanks around the number are allowed and the user's decimal
// character stands for "."; text that is not wholly one number (an empty
// field too) keeps the value held and shows it again. Nothing is reported.
// Showing: a value that is no number (the blank) empties the field.
void DDX_OptionalDouble(CDataExchange* pDX, QLineEdit* edit, double& value);
// Reading: a value below minimum or no number becomes minimum, one above
// maximum becomes maximum, and the field shows it again.
void DDX_ClampOptionalDouble(CDataExchange* pDX, QLineEdit* edit, double& value, double minimum, double maximum);
