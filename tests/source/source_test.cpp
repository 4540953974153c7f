// The opener on files made here by the ffmpeg program as downloads, broadcast captures and odd
// encoders leave them: each opens with frames spread over what it really holds.
#include "source/source.h"
#include "support/authored_dvd.h"

#include <QDataStream>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cstring>

#include <sys/stat.h>

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

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bytes written over a file at an offset.
void Patch(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(at));
    file.write(bytes);
}

quint32 Be32(const QByteArray& data, qint64 at) {
    return quint32(uchar(data[at])) << 24 | uchar(data[at + 1]) << 16 | uchar(data[at + 2]) << 8 |
           uchar(data[at + 3]);
}

// Where the program chain of a title set's title lies in its IFO; dvdauthor gives each title
// one chain, in order.
qint64 ChainOffset(const QString& ifo, int title) {
    const QByteArray data = Contents(ifo);
    const qint64 table = qint64(Be32(data, 0xCC)) * 2048;
    return table + Be32(data, table + 8 + 8 * (title - 1) + 4);
}

// Where a title's first cell is described in its chain.
qint64 CellOffset(const QString& ifo, int title) {
    const QByteArray data = Contents(ifo);
    const qint64 chain = ChainOffset(ifo, title);
    return chain + (uchar(data[chain + 0xE8]) << 8 | uchar(data[chain + 0xE9]));
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
        // Four broadcast captures joined: timestamps jump forward, fall back to zero and wrap.
        QStringList concat;
        for (int part = 0; part < 4; ++part) {
            concat << dir.filePath(QStringLiteral("part%1.ts").arg(part));
            Ffmpeg(picture.arg(6),
                   {"-c:v", "mpeg2video", "-output_ts_offset",
                    QString::number(std::array{0, 3000, 0, 95440}[part]), concat.last()});
        }
        QProcess::execute("sh", {"-c", "cat \"" + concat.join("\" \"") + "\" > \"" +
                                           dir.filePath("joined.ts") + '"'});
        // Two pieces whose clocks run a thousand times too fast, then one that keeps time.
        Ffmpeg(picture.arg(6),
               {"-c:v", "mpeg2video", "-bsf:v", "setts=ts=TS*1000", dir.filePath("fast.ts")});
        QProcess::execute(
            "sh", {"-c", "cd \"" + dir.path() + "\" && cat fast.ts fast.ts part0.ts > wild.ts"});
        // One second of a program stream: frames after a seek come without timestamps.
        Ffmpeg(QStringLiteral("testsrc2=s=64x48:d=1"),
               {"-c:v", "mpeg2video", dir.filePath("second.mpg")});
        Ffmpeg(picture.arg(3) + ",setsar=1/255",
               {"-c:v", "libx264", "-preset", "ultrafast", dir.filePath("sar.mkv")});
        QTest::newRow("one key frame") << "onekey.vob"
                                       << "24 1 56 ";
        QTest::newRow("middle lost") << "holed.vob"
                                     << "15 1 31 15 of 24 frames could be read.";
        QTest::newRow("intra refresh") << "refresh.ts"
                                       << "22 8 58 22 of 24 frames could be read.";
        QTest::newRow("cues past the end") << "cues.mkv"
                                           << "24 1 19 ";
        QTest::newRow("20 GB preallocated, 10 h said") << "partial.mkv"
                                                       << "24 1 19 ";
        QTest::newRow("timestamps jump and wrap") << "joined.ts"
                                                  << "24 1 25 ";
        QTest::newRow("frames without timestamps") << "second.mpg"
                                                   << "9 0 0 9 of 24 frames could be read.";
        QTest::newRow("clocks that run wild") << "wild.ts"
                                              << "22 1 20 22 of 24 frames could be read.";
        QTest::newRow("sample aspect 1:255") << "sar.mkv"
                                             << "24 0 2 The stream's sample aspect ratio 1:255 is "
                                                "not usable; choose 4:3 or 16:9.";
    }

    void unusualVideos() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        // Limits ten times the program's, so that a slow machine reads what a fast one does.
        VideoProgress progress;
        progress.SetLimits(15000, 90000);
        const Source s = OpenSource(dir.filePath(name), progress);
        QCOMPARE(s.outcome, SourceOutcome::Accepted);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(s.frames.size())
                     .arg(int(s.frames.front().seconds))
                     .arg(int(s.frames.back().seconds))
                     .arg(s.note),
                 expected);
    }

    void cancelled() {
        Ffmpeg("testsrc2=s=160x120:d=2", {dir.filePath("cancelled.mkv")});
        VideoProgress progress;
        progress.Cancel();
        QCOMPARE(OpenSource(dir.filePath("cancelled.mkv"), progress).outcome,
                 SourceOutcome::Cancelled);
    }

    // HD frames are kept in 8 bits, their colour at a quarter size: blue over green, converted
    // with BT.709's matrix that a 720-line stream declaring none is read in.
    void deepHdColour() {
        const QColor drawn[2] = {QColor(0x30, 0x50, 0xa0), QColor(0x30, 0xa0, 0x50)};
        QColor shown[2][2];
        for (int deep = 0; deep < 2; ++deep) {
            const QString path = dir.filePath(QStringLiteral("deep%1.mkv").arg(deep));
            Ffmpeg(
                "color=c=0x3050a0:s=1280x360:r=25:d=1[a];color=c=0x30a050:s=1280x360:r=25:d=1[b];"
                "[a][b]vstack,format=rgb24,scale=out_color_matrix=bt709,format=yuv420p",
                {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt",
                 deep ? "yuv420p10le" : "yuv420p", path});
            VideoProgress progress;
            const Source s = OpenSource(path, progress);
            QCOMPARE(s.outcome, SourceOutcome::Accepted);
            const QImage picture = FramePicture(s.frames.front());
            shown[deep][0] = picture.pixelColor(640, 170);
            shown[deep][1] = picture.pixelColor(640, 550);
        }
        // Shown as drawn but for the colour matrix's rounding, and in 10 bits as in 8.
        const auto apart = [](QColor a, QColor b) {
            return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                   std::abs(a.blue() - b.blue());
        };
        for (int half = 0; half < 2; ++half)
            QVERIFY2(apart(shown[0][half], drawn[half]) <= 12 &&
                         apart(shown[0][half], shown[1][half]) <= 3,
                     qPrintable(shown[0][half].name() + u' ' + shown[1][half].name()));
    }

    // A disc authored by dvdauthor: a 2 s extra and a 3 s trailer of grainy colour around a 12 s
    // main title, each row a copy damaged as real discs and hostile files are.
    void discs_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("open"); // the path within the disc's copy; "iso" for an image
        QTest::addColumn<int>("title");
        QTest::addColumn<QString>("expected"); // frames, flat ones, first and last second, note
        QVERIFY(AuthorDvd(dir.filePath(QStringLiteral("DVD")),
                          {"color=c=0x3050a0:s=720x576:r=25:d=2", "testsrc2=s=720x576:r=25:d=12",
                           "color=c=0xa03020:s=720x576:r=25:d=3,noise=alls=30:allf=t"}));

        // The main title, its second half lost, or the next title in its place.
        const QString main = "24 0 0 11 Title 2 of 3, 0:00:12, the longest.";
        const QString half =
            "12 0 0 5 Title 2 of 3, 0:00:12, the longest. 12 of 24 frames could be read.";
        const QString next = "8 8 0 2 Title 2 of 3 could not be read; opened title 3, 0:00:03. 8 "
                             "of 24 frames could be read.";
        QTest::newRow("folder") << ""
                                << "" << 0 << main;
        QTest::newRow("image") << ""
                               << "iso" << 0 << main;
        QTest::newRow("names in lower case, as some mounts show them") << "lower"
                                                                       << "" << 0 << main;
        QTest::newRow("extra chosen")
            << ""
            << "VIDEO_TS" << 1 << "5 5 0 1 Title 1 of 3, 0:00:02. 5 of 24 frames could be read.";
        QTest::newRow("trailer said to run 9:59:59") << "time 3 09595940"
                                                     << "VIDEO_TS/VTS_01_0.IFO" << 0 << main;
        QTest::newRow("trailer's time no BCD") << "time 3 AAAAAAAA"
                                               << "" << 0 << main;
        QTest::newRow("main title's cells inverted") << "inverted 2"
                                                     << "" << 0 << next;
        QTest::newRow("bit flipped in main title's last sector") << "flipped 2"
                                                                 << "" << 0 << next;
        QTest::newRow("main title without cells") << "nocells 2"
                                                  << "" << 0 << next;
        QTest::newRow("main title half zeroed") << "zero 2"
                                                << "" << 0 << half;
        QTest::newRow("split, second VOB truncated") << "split truncate"
                                                     << "" << 0 << half;
        QTest::newRow("split, third VOB chosen")
            << "split"
            << "VIDEO_TS/VTS_01_3.VOB" << 0
            << "8 8 0 2 Title 3 of 3, 0:00:03. 8 of 24 frames could be read.";
        QTest::newRow("all zeros") << "zero all"
                                   << "" << 0 << "DVD cannot be read (encrypted or damaged).";
        QTest::newRow("menus only")
            << "menus"
            << "" << 0 << "This DVD holds menus only; there is no title to open.";
        QTest::newRow("angle 1 of an interleaved block")
            << "angles"
            << "" << 0
            << "8 8 0 5 Title 1 of 1, 0:00:06, the longest. 8 of 24 frames could be read.";
        QTest::newRow("pipe for the VOB")
            << "fifo VTS_01_1.VOB"
            << "" << 0 << "DVD cannot be read: VTS_01_1.VOB is not a regular file.";
        QTest::newRow("pipe for the disc's IFO")
            << "fifo VIDEO_TS.IFO"
            << "" << 0 << "DVD cannot be read: VIDEO_TS.IFO is not a regular file.";
        QTest::newRow("VOB without permission")
            << "chmod VTS_01_1.VOB"
            << "" << 0 << "DVD cannot be read: permission denied for VTS_01_1.VOB.";
    }

    void discs() {
        QFETCH(QString, damage);
        QFETCH(QString, open);
        QFETCH(int, title);
        QFETCH(QString, expected);
        const QString disc = dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QProcess::execute("cp", {"-r", dir.filePath(QStringLiteral("DVD")), disc});
        const QString folder = disc + QStringLiteral("/VIDEO_TS/");
        const QString ifo = folder + QStringLiteral("VTS_01_0.IFO"), vob = folder + "VTS_01_1.VOB";
        const QStringList how = damage.split(u' ');
        const int n = how.value(1).toInt();
        if (how[0] == u"time")
            Patch(ifo, ChainOffset(ifo, n) + 4, QByteArray::fromHex(how[1].toLatin1()));
        if (how[0] == u"inverted" || how[0] == u"flipped") {
            QByteArray cell = Contents(ifo).mid(CellOffset(ifo, n), 24);
            if (how[0] == u"flipped")
                cell[20] = char(cell[20] ^ 0x10);
            else
                std::swap_ranges(cell.begin() + 8, cell.begin() + 12, cell.begin() + 20);
            Patch(ifo, CellOffset(ifo, n), cell);
        }
        if (how[0] == u"nocells")
            Patch(ifo, ChainOffset(ifo, n) + 2, QByteArray(2, '\0'));
        if (how[0] == u"zero" || how[0] == u"split") {
            // The main title's second half, or all; or the set in three files at the titles'
            // borders, the middle one cut short.
            const QByteArray data = Contents(ifo);
            const qint64 first = Be32(data, CellOffset(ifo, 2) + 8) * 2048LL;
            const qint64 end = (Be32(data, CellOffset(ifo, 2) + 20) + 1) * 2048LL;
            if (how[1] == u"all")
                Patch(vob, 0, QByteArray(QFileInfo(vob).size(), '\0'));
            else if (how[0] == u"zero")
                Patch(vob, (first + end) / 4096 * 2048, QByteArray((end - first) / 2, '\0'));
            else {
                const QByteArray bytes = Contents(vob);
                for (int part = 1; part <= 3; ++part) {
                    QFile out(folder + QStringLiteral("VTS_01_%1.VOB").arg(part));
                    out.open(QIODevice::WriteOnly);
                    out.write(part == 1   ? bytes.left(first)
                              : part == 2 ? bytes.mid(first, end - first)
                                          : bytes.mid(end));
                }
                if (how.value(1) == u"truncate")
                    QFile::resize(folder + "VTS_01_2.VOB", (end - first) / 4096 * 2048);
            }
        }
        if (how[0] == u"angles") {
            // Units alternating between blue and a test pattern, made two interleaved angles.
            QProcess::execute("rm", {"-r", disc});
            QVERIFY(AuthorDvd(disc, {"color=c=0x3050a0:s=720x576:r=25:d=6[a];testsrc2=s=720x576:"
                                     "r=25:d=6[b];[a][b]overlay=enable='gte(mod(n,20),10)'"}));
            const QByteArray data = Contents(vob);
            std::vector<qint64> units{data.size() / 2048}; // navigation packs' sectors, and the end
            for (qint64 at = data.size() - 2048; at >= 0; at -= 2048)
                if (data.mid(at + 14, 4) == QByteArray("\0\0\1\xbb", 4))
                    units.insert(units.begin(), at / 2048);
            // Each in an interleaved unit of its own: its end, and where its angle's next starts.
            for (std::size_t k = 0; k + 1 < units.size(); ++k) {
                QByteArray unit;
                QDataStream(&unit, QIODevice::WriteOnly)
                    << quint16(0x7000) << quint32(units[k + 1] - 1 - units[k])
                    << quint32(k + 3 < units.size() ? units[k + 2] - units[k] : 0x7FFFFFFF);
                Patch(vob, units[k] * 2048 + 0x427, unit);
            }
            const qint64 cell = CellOffset(ifo, 1); // the first of an interleaved angle block
            Patch(ifo, cell, QByteArray(1, char(Contents(ifo)[cell] | 0x54)));
        }
        if (how[0] == u"lower") {
            for (const QString& name : QDir(folder).entryList(QDir::Files))
                QFile::rename(folder + name, folder + name.toLower());
            QDir(disc).rename(QStringLiteral("VIDEO_TS"), QStringLiteral("video_ts"));
        }
        if (how[0] == u"menus")
            for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP"}) {
                Patch(folder + name, Be32(Contents(folder + name), 0xC4) * 2048LL,
                      QByteArray(2, '\0'));
            }
        QString path = disc + u'/' + open;
        if (open == u"iso")
            QProcess::execute("genisoimage",
                              {"-quiet", "-dvd-video", "-o", path = disc + "/disc.iso", disc});
        if (how[0] == u"fifo") {
            const QString fifo = how.size() > 1 ? folder + how[1] : path;
            QFile::remove(fifo);
            QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        }
        if (how[0] == u"chmod") {
            QFile::setPermissions(folder + how[1], {});
            if (QFile(folder + how[1]).open(QIODevice::ReadOnly))
                QSKIP("Files without permission are read here: run as a user, or without "
                      "CAP_DAC_OVERRIDE.");
        }
        VideoProgress progress;
        progress.SetLimits(15000, 90000);
        const Source s = OpenSource(path, progress, title);
        if (s.outcome != SourceOutcome::Accepted) {
            QCOMPARE(s.outcome == SourceOutcome::DvdUnreadable
                         ? QStringLiteral("DVD cannot be read (encrypted or damaged).")
                         : s.note,
                     expected);
            return;
        }
        const auto flat = std::count_if(s.frames.begin(), s.frames.end(),
                                        [](const VideoFrame& f) { return f.detail < 1000; });
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(s.frames.size())
                     .arg(flat)
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
