// Arbitrary text through the typed-number conversion of the input boxes.
#include "state/number_text.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const QChar decimalPoint = data[0] % 2 ? u',' : u'.';
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data) + 1,
                                           static_cast<qsizetype>(size - 1));
    const auto value = ParseTypedNumber(text, decimalPoint);
    if (!value)
        return 0;
    // Whatever was taken reads back as itself from its plain form.
    if (ParseTypedNumber(QString::number(*value), decimalPoint) != value)
        std::abort();
    // Only blanks, a sign, ASCII digits and the separator can make a number.
    for (const QChar c : text)
        if (!(c == u' ' || c == u'\t' || c == u'+' || c == u'-' || c == decimalPoint ||
              (c >= u'0' && c <= u'9')))
            std::abort();
    return 0;
}
