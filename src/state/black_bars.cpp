#include "state/black_bars.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// The bars' black is measured in this many lines at each border.
constexpr int kBorderLines = 16;
// The bars' black of digital video, correctly converted, with some noise.
constexpr int kTrueBlack = 8;
// Black brighter than this is no bar black: the border is picture on every side.
constexpr int kBrightestBlack = 48;
// A pixel is lit this far above the bars' black at least, more where the bars are grainy.
constexpr int kLitMargin = 8;
// Signalling lines and head-switching noise at the very border, cut with the bar inside them.
constexpr int kLitLinesAtBorder = 8;
constexpr int kBarInsideLitLines = 4;
// Lines at an interlaced bar's edge that are as dark as the bar but for ringing.
constexpr int kDarkLinesAtEdge = 4;
// A run of lit pixels this long is something drawn (a logo, a subtitle), not noise.
constexpr int kContentRun = 8;

// BT.601 luma of every pixel, row by row.
std::vector<std::uint8_t> LumaPlane(const QImage& image) {
    std::vector<std::uint8_t> plane(std::size_t(image.width()) * image.height());
    auto* out = plane.data();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            *out++ = std::uint8_t(
                (77 * qRed(line[x]) + 150 * qGreen(line[x]) + 29 * qBlue(line[x]) + 128) >> 8);
    }
    return plane;
}

// A row or a column of the luma plane, or a part of one.
struct Line {
    const std::uint8_t* first;
    std::ptrdiff_t step;
    int length;
    std::uint8_t operator[](int i) const { return first[i * step]; }
};

struct Plane {
    std::vector<std::uint8_t> luma;
    int width, height;
    Line Row(int y) const { return {luma.data() + std::ptrdiff_t(y) * width, 1, width}; }
    Line Column(int x, int fromY, int toY) const {
        return {luma.data() + std::ptrdiff_t(fromY) * width + x, width, toY - fromY};
    }
};

int Median(const Line& line) {
    std::array<int, 256> histogram{};
    for (int i = 0; i < line.length; ++i)
        ++histogram[line[i]];
    int seen = 0;
    for (int level = 0; level < 256; ++level)
        if ((seen += histogram[level]) * 2 >= line.length)
            return level;
    return 255;
}

struct BarBlack {
    int level;    // the bars' black
    int litAbove; // luma above this is lit
};

// Nothing when no border is dark enough to be a bar.
std::optional<BarBlack> LitAbove(const Plane& p) {
    // The darkest of the lines near the four borders shows the bars' black and their grain.
    std::optional<Line> darkest;
    int black = 256;
    const int rows = std::min(kBorderLines, p.height / 2);
    const int columns = std::min(kBorderLines, p.width / 2);
    const auto consider = [&](const Line& line) {
        const int level = Median(line);
        if (level < black)
            black = level, darkest = line;
    };
    for (int i = 0; i < rows; ++i)
        consider(p.Row(i)), consider(p.Row(p.height - 1 - i));
    for (int i = 0; i < columns; ++i)
        consider(p.Column(i, 0, p.height)), consider(p.Column(p.width - 1 - i, 0, p.height));
    if (!darkest || black > kBrightestBlack)
        return std::nullopt;
    // Grain of the bars, leaving out speckle.
    double sum = 0;
    int count = 0;
    for (int i = 0; i < darkest->length; ++i)
        if (const int d = (*darkest)[i] - black; std::abs(d) <= 3 * kLitMargin)
            sum += d * d, ++count;
    const double grain = std::sqrt(sum / std::max(count, 1));
    return BarBlack{black, black + std::max(kLitMargin, int(std::ceil(4 * grain)))};
}

double Mean(const Line& line) {
    long long sum = 0;
    for (int i = 0; i < line.length; ++i)
        sum += line[i];
    return double(sum) / std::max(line.length, 1);
}

// On interlaced frames the bar's last lines carry the ringing of the fields' picture, and
// interlacing filters soften its edge over one line, the chroma of the fields over one more.
// Lines that are still as dark as the bar on average go with it, and so do up to two lines each
// less than halfway from the bar's black to the line inside it.
template <typename LineAt> int WithSoftEdge(int depth, int count, int black, LineAt lineAt) {
    if (depth == 0)
        return depth;
    const auto above = [&](int i) { return Mean(lineAt(i)) - black; };
    for (int dark = 0; dark < kDarkLinesAtEdge && depth + 1 < count && above(depth) <= 4; ++dark)
        ++depth;
    for (int soft = 0; soft < 2 && depth + 1 < count && 2 * above(depth) < above(depth + 1); ++soft)
        ++depth;
    return depth;
}

// As dark as the bar's black but for scattered specks: at most 1/32 of the line lit, and no
// run of lit pixels that would be a logo or a subtitle.
bool IsBar(const Line& line, int litAbove) {
    int lit = 0, run = 0;
    for (int i = 0; i < line.length; ++i) {
        if (line[i] > litAbove) {
            ++lit;
            if (++run >= kContentRun)
                return false;
        } else {
            run = 0;
        }
    }
    return lit * 32 <= line.length;
}

