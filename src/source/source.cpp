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

Source OpenSource(const QString& path, VideoProgress& progress, int title) {
    ++g_reads;
    const auto done = qScopeGuard([] { --g_reads; });
    Source source;
    const QFileInfo info(path);
    if (IsVideoFileName(path) || IsDvdFolder(path)) {
        // Regular files and DVD folders only: opening a pipe or a device could block for good.
        // A DVD's own files are checked by the module before libdvdread opens any of them.
        if (!info.isFile() && !IsDvdFolder(path)) {
            source.video = true;
            source.outcome = SourceOutcome::VideoUnreadable;
            return source;
        }
        source = SampleVideo(path, progress, title);
        const QString titleNote =
            TitleNote(source, title == kMainTitle && info.suffix().toLower() != u"vob");
        source.note = titleNote.isEmpty() || source.note.isEmpty() ? titleNote + source.note
                                                                   : titleNote + u' ' + source.note;
        return source;
    }
    if (info.isDir()) {
        source.outcome = SourceOutcome::NoDvdInFolder;
        if (!info.isReadable() || !info.isExecutable()) {
            source.outcome = SourceOutcome::DvdRefused;
            source.note = QStringLiteral("Folder cannot be read: permission denied for %1.")
                              .arg(info.fileName());
        }
        return source;
    }
    SourceBitmap picture = LoadSourceBitmap(path);
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
