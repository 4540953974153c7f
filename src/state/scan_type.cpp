#include "state/scan_type.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

// A luma step between the two fields that a frame's own field does not show.
constexpr int kCombStep = 14;
// A pixel has moved when it changed this much since the previous frame.
constexpr int kMotionStep = 20;
// Moving pixels needed before a frame tells anything: a small moving part of a still picture
// (a talking head) counts as fully as a panning shot, so the share is small.
constexpr int kMovingPerTenThousand = 5;
constexpr int kFewestMoving = 12;
// Share of moving pixels that comb in a combed frame, in percent.
constexpr int kCombedPercent = 12;

} // namespace

// Measured on every fourth column of every second line of the bottom field, each between the two
// top-field lines around it, with both fields taken from this frame or the previous one in turn.
FieldMeasure MeasureFields(const LumaView& c, const LumaView& p) {
    FieldMeasure m;
    if (c.width != p.width || c.height != p.height || c.height < 6)
        return m;
    long long measured = 0, moving = 0, combed = 0;
    long long bottomEarlier = 0, topEarlier = 0; // weave comb sums
    long long topChange = 0, bottomChange = 0;
    for (int y = 3; y + 2 < c.height; y += 4) {
        const std::uint8_t* cu = c.data + (y - 1) * c.stride; // top field, above
        const std::uint8_t* cm = cu + c.stride;               // bottom field
        const std::uint8_t* cd = cm + c.stride;               // top field, below
        const std::uint8_t* cm2 = cm - 2 * c.stride;          // bottom field, two lines up
        const std::uint8_t* cm3 = cm + 2 * c.stride;          // bottom field, two lines down
        const std::uint8_t* pu = p.data + (y - 1) * p.stride;
        const std::uint8_t* pm = pu + p.stride;
        const std::uint8_t* pd = pm + p.stride;
        for (int x = 0; x < c.width; x += 4) {
            ++measured;
            const int up = cu[x], mid = cm[x], down = cd[x];
            bottomEarlier += std::abs(2 * pm[x] - up - down);
            topEarlier += std::abs(2 * mid - pu[x] - pd[x]);
            const int topMoved = std::abs(up - pu[x]);
            const int bottomMoved = std::abs(mid - pm[x]);
            topChange += topMoved;
            bottomChange += bottomMoved;
            if (std::max(topMoved, bottomMoved) <= kMotionStep)
                continue;
            ++moving;
            // Combing: both neighbours of the other field on one side of this pixel, which its
            // own field's line above continues, or which lies on its own field's slope (an edge
            // that moved up or down between the fields). A thin line of its own is no comb.
            const int a = mid - up, b = mid - down;
            const int above = mid - cm2[x], below = cm3[x] - mid;
            if (a * b > kCombStep * kCombStep && std::abs(up - down) < kCombStep &&
                (std::abs(above) < kCombStep ||
                 (above * below > 0 && std::abs(above + below) > 2 * kCombStep)))
                ++combed;
        }
    }
    m.moving = moving >= kFewestMoving && moving * 10000 >= measured * kMovingPerTenThousand;
    if (!m.moving)
        return m;
    m.combed = combed * 100 >= moving * kCombedPercent;
    // Pulldown repeats a field: it stays while the other one moves.
    m.repeatedField = 4 * topChange < bottomChange || 4 * bottomChange < topChange;
    // Top field first puts the previous bottom field right before this top one; bottom field
    // first puts the previous top field right before this bottom one. The closer pair combs
    // less.
    if (5 * bottomEarlier < 4 * topEarlier)
        m.orderVote = 1;
    else if (5 * topEarlier < 4 * bottomEarlier)
        m.orderVote = -1;
    return m;
}

RunClass ClassifyRun(const std::vector<FieldMeasure>& run) {
    int moving = 0, combed = 0, repeated = 0, repeatFlags = 0;
    for (const FieldMeasure& m : run) {
        repeatFlags += m.repeatPict > 0;
        if (!m.moving)
            continue;
        ++moving;
        combed += m.combed;
        repeated += m.repeatedField;
    }
    if (moving < 3)
        return RunClass::Unknown;
    if (combed * 10 >= moving * 7)
        return RunClass::Interlaced;
    if (combed * 100 <= moving * 15)
        return repeatFlags * 4 >= int(run.size()) ? RunClass::SoftTelecine : RunClass::Progressive;
    // Two of every five frames combed, the others whole, a field repeated, and the pattern
    // again five frames on: pulldown. Combing at random in a quarter of the frames or more is
    // interlaced video whose fields differ too little to comb at times; in fewer, it tells
    // nothing.
    if (combed * 4 < moving)
        return RunClass::Unknown;
    int pairs = 0, agreeing = 0;
    for (std::size_t i = 0; i + 5 < run.size(); ++i)
        if (run[i].moving && run[i + 5].moving) {
            ++pairs;
            agreeing += run[i].combed == run[i + 5].combed;
        }
    if (repeated > 0 && combed * 20 <= moving * 11 && pairs >= 3 && agreeing * 5 >= pairs * 4)
        return RunClass::HardTelecine;
    return RunClass::Interlaced;
}

