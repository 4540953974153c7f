#include "state/crop_resize.h"

#include "state/number_text.h"

#include <cmath>
#include <limits>

namespace {

template <typename Int> std::optional<Int> Narrow(double value) {
    if (!std::isfinite(value) || value < std::numeric_limits<Int>::min() ||
        value > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(value);
}

template <typename Int> std::optional<Int> Narrow(std::int64_t value) {
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(value);
}

// Division that fails on a zero divisor, as 0 / 0 and x / 0 both do here.
std::optional<double> Divide(double a, double b) {
    if (b == 0)
        return std::nullopt;
    const double q = a / b;
    if (!std::isfinite(q))
        return std::nullopt;
    return q;
}

std::optional<double> SquareRoot(double x) {
    if (!(x >= 0) || !std::isfinite(x))
        return std::nullopt;
    return std::sqrt(x);
}

} // namespace

std::optional<double> FullFramePixelAspect(SourceAspect aspect, std::int32_t width,
                                           std::int32_t height) {
    double lines = 576;
    if (height == 480 || height == 288 || height == 240 || height == 720 || height == 1080)
        lines = height;
    else if (height > 720)
        lines = 1080;
    else if (height > 576)
        lines = 720;
    const double shown = aspect == SourceAspect::Ratio4x3 ? lines * 4 / 3 : lines * 16 / 9;
    return Divide(shown, width);
}

std::optional<CropResizeResult> CalculateCropResizeValues(const CropResizeInput& in) {
    double factor = 0;
    if (in.aspect != SourceAspect::None) {
        const auto f = FullFramePixelAspect(in.aspect, in.pictureWidth, in.pictureHeight);
        if (!f)
            return std::nullopt;
        factor = *f;
    }

    const auto w = Narrow<std::int16_t>(std::int64_t{in.cropRight} - in.cropLeft - 1);
    const auto h = Narrow<std::int16_t>(std::int64_t{in.cropBottom} - in.cropTop - 1);
    if (!w || !h)
        return std::nullopt;
    const auto quotient = Divide(*w, *h);
    if (!quotient)
        return std::nullopt;
    const double sourceAspect = *quotient * factor;

    const double target = in.targetPixelCount;
    std::int32_t newWidth = 0;
    std::int32_t newHeight = 0;
    double newAspect = 0;
    std::int32_t pixelCount = 0;
    for (int attempt = 0;;) {
        const auto heightRoot = Divide(target, sourceAspect);
        if (!heightRoot)
            return std::nullopt;
        const auto heightBase = SquareRoot(*heightRoot);
        const auto widthBase = SquareRoot(target * sourceAspect);
        if (!heightBase || !widthBase)
            return std::nullopt;
        const auto H = Narrow<std::int32_t>(std::floor(*heightBase / 16 + attempt) * 16);
        const auto W = Narrow<std::int32_t>(std::floor(*widthBase / 16) * 16);
        if (!H || !W)
            return std::nullopt;
        const auto N = Divide(*W, *H);
        if (!N)
            return std::nullopt;
        ++attempt;
        const auto P = Narrow<std::int32_t>(std::int64_t{*W} * *H);
        if (!P)
            return std::nullopt;
        newWidth = *W;
        newHeight = *H;
        newAspect = *N;
        pixelCount = *P;
        const bool rejected = *P <= target * 0.95 || *P >= target * 1.05 || *N > sourceAspect;
        if (!rejected || attempt >= 2)
            break;
    }

    const auto ratio = Divide(newAspect, sourceAspect);
    if (!ratio)
        return std::nullopt;
    const double trim = (1 - *ratio) * *w / 2;
    const auto r = Narrow<std::int16_t>(RoundHalfEven(trim));
    if (!r)
        return std::nullopt;

    CropResizeResult out;
    const auto finalLeft = Narrow<std::int16_t>(std::int64_t{in.cropLeft} + *r);
    const auto finalRight = Narrow<std::int16_t>(std::int64_t{in.cropRight} - *r);
    if (!finalLeft || !finalRight)
        return std::nullopt;
    out.finalCropLeft = *finalLeft;
    out.finalCropRight = *finalRight;

    const auto x1 = Narrow<std::int16_t>(std::int64_t{*finalLeft} + 1);
    const auto y1 = Narrow<std::int16_t>(std::int64_t{in.cropTop} + 1);
    if (!x1 || !y1)
        return std::nullopt;
    out.offsetX1 = *x1;
    out.offsetY1 = *y1;
    out.offsetX2 = static_cast<float>(in.pictureWidth) - static_cast<float>(*finalRight);
    out.offsetY2 = static_cast<float>(in.pictureHeight) - static_cast<float>(in.cropBottom);

    out.newWidth = newWidth;
    out.newHeight = newHeight;
    out.newAspect = newAspect;
    out.pixelAspect = factor;
    out.pixelCount = pixelCount;
    return out;
}
