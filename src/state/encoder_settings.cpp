#include "state/encoder_settings.h"

#include <QStringList>

#include <tuple>

namespace {

// Lines cut at each side, and what is left.
struct Region {
    int left, top, right, bottom, width, height;
};

Region ScaledRegion(const CropResizeInput& in, const CropResizeResult& r) {
    Region region{};
    region.left = r.finalCropLeft + 1;
    region.top = in.cropTop + 1;
    region.right = in.pictureWidth - r.finalCropRight;
    region.bottom = in.pictureHeight - in.cropBottom;
    region.width = r.finalCropRight - r.finalCropLeft - 1;
    region.height = in.cropBottom - in.cropTop - 1;
    return region;
}

int MadeEven(int offset) {
    return offset % 2 != 0 ? offset + 1 : offset;
}

QString AspectLine(const Region& c, const CropResizeResult& result, QChar decimalPoint) {
    if (c.width < 1 || c.height < 1 || result.pixelAspect <= 0)
        return {};
    const double display = double(c.width) / c.height * result.pixelAspect;
    QString error = QString::asprintf("%+.2f", (result.newAspect / display - 1) * 100);
    if (error == u"-0.00")
        error = QStringLiteral("+0.00");
    return QString::asprintf("display aspect of the crop %.4f:1, output %.4f:1, error ", display,
                             result.newAspect)
               .replace(u'.', decimalPoint) +
           error.replace(u'.', decimalPoint) + QStringLiteral(" %");
}

// What each tool does before the crop, and the plugins that needs.
struct Treatment {
    QString ffmpegFilters, ffmpegOptions, handBrake, aviSynth, vapourSynth, plugins;
};

Treatment TreatmentFor(const ScanResult& scan) {
    const bool tff = scan.topFieldFirst;
    const QString parity = tff ? QStringLiteral("tff") : QStringLiteral("bff");
    const QString assume = tff ? QStringLiteral("AssumeTFF().") : QStringLiteral("AssumeBFF().");
    const QString bwdif = QStringLiteral("core.bwdif.Bwdif(clip, field=%1)").arg(tff ? 1 : 0);
    const QString vfm =
        QStringLiteral("core.vivtc.VFM(clip, order=%1, clip2=%2)").arg(tff ? 1 : 0).arg(bwdif);
    const QString ivtcPlugins =
        QStringLiteral("Plugins: AviSynth TIVTC (TFM, TDecimate); VapourSynth VIVTC (VFM, "
                       "VDecimate) and Bwdif.\n");
    switch (scan.type) {
    case ScanType::Progressive:
        break;
    case ScanType::Interlaced:
        return {QStringLiteral("bwdif=mode=send_frame:parity=%1,").arg(parity),
                {},
                QStringLiteral(" --bwdif=mode=3:parity=%1").arg(tff ? 0 : 1),
                assume + QStringLiteral("QTGMC(Preset=\"Slower\", FPSDivisor=2)."),
                bwdif,
                QStringLiteral("Plugins: AviSynth QTGMC; VapourSynth Bwdif.\n")};
    case ScanType::HardTelecine:
        // Frames that match no field are marked combed, so that bwdif deinterlaces them; a lower
        // combed share than fieldmatch's own catches thin text scrolling in credits.
        return {
            QStringLiteral("fieldmatch=order=%1:combmatch=full:combpel=40,bwdif=mode=send_frame:"
                           "deint=interlaced,decimate,")
                .arg(parity),
            {},
            QStringLiteral(" --detelecine --comb-detect --bwdif --rate 23.976 --cfr"),
            assume + QStringLiteral("TFM().TDecimate()."),
            QStringLiteral("core.vivtc.VDecimate(%1)").arg(vfm),
            ivtcPlugins};
    case ScanType::SoftTelecine:
        return {{},
                QStringLiteral(" -r 24000/1001"),
                QStringLiteral(" --rate 23.976 --cfr"),
                QStringLiteral("AssumeFPS(24000, 1001)."),
                QStringLiteral("core.std.AssumeFPS(clip, fpsnum=24000, fpsden=1001)"),
                QStringLiteral("Open the source without its repeat flags (LWLibavVideoSource or "
                               "DGDecode with Force Film).\n")};
    case ScanType::Mixed:
        return {QStringLiteral("idet,bwdif=mode=send_frame:deint=interlaced,"),
                {},
                QStringLiteral(" --comb-detect --bwdif"),
                assume + QStringLiteral("TFM()."),
                vfm,
                ivtcPlugins};
    }
    return {{}, {}, {}, {}, QStringLiteral("clip"), {}};
}

} // namespace

