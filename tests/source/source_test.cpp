// The opener on files made here by the ffmpeg program as downloads, broadcast captures and odd
// encoders leave them: each opens with frames spread over what it really holds.
#include "source/source.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

namespace {

void Ffmpeg(const QString& graph, const QStringList& output) {
    QProcess::execute("ffmpeg",
                      QStringList{"-v", "error", "-y", "-f", "lavfi", "-i", graph} + output);
}

// A Matroska file with its cue positions past the end, or with a running time it does not have.
void EditMatroska(const QString& from, const QString& to, bool cues, double durationMs) {
    QFile in(from), out(to);
    QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
    QByteArray data = in.readAll();
    if (durationMs > 0) {
        const qsizetype i = data.indexOf("\x44\x89");
        const int size = data[i + 2] & 0x0F;
        const quint64 bits = size == 8 ? std::bit_cast<quint64>(durationMs)
                                       : quint64(std::bit_cast<quint32>(float(durationMs)));
        for (int b = 0; b < size; ++b)
            data[i + 3 + b] = char(bits >> (8 * (size - 1 - b)));
    }
    for (qsizetype i = data.indexOf("\x1c\x53\xbb\x6b"); cues && i >= 0;
         i = data.indexOf('\xf1', i + 1))
        if (const int n = uchar(data[i + 1]) - 0x80; n >= 1 && n <= 8)
            data.replace(i + 2, n, QByteArray(1, '\x7f') + QByteArray(n - 1, '\xff'));
    out.write(data);
}

} // namespace

class SourceTest : public QObject {
    Q_OBJECT
private slots:
    void unusualVideos_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // frames, first and last second, note
        const QString picture = QStringLiteral("testsrc2=s=160x120:r=25:d=%1");
        Ffmpeg(picture.arg(60),
               {"-c:v", "mpeg2video", "-g", "100000", "-f", "vob", dir.filePath("onekey.vob")});
        Ffmpeg(picture.arg(60), {"-c:v", "libx264", "-preset", "ultrafast", "-x264-params",
                                 "intra-refresh=1:keyint=50", dir.filePath("refresh.ts")});
        Ffmpeg(picture.arg(20),
               {"-c:v", "libx264", "-preset", "ultrafast", "-g", "25", dir.filePath("base.mkv")});
        EditMatroska(dir.filePath("base.mkv"), dir.filePath("cues.mkv"), true, 0);
        QFile::copy(dir.filePath("onekey.vob"), dir.filePath("holed.vob"));
        QFile holed(dir.filePath("holed.vob")); // its middle lost
        QVERIFY(holed.open(QIODevice::ReadWrite) && holed.seek(holed.size() * 3 / 10));
        holed.write(QByteArray(holed.size() * 4 / 10, '\0'));
        holed.close();
        EditMatroska(dir.filePath("base.mkv"), dir.filePath("partial.mkv"), false, 36e6);
        QFile::resize(dir.filePath("partial.mkv"), 20LL << 30); // sparse: a partial download
        // Four broadcast captures joined; the third one's timestamps wrap.
        QStringList concat;
        for (int part = 0; part < 4; ++part) {
            concat << dir.filePath(QStringLiteral("part%1.ts").arg(part));
            Ffmpeg(picture.arg(6),
                   {"-c:v", "mpeg2video", "-output_ts_offset",
                    QString::number(part == 2 ? 95443 : part * 1000), concat.last()});
        }
        QProcess::execute("sh", {"-c", "cat \"" + concat.join("\" \"") + "\" > \"" +
                                           dir.filePath("joined.ts") + '"'});
        Ffmpeg(picture.arg(3) + ",setsar=1/255",
               {"-c:v", "libx264", "-preset", "ultrafast", dir.filePath("sar.mkv")});
        QTest::newRow("one key frame") << "onekey.vob"
                                       << "24 1 56 ";
        QTest::newRow("middle lost") << "holed.vob"
                                     << "15 1 31 15 of 24 frames could be read.";
        QTest::newRow("intra refresh") << "refresh.ts"
                                       << "22 8 58 ";
        QTest::newRow("cues past the end") << "cues.mkv"
                                           << "24 1 19 ";
        QTest::newRow("20 GB preallocated, 10 h said") << "partial.mkv"
                                                       << "24 1 19 ";
        QTest::newRow("timestamps jump and wrap") << "joined.ts"
                                                  << "24 0 22 ";
        QTest::newRow("sample aspect 1:255")
            << "sar.mkv"
            << "17 0 1 The stream's sample aspect ratio 1:255 is not usable; choose 4:3 or 16:9.";
    }

    void unusualVideos() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        VideoProgress progress;
        const Source s = OpenSource(dir.filePath(name), progress);
        QCOMPARE(s.outcome, SourceOutcome::Accepted);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(s.frames.size())
                     .arg(int(s.frames.front().seconds))
                     .arg(int(s.frames.back().seconds))
                     .arg(s.note),
                 expected);
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(SourceTest)
#include "source_test.moc"