// How many lines from a border inwards belong to its bar. A few lit lines at the very border
// count with the bar when a bar of some lines lies right inside them.
template <typename LineAt> int BarDepth(int count, int litAbove, LineAt lineAt) {
    const auto bar = [&](int i) { return IsBar(lineAt(i), litAbove); };
    int depth = 0;
    while (depth <= kLitLinesAtBorder && depth < count && !bar(depth))
        ++depth;
    if (depth > kLitLinesAtBorder || depth == count)
        return 0;
    if (depth > 0)
        for (int i = depth; i < depth + kBarInsideLitLines; ++i)
            if (i >= count || !bar(i))
                return 0;
    while (depth < count && bar(depth))
        ++depth;
    return depth;
}

// A picture with little more than one level in it: a fade, a blank frame.
bool Flat(const Plane& p) {
    double sum = 0, squares = 0;
    int n = 0;
    for (std::size_t i = 0; i < p.luma.size(); i += 7, ++n)
        sum += p.luma[i], squares += double(p.luma[i]) * p.luma[i];
    const double mean = sum / std::max(n, 1);
    return squares / std::max(n, 1) - mean * mean < 4 * 4;
}

// The edges, on the outermost lines where a side has no bar; nothing for a frame that tells
// nothing (dark or flat throughout, too small) or whose bars leave no region.
std::optional<CropEdges> FrameEdges(const QImage& picture, bool interlaced) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    if (width < 3 || height < 3)
        return std::nullopt;
    const Plane p{LumaPlane(image), width, height};
    if (Flat(p))
        return std::nullopt;
    const auto lit = LitAbove(p);
    if (!lit) // no border dark enough for a bar: picture everywhere
        return CropEdges{0, 0, std::int16_t(width - 1), std::int16_t(height - 1)};
    const int litAbove = lit->litAbove;

    const auto row = [&](int i) { return p.Row(i); };
    const auto rowUp = [&](int i) { return p.Row(height - 1 - i); };
    int top = BarDepth(height, litAbove, row);
    if (top == height)
        return std::nullopt; // dark throughout
    int bottom = BarDepth(height, litAbove, rowUp);
    if (interlaced) {
        top = WithSoftEdge(top, height, lit->level, row);
        bottom = WithSoftEdge(bottom, height, lit->level, rowUp);
    }
    // Digital bars are true black. Grey ones, as analogue captures have, come in pairs; a dark
    // sky or floor as grey is picture.
    const bool grey = lit->level > kTrueBlack;
    if (grey && (top == 0 || bottom == 0))
        top = bottom = 0;
    // Columns are judged on the rows between the horizontal bars only.
    const int fromY = top;
    const int toY = std::max(height - bottom, fromY + 1);
    int left = BarDepth(width, litAbove, [&](int i) { return p.Column(i, fromY, toY); });
    int right =
        BarDepth(width, litAbove, [&](int i) { return p.Column(width - 1 - i, fromY, toY); });
    if (grey && (left == 0 || right == 0))
        left = right = 0;

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

bool NoBars(const CropEdges& e, QSize size) {
    return e.left == 0 && e.top == 0 && e.right == size.width() - 1 &&
           e.bottom == size.height() - 1;
}

} // namespace

std::optional<CropEdges> DetectBlackBars(const QImage& picture) {
    const auto edges = FrameEdges(picture, false);
    if (!edges || NoBars(*edges, picture.size()))
        return std::nullopt;
    return edges;
}

BarsAcrossFrames DetectBlackBarsAcross(const std::vector<QImage>& frames, bool interlaced) {
    BarsAcrossFrames result;
    // Lines cut at the left, top, right and bottom in each frame that tells something.
    std::array<std::vector<int>, 4> cuts;
    for (const QImage& frame : frames) {
        const auto e = FrameEdges(frame, interlaced);
        if (!e)
            continue;
        const int found[4] = {e->left, e->top, frame.width() - 1 - e->right,
                              frame.height() - 1 - e->bottom};
        for (int side = 0; side < 4; ++side)
            cuts[side].push_back(found[side]);
    }
    result.framesUsed = int(cuts[0].size());
    if (result.framesUsed == 0)
        return result;
    // A line lit in any frame stays.
    std::array<int, 4> least{};
    std::array<int, 4> showingMore{};
    for (int side = 0; side < 4; ++side) {
        std::vector<int> sorted = cuts[side];
        std::sort(sorted.begin(), sorted.end());
        least[side] = sorted.front();
        const int typical = sorted[sorted.size() / 2];
        showingMore[side] = int(std::count_if(sorted.begin(), sorted.end(),
                                              [typical](int cut) { return cut < typical - 4; }));
    }
    const QSize size = frames.front().size();
    const CropEdges edges{std::int16_t(least[0]), std::int16_t(least[1]),
                          std::int16_t(size.width() - 1 - least[2]),
                          std::int16_t(size.height() - 1 - least[3])};
    if (!NoBars(edges, size))
        result.edges = edges;

    const int most = *std::max_element(showingMore.begin(), showingMore.end());
    if (most > 0) {
        const char* names[] = {"left", "top", "right", "bottom"};
        QStringList sides;
        for (int side : {1, 3, 0, 2})
            if (showingMore[side] == most)
                sides << QLatin1String(names[side]);
        result.mixedAspect =
            QStringLiteral("Mixed aspect: %1 of %2 frames show more picture at the %3.")
                .arg(most)
                .arg(result.framesUsed)
                .arg(sides.join(QStringLiteral(" and ")));
    }
    return result;
}
