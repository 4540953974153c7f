#include "source/video_sample.h"

#include "source/source.h"

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
    const QvVideoModule* table = nullptr;
    int abi = 0; // of a module refused for its ABI
};

Module LoadModule() {
    // Code is loaded from the program's own installation only, found from the program's folder;
    // the build tree is laid out alike.
    static const Module module = [] {
        QLibrary library(QCoreApplication::applicationDirPath() + QStringLiteral("/../") +
                         QUARVEL_VIDEO_MODULE);
        const auto entry = reinterpret_cast<QvModuleFunction>(library.resolve(QV_MODULE_SYMBOL));
        const QvVideoModule* table = entry ? entry() : nullptr;
        if (!table)
            return Module();
        return table->abi == QV_ABI ? Module{table, 0} : Module{nullptr, table->abi};
    }();
    return module;
}

SourceOutcome FromModule(int outcome) {
    switch (outcome) {
    case QV_ACCEPTED:
        return SourceOutcome::Accepted;
    case QV_TOO_LARGE:
        return SourceOutcome::VideoTooLarge;
    case QV_CANCELLED:
        return SourceOutcome::Cancelled;
    case QV_DVD_UNREADABLE:
        return SourceOutcome::DvdUnreadable;
    case QV_DVD_REFUSED:
        return SourceOutcome::DvdRefused;
    default:
        return SourceOutcome::VideoUnreadable;
    }
}

ScanResult FromModule(const QvScan& scan) {
    ScanResult result;
    if (scan.type >= QV_PROGRESSIVE && scan.type <= QV_MIXED)
        result.type = ScanType(scan.type);
    result.topFieldFirst = scan.topFieldFirst != 0;
    result.agreeing = scan.agreeing;
    result.runs = scan.runs;
    result.interlacedRuns = scan.interlacedRuns;
    result.telecineRuns = scan.telecineRuns;
    result.progressiveRuns = scan.progressiveRuns;
    result.pulldownRuledOut = scan.pulldownRuledOut != 0;
    return result;
}

// Converts a frame through the module into a picture of the given size and format.
QImage ModulePicture(const QvFrame* frame, QSize size, bool luma) {
    const QvVideoModule* table = LoadModule().table;
    QImage picture(size, luma ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (!frame || !table || picture.isNull() ||
        !table->picture(frame, size.width(), size.height(), luma, picture.bits(),
                        picture.bytesPerLine()))
        return {};
    return picture;
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

Source SampleVideo(const QString& path, VideoProgress& progress, int title) {
    Source sample;
    sample.video = true;
    const Module module = LoadModule();
    const QvVideoModule* table = module.table;
    if (!table) {
        sample.outcome = SourceOutcome::NoModule;
        if (module.abi != 0)
            sample.note = QStringLiteral("The video module found is of version %1, not %2.")
                              .arg(module.abi)
                              .arg(QV_ABI);
        return sample;
    }
    const std::unique_ptr<QvSample, void (*)(QvSample*)> found(
        table->sample(path.toUtf8().constData(), title, kSampledFrames, progress.shared()),
        table->releaseSample);
    QvSampleInfo info{};
    table->sampleInfo(found.get(), &info);
    sample.outcome = FromModule(info.outcome);
    sample.displayAspect = info.displayAspect;
    sample.seconds = info.seconds;
    sample.scan = FromModule(info.scan);
    sample.note = QString::fromUtf8(info.note);
    sample.title = info.title;
    sample.unreadableTitle = info.unreadableTitle;
    for (int i = 0; i < info.titles; ++i) {
        QvTitle t{};
        table->title(found.get(), i, &t);
        sample.titles.push_back({t.number, t.seconds, t.wide != 0, t.angles, t.chapters});
    }
    for (int i = 0; i < info.frames; ++i) {
        QvFrameInfo f{};
        if (QvFrame* frame = table->takeFrame(found.get(), i, &f))
            sample.frames.push_back(
                {QImage(),
                 std::shared_ptr<const QvFrame>(frame,
                                                [release = table->releaseFrame](const QvFrame* p) {
                                                    release(const_cast<QvFrame*>(p));
                                                }),
                 QSize(f.width, f.height), f.detail, f.seconds});
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
    return ModulePicture(frame.decoded.get(), size, false);
}

QImage FrameLuma(const VideoFrame& frame) {
    if (!frame.picture.isNull())
        return frame.picture;
    return ModulePicture(frame.decoded.get(), frame.size, true);
}

int MostDetailedFrame(const std::vector<VideoFrame>& frames) {
    const auto most = std::max_element(
        frames.begin(), frames.end(),
        [](const VideoFrame& a, const VideoFrame& b) { return a.detail < b.detail; });
    return most == frames.end() ? 0 : int(most - frames.begin());
}
