// The calculations, the picture reader and the report writer, without a window.
#include "state/bitrate.h"
#include "state/black_bars.h"
#include "state/crop_resize.h"
#include "state/encoder_settings.h"
#include "state/number_text.h"
#include "state/report_file.h"
#include "state/scan_type.h"
#include "state/source_bitmap.h"

#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

CropResizeInput Edges(int left, int top, int right, int bottom, SourceAspect aspect, int target,
                      int width = 720, int height = 576) {
    return {std::int16_t(left),
            std::int16_t(top),
            std::int16_t(right),
            std::int16_t(bottom),
            width,
            height,
            aspect,
            target};
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

// A 720 x 576 picture, black but for the scene.
QImage Shot(QRect scene, QColor colour = QColor(120, 130, 140)) {
    QImage picture(720, 576, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter(&picture).fillRect(scene, colour);
    return picture;
}

// Frames of a vertical edge between two fields' instants: each field's edge at its own column.
std::vector<std::uint8_t> Woven(int topEdge, int bottomEdge) {
    std::vector<std::uint8_t> luma(64 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            luma[y * 64 + x] = x < (y % 2 ? bottomEdge : topEdge) ? 200 : 40;
    return luma;
}

// A run's frames as letters: p moving and whole, c combed, C combed with a field repeated, R
// whole with a field repeated, f whole with the decoder's repeat flag, s static.
std::vector<FieldMeasure> Run(const char* frames, int vote) {
    std::vector<FieldMeasure> run;
    for (const char* f = frames; *f; ++f)
        run.push_back({*f != 's', *f == 'c' || *f == 'C', *f == 'C' || *f == 'R', vote, *f == 'f'});
    return run;
}

// A frame of a video: black but for a scene of grain of its own, and what is drawn on it.
template <typename Paint = void (*)(QPainter&)>
QImage VideoFrame(
    int seed, QRect scene, Paint paint = [](QPainter&) {}) {
    QImage picture = Shot({});
    QRandomGenerator random(seed);
    for (int y = scene.top(); y <= scene.bottom(); ++y)
        for (int x = scene.left(); x <= scene.right(); ++x) {
            const int v = random.bounded(60, 200);
            picture.setPixel(x, y, qRgb(v, v, v));
        }
    QPainter painter(&picture);
    paint(painter);
    return picture;
}

constexpr auto k43 = SourceAspect::Ratio4x3;
constexpr auto k169 = SourceAspect::Ratio16x9;

} // namespace

Q_DECLARE_METATYPE(CropResizeInput)
Q_DECLARE_METATYPE(BitrateInput)

class StateTest : public QObject {
    Q_OBJECT
private slots:
    void typedNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // clang-format off
        const char* rows[][2] = {
            {"200000", "200000"}, {" +42 ", "42"}, {"-5", "-5"}, {"-1", "none"}, {"010", "10"}, {"2.5", "2"},
            {"3.5", "4"}, {"2.50000001", "3"}, {"-2.5", "-2"}, {".5", "0"}, {"1.", "1"},
            {"2147483647", "2147483647"}, {"2147483648", "none"}, {"-2147483648", "-2147483648"},
            {"2147483646.5", "2147483646"}, {"2147483647.5", "none"}, {"", "none"}, {"-", "none"},
            {"abc", "none"}, {"12a", "none"}, {"1 2", "none"}, {"0x10", "none"}, {"1e3", "none"},
            {"1,5", "none"}, {"99999999999999999999", "none"}};
        // clang-format on
        for (const auto& [text, expected] : rows)
            QTest::newRow(text) << QString::fromLatin1(text) << QString::fromLatin1(expected);
    }

    void typedNumbers() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const auto value = TypedInputValue(text, u'.');
        QCOMPARE(value ? QString::number(*value) : QStringLiteral("none"), expected);
    }

    void shownNumbers() {
        QCOMPARE(ParseTypedNumber(QStringLiteral("1,5"), u','), 2);
        QCOMPARE(FormatTwoDecimals(1.125, u'.'), QStringLiteral("1.12")); // exact tie to even
        QCOMPARE(FormatTwoDecimals(1.3, u','), QStringLiteral("1,3"));
        QCOMPARE(FormatTwoDecimals(2.0, u'.'), QStringLiteral("2"));
        QCOMPARE(FormatWholeNumber(RoundHalfEven(-871.5)), QStringLiteral("-872"));
        QCOMPARE(FormatWholeNumber(280000000000000.0), QStringLiteral("280000000000000"));
    }

    void cropResize_data() {
        QTest::addColumn<CropResizeInput>("input");
        QTest::addColumn<QString>("expected"); // X1 X2 Y1 Y2 W H pixels final-left final-right
        const auto row = [](const char* name, CropResizeInput in, const char* expected) {
            QTest::newRow(name) << in << QString::fromLatin1(expected);
        };
        // clang-format off
        row("4:3", Edges(7, 71, 712, 504, k43, 200000), "13 13 72 72 576 336 193536 12 707");
        row("16:9, first try too wide", Edges(7, 71, 712, 504, k169, 200000), "24 24 72 72 672 304 204288 23 696");
        row("first try exactly 95 %", Edges(0, 0, 51, 101, k43, 51200), "3 671 1 475 160 320 51200 2 49");
        row("trim 2.5 to even", Edges(8, 0, 329, 337, k43, 200000), "11 393 1 239 448 448 200704 10 327");
        row("trim 3.5 to even", Edges(8, 0, 457, 337, k43, 150000), "13 267 1 239 448 320 143360 12 453");
        row("no trim, edges cut", Edges(8, 0, 711, 313, k43, 250000), "9 9 1 263 768 320 245760 8 711");
        row("a cut screenshot is part of 576 lines", Edges(7, 71, 632, 408, k43, 200000, 640, 470), "18 18 72 62 656 304 199424 17 622");
        // The same letterboxed film on NTSC gives the output of PAL (13 13 72 72 576 336 ...).
        row("NTSC 4:3 from its own 480 lines", Edges(7, 59, 712, 420, k43, 200000, 720, 480), "13 13 60 60 576 336 193536 12 707");
        row("NTSC 16:9", Edges(7, 59, 712, 420, k169, 200000, 720, 480), "24 24 60 60 672 304 204288 23 696");
        // HD: 1440 x 1080 of 4:3 pixels gives what 1920 x 1080 of square ones gives.
        row("1080 lines, 2.39:1", Edges(0, 137, 1919, 942, k169, 500000, 1920, 1080), "17 17 138 138 1088 464 504832 16 1903");
        row("1440 x 1080 of 4:3 pixels", Edges(0, 137, 1439, 942, k169, 500000, 1440, 1080), "13 13 138 138 1088 464 504832 12 1427");
        row("720 lines, pillarbox", Edges(159, 0, 1120, 719, k169, 200000, 1280, 720), "161 161 1 1 512 384 196608 160 1119");
        row("a cut 720p frame is part of 720 lines", Edges(0, 0, 1279, 699, k169, 200000, 1280, 700), "25 25 1 1 592 336 198912 24 1255");
        row("a cut HD frame is part of 1080 lines", Edges(0, 0, 1919, 799, k169, 200000, 1920, 800), "7 7 1 1 688 288 198144 6 1913");
        row("height 0 on the first try", Edges(0, 0, 501, 401, k43, 341), "none");
        row("first target above it", Edges(0, 0, 501, 401, k43, 342), "157 375 1 175 16 32 512 156 345");
        row("neighbouring columns", Edges(10, 71, 11, 504, k43, 200000), "none");
        row("neighbouring rows", Edges(7, 288, 712, 289, k43, 200000), "none");
        row("no aspect chosen", Edges(7, 71, 712, 504, SourceAspect::None, 200000), "none");
        row("pixel count beyond 32 bits", Edges(7, 71, 712, 504, k169, 2147483647), "none");
        // clang-format on
    }

    void cropResize() {
        QFETCH(CropResizeInput, input);
        QFETCH(QString, expected);
        const auto r = CalculateCropResizeValues(input);
        QCOMPARE(!r ? QStringLiteral("none")
                    : QString::asprintf("%d %g %d %g %d %d %d %d %d", r->offsetX1, r->offsetX2,
                                        r->offsetY1, r->offsetY2, r->newWidth, r->newHeight,
                                        r->pixelCount, r->finalCropLeft, r->finalCropRight),
                 expected);
    }

    void bitrate_data() {
        QTest::addColumn<BitrateInput>("input");
        QTest::addColumn<QString>("bitrate");  // the bitrate mode's rounded value or status
        QTest::addColumn<QString>("fileSize"); // the file-size mode's, and the CDs suggested
        // clang-format off
        const auto row = [](const char* name, int length, int cds, const char* cd, int streams,
                            const char* audio, bool custom, int video, const char* bitrate,
                            const char* fileSize) {
            QTest::newRow(name) << BitrateInput{length, cds, 650, video, QString::fromLatin1(audio),
                                                streams, QString::fromLatin1(cd), !custom, custom}
                                << QString::fromUtf8(bitrate) << QString::fromUtf8(fileSize);
        };
        row("defaults", 90, 1, "700", 1, "128", false, 870, "959", "642|1 CD à 650 MB");
        row("custom 650", 90, 1, "700", 1, "128", true, 870, "882", "642|1 CD à 650 MB");
        row("2 CDs", 90, 2, "700", 1, "128", false, 870, "2047", "642|1 CD à 650 MB");
        row("120 min, 2 x 192", 120, 2, "700", 2, "192", false, 870, "1247", "1076|2 CDs à 650 MB");
        row("video 4000", 90, 1, "700", 1, "128", false, 4000, "959", "2657|4 CDs à 700 MB");
        row("audio above target", 90, 1, "650", 4, "320", false, 870, "novalue", "1384|2 CDs à 700 MB");
        row("0 CDs", 90, 0, "700", 1, "128", false, 870, "novalue", "642|1 CD à 650 MB");
        row("length 0", 0, 1, "700", 1, "128", false, 870, "novalue", "novalue");
        row("negative video", 90, 1, "700", 1, "128", false, -1000, "959", "-561|1 CD à 650 MB");
        row("last length", 35791394, 1, "700", 0, "32", false, 870, "0", "222719999|");
        row("seconds overflow", 35791395, 1, "700", 1, "128", false, 870, "failed", "failed");
        row("entry no number", 90, 1, "700", 1, "12x", false, 870, "failed", "failed");
        // clang-format on
    }

    void bitrate() {
        QFETCH(BitrateInput, input);
        QFETCH(QString, bitrate);
        QFETCH(QString, fileSize);
        const auto shown = [](const BitrateResult& r, bool withCDs) {
            if (r.status != BitrateStatus::Ok)
                return QString::fromLatin1(r.status == BitrateStatus::NoValue ? "novalue"
                                                                              : "failed");
            const QString whole = FormatWholeNumber(RoundHalfEven(r.value));
            return withCDs ? whole + u'|' + SuggestSplitting(r.value) : whole;
        };
        QCOMPARE(shown(VideoBitrateFor(input), false), bitrate);
        QCOMPARE(shown(FileSizeFor(input), true), fileSize);
    }

    void splitting() {
        // clang-format off
        const std::pair<double, const char*> rows[] = {
            {-5, "1 CD à 650 MB"}, {650, "1 CD à 650 MB"}, {650.3, "1 CD à 700 MB"},
            {700, "1 CD à 700 MB"}, {700.01, "2 CDs à 650 MB"}, {1300, "2 CDs à 650 MB"},
            {1400, "2 CDs à 700 MB"}, {8450, "13 CDs à 650 MB"}, {8450.5, "13 CDs à 700 MB"},
            {9100.5, "14 CDs à 700 MB"}, {64400, "92 CDs à 700 MB"}, {69300, "99 CDs à 700 MB"},
            {69300.01, ""}};
        // clang-format on
        for (const auto& [size, expected] : rows)
            QCOMPARE(SuggestSplitting(size), QString::fromUtf8(expected));
    }

    void encoderSettings() {
        // Odd offsets grow by a line each, for 4:2:0 video; the window's numbers stay odd.
        const CropResizeInput in = Edges(7, 71, 712, 504, k43, 200000);
        const auto result = *CalculateCropResizeValues(in);
        QCOMPARE(EncoderSettingsText(in, result),
                 QStringLiteral(
                     "ffmpeg:      -vf \"crop=692:432:14:72,scale=576:336,setsar=1\"\n"
                     "HandBrake:   --crop 72:72:14:14 --width 576 --height 336 "
                     "--custom-anamorphic --pixel-aspect 1:1\n"
                     "AviSynth:    Crop(14, 72, -14, -72).Spline36Resize(576, 336)\n"
                     "VapourSynth: core.std.Crop(clip, 14, 14, 72, 72).resize.Spline36(576, 336)\n"
                     "Offsets made even for 4:2:0 video: left 13 \u2192 14, right 13 \u2192 14.\n"
                     "display aspect of the crop 1.7086:1, output 1.7143:1, error +0.33 %\n"));
        QCOMPARE(
            AspectErrorText(in, result, u','),
            QStringLiteral("display aspect of the crop 1,7136:1, output 1,7143:1, error +0,04 %"));
        const CropResizeInput even = Edges(9, 71, 712, 504, k43, 200000);
        const QString text = EncoderSettingsText(even, *CalculateCropResizeValues(even));
        QVERIFY(
            text.startsWith(u"ffmpeg:      -vf \"crop=694:432:14:72,scale=576:336,setsar=1\"\n"));
        QVERIFY(!text.contains(u"even"));
    }

    // Interlaced, telecined and progressive video told apart on the pictures alone.
    void fieldMeasures() {
        const auto measure = [](std::vector<std::uint8_t> now, std::vector<std::uint8_t> before) {
            const FieldMeasure m =
                MeasureFields({now.data(), 64, 64, 32}, {before.data(), 64, 64, 32});
            return QString::asprintf("%d %d %d %d", m.moving, m.combed, m.repeatedField,
                                     m.orderVote);
        };
        QCOMPARE(measure(Woven(30, 34), Woven(22, 26)), QStringLiteral("1 1 0 1"));
        QCOMPARE(measure(Woven(34, 30), Woven(26, 22)), QStringLiteral("1 1 0 -1"));
        QCOMPARE(measure(Woven(30, 30), Woven(22, 22)), QStringLiteral("1 0 0 0"));
        QCOMPARE(measure(Woven(26, 30), Woven(26, 22)), QStringLiteral("1 1 1 0"));
        QCOMPARE(measure(Woven(22, 22), Woven(22, 22)), QStringLiteral("0 0 0 0"));
    }

    void scanTypes_data() {
        QTest::addColumn<QStringList>("runs"); // each: count x frames, order vote per frame
        QTest::addColumn<double>("rate");      // frames per second; 0 unknown
        QTest::addColumn<QString>("note");
        const QString interlaced = QStringLiteral("Interlaced, %1 field first (24 of 24 "
                                                  "samples): the copied lines deinterlace.");
        QTest::newRow("top field first")
            << QStringList{"24 cccccccccc +"} << 25.0 << interlaced.arg("top");
        QTest::newRow("bottom field first")
            << QStringList{"24 cccccccccc -"} << 0.0 << interlaced.arg("bottom");
        QTest::newRow("hard pulldown")
            << QStringList{"20 pCcRppCcRp +", "4 ssssssssss 0"} << 30000 / 1001.0
            << "Film with 3:2 pulldown (20 of 20 samples): the "
               "copied lines restore 23.976 frames per second.";
        QTest::newRow("soft pulldown")
            << QStringList{"24 fpfpfpfpfp 0"} << 24000 / 1001.0
            << "Film with soft pulldown (24 of 24 samples): the copied lines keep each film "
               "frame once, at 23.976 frames per second.";
        // PAL has no 3:2 pulldown: two combed frames of five are interlaced video moving little.
        QTest::newRow("PAL, fields that look pulled down")
            << QStringList{"12 pCcRppCcRp -"} << 25.0
            << "Interlaced, bottom field first (12 of 12 samples): the copied lines deinterlace. "
               "Video at 25 or 50 frames per second has no 3:2 pulldown.";
        // At NTSC's rate, combing at random with a field that happens to stay is no pulldown.
        QTest::newRow("NTSC interlaced, little motion")
            << QStringList{"12 cpCRcRRpsC +", "5 sspsspssp 0"} << 30000 / 1001.0
            << "Interlaced, top field first (12 of 17 samples): the copied lines deinterlace.";
        QTest::newRow("50p with repeat flags") << QStringList{"24 fpfpfpfpfp 0"} << 50.0 << "";
        QTest::newRow("progressive, one stray run")
            << QStringList{"23 pppppppppp 0", "1 cccccccccc +"} << 0.0 << QString();
        QTest::newRow("interlaced, some runs with little motion")
            << QStringList{"16 cccccccccc +", "8 pppppppppp 0"} << 30000 / 1001.0
            << "Interlaced, top field first (16 of 24 samples): the copied lines deinterlace.";
        QTest::newRow("static") << QStringList{"24 ssssssssss 0"} << 0.0 << QString();
        QTest::newRow("film with interlaced credits")
            << QStringList{"18 pppppppppp 0", "4 cccccccccc +", "2 pCcRppCcRp +"} << 0.0
            << "Mixed scan, of 24 samples 18 progressive, 4 interlaced, 2 film with pulldown: "
               "the copied lines deinterlace only frames that show combing.";
        QTest::newRow("telecined film with interlaced credits")
            << QStringList{"12 pCcRppCcRp +", "6 cccccccccc +"} << 30000 / 1001.0
            << "Film with 3:2 pulldown in 12 of 18 samples, interlaced video in 6: the copied "
               "lines restore 23.976 frames per second and deinterlace the video.";
        QTest::newRow("interlaced video with film parts")
            << QStringList{"10 cccccccccc +", "8 pppppppppp 0", "6 pCcRppCcRp +"} << 30000 / 1001.0
            << "Mixed scan, of 24 samples 8 progressive, 10 interlaced, 6 film with pulldown: "
               "the copied lines deinterlace only frames that show combing.";
    }

    void scanTypes() {
        QFETCH(QStringList, runs);
        QFETCH(double, rate);
        QFETCH(QString, note);
        std::vector<RunClass> classes;
        std::vector<int> votes;
        for (const QString& r : runs) {
            const QStringList parts = r.split(u' ');
            const int vote = parts[2] == u"+" ? 1 : parts[2] == u"-" ? -1 : 0;
            for (int i = 0; i < parts[0].toInt(); ++i) {
                classes.push_back(ClassifyRun(Run(qPrintable(parts[1]), vote)));
                votes.push_back(vote * int(parts[1].size()));
            }
        }
        QCOMPARE(ScanTypeNote(ClassifyVideo(classes, votes, rate)), note);
    }

    // What the copied lines do with each kind: the field order, the treatment before the crop
    // and the scale, the frame rate kept; ffmpeg's and HandBrake's lines are also judged by the
    // real encoders.
    void encoderSettingsByScanType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("lines"); // without the offsets' and the aspect's lines
        QTest::newRow("interlaced")
            << int(ScanType::Interlaced)
            << "ffmpeg:      -vf "
               "\"bwdif=mode=send_frame:parity=bff,crop=672:432:24:72,scale=672:304,setsar=1\"\n"
               "HandBrake:   --crop 72:72:24:24 --width 672 --height 304 --custom-anamorphic "
               "--pixel-aspect 1:1 --bwdif=mode=3:parity=1\n"
               "AviSynth:    AssumeBFF().QTGMC(Preset=\"Slower\", FPSDivisor=2).Crop(24, 72, "
               "-24, -72).Spline36Resize(672, 304)\n"
               "VapourSynth: core.std.Crop(core.bwdif.Bwdif(clip, field=0), 24, 24, 72, "
               "72).resize.Spline36(672, 304)\n"
               "Interlaced, bottom field first (5 of 6 samples): the copied lines deinterlace.";
        QTest::newRow("hard pulldown")
            << int(ScanType::HardTelecine)
            << "ffmpeg:      -vf "
               "\"fieldmatch=order=bff:combmatch=full:combpel=40,bwdif=mode=send_frame:deint="
               "interlaced,"
               "decimate,crop=672:432:24:72,scale=672:304,setsar=1\"\n"
               "HandBrake:   --crop 72:72:24:24 --width 672 --height 304 --custom-anamorphic "
               "--pixel-aspect 1:1 --detelecine --comb-detect --bwdif --rate 23.976 --cfr\n"
               "AviSynth:    AssumeBFF().TFM().TDecimate().Crop(24, 72, -24, "
               "-72).Spline36Resize(672, 304)\n"
               "VapourSynth: core.std.Crop(core.vivtc.VDecimate(core.vivtc.VFM(clip, order=0, "
               "clip2=core.bwdif.Bwdif(clip, field=0))), 24, 24, 72, 72).resize.Spline36(672, "
               "304)\n"
               "Film with 3:2 pulldown in 5 of 6 samples, interlaced video in 1: the copied "
               "lines restore 23.976 frames per second and deinterlace the video.";
        QTest::newRow("soft pulldown")
            << int(ScanType::SoftTelecine)
            << "ffmpeg:      -vf \"crop=672:432:24:72,scale=672:304,setsar=1\" -r 24000/1001\n"
               "HandBrake:   --crop 72:72:24:24 --width 672 --height 304 --custom-anamorphic "
               "--pixel-aspect 1:1 --rate 23.976 --cfr\n"
               "AviSynth:    AssumeFPS(24000, 1001).Crop(24, 72, -24, -72).Spline36Resize(672, "
               "304)\n"
               "VapourSynth: core.std.Crop(core.std.AssumeFPS(clip, fpsnum=24000, "
               "fpsden=1001), 24, 24, 72, 72).resize.Spline36(672, 304)\n"
               "Film with soft pulldown (5 of 6 samples): the copied lines keep each film "
               "frame once, at 23.976 frames per second.";
        QTest::newRow("mixed")
            << int(ScanType::Mixed)
            << "ffmpeg:      -vf "
               "\"idet,bwdif=mode=send_frame:deint=interlaced,crop=672:432:24:72,scale=672:304,"
               "setsar=1\"\n"
               "HandBrake:   --crop 72:72:24:24 --width 672 --height 304 --custom-anamorphic "
               "--pixel-aspect 1:1 --comb-detect --bwdif\n"
               "AviSynth:    AssumeBFF().TFM().Crop(24, 72, -24, -72).Spline36Resize(672, "
               "304)\n"
               "VapourSynth: core.std.Crop(core.vivtc.VFM(clip, order=0, "
               "clip2=core.bwdif.Bwdif(clip, field=0)), 24, 24, 72, 72).resize.Spline36(672, "
               "304)\n"
               "Mixed scan, of 6 samples 5 progressive, 1 interlaced: the copied lines "
               "deinterlace only frames that show combing.";
    }

    void encoderSettingsByScanType() {
        QFETCH(int, type);
        QFETCH(QString, lines);
        const CropResizeInput in = Edges(7, 71, 712, 504, k169, 200000);
        const ScanResult scan{ScanType(type), false, 5, 6, 1, 0, 0};
        const QStringList text =
            EncoderSettingsText(in, *CalculateCropResizeValues(in), scan).split(u'\n');
        QCOMPARE(text.mid(0, text.size() - 3).join(u'\n'), lines);
    }

    // Interlacing softens a bar's edge over a line or two, which goes with the bar.
    void interlacedBarEdges() {
        QImage picture = Shot({8, 72, 704, 432}, QColor(120, 120, 120));
        for (const auto& [y, level] : {std::pair{70, 10}, {71, 30}, {72, 90}, {503, 90}, {504, 30}})
            QPainter(&picture).fillRect(8, y, 704, 1, QColor(level, level, level));
        const auto edges = [&](bool interlaced) {
            const auto e = DetectBlackBarsAcross(
                               1, [&](int) { return picture; }, interlaced)
                               .edges;
            return QString::asprintf("%d %d", e->top, e->bottom);
        };
        QCOMPARE(edges(false), QStringLiteral("69 505"));
        QCOMPARE(edges(true), QStringLiteral("71 504"));
    }

    // Generated pictures with known bars; each edge must lie on the bar's innermost line or at
    // most 2 lines further out, never in the picture.
    void blackBars_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QString>("expected"); // left top right bottom
        const QRect scene(8, 72, 704, 432);
        // Each pixel of the area a random level from low to high, or that much brighter.
        const auto noise = [](QImage picture, QRect area, int low, int high, bool added = false) {
            QRandomGenerator random(7);
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x) {
                    const int v =
                        random.bounded(low, high + 1) + added * qGray(picture.pixel(x, y));
                    picture.setPixel(x, y, qRgb(v, v, v));
                }
            return picture;
        };
        const auto painted = [&](QImage picture, auto paint) {
            QPainter painter(&picture);
            paint(painter);
            return picture;
        };
        QTest::newRow("letterbox") << Shot({0, 72, 720, 432}) << "0 71 719 504";
        QTest::newRow("pillarbox") << Shot({88, 0, 544, 576}) << "87 0 632 575";
        QTest::newRow("wider bar at the right") << Shot({8, 72, 692, 432}) << "7 71 700 504";
        QTest::newRow("720 x 480")
            << Shot({0, 60, 720, 360}).copy(0, 0, 720, 480) << "0 59 719 420";
        QTest::newRow("dirty inner columns") << painted(Shot({11, 72, 698, 432}), [](QPainter& p) {
            p.fillRect(9, 72, 2, 432, QColor(16, 16, 16));
        }) << "8 71 709 504";
        QTest::newRow("logo in the top bar")
            << painted(Shot(scene), [](QPainter& p) { p.fillRect(600, 30, 20, 12, Qt::white); })
            << "7 29 712 504";
        QImage noisy = Shot(scene);
        for (int i = 0; i < 1000; ++i) // speckle, about ten pixels in each line of a bar
            noisy.setPixel(i * 7919 % 720, i % 2 ? i * 13 % 72 : 504 + i * 17 % 72, ~0u);
        const std::pair<const char*, QImage> sameBars[] = {
            {"both", Shot(scene)},
            {"noisy bars", noisy},
            {"grain everywhere", noise(Shot(scene), {0, 0, 720, 576}, 0, 8, true)},
            {"dark floor", noise(Shot(scene), {8, 374, 704, 130}, 12, 16)},
            {"night sky and moon",
             painted(noise(Shot(scene), {8, 72, 704, 200}, 10, 18),
                     [](QPainter& p) { p.setBrush(Qt::white), p.drawEllipse(300, 80, 40, 40); })},
            {"sky at 18 to 24", noise(Shot(scene), {8, 72, 704, 120}, 18, 24)},
            {"fade", noise(Shot({}), scene, 12, 38)},
            {"signalling line in row 0", painted(Shot(scene),
                                                 [](QPainter& p) {
                                                     for (int x = 0; x < 720; x += 24)
                                                         p.fillRect(x, 0, 12, 1, Qt::white);
                                                 })},
            {"head-switching noise", noise(Shot(scene), {0, 570, 720, 6}, 0, 255)},
            {"black object at a border",
             painted(Shot(scene), [](QPainter& p) { p.fillRect(8, 72, 200, 350, Qt::black); })}};
        for (const auto& [name, picture] : sameBars)
            QTest::newRow(name) << picture << "7 71 712 504";
        QTest::newRow("no bars") << Shot({0, 0, 720, 576}) << "none";
        QTest::newRow("dark sky, no bars")
            << noise(Shot({0, 0, 720, 576}), {0, 0, 720, 150}, 18, 24) << "none";
        QTest::newRow("grey grainy bars")
            << noise(noise(Shot({0, 72, 720, 432}), {0, 0, 720, 72}, 10, 40), {0, 504, 720, 72}, 10,
                     40)
            << "0 71 719 504";
        QImage specks = Shot({0, 72, 720, 432});
        for (const QRect bar : {QRect(0, 0, 720, 72), QRect(0, 504, 720, 72)})
            QPainter(&specks).fillRect(bar, QColor(30, 30, 30));
        for (int y : {0, 504}) // dim bars with black specks: a seventh of their pixels
            for (int x = 0; x < 720 * 72; x += 7)
                specks.setPixel(x % 720, y + x / 720, 0xFF000000);
        QTest::newRow("dim bars, black specks") << specks << "0 71 719 504";
        QTest::newRow("dark line near the border, no bars")
            << painted(noise(Shot({}), {0, 0, 720, 576}, 60, 200),
                       [](QPainter& p) { p.fillRect(0, 3, 720, 1, Qt::black); })
            << "none";
        QTest::newRow("all black") << Shot({}) << "none";
        QTest::newRow("bar on one side only") << Shot({400, 0, 320, 576}) << "none";
    }

    void blackBars() {
        QFETCH(QImage, picture);
        QFETCH(QString, expected);
        const auto e = DetectBlackBars(picture);
        QCOMPARE(e ? QString::asprintf("%d %d %d %d", e->left, e->top, e->right, e->bottom)
                   : QStringLiteral("none"),
                 expected);
    }

    // Each file of the corpus is named after the outcome it must get.
    // A video's frames: the least cut, and what the note says of frames that disagree.
    void barsAcrossFrames_data() {
        QTest::addColumn<QList<QImage>>("frames");
        QTest::addColumn<QString>("expected"); // left top right bottom, or none | note
        const QRect full(0, 0, 720, 576), letterbox(0, 72, 720, 432);
        QList<QImage> mixed, subtitled, logo, blank;
        // Bars within 4 lines of the least count as that: frames 20 and 21 are full.
        for (int i = 0; i < 22; ++i)
            mixed << VideoFrame(i, i < 9 ? letterbox : i < 20 ? full : QRect(0, 3, 720, 570));
        for (int i = 0; i < 24; ++i) {
            // White subtitles whose row nearest the bar's border holds only the short strokes of
            // descenders.
            subtitled << VideoFrame(i, letterbox, [i](QPainter& p) {
                if (i % 3 != 0)
                    return;
                p.fillRect(200, 520, 320, 21, Qt::white);
                for (int x = 204; x < 520; x += 24)
                    p.fillRect(x, 541, 3, 3, Qt::white);
            });
            // The logo is lit in every frame, the last one's subtitle only in that one.
            logo << VideoFrame(i, {0, 12, 720, 552}, [i](QPainter& p) {
                p.fillRect(680, 568, 16, 7, QColor(90, 90, 90));
                if (i == 23)
                    p.fillRect(200, 566, 300, 8, Qt::white);
            });
        }
        blank << VideoFrame(1, letterbox) << Shot(full, Qt::white) << VideoFrame(2, letterbox)
              << Shot(full, Qt::gray);
        for (int line = 0; line < 3; ++line) // credits, white on black
            blank << VideoFrame(3, {}, [line](QPainter& p) {
                for (int y = 100 + 40 * line; y < 500; y += 120)
                    p.fillRect(180 + 10 * line, y, 300, 18, Qt::white);
            });
        QTest::newRow("full frames the most")
            << mixed
            << "none | Mixed aspect: 9 of 22 frames have bars at the top and bottom, the rest "
               "show more picture there; nothing was cut there.";
        QTest::newRow("subtitles in a bar")
            << subtitled
            << "0 71 719 544 | Kept 40 lines at the bottom: subtitles or a logo in the bar in 8 "
               "of 24 frames.";
        QTest::newRow("static logo in a bar")
            << logo
            << "0 11 719 574 | A logo in the bar at the bottom was cut with it. Kept 10 lines at "
               "the bottom: subtitles or a logo in the bar in 1 of 24 frames.";
        QTest::newRow("cards and credits among them") << blank << "0 71 719 504 | ";
    }

    void barsAcrossFrames() {
        QFETCH(QList<QImage>, frames);
        QFETCH(QString, expected);
        const BarsAcrossFrames bars =
            DetectBlackBarsAcross(int(frames.size()), [&](int i) { return frames[i]; });
        const auto& e = bars.edges;
        QCOMPARE((e ? QString::asprintf("%d %d %d %d", e->left, e->top, e->right, e->bottom)
                    : QStringLiteral("none")) +
                     " | " + bars.note,
                 expected);
    }

    void sourceBitmaps_data() {
        QTest::addColumn<QString>("path");
        const QDir dir(QStringLiteral(QUARVEL_BITMAP_CORPUS));
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    void sourceBitmaps() {
        QFETCH(QString, path);
        const SourceBitmap result = LoadSourceBitmap(path);
        const char* outcomes[] = {"accepted", "toolarge", "invalid"};
        QCOMPARE(outcomes[int(result.outcome)],
                 qPrintable(QFileInfo(path).baseName().section(u'-', 0, 0)));
        QCOMPARE(result.picture.isNull(), result.outcome != SourceBitmapOutcome::Accepted);
        QVERIFY(!result.picture.hasAlphaChannel());
    }

    // The new report fails midway (a file size limit holds for root too): the old one stays.
    void reportKeptWhenWritingFails() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Quarvel_Info.txt"));
        QVERIFY(SaveReportFile(path, "old report\r\n"));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit small = previous;
        small.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &small);
        QString reason;
        const bool saved = SaveReportFile(path, QByteArray(4096, 'x'), &reason);
        setrlimit(RLIMIT_FSIZE, &previous);
        QVERIFY(!saved && !reason.isEmpty());
        QCOMPARE(ReadAll(path), QByteArray("old report\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Quarvel_Info.txt"});
        QVERIFY(!SaveReportFile(QStringLiteral("/dev/full"), "report"));
    }

    void reportInFolderWithoutNewFiles() {
        QTemporaryDir dir(QDir::homePath() + QStringLiteral("/.quarvel-test-XXXXXX"));
        const QString path = dir.filePath(QStringLiteral("Quarvel_Info.txt"));
        QVERIFY(SaveReportFile(path, "old"));
        // Root is refused new files only by an immutable folder; others by one without write
        // access.
        const bool root = geteuid() == 0;
        const QString tool = root ? QStringLiteral("chattr") : QStringLiteral("chmod");
        if (QProcess::execute(tool, {root ? "+i" : "a-w", dir.path()}) != 0)
            QSKIP("this file system cannot make a folder refuse new files");
        const bool saved = SaveReportFile(path, "new");
        QProcess::execute(tool, {root ? "-i" : "u+w", dir.path()});
        QVERIFY(saved);
        QCOMPARE(ReadAll(path), QByteArray("new"));
    }
};

QTEST_GUILESS_MAIN(StateTest)
#include "state_test.moc"
