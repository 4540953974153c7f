#include "engine/job.h"

#include "state/encoder_settings.h"
#include "state/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t kStartPixelCount = 200000;

std::uint8_t OpenBit(std::int16_t MainWindowState::*edge) {
    return edge == &MainWindowState::CropLeft    ? 1
           : edge == &MainWindowState::CropTop   ? 2
           : edge == &MainWindowState::CropRight ? 4
                                                 : 8;
}

} // namespace

QString AspectName(SourceAspect aspect) {
    return aspect == SourceAspect::Ratio4x3 ? QStringLiteral("4:3") : QStringLiteral("16:9");
}

QString AspectText(double aspect, QChar point) {
    return FormatTwoDecimals(aspect, point) + QStringLiteral(":1");
}

QString OffsetText(float value) {
    return QString::number(value, 'g', 9);
}

QString RefusalText(const Source& source) {
    switch (source.outcome) {
    case SourceOutcome::Accepted:
        return {};
    case SourceOutcome::PictureTooLarge:
        return QStringLiteral("Bitmap exceeds 720x576 pixel.");
    case SourceOutcome::NotAPicture:
        return QStringLiteral("File is not a valid Bitmap.");
    case SourceOutcome::Cancelled:
        return QStringLiteral("Opening cancelled.");
    case SourceOutcome::NoDvdInFolder:
        return QStringLiteral("This folder holds no DVD (no VIDEO_TS folder).");
    case SourceOutcome::VideoTooLarge:
        return QStringLiteral("Video exceeds %1x%2 pixel.")
            .arg(kMaxVideoWidth)
            .arg(kMaxVideoHeight);
    case SourceOutcome::DvdUnreadable:
        return QStringLiteral("DVD cannot be read (encrypted or damaged).");
    case SourceOutcome::DvdRefused:
        return source.note;
    case SourceOutcome::NoModule:
        return (QStringLiteral("Videos need FFmpeg's libraries (libavformat, libavcodec, "
                               "libswscale, libavutil). ") +
                source.note)
            .trimmed();
    case SourceOutcome::VideoUnreadable:
        break;
    }
    return QStringLiteral("File is not a readable video.");
}

QString TitleEntry(const DiscTitle& t) {
    return QStringLiteral("Title %1 \u2013 %2 \u2013 %3")
        .arg(t.number)
        .arg(RunningTime(t.seconds), t.wide ? u"16:9" : u"4:3");
}

QString TitleDetails(const DiscTitle& t) {
    const QString chapters = t.chapters == 1 ? QStringLiteral("1 chapter")
                                             : QStringLiteral("%1 chapters").arg(t.chapters);
    const QString angles =
        t.angles == 1 ? QStringLiteral("one angle") : QStringLiteral("%1 angles").arg(t.angles);
    return chapters + QStringLiteral(", ") + angles;
}

Job::Job() {
    ResetEdges();
}

void Job::Take(const QString& path, Source source) {
    m_state.SourceFileName = path;
    m_source = std::move(source);
    m_frame = -1;
    m_result.reset();
}

void Job::Refuse(const QString& path) {
    Forget();
    m_state.SourceFileName = path;
    m_state.BitmapLoaded = false;
}

void Job::Forget() {
    m_source = Source();
    m_source.outcome = SourceOutcome::Accepted;
    m_frame = -1;
}

int Job::firstFrame() const {
    return m_source.video ? MostDetailedFrame(m_source.frames) : 0;
}

void Job::SetShownFrame(int index) {
    m_frame = index;
    const QSize size = m_source.frames[index].size;
    if (size != QSize(m_state.SourceWidth, m_state.SourceHeight))
        ResetEdges();
    m_state.BitmapLoaded = true;
    m_state.SourceWidth = size.width();
    m_state.SourceHeight = size.height();
}

SourceAspect Job::streamAspect() const {
    const auto near = [&](double aspect) {
        return std::abs(m_source.displayAspect / aspect - 1) <= 0.01;
    };
    return near(4.0 / 3)    ? SourceAspect::Ratio4x3
           : near(16.0 / 9) ? SourceAspect::Ratio16x9
                            : SourceAspect::None;
}

