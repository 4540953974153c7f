#include "source_bitmap.h"

#include <QBuffer>
#include <QTest>
#include <QtEndian>

// Hand-made bitmaps with one broken field each; the loader must decide without trusting them.
class SourceBitmapTest : public QObject {
    Q_OBJECT
private slots:
    void outcomes_data();
    void outcomes();
};

namespace {

// A plain 8-bit or 24-bit bitmap with a 40-byte info header.
QByteArray bitmap(int width, int height, int bits = 24, quint32 compression = 0,
                  QByteArray pixels = {}, int paletteEntries = -1) {
    const int rows = height < 0 ? -height : height;
    const int stride = (width * bits + 31) / 32 * 4;
    if (paletteEntries < 0)
        paletteEntries = bits <= 8 ? (1 << bits) : 0;
    if (pixels.isNull() && compression == 0)
        pixels = QByteArray(qint64{stride} * rows, '\x40');
    const int offset = 54 + paletteEntries * 4;
    QByteArray b(offset, '\0');
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<quint32>(offset + pixels.size(), b.data() + 2);
    qToLittleEndian<quint32>(offset, b.data() + 10);
    qToLittleEndian<quint32>(40, b.data() + 14);
    qToLittleEndian<qint32>(width, b.data() + 18);
    qToLittleEndian<qint32>(height, b.data() + 22);
    qToLittleEndian<quint16>(1, b.data() + 26);
    qToLittleEndian<quint16>(bits, b.data() + 28);
    qToLittleEndian<quint32>(compression, b.data() + 30);
    qToLittleEndian<quint32>(pixels.size(), b.data() + 34);
    qToLittleEndian<quint32>(bits <= 8 ? paletteEntries : 0, b.data() + 46);
    for (int i = 0; i < paletteEntries; ++i)
        b[54 + i * 4] = static_cast<char>(i);
    return b + pixels;
}

QByteArray withField16(QByteArray b, int at, quint16 v) {
    qToLittleEndian<quint16>(v, b.data() + at);
    return b;
}

QByteArray withField32(QByteArray b, int at, quint32 v) {
    qToLittleEndian<quint32>(v, b.data() + at);
    return b;
}

QByteArray bitfields(quint32 red, quint32 green, quint32 blue) {
    QByteArray pixels(4 * 4 * 4, '\x10');
    QByteArray b = bitmap(4, 4, 32, 3, pixels, 0);
    QByteArray masks(12, '\0');
    qToLittleEndian<quint32>(red, masks.data());
    qToLittleEndian<quint32>(green, masks.data() + 4);
    qToLittleEndian<quint32>(blue, masks.data() + 8);
    b.insert(54, masks);
    return withField32(b, 10, 66);
}

QByteArray rle8(const QByteArray& stream, int width = 4, int height = 2) {
    return bitmap(width, height, 8, 1, stream);
}

} // namespace

using Outcome = SourceBitmapOutcome;
Q_DECLARE_METATYPE(SourceBitmapOutcome)

void SourceBitmapTest::outcomes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Outcome>("expected");
    const QByteArray good = bitmap(16, 8);
    QTest::newRow("plain 24-bit") << good << Outcome::Accepted;
    QTest::newRow("8-bit palette") << bitmap(16, 8, 8) << Outcome::Accepted;
    QTest::newRow("720 x 576") << bitmap(720, 576) << Outcome::Accepted;
    QTest::newRow("top-down 720 x -576") << bitmap(720, -576) << Outcome::Accepted;
    QTest::newRow("top-down 721 x -576") << bitmap(721, -576) << Outcome::TooLarge;
    QTest::newRow("width 3,000,000") << withField32(good, 18, 3000000) << Outcome::TooLarge;
    QTest::newRow("height 577, no data") << withField32(good, 22, 577) << Outcome::TooLarge;
    QTest::newRow("zero-byte file") << QByteArray() << Outcome::Invalid;
    QTest::newRow("truncated header") << good.left(20) << Outcome::Invalid;
    QTest::newRow("header only") << good.left(54) << Outcome::Invalid;
    QTest::newRow("truncated pixel data") << good.chopped(10) << Outcome::Invalid;
    QTest::newRow("zero height") << withField32(good, 22, 0) << Outcome::Invalid;
    QTest::newRow("INT_MIN height") << withField32(good, 22, 0x80000000u) << Outcome::Invalid;
    QTest::newRow("negative width") << withField32(good, 18, quint32(-16)) << Outcome::Invalid;
    for (const quint16 bits : {0, 3, 5, 30000})
        QTest::newRow(qPrintable(QStringLiteral("bit count %1").arg(bits)))
            << withField16(good, 28, bits) << Outcome::Invalid;
    QTest::newRow("planes 0") << withField16(good, 26, 0) << Outcome::Invalid;
    QTest::newRow("257 colours") << withField32(bitmap(16, 8, 8), 46, 257) << Outcome::Invalid;
    QTest::newRow("pixel offset past the end")
        << withField32(good, 10, good.size() + 10) << Outcome::Invalid;
    QTest::newRow("unknown info header") << withField32(good, 14, 41) << Outcome::Invalid;
    QTest::newRow("bitfields 0xFFFFFFFF")
        << bitfields(0xFFFFFFFF, 0xFF00, 0xFF) << Outcome::Invalid;
    QTest::newRow("bitfields 0") << bitfields(0, 0xFF00, 0xFF) << Outcome::Invalid;
    QTest::newRow("bitfields ok") << bitfields(0xFF0000, 0xFF00, 0xFF) << Outcome::Accepted;

    // Two rows of four: a run of 4, end of line, a literal of 4, end of bitmap.
    const QByteArray stream("\x04\x01\x00\x00\x00\x04\x01\x02\x03\x04\x00\x01", 12);
    QTest::newRow("RLE8") << rle8(stream) << Outcome::Accepted;
    QTest::newRow("RLE8 run past the row")
        << rle8(QByteArray("\x09\x01\x00\x01", 4)) << Outcome::Invalid;
    QTest::newRow("RLE8 rows past the picture")
        << rle8(QByteArray("\x04\x01\x00\x00\x04\x01\x00\x00\x04\x01\x00\x01", 12))
        << Outcome::Invalid;
    QTest::newRow("RLE8 without end") << rle8(stream.left(10)) << Outcome::Invalid;
    QTest::newRow("RLE4 overrun") << bitmap(
                                         4, 2, 4, 2,
                                         QByteArray("\x00\x09\x11\x11\x11\x11\x10\x00\x00\x01", 10))
                                  << Outcome::Invalid;
    QTest::newRow("RLE8 with 24 bits") << withField16(rle8(stream), 28, 24) << Outcome::Invalid;

    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(8, 8, QImage::Format_RGB32).save(&buffer, "PNG");
    }
    QTest::newRow("PNG named .bmp") << png << Outcome::Accepted;
    QTest::newRow("truncated PNG") << png.left(png.size() / 2) << Outcome::Invalid;
    QTest::newRow("text") << QByteArray("Hello, this is not a picture.\n") << Outcome::Invalid;
}

void SourceBitmapTest::outcomes() {
    QFETCH(QByteArray, bytes);
    QFETCH(Outcome, expected);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const SourceBitmap result = ReadSourceBitmap(buffer);
    QCOMPARE(int(result.outcome), int(expected));
    QCOMPARE(result.picture.isNull(), expected != Outcome::Accepted);
}

QTEST_MAIN(SourceBitmapTest)
#include "source_bitmap_test.moc"
