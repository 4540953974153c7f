#include "state/preview_size.h"

std::optional<QSize> PreviewSize(const QString& newWidth, const QString& newHeight) {
    bool widthOk = false;
    bool heightOk = false;
    const int width = newWidth.toInt(&widthOk);
    const int height = newHeight.toInt(&heightOk);
    if (!widthOk || !heightOk || width < 1 || height < 1 || width > 32767 || height > 32767)
        return std::nullopt;
    if (qint64{width} * height > qint64{4096} * 4096)
        return std::nullopt;
    return QSize(width, height);
}
