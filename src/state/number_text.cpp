#include "state/number_text.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<std::int32_t> ParseTypedNumber(const QString& text, QChar decimalPoint) {
    qsizetype pos = 0;
    qsizetype end = text.size();
    while (pos < end && IsBlank(text[pos]))
        ++pos;
    while (end > pos && IsBlank(text[end - 1]))
        --end;

    bool negative = false;
    if (pos < end && (text[pos] == u'-' || text[pos] == u'+')) {
        negative = text[pos] == u'-';
        ++pos;
    }

    // Magnitude is accumulated with a cap so that arbitrarily long digit runs stay cheap.
    constexpr std::int64_t cap = std::int64_t{1} << 40;
    std::int64_t magnitude = 0;
    int digits = 0;
    for (; pos < end && IsAsciiDigit(text[pos]); ++pos, ++digits) {
        magnitude = magnitude * 10 + (text[pos].unicode() - u'0');
        if (magnitude > cap)
            magnitude = cap;
    }

    // Fraction: only its first digit and whether anything non-zero follows matter.
    int firstFractionDigit = 0;
    bool restNonZero = false;
    if (pos < end && text[pos] == decimalPoint) {
        ++pos;
        bool first = true;
        for (; pos < end && IsAsciiDigit(text[pos]); ++pos, ++digits) {
            const int d = text[pos].unicode() - u'0';
            if (first)
                firstFractionDigit = d;
            else if (d != 0)
                restNonZero = true;
            first = false;
        }
    }
    if (pos != end || digits == 0)
        return std::nullopt;

    const bool roundUp = firstFractionDigit > 5 || (firstFractionDigit == 5 && restNonZero) ||
                         (firstFractionDigit == 5 && !restNonZero && magnitude % 2 == 1);
    if (roundUp)
        ++magnitude;

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> TypedInputValue(const QString& text, QChar decimalPoint) {
    const auto value = ParseTypedNumber(text, decimalPoint);
    if (value == -1)
        return std::nullopt;
    return value;
}

double RoundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is to-nearest-even by default.
    return std::nearbyint(value);
}

QString FormatWholeNumber(double value) {
    const auto whole = static_cast<long long>(value);
    return QString::number(whole);
}

QString FormatTwoDecimals(double value, QChar decimalPoint) {
    // printf rounds the exact binary value, ties to even.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    QString text = QString::fromLatin1(buffer);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    if (text == u"-0")
        text = QStringLiteral("0");
    text.replace(u'.', decimalPoint);
    return text;
}
