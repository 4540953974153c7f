// Arbitrary bytes through the loader that "Open BMP ..." uses: accept, refuse by size or
// refuse as invalid, and decode.
#include "state/source_bitmap.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv); // lets Qt find its picture format plugins
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const SourceBitmap result = ReadSourceBitmap(buffer);
    const bool accepted = result.outcome == SourceBitmapOutcome::Accepted;
    if (accepted == result.picture.isNull())
        std::abort();
    if (accepted &&
        (result.picture.width() > kMaxSourceWidth || result.picture.height() > kMaxSourceHeight))
        std::abort();
    return 0;
}
