#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What the information report shows, as the window shows it.
struct InfoReportValues {
    QString sourceFileName;
    int sourceWidth = 0;
    int sourceHeight = 0;
    bool aspect16x9 = false;
    QString offsetX1, offsetX2, offsetY1, offsetY2;
    QString newWidth, newHeight;
    QString newAspect, newPixelCount;
};

// The report's 31 lines, without line ends.
QStringList InfoReportLines(const InfoReportValues& values);

// The report as it is written to disk: UTF-8, every line ended by CR LF.
QByteArray InfoReportBytes(const InfoReportValues& values);
