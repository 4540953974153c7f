#pragma once

#include "state/scan_type.h"
#include "state/source_bitmap.h"

#include <QFileInfo>
#include <QImage>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

// How many frames a video is sampled at, evenly over its running time.
constexpr int kSampledFrames = 24;

// One frame of the source. A picture is kept as it is; a video's frame keeps its decoded YUV
// planes, a fraction of RGB's size, and is converted when it is shown (FramePicture).
struct VideoFrame {
    QImage picture;                      // a picture's, RGB32
    std::shared_ptr<const void> decoded; // a video frame's, owned by the video module
    QSize size;                          // stored, unscaled
    double detail = 0;                   // the variance of its luma
    double seconds = 0;                  // from the start of the video
};

// DvdRefused: the disc holds no title, or a file of it is no regular, readable file; the
// sample's note is the message.
enum class VideoOutcome {
    Accepted,
    TooLarge,
    Unreadable,
    Cancelled,
    NoModule,
    DvdUnreadable,
    DvdRefused,
};

// A title of a DVD as its IFO files describe it, its running time checked against its cells.
struct DiscTitle {
    int number = 0; // on the disc, from 1
    double seconds = 0;
    bool wide = false; // 16:9 by its title set's video attributes
    int angles = 1;
    int chapters = 0;
};

struct VideoSample {
    VideoOutcome outcome = VideoOutcome::Unreadable;
    std::vector<VideoFrame> frames; // all of one size, in time order
    double displayAspect = 0;       // sample aspect x width / height
    ScanResult scan;                // measured on short runs of frames after each sample
    QString note;                   // what was opened, or why nothing was
    double seconds = 0;             // the running time, where known
    // Of a DVD: every title, the one opened, and the one that should have been but could not be
    // read.
    std::vector<DiscTitle> titles;
    int title = 0;
    int unreadableTitle = 0;
};

// Which title of a DVD to open: 0 for the main title, or for the title that covers a VOB file.
constexpr int kMainTitle = 0;

// Shared with the thread that samples: how far it got, and whether the user gave up.
struct VideoProgress {
    std::atomic<int> framesDone{0};
    std::atomic<bool> cancelled{false};
};

// The video module's entry point, looked up by this name.
using SampleVideoFunction = void (*)(const QString& path, int title, int count,
                                     VideoProgress& progress, VideoSample& out);
constexpr char kSampleVideoSymbol[] = "QuarvelSampleVideo";
// The C++ types above cross the module's boundary: a module built with other ones is refused.
constexpr int kVideoInterfaceVersion = 4;
using InterfaceVersionFunction = int (*)();
constexpr char kInterfaceVersionSymbol[] = "QuarvelVideoInterfaceVersion";
// Converts a frame's decoded planes to an RGB32 picture of the given size, or to its 8-bit luma
// of full range at its own size when the format asked for is Grayscale8.
using FramePictureFunction = void (*)(const void* decoded, QSize size, QImage::Format format,
                                      QImage& out);
constexpr char kFramePictureSymbol[] = "QuarvelFramePicture";

// Videos open up to HD's frame size; pictures keep kMaxSourceWidth x kMaxSourceHeight.
constexpr int kMaxVideoWidth = 1920;
constexpr int kMaxVideoHeight = 1080;
// A frame larger than a picture may be, PAL's: kept, measured and read more sparingly.
inline bool LargerThanPal(QSize size) {
    return size.width() > kMaxSourceWidth || size.height() > kMaxSourceHeight;
}

// Video files, DVD IFO and BUP files and disc images go to the video module, everything else is
// read as a picture.
bool IsVideoFileName(const QString& path);
// A DVD's VIDEO_TS folder, or the disc's folder that holds it. Inline: the video module asks
// too.
inline bool IsDvdFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && (info.fileName().compare(u"VIDEO_TS", Qt::CaseInsensitive) == 0 ||
                            QFileInfo(path + QStringLiteral("/VIDEO_TS")).isDir() ||
                            QFileInfo(path + QStringLiteral("/video_ts")).isDir());
}
// "*.vob *.mpg ...", for the open dialog.
QString VideoFilePatterns();

// The open dialog's filter, "description|patterns" pairs: Windows bitmaps first, then every
// picture format of the list that this Qt reads, the videos, then all files.
QString SourcePictureFilter();

// Samples a video in the calling thread through the video module, loaded on the first call.
// NoModule when the module or FFmpeg's libraries cannot be loaded, or the module is of another
// interface version (the note says so).
VideoSample SampleVideo(const QString& path, VideoProgress& progress, int title = kMainTitle);

// The frame as an RGB32 picture, at its stored size or scaled smoothly to `size`; a null
// picture when it cannot be converted.
QImage FramePicture(const VideoFrame& frame, QSize size = QSize());

// What Ctrl+D reads of a frame: its RGB picture, or for a frame larger than PAL's its luma plane
// (Grayscale8), so that no full-size RGB copy of an HD frame is made.
QImage FrameLuma(const VideoFrame& frame);

// The frame to show first: the one with the most detail (the highest luma variance).
int MostDetailedFrame(const std::vector<VideoFrame>& frames);
