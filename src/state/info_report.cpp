#include "state/info_report.h"

QStringList InfoReportLines(const InfoReportValues& v) {
    const QString rule(60, u'-');
    const QString tab(u'\t');
    return {
        rule,
        QStringLiteral(" Quarvel"),
        rule,
        QString(),
        QStringLiteral("Source Bitmap"),
        QStringLiteral("============="),
        QStringLiteral("file name: ") + tab + v.sourceFileName,
        QStringLiteral("format:") + tab + tab + QString::number(v.sourceWidth) + u'x' +
            QString::number(v.sourceHeight),
        v.aspect16x9 ? QStringLiteral("ascpect ratio:") + tab + QStringLiteral("16:9")
                     : QStringLiteral("aspect ratio:") + tab + QStringLiteral("4:3"),
        QString(),
        QStringLiteral("Crop Settings"),
        QStringLiteral("============="),
        QStringLiteral("X1 offset:") + tab + v.offsetX1,
        QStringLiteral("X2 offset:") + tab + v.offsetX2,
        QStringLiteral("Y1 offset:") + tab + v.offsetY1,
        QStringLiteral("Y2 offset:") + tab + v.offsetY2,
        QString(),
        QStringLiteral("Resize Settings"),
        QStringLiteral("==============="),
        QStringLiteral("new width:") + tab + v.newWidth,
        QStringLiteral("new height:") + tab + v.newHeight,
        QString(),
        QStringLiteral("Target Info"),
        QStringLiteral("==========="),
        QStringLiteral("aspect ratio:") + tab + v.newAspect,
        QStringLiteral("pixel count:") + tab + v.newPixelCount,
        QString(),
        rule,
        QStringLiteral(" made by the Quarvel developers"),
        QStringLiteral(" project home: the Quarvel source repository"),
        rule,
    };
}

QByteArray InfoReportBytes(const InfoReportValues& values) {
    QByteArray bytes;
    for (const QString& line : InfoReportLines(values)) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}
