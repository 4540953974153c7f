#include "state/bitrate.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr BitrateResult kFailed{BitrateStatus::Failed, 0};
constexpr BitrateResult kNoValue{BitrateStatus::NoValue, 0};

std::optional<double> ParseListEntry(const QString& text) {
    // The lists hold plain digits; anything else is a failed run.
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return text.toDouble();
}

std::optional<double> AudioTotal(const BitrateInput& in) {
    const auto perStream = ParseListEntry(in.audioBitrateEntry);
    if (!perStream || in.audioCountPosition < 0)
        return std::nullopt;
    return *perStream * in.audioCountPosition;
}

std::optional<std::int32_t> Seconds(std::int32_t minutes) {
    const std::int64_t s = std::int64_t{minutes} * 60;
    if (s < std::numeric_limits<std::int32_t>::min() ||
        s > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(s);
}

} // namespace

BitrateResult VideoBitrateFor(const BitrateInput& in) {
    const auto audio = AudioTotal(in);
    if (!audio)
        return kFailed;
    // MB to kbit by the three factors in turn; their product is never used as one constant.
    double target = 0;
    if (in.useCDs) {
        const auto cdSize = ParseListEntry(in.cdSizeEntry.left(3));
        if (!cdSize)
            return kFailed;
        target = static_cast<double>(in.cdCount) * *cdSize * 1024 * 1.024 * 8;
    } else if (in.useCustom) {
        target = static_cast<double>(in.customSpace) * 1024 * 1.024 * 8;
    }
    if (in.videoLength < 1)
        return kNoValue;
    const auto s = Seconds(in.videoLength);
    if (!s)
        return kFailed;
    const double video = target / *s - *audio;
    if (!std::isfinite(video))
        return kFailed;
    return video > 0 ? BitrateResult{BitrateStatus::Ok, video} : kNoValue;
}

BitrateResult FileSizeFor(const BitrateInput& in) {
    const auto audio = AudioTotal(in);
    if (!audio)
        return kFailed;
    if (in.videoLength < 1)
        return kNoValue;
    const auto s = Seconds(in.videoLength);
    if (!s)
        return kFailed;
    const double rate = in.videoBitrate + *audio;
    const double size = rate / 8 / 1.024 / 1024 * *s;
    if (!std::isfinite(size))
        return kFailed;
    return {BitrateStatus::Ok, size};
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
