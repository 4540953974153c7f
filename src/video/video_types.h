#pragma once

// What the program and the video module both name, each on its own side of the boundary: how
// a reading ended, a DVD's titles, and the frame sizes read.

#include "state/source_bitmap.h"

#include <QFileInfo>
#include <QSize>
#include <QString>

// A title of a DVD as its IFO files describe it, its running time checked against its cells.
struct DiscTitle {
    int number = 0; // on the disc, from 1
    double seconds = 0;
    bool wide = false; // 16:9 by its title set's video attributes
    int angles = 1;
    int chapters = 0;
};

// Which title of a DVD to open: 0 for the main title, or for the title that covers a VOB file.
constexpr int kMainTitle = 0;

// Videos open up to HD's frame size; pictures keep kMaxSourceWidth x kMaxSourceHeight.
constexpr int kMaxVideoWidth = 1920;
constexpr int kMaxVideoHeight = 1080;
// A frame larger than a picture may be, PAL's: kept, measured and read more sparingly.
inline bool LargerThanPal(QSize size) {
    return size.width() > kMaxSourceWidth || size.height() > kMaxSourceHeight;
}

// A DVD's VIDEO_TS folder, or the disc's folder that holds it.
inline bool IsDvdFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && (info.fileName().compare(u"VIDEO_TS", Qt::CaseInsensitive) == 0 ||
                            QFileInfo(path + QStringLiteral("/VIDEO_TS")).isDir() ||
                            QFileInfo(path + QStringLiteral("/video_ts")).isDir());
}
