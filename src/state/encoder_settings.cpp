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

} // namespace

QString EncoderSettingsText(const CropResizeInput& in, const CropResizeResult& result) {
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
    QString text =
        QStringLiteral("ffmpeg:      -vf \"crop=%1:%2:%3:%4,scale=%5:%6,setsar=1\"\n")
            .arg(c.width)
            .arg(c.height)
            .arg(c.left)
            .arg(c.top)
            .arg(w)
            .arg(h) +
        QStringLiteral("HandBrake:   --crop %1:%2:%3:%4 --width %5 --height %6 "
                       "--custom-anamorphic --pixel-aspect 1:1\n")
            .arg(c.top)
            .arg(c.bottom)
            .arg(c.left)
            .arg(c.right)
            .arg(w)
            .arg(h) +
        QStringLiteral("AviSynth:    Crop(%1, %2, -%3, -%4).Spline36Resize(%5, %6)\n")
            .arg(c.left)
            .arg(c.top)
            .arg(c.right)
            .arg(c.bottom)
            .arg(w)
            .arg(h) +
        QStringLiteral("VapourSynth: core.std.Crop(clip, %1, %2, %3, %4).resize.Spline36(%5, %6)\n")
            .arg(c.left)
            .arg(c.right)
            .arg(c.top)
            .arg(c.bottom)
            .arg(w)
            .arg(h);

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
