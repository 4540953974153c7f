#pragma once

#include <cstdint>
#include <optional>

enum class SourceAspect { None, Ratio4x3, Ratio16x9 };

struct CropResizeInput {
    std::int16_t cropLeft = 0;
    std::int16_t cropTop = 0;
    std::int16_t cropRight = 0;
    std::int16_t cropBottom = 0;
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
    SourceAspect aspect = SourceAspect::Ratio4x3;
    std::int32_t targetPixelCount = 0;
};

struct CropResizeResult {
    std::int16_t finalCropLeft = 0;
    std::int16_t finalCropRight = 0;
    std::int16_t offsetX1 = 0; // columns cut at the left, the edge column included
    float offsetX2 = 0;        // columns cut at the right
    std::int16_t offsetY1 = 0;
    float offsetY2 = 0;
    std::int32_t newWidth = 0;
    std::int32_t newHeight = 0;
    double newAspect = 0;   // newWidth / newHeight
    double pixelAspect = 0; // display width of one source pixel, in square pixels
    std::int32_t pixelCount = 0;
};

// The display width of one source pixel, in square pixels: the width of the whole frame on
// screen spread over its stored width. Standard frames (1080 and 720 lines of HD, PAL's 576,
// NTSC's 480, VCD's 288 and 240) give it from their own line count; any other height, a frame
// already cut, is taken as part of the next larger HD frame above 576 lines, else of a 576-line
// one. Nothing for a width of 0.
std::optional<double> FullFramePixelAspect(SourceAspect aspect, std::int32_t width,
                                           std::int32_t height);

// Output size (multiples of 16) near the target pixel count that keeps the display aspect of
// the cropped source, and the side trim that gives the cut region that aspect. Nothing when
// the arithmetic fails: a division by zero, an invalid operation, or an integer overflow.
std::optional<CropResizeResult> CalculateCropResizeValues(const CropResizeInput& in);
