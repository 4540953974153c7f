#include "bitrate.h"

#include "number_text.h"

#include <cmath>
#include <limits>

namespace {

const QString kError = QStringLiteral("ERROR");

std::optional<double> parseListEntry(const QString& text) {
    // The lists hold plain digits; anything else is a failed run.
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return text.toDouble();
}

std::optional<double> audioTotal(const BitrateInput& in) {
    const auto perStream = parseListEntry(in.audioBitrateEntry);
    if (!perStream || in.audioCountPosition < 0)
        return std::nullopt;
    return *perStream * in.audioCountPosition;
}

std::optional<std::int32_t> seconds(std::int32_t minutes) {
    const std::int64_t s = std::int64_t{minutes} * 60;
    if (s < std::numeric_limits<std::int32_t>::min() ||
        s > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(s);
}

BitrateOutput errorDisplay() {
    return {kError, kError, QString()};
}

// Size of the file in MB for a video bitrate, before rounding; nothing on overflow.
std::optional<double> fileSizeMB(const BitrateInput& in) {
    const auto audio = audioTotal(in);
    const auto s = seconds(in.videoLength);
    if (!audio || !s)
        return std::nullopt;
    const double rate = in.videoBitrate + *audio;
    const double size = rate / 8 / 1.024 / 1024 * *s;
    if (!std::isfinite(size))
        return std::nullopt;
    return size;
}

} // namespace

BitrateOutput CalculateBitrateOutputs(const BitrateInput& in, BitrateMode mode) {
    if (mode == BitrateMode::None)
        return {};
    const auto audio = audioTotal(in);
    if (!audio)
        return errorDisplay();

    if (mode == BitrateMode::Bitrate) {
        double target = 0;
        if (in.useCDs) {
            const auto cdSize = parseListEntry(in.cdSizeEntry.left(3));
            if (!cdSize)
                return errorDisplay();
            target = static_cast<double>(in.cdCount) * *cdSize * 1024 * 1.024 * 8;
        } else if (in.useCustom) {
            target = static_cast<double>(in.customSpace) * 1024 * 1.024 * 8;
        }
        if (in.videoLength < 1)
            return {kError, {}, {}};
        const auto s = seconds(in.videoLength);
        if (!s)
            return errorDisplay();
        const double video = target / *s - *audio;
        if (!std::isfinite(video))
            return errorDisplay();
        if (video > 0)
            return {FormatWholeNumber(RoundHalfEven(video)), {}, {}};
        return {kError, {}, {}};
    }

    if (in.videoLength < 1)
        return {{}, kError, QString()};
    const auto size = fileSizeMB(in);
    if (!size)
        return errorDisplay();
    return {{}, FormatWholeNumber(RoundHalfEven(*size)), SuggestSplitting(*size)};
}

QString SuggestSplitting(double sizeMB) {
    QString result;
    for (int n = 99; n >= 1; --n) {
        if (n * 700.0 >= sizeMB)
            result = n == 1 ? QStringLiteral("1 CD à 700 MB")
                            : QString::number(n) + QStringLiteral(" CDs à 700 MB");
        if (n * 650.0 >= sizeMB)
            result = n == 1 ? QStringLiteral("1 CD à 650 MB")
                            : QString::number(n) + QStringLiteral(" CDs à 650 MB");
    }
    return result;
}