QStringList Job::OpenNotes(QChar point) const {
    if (!m_source.video)
        return {};
    const SourceAspect stream = streamAspect();
    QStringList notes{m_source.note, ScanTypeNote(m_source.scan)};
    if (stream == SourceAspect::None && m_source.displayAspect > 0)
        notes << QStringLiteral("The stream's display aspect is %1:1; choose 4:3 or 16:9.")
                     .arg(FormatTwoDecimals(m_source.displayAspect, point));
    // The sizes are calculated with the pixel aspect of a whole frame of the chosen shape; a
    // stream that says otherwise is named.
    const double streamPixel = m_source.displayAspect * m_state.SourceHeight / m_state.SourceWidth;
    const auto wholePixel =
        FullFramePixelAspect(stream == SourceAspect::Ratio4x3 ? stream : SourceAspect::Ratio16x9,
                             m_state.SourceWidth, m_state.SourceHeight);
    if (stream != SourceAspect::None && wholePixel &&
        std::abs(streamPixel / *wholePixel - 1) > 0.01)
        notes << QStringLiteral("The stream's pixel aspect is %1, a whole %2 frame's %3; the sizes "
                                "follow the whole frame.")
                     .arg(QString::number(streamPixel, 'f', 4).replace(u'.', point),
                          AspectName(stream),
                          QString::number(*wholePixel, 'f', 4).replace(u'.', point));
    notes.removeAll(QString());
    return notes;
}

void Job::ResetEdges() {
    m_state.BitmapLoaded = false;
    m_state.CropLeft = m_state.CropRight = m_state.CropTop = m_state.CropBottom = -1;
    m_lastVertical = m_lastHorizontal = nullptr;
    m_open = 0;
    m_state.TargetPixelCount = kStartPixelCount;
    m_result.reset();
}

bool Job::PlaceEdges(float x, float y) {
    if (!m_state.BitmapLoaded || x > m_state.SourceWidth || y > m_state.SourceHeight)
        return false;
    m_lastVertical = x <= static_cast<float>(m_state.SourceWidth) / 2 ? &MainWindowState::CropLeft
                                                                      : &MainWindowState::CropRight;
    m_lastHorizontal = y <= static_cast<float>(m_state.SourceHeight) / 2
                           ? &MainWindowState::CropTop
                           : &MainWindowState::CropBottom;
    m_state.*m_lastVertical = static_cast<std::int16_t>(RoundHalfEven(x));
    m_state.*m_lastHorizontal = static_cast<std::int16_t>(RoundHalfEven(y));
    m_open &= ~(OpenBit(m_lastVertical) | OpenBit(m_lastHorizontal));
    return true;
}

Job::EdgeMoved Job::MoveEdge(int columns, int lines) {
    if (!m_state.BitmapLoaded)
        return {false, QStringLiteral("Open a picture or a video first.")};
    const auto edge = columns != 0 ? m_lastVertical : m_lastHorizontal;
    if (!edge)
        return {false,
                QStringLiteral("Click an edge first; the arrow keys then move it by one line.")};
    // An edge stays on the picture: its last column or line at most.
    const int last = (columns != 0 ? m_state.SourceWidth : m_state.SourceHeight) - 1;
    const int moved = std::clamp(m_state.*edge + columns + lines, 0, last);
    const QString name = edge == &MainWindowState::CropLeft    ? QStringLiteral("Left edge")
                         : edge == &MainWindowState::CropRight ? QStringLiteral("Right edge")
                         : edge == &MainWindowState::CropTop   ? QStringLiteral("Top edge")
                                                               : QStringLiteral("Bottom edge");
    if (moved == m_state.*edge)
        return {false, name + QStringLiteral(" is at the picture's border.")};
    m_state.*edge = std::int16_t(moved);
    m_open &= ~OpenBit(edge);
    return {true, QStringLiteral("%1 on %2 %3.")
                      .arg(name, columns != 0 ? QStringLiteral("column") : QStringLiteral("line"))
                      .arg(moved)};
}