QString EncoderSettingsText(const CropResizeInput& in, const CropResizeResult& result,
                            const ScanResult& scan) {
    const Region scaled = ScaledRegion(in, result);
    Region c = scaled;
    c.left = MadeEven(c.left);
    c.top = MadeEven(c.top);
    c.right = MadeEven(c.right);
    c.bottom = MadeEven(c.bottom);
    c.width = in.pictureWidth - c.left - c.right;
    c.height = in.pictureHeight - c.top - c.bottom;
    if (c.width < 1 || c.height < 1)
        return {};

    const int w = result.newWidth;
    const int h = result.newHeight;
    const Treatment treat = TreatmentFor(scan);
    QString text =
        QStringLiteral("ffmpeg:      -vf \"%7crop=%1:%2:%3:%4,scale=%5:%6,setsar=1\"%8\n")
            .arg(c.width)
            .arg(c.height)
            .arg(c.left)
            .arg(c.top)
            .arg(w)
            .arg(h)
            .arg(treat.ffmpegFilters, treat.ffmpegOptions) +
        QStringLiteral("HandBrake:   --crop %1:%2:%3:%4 --width %5 --height %6 "
                       "--custom-anamorphic --pixel-aspect 1:1%7\n")
            .arg(c.top)
            .arg(c.bottom)
            .arg(c.left)
            .arg(c.right)
            .arg(w)
            .arg(h)
            .arg(treat.handBrake) +
        QStringLiteral("AviSynth:    %7Crop(%1, %2, -%3, -%4).Spline36Resize(%5, %6)\n")
            .arg(c.left)
            .arg(c.top)
            .arg(c.right)
            .arg(c.bottom)
            .arg(w)
            .arg(h)
            .arg(treat.aviSynth) +
        QStringLiteral("VapourSynth: core.std.Crop(%7, %1, %2, %3, %4).resize.Spline36(%5, %6)\n")
            .arg(c.left)
            .arg(c.right)
            .arg(c.top)
            .arg(c.bottom)
            .arg(w)
            .arg(h)
            .arg(treat.vapourSynth);
    if (const QString found = ScanTypeNote(scan); !found.isEmpty())
        text += found + u'\n' + treat.plugins;

    QStringList evened;
    const std::tuple<const char*, int, int> offsets[] = {{"left", scaled.left, c.left},
                                                         {"right", scaled.right, c.right},
                                                         {"top", scaled.top, c.top},
                                                         {"bottom", scaled.bottom, c.bottom}};
    for (const auto& [side, before, after] : offsets)
        if (before != after)
            evened << QStringLiteral("%1 %2 \u2192 %3")
                          .arg(QLatin1String(side))
                          .arg(before)
                          .arg(after);
    if (!evened.isEmpty())
        text += QStringLiteral("Offsets made even for 4:2:0 video: %1.\n")
                    .arg(evened.join(QStringLiteral(", ")));

    const QString aspect = AspectLine(c, result, u'.');
    if (!aspect.isEmpty())
        text += aspect + u'\n';
    return text;
}

QString AspectErrorText(const CropResizeInput& in, const CropResizeResult& result,
                        QChar decimalPoint) {
    return AspectLine(ScaledRegion(in, result), result, decimalPoint);
}
