#include "state/video_sample.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace {

const char* const kVideoSuffixes[] = {"vob", "mpg", "mpeg", "m2v", "m2p", "ts",  "m2ts",
                                      "mts", "mkv", "mp4",  "m4v", "avi", "mov", "webm",
                                      "wmv", "flv", "ogv",  "vro", "dat", "y4m"};

SampleVideoFunction LoadModule() {
    // The build tree's module first, so that a build never runs an older installed one; then
    // the installed one beside the program, wherever the installation was moved.
    static const SampleVideoFunction function = [] {
        const QString installed =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../") + QUARVEL_VIDEO_MODULE;
        for (const QString& path : {QStringLiteral(QUARVEL_VIDEO_MODULE_BUILT), installed}) {
            QLibrary module(path);
            if (auto f = reinterpret_cast<SampleVideoFunction>(module.resolve(kSampleVideoSymbol)))
                return f;
        }
        return SampleVideoFunction(nullptr);
    }();
    return function;
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

VideoSample SampleVideo(const QString& path, VideoProgress& progress) {
    VideoSample sample;
    if (const SampleVideoFunction sampleVideo = LoadModule())
        sampleVideo(path, kSampledFrames, progress, sample);
    else
        sample.outcome = VideoOutcome::NoModule;
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
