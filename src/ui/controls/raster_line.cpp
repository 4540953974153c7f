#include "ui/controls/raster_line.h"

#include <cstdlib>

namespace {

// The window draws with 14, pen OR NOT destination, which shows on any picture; every other
// mode copies the pen.
std::uint32_t Combine(int mode, std::uint32_t p, std::uint32_t d) {
    return mode == 14 ? p | ~d : p;
}

} // namespace

void DrawRasterLine(QImage& image, QPoint from, QPoint to, const RasterPen& pen) {
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    const std::uint32_t penRgb =
        ((pen.colour & 0xFFu) << 16) | (pen.colour & 0xFF00u) | ((pen.colour >> 16) & 0xFFu);
    const bool dotted = pen.lineStyle == 2;

    // Bresenham; the end point itself is left out.
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1;
    const int sy = y < to.y() ? 1 : -1;
    int error = dx + dy;
    for (int step = 0; x != to.x() || y != to.y(); ++step) {
        if ((!dotted || step % 2 == 0) && x >= 0 && y >= 0 && x < image.width() &&
            y < image.height()) {
            auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(y)) + x;
            const std::uint32_t rgb = Combine(pen.drawMode, penRgb, *pixel & 0xFFFFFFu);
            *pixel = 0xFF000000u | (rgb & 0xFFFFFFu);
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}
