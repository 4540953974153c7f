#include "source/video_sample.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QLibrary>

#include <algorithm>

namespace {

const char* const kVideoSuffixes[] = {"vob", "mpg", "mpeg", "m2v", "m2p", "ts",   "m2ts", "mts",
                                      "mkv", "mp4", "m4v",  "avi", "mov", "webm", "wmv",  "flv",
                                      "ogv", "vro", "dat",  "y4m", "ifo", "bup",  "iso",  "img"};

struct Module {
    SampleVideoFunction sample = nullptr;
    FramePictureFunction picture = nullptr;
    int version = 0; // of a module refused for its version
};

Module LoadModule() {
    // Code is loaded from the program's own installation only, found from the program's folder;
    // the build tree is laid out alike.
    static const Module module = [] {
        QLibrary library(QCoreApplication::applicationDirPath() + QStringLiteral("/../") +
                         QUARVEL_VIDEO_MODULE);
        const auto version =
            reinterpret_cast<InterfaceVersionFunction>(library.resolve(kInterfaceVersionSymbol));
        if (!version)
            return Module();
        if (version() != kVideoInterfaceVersion)
            return Module{nullptr, nullptr, version()};
        return Module{reinterpret_cast<SampleVideoFunction>(library.resolve(kSampleVideoSymbol)),
                      reinterpret_cast<FramePictureFunction>(library.resolve(kFramePictureSymbol)),
                      0};
    }();
    return module;
}

} // namespace

bool IsVideoFileName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const char* video : kVideoSuffixes)
        if (suffix == QLatin1String(video))
            return true;
    return false;
}

QString VideoFilePatterns() {
    QStringList patterns;
    for (const char* video : kVideoSuffixes)
        patterns << QStringLiteral("*.") + QLatin1String(video);
    return patterns.join(u' ');
}

QString SourcePictureFilter() {
    static const QString filter = [] {
        const QList<QByteArray> readable = QImageReader::supportedImageFormats();
        QStringList patterns;
        for (const char* format : {"bmp", "png", "jpg", "jpeg", "tif", "tiff", "webp"})
            if (readable.contains(format))
                patterns << QStringLiteral("*.") + QLatin1String(format);
        const QString pictures = patterns.join(u' ');
        return QStringLiteral(
                   "Windows Bitmap (*.bmp)|*.bmp|Pictures (%1)|%1|Videos (%2)|%2|All files (*)|*")
            .arg(pictures, VideoFilePatterns());
    }();
    return filter;
}

VideoSample SampleVideo(const QString& path, VideoProgress& progress, int title) {
    VideoSample sample;
    const Module module = LoadModule();
    if (module.sample) {
        module.sample(path, title, kSampledFrames, progress, sample);
    } else {
        sample.outcome = VideoOutcome::NoModule;
        if (module.version != 0)
            sample.note = QStringLiteral("The video module found is of version %1, not %2.")
                              .arg(module.version)
                              .arg(kVideoInterfaceVersion);
    }
    return sample;
}

QImage FramePicture(const VideoFrame& frame, QSize size) {
    if (!size.isValid())
        size = frame.size;
    if (!frame.picture.isNull())
        return size == frame.picture.size()
                   ? frame.picture
                   : frame.picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage picture;
    // Decoded frames exist only where the module was loaded.
    if (const Module module = LoadModule(); frame.decoded && module.picture)
        module.picture(frame.decoded.get(), size, QImage::Format_RGB32, picture);
    return picture;
}

QImage FrameLuma(const VideoFrame& frame) {
    if (!frame.picture.isNull() || !LargerThanPal(frame.size))
        return FramePicture(frame);
    QImage luma;
    if (const Module module = LoadModule(); frame.decoded && module.picture)
        module.picture(frame.decoded.get(), frame.size, QImage::Format_Grayscale8, luma);
    return luma;
}

int MostDetailedFrame(const std::vector<VideoFrame>& frames) {
    const auto most = std::max_element(
        frames.begin(), frames.end(),
        [](const VideoFrame& a, const VideoFrame& b) { return a.detail < b.detail; });
    return most == frames.end() ? 0 : int(most - frames.begin());
}
