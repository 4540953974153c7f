#pragma once

#include "state/scan_type.h"
#include "video/video_module.h"
#include "video/video_types.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

// How many frames a video is sampled at, evenly over its running time.
constexpr int kSampledFrames = 24;

// One frame of the source. A picture is kept as it is; a video's frame keeps its decoded YUV
// planes, a fraction of RGB's size, and is converted when it is shown (FramePicture).
struct VideoFrame {
    QImage picture;                         // a picture's, RGB32
    std::shared_ptr<const QvFrame> decoded; // a video frame's, released through the module
    QSize size;                             // stored, unscaled
    double detail = 0;                      // the variance of its luma
    double seconds = 0;                     // from the start of the video
};

// Shared with the thread that samples: how far it got, and whether the user gave up.
class VideoProgress {
public:
    int framesDone() { return std::atomic_ref<int>(m_shared.framesDone).load(); }
    bool cancelled() { return std::atomic_ref<int>(m_shared.cancelled).load() != 0; }
    void Cancel() { std::atomic_ref<int>(m_shared.cancelled).store(1); }
    // How long a sampled point and the whole reading may take, rather than 1.5 s and 9 s.
    void SetLimits(int pointMs, int openMs) {
        m_shared.pointMs = pointMs;
        m_shared.openMs = openMs;
    }
    QvProgress* shared() { return &m_shared; }

private:
    QvProgress m_shared{0, 0, 0, 0};
};

// Video files, DVD IFO and BUP files and disc images go to the video module, everything else is
// read as a picture.
bool IsVideoFileName(const QString& path);
// "*.vob *.mpg ...", for the open dialog.
QString VideoFilePatterns();

// The open dialog's filter, "description|patterns" pairs: Windows bitmaps first, then every
// picture format of the list that this Qt reads, the videos, then all files.
QString SourcePictureFilter();

struct Source;
// Samples a video in the calling thread through the video module, loaded on the first call.
// NoModule when the module or FFmpeg's libraries cannot be loaded, or the module is of another
// interface version (the note says so). The note is the module's: what opened is not said yet.
Source SampleVideo(const QString& path, VideoProgress& progress, int title = kMainTitle);

// The frame as an RGB32 picture, at its stored size or scaled smoothly to `size`; a null
// picture when it cannot be converted.
QImage FramePicture(const VideoFrame& frame, QSize size = QSize());

// What Ctrl+D reads of a frame: a picture's RGB, or a video frame's luma plane (Grayscale8), every
// bit depth and range brought to 8 bits of full range, so that the bars' thresholds see one
// scale and no RGB copy of a frame is made.
QImage FrameLuma(const VideoFrame& frame);

// The frame to show first: the one with the most detail (the highest luma variance).
int MostDetailedFrame(const std::vector<VideoFrame>& frames);
