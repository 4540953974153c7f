#pragma once

#include "source/source.h"
#include "state/black_bars.h"
#include "state/crop_resize.h"
#include "state/info_report.h"
#include "state/main_window_state.h"

#include <QStringList>

#include <optional>

// Why a source was not opened, in the words the window shows and the command line prints; empty
// for an accepted source.
QString RefusalText(const Source& source);

// What Ctrl+D found: the edges it placed, or none, and a note of what the frames showed.
struct BarsFound {
    std::optional<CropEdges> edges;
    int framesUsed = 0; // the frames that told, of a video
    QString note;       // empty for a picture whose bars were found: its frame shows it
};

// What Ctrl+D searches: copied out of a job, it is searched in any thread.
struct BarsSearch {
    std::vector<VideoFrame> frames; // none without a source
    bool video = false;
    bool interlaced = false;
};
// The edges on the bars of the frame, or of every sampled frame of a video.
BarsFound FindBars(const BarsSearch& search);

// A DVD title as the title list shows it, "Title 2 – 0:02:00 – 16:9", and what more there is to
// it, "3 chapters, one angle".
QString TitleEntry(const DiscTitle& title);
QString TitleDetails(const DiscTitle& title);

// One source and everything worked out from it: the edges placed on it, the chosen aspect and
// pixel count, the crop and resize, and the texts made from them. The window and the command
// line both drive it; it holds no widget.
class Job {
public:
    Job();

    // The working values; the bitrate calculator keeps its own in them too.
    MainWindowState& state() { return m_state; }
    const MainWindowState& state() const { return m_state; }

    // Takes an accepted source as the one worked on; the edges stay where its frames keep the
    // size of the frames before.
    void Take(const QString& path, Source source);
    // A file that is no picture: named, nothing loaded.
    void Refuse(const QString& path);
    void Forget();
    bool video() const { return m_source.video; }
    const Source& source() const { return m_source; }
    const std::vector<VideoFrame>& frames() const { return m_source.frames; }
    // The frame first shown: a picture's only one, a video's most detailed.
    int firstFrame() const;
    // The frame the edges are placed on, at its stored size.
    void SetShownFrame(int index);
    int shownFrame() const { return m_frame; }

    // The stream's display aspect, where it is 4:3 or 16:9 within 1 %.
    SourceAspect streamAspect() const;
    // What opening told: the title, the scan type, and a stream aspect or pixel aspect that the
    // sizes do not follow. `point` is the decimal point numbers are shown with.
    QStringList OpenNotes(QChar point) const;

    // Back to no edge, the pixel count at its start value.
    void ResetEdges();
    void SetAspect(SourceAspect aspect) { m_aspect = aspect; }
    SourceAspect aspect() const { return m_aspect; }
    void SetTargetPixelCount(std::int32_t count) { m_state.TargetPixelCount = count; }

    // A click: the nearer left or right edge and the nearer top or bottom edge go there. False
    // outside the frame.
    bool PlaceEdges(float x, float y);
    // The arrow keys: the edge placed last in that direction moves by one line. The note says
    // where it went, or why it did not.
    struct EdgeMoved {
        bool moved = false;
        QString note;
    };
    EdgeMoved MoveEdge(int columns, int lines);
    // The edges placed as given, as by two clicks; an open side is not cut until its edge is
    // moved.
    void SetEdges(const CropEdges& edges);
    // Ctrl+D: the edges placed on the bars found, in two steps where the search runs elsewhere.
    BarsFound DetectBars() { return PlaceBars(FindBars(BarsToFind())); }
    BarsSearch BarsToFind() const;
    BarsFound PlaceBars(const BarsFound& found);

    // A bitmap, four placed edges and a positive target.
    bool CropReady() const;
    CropResizeInput CropInput() const;
    // Calculates from the edges; the last result stays until the next calculation.
    std::optional<CropResizeResult> Calculate();
    const std::optional<CropResizeResult>& result() const { return m_result; }

    // The lines Ctrl+Shift+C copies; empty without a result.
    QString EncoderText() const;
    // The report's values as the window shows them.
    InfoReportValues Report(QChar point) const;

private:
    MainWindowState m_state;
    Source m_source;
    int m_frame = -1;
    SourceAspect m_aspect = SourceAspect::None;
    std::optional<CropResizeResult> m_result;
    std::uint8_t m_open = 0; // sides Ctrl+D found no bar on, as CropEdges::open: nothing cut
    // The edges the arrow keys move: those placed last, by a click or Ctrl+D.
    std::int16_t MainWindowState::*m_lastVertical = nullptr;
    std::int16_t MainWindowState::*m_lastHorizontal = nullptr;
};

// "4:3" or "16:9", as the options name them.
QString AspectName(SourceAspect aspect);
// "2.35:1"
QString AspectText(double aspect, QChar point);
// A single-precision offset as the window shows it: whole values as plain digits.
QString OffsetText(float value);