bool FiftyHertz(double frameRate) {
    return std::abs(frameRate - 25) < 0.5 || std::abs(frameRate - 50) < 1;
}

ScanResult ClassifyVideo(const std::vector<RunClass>& runs, const std::vector<int>& orderVotes,
                         double frameRate) {
    ScanResult scan;
    int soft = 0;
    const bool fiftyHertz = FiftyHertz(frameRate);
    for (RunClass run : runs) {
        if (fiftyHertz && run == RunClass::HardTelecine) {
            run = RunClass::Interlaced;
            scan.pulldownRuledOut = true;
        } else if (fiftyHertz && run == RunClass::SoftTelecine) {
            run = RunClass::Progressive;
        }
        scan.progressiveRuns += run == RunClass::Progressive;
        soft += run == RunClass::SoftTelecine;
        scan.interlacedRuns += run == RunClass::Interlaced;
        scan.telecineRuns += run == RunClass::HardTelecine;
    }
    scan.runs = scan.progressiveRuns + soft + scan.interlacedRuns + scan.telecineRuns;
    int votes = 0;
    for (int vote : orderVotes)
        votes += vote;
    scan.topFieldFirst = votes >= 0;
    const int clean = scan.progressiveRuns + soft;
    const int combed = scan.interlacedRuns + scan.telecineRuns;
    const std::array<std::pair<int, ScanType>, 4> counts{
        {{scan.progressiveRuns, ScanType::Progressive},
         {soft, ScanType::SoftTelecine},
         {scan.interlacedRuns, ScanType::Interlaced},
         {scan.telecineRuns, ScanType::HardTelecine}}};
    const auto& [most, type] =
        *std::max_element(counts.begin(), counts.end(),
                          [](const auto& a, const auto& b) { return a.first < b.first; });
    scan.type = type;
    scan.agreeing = most;
    // Progressive pictures are never deinterlaced for one stray run; pulldown removal already
    // deinterlaces the combed frames it cannot match.
    if (type == ScanType::Interlaced && 4 * (scan.telecineRuns + soft) >= scan.runs)
        scan.type = ScanType::Mixed;
    else if ((type == ScanType::Progressive || type == ScanType::SoftTelecine) && combed >= 2)
        scan.type = ScanType::Mixed;
    if (scan.type == ScanType::Mixed)
        scan.agreeing = clean;
    if (most == 0)
        scan = ScanResult();
    return scan;
}

QString ScanTypeNote(const ScanResult& scan) {
    const QString of = QStringLiteral("(%1 of %2 samples)").arg(scan.agreeing).arg(scan.runs);
    switch (scan.type) {
    case ScanType::Progressive:
        return {};
    case ScanType::Interlaced:
        return QStringLiteral("Interlaced, %1 field first %2: the copied lines deinterlace.%3")
            .arg(scan.topFieldFirst ? QStringLiteral("top") : QStringLiteral("bottom"), of,
                 scan.pulldownRuledOut ? QStringLiteral(" Video at 25 or 50 frames per second has "
                                                        "no 3:2 pulldown.")
                                       : QString());
    case ScanType::HardTelecine:
        if (scan.interlacedRuns > 0)
            return QStringLiteral("Film with 3:2 pulldown in %1 of %2 samples, interlaced video in "
                                  "%3: the copied lines restore 23.976 frames per second and "
                                  "deinterlace the video.")
                .arg(scan.agreeing)
                .arg(scan.runs)
                .arg(scan.interlacedRuns);
        return QStringLiteral("Film with 3:2 pulldown %1: the copied lines restore 23.976 frames "
                              "per second.")
            .arg(of);
    case ScanType::SoftTelecine:
        return QStringLiteral("Film with soft pulldown %1: the copied lines keep each film frame "
                              "once, at 23.976 frames per second.")
            .arg(of);
    case ScanType::Mixed:
        break;
    }
    QStringList parts;
    if (scan.agreeing > 0)
        parts << QStringLiteral("%1 progressive").arg(scan.agreeing);
    if (scan.interlacedRuns > 0)
        parts << QStringLiteral("%1 interlaced").arg(scan.interlacedRuns);
    if (scan.telecineRuns > 0)
        parts << QStringLiteral("%1 film with pulldown").arg(scan.telecineRuns);
    return QStringLiteral("Mixed scan, of %1 samples %2: the copied lines deinterlace only frames "
                          "that show combing.")
        .arg(scan.runs)
        .arg(parts.join(QStringLiteral(", ")));
}
