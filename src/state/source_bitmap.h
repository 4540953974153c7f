#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// Pictures larger than this are refused without being decoded.
constexpr int kMaxSourceWidth = 720;
constexpr int kMaxSourceHeight = 576;

enum class SourceBitmapOutcome { Accepted, TooLarge, Invalid };

struct SourceBitmap {
    SourceBitmapOutcome outcome = SourceBitmapOutcome::Invalid;
    QImage picture; // set when accepted
};

// Reads a source picture. Windows bitmaps are checked in full before decoding (size, header
// fields, palette, masks, that the pixel data is all there); other formats that Qt reads are
// measured from their header first.
SourceBitmap LoadSourceBitmap(const QString& path);

SourceBitmap ReadSourceBitmap(QIODevice& device);
