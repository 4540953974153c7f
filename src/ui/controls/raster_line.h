#pragma once

#include <QImage>
#include <QPoint>
#include <cstdint>

// A one-pixel pen for drawing on a picture. drawMode is a binary raster operation numbered as on
// Windows: 14 is pen OR NOT destination, any other copies the pen; lineStyle 2 is dotted, every
// other style solid. colour holds red in its low byte, then green, then blue.
struct RasterPen {
    std::uint32_t colour = 0;
    int drawMode = 13;
    int lineStyle = 0;
};

// Draws from `from` up to, but not including, `to`; pixels outside the image are skipped.
void DrawRasterLine(QImage& image, QPoint from, QPoint to, const RasterPen& pen);
