#include "state/source_bitmap.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

using Outcome = SourceBitmapOutcome;

struct BmpHeader {
    qint64 pixelOffset = 0;
    qint64 headerEnd = 0; // first byte after the info header and the colour masks
    std::int64_t width = 0;
    std::int64_t height = 0; // negative for a top-down picture
    int planes = 0;
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0};
};

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

// The first bytes of the file, zero beyond its end.
struct Head {
    std::array<unsigned char, 14 + 124 + 12> bytes{};
    int size = 0;
    explicit Head(const QByteArray& data) {
        size = static_cast<int>(std::min<qsizetype>(data.size(), bytes.size()));
        std::copy_n(data.constData(), size, bytes.begin());
    }
};

std::uint32_t ReadU32(const Head& h, int at) {
    return qFromLittleEndian<quint32>(h.bytes.data() + at);
}
std::uint16_t ReadU16(const Head& h, int at) {
    return qFromLittleEndian<quint16>(h.bytes.data() + at);
}

// Reads the fields that decide whether the bitmap is complete; nothing when the header itself
// is broken.
std::optional<BmpHeader> ReadBmpHeader(const Head& head, qint64 fileSize) {
    if (head.size < 18)
        return std::nullopt;
    BmpHeader h;
    h.pixelOffset = ReadU32(head, 10);
    const std::uint32_t infoSize = ReadU32(head, 14);
    if (infoSize == 12) {
        if (head.size < 26)
            return std::nullopt;
        h.width = ReadU16(head, 18);
        h.height = static_cast<std::int16_t>(ReadU16(head, 20));
        h.planes = ReadU16(head, 22);
        h.bitCount = ReadU16(head, 24);
        h.headerEnd = 26;
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 ||
               infoSize == 108 || infoSize == 124) {
        if (head.size < 14 + static_cast<int>(infoSize))
            return std::nullopt;
        h.width = static_cast<std::int32_t>(ReadU32(head, 18));
        h.height = static_cast<std::int32_t>(ReadU32(head, 22));
        h.planes = ReadU16(head, 26);
        h.bitCount = ReadU16(head, 28);
        h.compression = ReadU32(head, 30);
        h.coloursUsed = ReadU32(head, 46);
        h.headerEnd = 14 + infoSize;
        if (h.compression == kBitfields) {
            // The masks follow a plain info header, or are its last fields in longer ones.
            if (infoSize == 40)
                h.headerEnd += 12;
            if (head.size < 54 + 12)
                return std::nullopt;
            for (int i = 0; i < 3; ++i)
                h.masks[i] = ReadU32(head, 54 + 4 * i);
        }
    } else {
        return std::nullopt;
    }
    if (h.headerEnd > fileSize)
        return std::nullopt;
    return h;
}

bool MasksUsable(const BmpHeader& h) {
    std::uint32_t seen = 0;
    const std::uint64_t limit = (std::uint64_t{1} << h.bitCount) - 1;
    for (const std::uint32_t mask : h.masks) {
        if (mask == 0 || mask > limit || (seen & mask) != 0)
            return false;
        // One contiguous run of bits.
        const std::uint32_t low = mask & (~mask + 1);
        if (((mask + low) & mask) != 0)
            return false;
        seen |= mask;
    }
    return true;
}

// Walks an RLE stream: it must stay inside the picture and end with its end-of-bitmap mark.
bool RleComplete(const QByteArray& data, std::int64_t width, std::int64_t height, bool fourBit) {
    std::int64_t x = 0;
    std::int64_t y = 0;
    qsizetype i = 0;
    const auto byte = [&](qsizetype at) { return static_cast<unsigned char>(data[at]); };
    while (i + 1 < data.size()) {
        const int count = byte(i);
        const int value = byte(i + 1);
        i += 2;
        if (count > 0 || value >= 3) { // a run, or a literal run padded to a whole word
            const int pixels = count > 0 ? count : value;
            if (y >= height || (x += pixels) > width)
                return false;
            if (count == 0) {
                const qsizetype bytes = fourBit ? (value + 1) / 2 : value;
                i += bytes + (bytes & 1);
                if (i > data.size())
                    return false;
            }
        } else if (value == 0) { // end of line
            x = 0;
            if (++y > height)
                return false;
        } else if (value == 1) { // end of bitmap
            return true;
        } else { // delta
            if (i + 1 >= data.size())
                return false;
            x += byte(i);
            y += byte(i + 1);
            i += 2;
            if (x > width || y > height)
                return false;
        }
    }
    return false;
}

