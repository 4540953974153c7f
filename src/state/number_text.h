#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>

// Converts a typed number to a 32-bit integer: optional blanks around an optional sign,
// decimal digits and an optional fraction after decimalPoint, rounded half to even.
// Anything else, and values beyond the 32-bit range, give nothing.
std::optional<std::int32_t> ParseTypedNumber(const QString& text, QChar decimalPoint);

// A typed input's value: as ParseTypedNumber, where -1 is the mark of no valid value, so that
// the text -1 counts as no number as well.
std::optional<std::int32_t> TypedInputValue(const QString& text, QChar decimalPoint);

// A whole number in plain digits with a leading "-" only when negative; for results that
// may exceed 32 bits (the value must be integral and below 2^63 in magnitude).
QString FormatWholeNumber(double value);

// Rounds to the nearest integer, exact halves to the even neighbour.
double RoundHalfEven(double value);

// value rounded to two decimals (half to even on the exact binary value), in its shortest
// form: "1.71", "1.3", "2".
QString FormatTwoDecimals(double value, QChar decimalPoint);
