#include "source/source.h"

#include "state/source_bitmap.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <atomic>

namespace {

std::atomic<int> g_reads{0};

// What opened of a DVD: "Title 3 of 12, 1:52:04, the longest.", or the title chosen (or of a
// chosen VOB file), or the one opened in place of a main title that could not be read.
QString TitleNote(const Source& sample, bool main) {
    const auto title = std::find_if(sample.titles.begin(), sample.titles.end(),
                                    [&](const DiscTitle& t) { return t.number == sample.title; });
    if (title == sample.titles.end())
        return {};
    const QString time = RunningTime(title->seconds);
    const int count = int(sample.titles.size());
    if (sample.unreadableTitle > 0)
        return QStringLiteral("Title %1 of %2 could not be read; opened title %3, %4.")
            .arg(sample.unreadableTitle)
            .arg(count)
            .arg(title->number)
            .arg(time);
    return QStringLiteral("Title %1 of %2, %3%4.")
        .arg(title->number)
        .arg(count)
        .arg(time, main ? QStringLiteral(", the longest") : QString());
}

} // namespace

QString RunningTime(double seconds) {
    const int s = int(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

int ReadsRunning() {
    return g_reads;
}

namespace {

// What a path names, decided once: the video module tells a DVD's files and images apart.
enum class PathKind {
    Picture,
    Video,     // a video file, a DVD's IFO, BUP or VOB file, or a disc image
    DvdFolder, // a DVD's folder or its VIDEO_TS folder
    Folder,    // any other folder
    NotAFile,  // a pipe or a device by a video's name: opening it could block for good
};

PathKind KindOf(const QString& path, const QFileInfo& info) {
    if (IsDvdFolder(path))
        return PathKind::DvdFolder;
    if (IsVideoFileName(path))
        return info.isFile() ? PathKind::Video : PathKind::NotAFile;
    return info.isDir() ? PathKind::Folder : PathKind::Picture;
}

} // namespace

Source OpenSource(const QString& path, VideoProgress& progress, int title) {
    ++g_reads;
    const auto done = qScopeGuard([] { --g_reads; });
    Source source;
    const QFileInfo info(path);
    switch (KindOf(path, info)) {
    case PathKind::NotAFile:
        source.video = true;
        source.outcome = SourceOutcome::VideoUnreadable;
        return source;
    case PathKind::Video:
    case PathKind::DvdFolder: {
        // A DVD's own files are checked by the module before libdvdread opens any of them.
        source = SampleVideo(path, progress, title);
        // A VOB file opens the longest title of its own set, not of the disc.
        const QString titleNote =
            TitleNote(source, title == kMainTitle && info.suffix().toLower() != u"vob");
        source.note = titleNote.isEmpty() || source.note.isEmpty() ? titleNote + source.note
                                                                   : titleNote + u' ' + source.note;
        return source;
    }
    case PathKind::Folder:
        source.outcome = SourceOutcome::NoDvdInFolder;
        if (!info.isReadable() || !info.isExecutable()) {
            source.outcome = SourceOutcome::DvdRefused;
            source.note = QStringLiteral("Folder cannot be read: permission denied for %1.")
                              .arg(info.fileName());
        }
        return source;
    case PathKind::Picture:
        break;
    }
    const SourceBitmap picture = LoadSourceBitmap(path);
    switch (picture.outcome) {
    case SourceBitmapOutcome::Accepted:
        source.outcome = SourceOutcome::Accepted;
        source.frames.push_back({picture.picture, {}, picture.picture.size(), 0, 0});
        break;
    case SourceBitmapOutcome::TooLarge:
        source.outcome = SourceOutcome::PictureTooLarge;
        break;
    case SourceBitmapOutcome::Invalid:
        source.outcome = SourceOutcome::NotAPicture;
        break;
    }
    return source;
}