Outcome CheckBitmap(QIODevice& device, qint64 fileSize) {
    const auto header = ReadBmpHeader(Head(device.peek(14 + 124 + 12)), fileSize);
    if (!header || header->width <= 0 || header->height == 0 ||
        header->height == std::numeric_limits<std::int32_t>::min())
        return Outcome::Invalid;
    const std::int64_t width = header->width;
    const std::int64_t height = header->height < 0 ? -header->height : header->height;
    if (width > kMaxSourceWidth || height > kMaxSourceHeight)
        return Outcome::TooLarge;

    const int bits = header->bitCount;
    if (header->planes != 1 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return Outcome::Invalid;
    if (bits <= 8 && header->coloursUsed > (1u << bits))
        return Outcome::Invalid;
    if (header->pixelOffset < header->headerEnd || header->pixelOffset >= fileSize)
        return Outcome::Invalid;

    switch (header->compression) {
    case kRgb: {
        const std::int64_t stride = (width * bits + 31) / 32 * 4;
        return header->pixelOffset + stride * height <= fileSize ? Outcome::Accepted
                                                                 : Outcome::Invalid;
    }
    case kRle8:
    case kRle4: {
        const bool fourBit = header->compression == kRle4;
        if (bits != (fourBit ? 4 : 8) || header->height < 0)
            return Outcome::Invalid;
        // A stream longer than any plain encoding of a picture this size is not read to its end.
        const qint64 longest = 4 * (width + 4) * height + 1024;
        const QByteArray all = device.peek(std::min(fileSize, header->pixelOffset + longest));
        return RleComplete(all.mid(header->pixelOffset), width, height, fourBit) ? Outcome::Accepted
                                                                                 : Outcome::Invalid;
    }
    case kBitfields: {
        if ((bits != 16 && bits != 32) || !MasksUsable(*header))
            return Outcome::Invalid;
        const std::int64_t stride = (width * bits + 31) / 32 * 4;
        return header->pixelOffset + stride * height <= fileSize ? Outcome::Accepted
                                                                 : Outcome::Invalid;
    }
    default:
        return Outcome::Invalid;
    }
}

} // namespace

SourceBitmap ReadSourceBitmap(QIODevice& device) {
    const qint64 fileSize = device.size();
    const bool isBitmap = device.peek(2) == "BM";
    if (isBitmap) {
        const Outcome check = CheckBitmap(device, fileSize);
        if (check != Outcome::Accepted)
            return {check, {}};
    }

    QImageReader reader(&device, isBitmap ? QByteArray("bmp") : QByteArray());
    reader.setDecideFormatFromContent(!isBitmap);
    reader.setAutoTransform(false);
    const QSize announced = reader.size();
    if (announced.isValid() &&
        (announced.width() > kMaxSourceWidth || announced.height() > kMaxSourceHeight))
        return {Outcome::TooLarge, {}};

    const QImage picture = reader.read();
    if (picture.isNull())
        return {Outcome::Invalid, {}};
    if (picture.width() > kMaxSourceWidth || picture.height() > kMaxSourceHeight)
        return {Outcome::TooLarge, {}};
    // A screenshot has no transparency: an alpha channel would show the box's background
    // through the picture until the first frame is drawn.
    if (picture.hasAlphaChannel())
        return {Outcome::Accepted, picture.convertToFormat(QImage::Format_RGB32)};
    return {Outcome::Accepted, picture};
}

SourceBitmap LoadSourceBitmap(const QString& path) {
    // Regular files only: opening a pipe or a device could block for good.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return {};
    return ReadSourceBitmap(file);
}
