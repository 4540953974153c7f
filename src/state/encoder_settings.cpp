#include "state/encoder_settings.h"

#include <QStringList>

namespace {

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

} // namespace

QString EncoderSettingsText(const CropResizeInput& in, const CropResizeResult& result) {
    const Region c = ScaledRegion(in, result);
    const int w = result.newWidth;
    const int h = result.newHeight;
    QString text =
        QStringLiteral("ffmpeg:      -vf \"crop=%1:%2:%3:%4,scale=%5:%6\"\n")
            .arg(c.width)
            .arg(c.height)
            .arg(c.left)
            .arg(c.top)
            .arg(w)
            .arg(h) +
        QStringLiteral("HandBrake:   --crop %1:%2:%3:%4 --width %5 --height %6\n")
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

    QStringList odd;
    const std::pair<const char*, int> offsets[] = {
        {"left", c.left}, {"right", c.right}, {"top", c.top}, {"bottom", c.bottom}};
    for (const auto& [side, value] : offsets)
        if (value % 2 != 0)
            odd << QStringLiteral("%1 %2").arg(QLatin1String(side)).arg(value);
    if (!odd.isEmpty())
        text += QStringLiteral("Odd offsets (%1): 4:2:0 video is cropped by even numbers, so the "
                               "encoder may shift the picture by one pixel.\n")
                    .arg(odd.join(QStringLiteral(", ")));

    const QString aspect = AspectErrorText(in, result);
    if (!aspect.isEmpty())
        text += aspect + u'\n';
    return text;
}

QString AspectErrorText(const CropResizeInput& in, const CropResizeResult& result) {
    const Region c = ScaledRegion(in, result);
    if (c.width < 1 || c.height < 1 || result.pixelAspect <= 0)
        return {};
    const double display = double(c.width) / c.height * result.pixelAspect;
    QString error = QString::asprintf("%+.2f", (result.newAspect / display - 1) * 100);
    if (error == u"-0.00")
        error = QStringLiteral("+0.00");
    return QString::asprintf("display aspect of the crop %.4f:1, output %.4f:1, error ", display,
                             result.newAspect) +
           error + QStringLiteral(" %");
}
