#include "crop_resize.h"

#include <gtest/gtest.h>

namespace {

CropResizeInput edges(int left, int top, int right, int bottom, SourceAspect aspect,
                      std::int32_t target, int width = 720, int height = 576) {
    CropResizeInput in;
    in.cropLeft = static_cast<std::int16_t>(left);
    in.cropTop = static_cast<std::int16_t>(top);
    in.cropRight = static_cast<std::int16_t>(right);
    in.cropBottom = static_cast<std::int16_t>(bottom);
    in.pictureWidth = width;
    in.pictureHeight = height;
    in.aspect = aspect;
    in.targetPixelCount = target;
    return in;
}

struct Expected {
    int x1, x2, y1, y2, newWidth, newHeight, pixels, finalLeft, finalRight;
};

struct ResultCase {
    const char* name;
    CropResizeInput input;
    Expected expected;
};

void PrintTo(const ResultCase& c, std::ostream* os) {
    *os << c.name;
}

class CropResizeResults : public testing::TestWithParam<ResultCase> {};

TEST_P(CropResizeResults, MatchToTheDigit) {
    const auto& [name, input, e] = GetParam();
    const auto r = CalculateCropResizeValues(input);
    ASSERT_TRUE(r.has_value()) << name;
    EXPECT_EQ(r->offsetX1, e.x1) << name;
    EXPECT_EQ(r->offsetX2, e.x2) << name;
    EXPECT_EQ(r->offsetY1, e.y1) << name;
    EXPECT_EQ(r->offsetY2, e.y2) << name;
    EXPECT_EQ(r->newWidth, e.newWidth) << name;
    EXPECT_EQ(r->newHeight, e.newHeight) << name;
    EXPECT_EQ(r->pixelCount, e.pixels) << name;
    EXPECT_EQ(r->finalCropLeft, e.finalLeft) << name;
    EXPECT_EQ(r->finalCropRight, e.finalRight) << name;
    EXPECT_LE(r->newAspect * r->newHeight, r->newWidth + 1e-9) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CropResizeResults,
    testing::Values(
        // the worked examples: the 4:3 first try is taken, the 16:9 first try is too wide
        ResultCase{"4:3",
                   edges(7, 71, 712, 504, SourceAspect::Ratio4x3, 200000),
                   {13, 13, 72, 72, 576, 336, 193536, 12, 707}},
        ResultCase{"16:9",
                   edges(7, 71, 712, 504, SourceAspect::Ratio16x9, 200000),
                   {24, 24, 72, 72, 672, 304, 204288, 23, 696}},
        // a first try of exactly 95 % of the target is a miss: the second, 16 higher, is taken
        ResultCase{"95%",
                   edges(0, 0, 51, 101, SourceAspect::Ratio4x3, 51200),
                   {3, 720 - 49, 1, 576 - 101, 160, 320, 51200, 2, 49}},
        // side trims of 2.5 and 3.5 columns round to the even neighbour
        ResultCase{"trim 2.5",
                   edges(8, 0, 329, 337, SourceAspect::Ratio4x3, 200000),
                   {11, 720 - 327, 1, 576 - 337, 448, 448, 200704, 10, 327}},
        ResultCase{"trim 3.5",
                   edges(8, 0, 457, 337, SourceAspect::Ratio4x3, 150000),
                   {13, 720 - 453, 1, 576 - 337, 448, 320, 143360, 12, 453}},
        // no trim: the clicked edge columns are counted as cut
        ResultCase{"trim 0",
                   edges(8, 0, 711, 313, SourceAspect::Ratio4x3, 250000),
                   {9, 9, 1, 576 - 313, 768, 320, 245760, 8, 711}},
        // the aspect factor depends on the picture's width only
        ResultCase{"640 wide",
                   edges(7, 71, 632, 408, SourceAspect::Ratio4x3, 200000, 640, 480),
                   {18, 18, 72, 72, 656, 304, 199424, 17, 622}}));

TEST(CropResizeFailures, ArithmeticThatCannotGiveAResult) {
    // First try H = 0 for targets below 256 x A; A = 4/3 here.
    EXPECT_FALSE(CalculateCropResizeValues(edges(0, 0, 501, 401, SourceAspect::Ratio4x3, 341)));
    EXPECT_TRUE(CalculateCropResizeValues(edges(0, 0, 501, 401, SourceAspect::Ratio4x3, 342)));
    EXPECT_FALSE(CalculateCropResizeValues(edges(7, 71, 712, 504, SourceAspect::Ratio4x3, 100)));
    // Neighbouring edges: w = 0 gives A = 0, h = 0 a division by zero.
    EXPECT_FALSE(CalculateCropResizeValues(edges(10, 71, 11, 504, SourceAspect::Ratio4x3, 200000)));
    EXPECT_FALSE(
        CalculateCropResizeValues(edges(7, 288, 712, 289, SourceAspect::Ratio4x3, 200000)));
    EXPECT_FALSE(
        CalculateCropResizeValues(edges(10, 288, 11, 289, SourceAspect::Ratio4x3, 200000)));
    // Neither aspect chosen.
    EXPECT_FALSE(CalculateCropResizeValues(edges(7, 71, 712, 504, SourceAspect::None, 200000)));
    // The second try's pixel count leaves the 32-bit range.
    EXPECT_FALSE(
        CalculateCropResizeValues(edges(7, 71, 712, 504, SourceAspect::Ratio16x9, 2147483647)));
    // The same target with a second try that still fits.
    EXPECT_TRUE(
        CalculateCropResizeValues(edges(7, 71, 712, 504, SourceAspect::Ratio4x3, 2147483647)));
}

} // namespace
