#include "source/video_sample.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QLibrary>

namespace {

const char* const kVideoSuffixes[] = {"vob", "mpg", "mpeg", "m2v", "m2p", "ts",   "m2ts", "mts",
                                      "mkv", "mp4", "m4v",  "avi", "mov", "webm", "wmv",  "flv",
                                      "ogv", "vro", "dat",  "y4m", "ifo", "bup"};

struct Module {
    SampleVideoFunction sample = nullptr;
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
            return Module{nullptr, version()};
        return Module{reinterpret_cast<SampleVideoFunction>(library.resolve(kSampleVideoSymbol)),
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

VideoSample SampleVideo(const QString& path, VideoProgress& progress) {
    VideoSample sample;
    const Module module = LoadModule();
    if (module.sample) {
        module.sample(path, kSampledFrames, progress, sample);
    } else {
        sample.outcome = VideoOutcome::NoModule;
        if (module.version != 0)
            sample.note = QStringLiteral("The video module found is of version %1, not %2.")
                              .arg(module.version)
                              .arg(kVideoInterfaceVersion);
    }
    return sample;
}

int MostDetailedFrame(const std::vector<VideoFrame>& frames) {
    int best = 0;
    double bestVariance = -1;
    for (int i = 0; i < int(frames.size()); ++i) {
        const QImage& picture = frames[i].picture;
        double sum = 0, squares = 0;
        // Every second pixel of every second line is plenty to rank frames.
        for (int y = 0; y < picture.height(); y += 2) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); x += 2) {
                const double luma =
                    0.299 * qRed(line[x]) + 0.587 * qGreen(line[x]) + 0.114 * qBlue(line[x]);
                sum += luma;
                squares += luma * luma;
            }
        }
        const double n = std::max(1.0, double(picture.width() / 2) * (picture.height() / 2));
        const double variance = squares / n - (sum / n) * (sum / n);
        if (variance > bestVariance)
            best = i, bestVariance = variance;
    }
    return best;
}
