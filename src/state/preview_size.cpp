#include "state/preview_size.h"

std::optional<QSize> PreviewSize(std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1 || width > 32767 || height > 32767)
        return std::nullopt;
    if (qint64{width} * height > qint64{4096} * 4096)
        return std::nullopt;
    return QSize(width, height);
}