BarsFound FindBars(const BarsSearch& search) {
    if (search.frames.empty())
        return {std::nullopt, 0, QStringLiteral("Open a picture or a video first.")};
    // A picture is a source of one frame, searched as a video's frames are: each has its say.
    const std::vector<VideoFrame>& frames = search.frames;
    const BarsAcrossFrames across = DetectBlackBarsAcross(
        int(frames.size()), [&frames](int i) { return FrameLuma(frames[i]); }, search.interlaced);
    BarsFound found{across.edges, across.framesUsed, {}};
    if (!search.video)
        found.note = found.edges ? QString() : QStringLiteral("No black bars found.");
    else
        found.note = ((across.edges ? QStringLiteral("Bars found in %1 of %2 frames. ")
                                          .arg(across.framesUsed)
                                          .arg(frames.size())
                                    : QStringLiteral("No black bars found. ")) +
                      across.note)
                         .trimmed();
    return found;
}

BarsSearch Job::BarsToFind() const {
    if (!m_state.BitmapLoaded)
        return {};
    return {m_source.frames, m_source.video, m_source.scan.type != ScanType::Progressive};
}

BarsFound Job::PlaceBars(const BarsFound& found) {
    if (found.edges)
        SetEdges(*found.edges);
    return found;
}

void Job::SetEdges(const CropEdges& edges) {
    m_state.CropLeft = edges.left;
    m_state.CropTop = edges.top;
    m_state.CropRight = edges.right;
    m_state.CropBottom = edges.bottom;
    m_open = edges.open;
    // As two clicks would have, the second one near the lower right corner.
    m_lastVertical = &MainWindowState::CropRight;
    m_lastHorizontal = &MainWindowState::CropBottom;
}

bool Job::CropReady() const {
    return m_state.BitmapLoaded && m_state.CropLeft >= 0 && m_state.CropRight >= 0 &&
           m_state.CropTop >= 0 && m_state.CropBottom >= 0 && m_state.TargetPixelCount > 0;
}

CropResizeInput Job::CropInput() const {
    CropResizeInput input;
    // An open side's edge lies just outside the picture, so that no line of it is cut.
    const auto open = [this](std::int16_t MainWindowState::*edge) {
        return m_open & OpenBit(edge);
    };
    input.cropLeft = open(&MainWindowState::CropLeft) ? -1 : m_state.CropLeft;
    input.cropTop = open(&MainWindowState::CropTop) ? -1 : m_state.CropTop;
    input.cropRight = open(&MainWindowState::CropRight) ? m_state.SourceWidth : m_state.CropRight;
    input.cropBottom =
        open(&MainWindowState::CropBottom) ? m_state.SourceHeight : m_state.CropBottom;
    input.pictureWidth = m_state.SourceWidth;
    input.pictureHeight = m_state.SourceHeight;
    input.aspect = m_aspect;
    input.targetPixelCount = m_state.TargetPixelCount;
    return input;
}

std::optional<CropResizeResult> Job::Calculate() {
    m_result = CropReady() ? CalculateCropResizeValues(CropInput()) : std::nullopt;
    if (m_result) {
        m_state.FinalCropLeft = m_result->finalCropLeft;
        m_state.FinalCropRight = m_result->finalCropRight;
    }
    return m_result;
}

QString Job::EncoderText() const {
    return m_result ? EncoderSettingsText(CropInput(), *m_result, m_source.scan) : QString();
}

InfoReportValues Job::Report(QChar point) const {
    InfoReportValues values;
    values.sourceFileName = m_state.SourceFileName;
    values.sourceWidth = m_state.SourceWidth;
    values.sourceHeight = m_state.SourceHeight;
    values.aspect16x9 = m_aspect == SourceAspect::Ratio16x9;
    if (!m_result)
        return values;
    values.offsetX1 = QString::number(m_result->offsetX1);
    values.offsetX2 = OffsetText(m_result->offsetX2);
    values.offsetY1 = QString::number(m_result->offsetY1);
    values.offsetY2 = OffsetText(m_result->offsetY2);
    values.newWidth = QString::number(m_result->newWidth);
    values.newHeight = QString::number(m_result->newHeight);
    values.newAspect = AspectText(m_result->newAspect, point);
    values.newPixelCount = QString::number(m_result->pixelCount);
    return values;
}
