#pragma once

#include <QImage>
#include <cstdint>
#include <optional>

struct CropEdges {
    std::int16_t left = 0;
    std::int16_t top = 0;
    std::int16_t right = 0;
    std::int16_t bottom = 0;
};

// The crop edges that cut the black bars away, as two clicks place them: each edge on the last
// row or column of its bar, or on the outermost line where a side has no bar. A line belongs to
// a bar when at most 1/32 of its pixels have a luma above 24 of 255, scanning from each border
// inwards only. Nothing for a picture that is dark throughout or too small to leave a region.
std::optional<CropEdges> DetectBlackBars(const QImage& picture);
