#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct CropEdges {
    std::int16_t left = 0;
    std::int16_t top = 0;
    std::int16_t right = 0;
    std::int16_t bottom = 0;
    // Sides without a bar, whose edge lies on the outermost line: nothing is cut there. Bit 0 is
    // the left, 1 the top, 2 the right, 3 the bottom.
    std::uint8_t open = 0;
};

// The crop edges that cut the black bars away, as two clicks place them: each edge on the last
// row or column of its bar, or on the outermost line where a side has no bar (an open side). A line is bar
// when it is as dark as the bars' own black, measured in the darkest line near the borders:
// at most 1/32 of its pixels lit, that is 8 luma levels or four times the bars' grain above that
// black, and no run of 8 lit pixels (a logo, a subtitle). Lines are scanned from each border
// inwards; up to 8 lit lines at the very border (signalling, head-switching noise) are cut with
// a bar of at least 4 lines inside them. Nothing when no side has a bar, for a picture dark
// throughout, or when the bars leave no region.
std::optional<CropEdges> DetectBlackBars(const QImage& picture);

// The bars of a video from frames sampled over its running time. Pixels lit in a bar in every
// frame, where the rest of the bar is black, are a station logo and go with the bar.
struct BarsAcrossFrames {
    std::optional<CropEdges> edges; // for each side the least cut of any frame; none, no bars
    int framesUsed = 0;             // frames that tell; dark or flat ones are left out
    // What the frames showed, where they disagree by more than 4 lines on a side: "Mixed aspect:
    // 9 of 20 frames have bars at the top and bottom, the rest show the full frame; nothing was
    // cut.", "Kept 36 lines at the bottom: subtitles or a logo in the bar in 9 of 24 frames.",
    // and when a static logo in a bar was cut with it.
    QString note;
};
// On interlaced frames the one line where the fields soften a bar's edge goes with the bar. The
// frames are asked for one at a time, so that only their luma is held at once; a Grayscale8
// frame is its luma.
BarsAcrossFrames DetectBlackBarsAcross(int count, const std::function<QImage(int)>& frame,
                                       bool interlaced = false);
