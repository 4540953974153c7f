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
// A frame whose levels spread less is flat, a fade or a blank card, dark or bright.
constexpr double kFlat = 4;
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
// Lines from where a bar's search stopped in which something drawn in the bar is looked for.
constexpr int kDrawnLines = 4;

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

// A row or a column of the luma plane, or a part of one. Ignored pixels (a static logo) read as
// black.
struct Line {
    const std::uint8_t* first;
    const std::uint8_t* ignored;
    std::ptrdiff_t step;
    int length;
    std::uint8_t operator[](int i) const {
        return ignored && ignored[i * step] ? 0 : first[i * step];
    }
};

// A frame's luma, rows `width` bytes apart: a Grayscale8 picture's own rows where they lie so,
// else a copy.
struct Plane {
    QImage picture;                  // kept while its rows are read
    std::vector<std::uint8_t> owned; // where the luma was made or copied
    const std::uint8_t* luma = nullptr;
    int width = 0, height = 0;
    const std::vector<std::uint8_t>* ignored = nullptr; // of the plane's size, or none
    Plane() = default;
    Plane(Plane&&) = default; // `luma` stays on the rows moved with it
    Plane(const Plane&) = delete;
    std::size_t size() const { return std::size_t(width) * height; }
    Line At(std::ptrdiff_t offset, std::ptrdiff_t step, int length) const {
        return {luma + offset, ignored ? ignored->data() + offset : nullptr, step, length};
    }
    Line Row(int y) const { return At(std::ptrdiff_t(y) * width, 1, width); }
    Line Column(int x, int fromY, int toY) const {
        return At(std::ptrdiff_t(fromY) * width + x, width, toY - fromY);
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
        if (level < black) {
            black = level;
            darkest = line;
        }
    };
    for (int i = 0; i < rows; ++i) {
        consider(p.Row(i));
        consider(p.Row(p.height - 1 - i));
    }
    for (int i = 0; i < columns; ++i) {
        consider(p.Column(i, 0, p.height));
        consider(p.Column(p.width - 1 - i, 0, p.height));
    }
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

// Something drawn in a bar stopped the search there: a line at most half lit, with a run of lit
// pixels, a subtitle or a logo.
bool DrawnInBar(const Line& line, int litAbove) {
    int lit = 0, run = 0, longest = 0;
    for (int i = 0; i < line.length; ++i) {
        run = line[i] > litAbove ? run + 1 : 0;
        lit += run > 0;
        longest = std::max(longest, run);
    }
    return longest >= kContentRun && lit * 2 <= line.length;
}

// Something drawn in the lines where a bar's search stopped: the first of them may hold only the
// short strokes of letters' tops, a subtitle's body the lines after.
template <typename LineAt> bool DrawnNear(int depth, int count, int litAbove, LineAt lineAt) {
    for (int i = depth; depth > 0 && i < std::min(count, depth + kDrawnLines); ++i)
        if (DrawnInBar(lineAt(i), litAbove))
            return true;
    return false;
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

// The spread of a picture's levels: a fade or a blank card has little.
double Variance(const Plane& p) {
    double sum = 0, squares = 0;
    int n = 0;
    for (std::size_t i = 0; i < p.size(); i += 7, ++n) {
        sum += p.luma[i];
        squares += double(p.luma[i]) * p.luma[i];
    }
    const double mean = sum / std::max(n, 1);
    return squares / std::max(n, 1) - mean * mean;
}

// A frame's bars: lines of bar at the left, top, right and bottom, and where the search stopped
// at something drawn in a bar.
struct FrameBars {
    std::array<int, 4> depth{};
    std::array<bool, 4> drawn{};
    int litAbove = 0;
};

// Nothing for a frame that tells nothing: dark or flat throughout (a fade, a blank card), text
// on black (most of it black, or a line of it with black all around), or too small.
std::optional<FrameBars> FindBars(const Plane& p, bool interlaced) {
    const int width = p.width, height = p.height;
    if (width < 3 || height < 3)
        return std::nullopt;
    if (Variance(p) < kFlat * kFlat)
        return std::nullopt;
    const auto lit = LitAbove(p);
    if (!lit) // no border dark enough for a bar: picture everywhere
        return FrameBars();
    FrameBars bars;
    bars.litAbove = lit->litAbove;
    const auto row = [&](int i) { return p.Row(i); };
    const auto rowUp = [&](int i) { return p.Row(height - 1 - i); };
    int& top = bars.depth[1];
    int& bottom = bars.depth[3];
    top = BarDepth(height, bars.litAbove, row);
    if (top == height)
        return std::nullopt; // dark throughout
    bottom = BarDepth(height, bars.litAbove, rowUp);
    bars.drawn[1] = DrawnNear(top, height, bars.litAbove, row);
    bars.drawn[3] = DrawnNear(bottom, height, bars.litAbove, rowUp);
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
    const auto column = [&](int i) { return p.Column(i, fromY, toY); };
    const auto columnBack = [&](int i) { return p.Column(width - 1 - i, fromY, toY); };
    int& left = bars.depth[0];
    int& right = bars.depth[2];
    left = BarDepth(width, bars.litAbove, column);
    right = BarDepth(width, bars.litAbove, columnBack);
    bars.drawn[0] = DrawnNear(left, width, bars.litAbove, column);
    bars.drawn[2] = DrawnNear(right, width, bars.litAbove, columnBack);
    if (grey && (left == 0 || right == 0))
        left = right = 0;
    // Text on black, credits or a caption card, is no picture between bars: most of what the
    // bars leave is as black as they are.
    int blackRows = 0;
    for (int y = top; y < height - bottom; ++y)
        blackRows += IsBar(row(y), bars.litAbove);
    if (2 * blackRows > height - bottom - top)
        return std::nullopt;
    // Nor is a line of text with black all around it: what is left is less than a quarter.
    if (4LL * (width - left - right) * (height - top - bottom) < 1LL * width * height)
        return std::nullopt;
    return bars;
}

// The edges, on the outermost lines where a side has no bar; nothing when the bars leave no
// region.
std::optional<CropEdges> EdgesOf(const std::array<int, 4>& depth, int width, int height) {
    const auto [left, top, right, bottom] = depth;
    // The edge is the bar's innermost line, itself cut away; without a bar, the outermost line.
    CropEdges edges;
    edges.left = static_cast<std::int16_t>(left > 0 ? left - 1 : 0);
    edges.top = static_cast<std::int16_t>(top > 0 ? top - 1 : 0);
    edges.right = static_cast<std::int16_t>(right > 0 ? width - right : width - 1);
    edges.bottom = static_cast<std::int16_t>(bottom > 0 ? height - bottom : height - 1);
    for (int side = 0; side < 4; ++side)
        edges.open |= std::uint8_t(depth[std::size_t(side)] == 0) << side;
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

// A Grayscale8 picture is taken as the luma itself.
Plane PlaneOf(const QImage& picture) {
    Plane p;
    p.width = picture.width();
    p.height = picture.height();
    if (picture.format() == QImage::Format_Grayscale8 && picture.bytesPerLine() == p.width) {
        p.picture = picture;
        p.luma = p.picture.constBits();
        return p;
    }
    if (picture.format() == QImage::Format_Grayscale8) {
        p.owned.resize(p.size());
        for (int y = 0; y < p.height; ++y)
            std::copy_n(picture.constScanLine(y), p.width,
                        p.owned.begin() + std::ptrdiff_t(y) * p.width);
    } else {
        p.owned = LumaPlane(picture.convertToFormat(QImage::Format_RGB32));
    }
    p.luma = p.owned.data();
    return p;
}

// Pixels near a border lit in every frame (`litEverywhere`), where every frame has a bar on that
// side and the search stopped at something drawn in one: a station logo, to be read as black.
// At most an eighth of a line; empty when there is none.
std::vector<std::uint8_t> StaticLogo(const std::vector<std::uint8_t>& litEverywhere, int width,
                                     int height, const std::vector<FrameBars>& bars) {
    std::vector<std::uint8_t> marks(std::size_t(width) * height, 0);
    bool any = false;
    for (int side = 0; side < 4; ++side) {
        const bool everyFrame = std::all_of(bars.begin(), bars.end(),
                                            [&](const FrameBars& b) { return b.depth[side] > 0; });
        const bool drawn = std::any_of(bars.begin(), bars.end(),
                                       [&](const FrameBars& b) { return b.drawn[side]; });
        if (!everyFrame || !drawn)
            continue;
        const bool rows = side % 2 == 1;
        const int lines = (rows ? height : width) / 4, length = rows ? width : height;
        for (int l = 0; l < lines; ++l) {
            const int line = side < 2 ? l : (rows ? height : width) - 1 - l;
            const auto offset = [&](int i) {
                return rows ? std::size_t(line) * width + i : std::size_t(i) * width + line;
            };
            int count = 0;
            for (int i = 0; i < length; ++i)
                count += marks[offset(i)] = litEverywhere[offset(i)];
            if (count * 8 > length)
                for (int i = 0; i < length; ++i)
                    marks[offset(i)] = 0;
            any = any || (count > 0 && count * 8 <= length);
        }
    }
    return any ? marks : std::vector<std::uint8_t>();
}

const char* const kSideNames[] = {"left", "top", "right", "bottom"};

QString SideNames(const std::vector<int>& sides) {
    QStringList names;
    for (int side : {1, 3, 0, 2})
        if (std::find(sides.begin(), sides.end(), side) != sides.end())
            names << QLatin1String(kSideNames[side]);
    return names.join(QStringLiteral(" and "));
}

} // namespace

std::optional<CropEdges> DetectBlackBars(const QImage& picture) {
    return DetectBlackBarsAcross(1, [&picture](int) { return picture; }).edges;
}

BarsAcrossFrames DetectBlackBarsAcross(int count, const std::function<QImage(int)>& frame,
                                       bool interlaced) {
    BarsAcrossFrames result;
    // The frames that tell something, and their bars. Only one frame's luma is held at a time:
    // what a logo needs of them all is which pixels are lit in every one.
    std::vector<int> used;
    std::vector<FrameBars> bars;
    std::vector<std::uint8_t> litEverywhere;
    int width = 0, height = 0;
    for (int i = 0; i < count; ++i) {
        const Plane p = PlaneOf(frame(i));
        const auto found = FindBars(p, interlaced);
        if (!found || !EdgesOf(found->depth, p.width, p.height) ||
            (!used.empty() && (p.width != width || p.height != height)))
            continue;
        if (used.empty()) {
            width = p.width;
            height = p.height;
            litEverywhere.assign(p.size(), 1);
        }
        for (std::size_t k = 0; k < p.size(); ++k)
            litEverywhere[k] &= p.luma[k] > found->litAbove;
        used.push_back(i);
        bars.push_back(*found);
    }
    result.framesUsed = int(used.size());
    if (used.empty())
        return result;
    std::array<int, 4> least{}, most{};
    const auto spread = [&] {
        for (int side = 0; side < 4; ++side) {
            least[side] = most[side] = bars[0].depth[side];
            for (const FrameBars& b : bars) {
                least[side] = std::min(least[side], b.depth[side]);
                most[side] = std::max(most[side], b.depth[side]);
            }
        }
    };
    spread();
    QStringList notes;
    // A station logo is the same in every frame; subtitles change.
    if (used.size() >= 3) {
        const std::vector<std::uint8_t> logo = StaticLogo(litEverywhere, width, height, bars);
        const std::array<int, 4> before = least;
        for (std::size_t f = 0; f < used.size() && !logo.empty(); ++f) {
            Plane p = PlaneOf(frame(used[f]));
            p.ignored = &logo;
            if (const auto found = FindBars(p, interlaced))
                bars[f] = *found;
        }
        spread();
        std::vector<int> cut;
        for (int side = 0; side < 4; ++side)
            if (least[side] > before[side])
                cut.push_back(side);
        if (!cut.empty())
            notes << QStringLiteral("A logo in the bar at the %1 was cut with it.")
                         .arg(SideNames(cut));
    }
    // A line lit in any frame stays: on each side the least cut.
    if (const auto edges = EdgesOf(least, width, height); edges && !NoBars(*edges, {width, height}))
        result.edges = edges;

    // Sides where frames disagree by more than 4 lines: something drawn in the bar, or frames
    // of another shape.
    std::vector<int> mixed;
    for (int side = 0; side < 4; ++side) {
        if (most[side] - least[side] <= 4)
            continue;
        const int drawn = int(std::count_if(bars.begin(), bars.end(), [&](const FrameBars& b) {
            return b.drawn[side] && b.depth[side] < most[side] - 4;
        }));
        if (drawn > 0)
            notes << QStringLiteral("Kept %1 lines at the %2: subtitles or a logo in the bar in "
                                    "%3 of %4 frames.")
                         .arg(most[side] - least[side])
                         .arg(QLatin1String(kSideNames[side]))
                         .arg(drawn)
                         .arg(used.size());
        else
            mixed.push_back(side);
    }
    if (!mixed.empty()) {
        int barred = 0;
        bool restFull = true;
        for (const FrameBars& b : bars) {
            const bool more = std::any_of(mixed.begin(), mixed.end(), [&](int side) {
                return b.depth[side] > least[side] + 4;
            });
            barred += more;
            if (!more)
                restFull = restFull && b.depth == std::array<int, 4>{};
        }
        const bool nothingCut =
            std::all_of(mixed.begin(), mixed.end(), [&](int side) { return least[side] == 0; });
        notes << QStringLiteral("Mixed aspect: %1 of %2 frames have bars at the %3, the rest %4; "
                                "%5.")
                     .arg(barred)
                     .arg(used.size())
                     .arg(SideNames(mixed),
                          restFull ? QStringLiteral("show the full frame")
                                   : QStringLiteral("show more picture there"),
                          !nothingCut ? QStringLiteral("the least cut was kept")
                          : restFull  ? QStringLiteral("nothing was cut")
                                      : QStringLiteral("nothing was cut there"));
    }
    result.note = notes.join(u' ');
    return result;
}
