#include "source/source.h"

#include "state/source_bitmap.h"

#include <QFileInfo>

Source OpenSource(const QString& path, VideoProgress& progress) {
    Source source;
    const QFileInfo info(path);
    if (IsVideoFileName(path) || IsDvdFolder(path)) {
        source.video = true;
        // Regular files and DVD folders only: opening a pipe or a device could block for good.
        VideoSample sample =
            info.isFile() || IsDvdFolder(path) ? SampleVideo(path, progress) : VideoSample();
        switch (sample.outcome) {
        case VideoOutcome::Accepted:
            source.outcome = SourceOutcome::Accepted;
            break;
        case VideoOutcome::TooLarge:
            source.outcome = SourceOutcome::VideoTooLarge;
            break;
        case VideoOutcome::Unreadable:
            source.outcome = SourceOutcome::VideoUnreadable;
            break;
        case VideoOutcome::DvdUnreadable:
            source.outcome = SourceOutcome::DvdUnreadable;
            break;
        case VideoOutcome::Cancelled:
            source.outcome = SourceOutcome::Cancelled;
            break;
        case VideoOutcome::NoModule:
            source.outcome = SourceOutcome::NoModule;
            break;
        }
        if (source.outcome == SourceOutcome::Accepted)
            source.frames = std::move(sample.frames);
        source.displayAspect = sample.displayAspect;
        source.scan = sample.scan;
        source.note = sample.note;
        return source;
    }
    if (info.isDir()) {
        source.outcome = SourceOutcome::NoDvdInFolder;
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
