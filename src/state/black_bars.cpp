#include "state/black_bars.h"

namespace {

constexpr int kDarkLuma = 24;

bool IsBright(QRgb pixel) {
    // BT.601 luma in integer arithmetic.
    return (77 * qRed(pixel) + 150 * qGreen(pixel) + 29 * qBlue(pixel) + 128) / 256 > kDarkLuma;
}

// Noise and compression speckle may light up a few pixels of a bar.
bool MostlyDark(int brightPixels, int length) {
    return brightPixels * 32 <= length;
}

bool DarkRow(const QImage& image, int y, int fromX, int toX) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    int count = 0;
    for (int x = fromX; x < toX; ++x)
        count += IsBright(line[x]);
    return MostlyDark(count, toX - fromX);
}

bool DarkColumn(const QImage& image, int x, int fromY, int toY) {
    int count = 0;
    for (int y = fromY; y < toY; ++y)
        count += IsBright(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
    return MostlyDark(count, toY - fromY);
}

} // namespace

std::optional<CropEdges> DetectBlackBars(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    if (width < 3 || height < 3)
        return std::nullopt;

    int top = 0;
    while (top < height && DarkRow(image, top, 0, width))
        ++top;
    if (top == height)
        return std::nullopt;
    int bottom = 0;
    while (DarkRow(image, height - 1 - bottom, 0, width))
        ++bottom;

    // Columns are judged on the rows between the horizontal bars only.
    const int fromY = top;
    const int toY = height - bottom;
    int left = 0;
    while (left < width && DarkColumn(image, left, fromY, toY))
        ++left;
    if (left == width)
        return std::nullopt;
    int right = 0;
    while (DarkColumn(image, width - 1 - right, fromY, toY))
        ++right;

    // The edge is the bar's innermost line, itself cut away; without a bar, the outermost line.
    CropEdges edges;
    edges.left = static_cast<std::int16_t>(left > 0 ? left - 1 : 0);
    edges.top = static_cast<std::int16_t>(top > 0 ? top - 1 : 0);
    edges.right = static_cast<std::int16_t>(right > 0 ? width - right : width - 1);
    edges.bottom = static_cast<std::int16_t>(bottom > 0 ? height - bottom : height - 1);
    // Bars leave a region, and lie where two clicks near opposite corners place their edges.
    if (edges.right - edges.left < 2 || edges.bottom - edges.top < 2 || 2 * edges.left > width ||
        2 * edges.right <= width || 2 * edges.top > height || 2 * edges.bottom <= height)
        return std::nullopt;
    return edges;
}
