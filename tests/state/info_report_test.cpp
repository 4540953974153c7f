#include "info_report.h"

#include <gtest/gtest.h>

namespace {

InfoReportValues workedExample() {
    InfoReportValues v;
    v.sourceFileName = QStringLiteral("/home/user/dvd/shot.bmp");
    v.sourceWidth = 720;
    v.sourceHeight = 576;
    v.offsetX1 = QStringLiteral("13");
    v.offsetX2 = QStringLiteral("13");
    v.offsetY1 = QStringLiteral("72");
    v.offsetY2 = QStringLiteral("72");
    v.newWidth = QStringLiteral("576");
    v.newHeight = QStringLiteral("336");
    v.newAspect = QStringLiteral("1.71:1");
    v.newPixelCount = QStringLiteral("193536");
    return v;
}

const QByteArray kRule(60, '-');

QByteArray expectedReport(const QByteArray& aspectLine) {
    const QByteArray footer = InfoReportLines({}).mid(28, 2).join(u'\n').toUtf8();
    QByteArray text = kRule + "\r\n Quarvel\r\n" + kRule +
                      "\r\n\r\nSource Bitmap\r\n=============\r\n"
                      "file name: \t/home/user/dvd/shot.bmp\r\n"
                      "format:\t\t720x576\r\n" +
                      aspectLine +
                      "\r\n\r\nCrop Settings\r\n=============\r\n"
                      "X1 offset:\t13\r\nX2 offset:\t13\r\nY1 offset:\t72\r\nY2 offset:\t72\r\n"
                      "\r\nResize Settings\r\n===============\r\n"
                      "new width:\t576\r\nnew height:\t336\r\n"
                      "\r\nTarget Info\r\n===========\r\n"
                      "aspect ratio:\t1.71:1\r\npixel count:\t193536\r\n\r\n" +
                      kRule + "\r\n";
    return text + QByteArray(footer).replace('\n', "\r\n") + "\r\n" + kRule + "\r\n";
}

TEST(InfoReport, WorkedExampleByteForByte) {
    EXPECT_EQ(InfoReportBytes(workedExample()), expectedReport("aspect ratio:\t4:3"));
    InfoReportValues wide = workedExample();
    wide.aspect16x9 = true;
    EXPECT_EQ(InfoReportBytes(wide), expectedReport("ascpect ratio:\t16:9"));
}

TEST(InfoReport, ThirtyOneLinesEachEndedByCrLf) {
    const QByteArray bytes = InfoReportBytes(workedExample());
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 31);
    EXPECT_EQ(bytes.count('\n'), 31);
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    ASSERT_EQ(lines.size(), 31);
    for (const int empty : {4, 10, 17, 22, 27})
        EXPECT_EQ(lines[empty - 1], "\r") << empty;
    // Footer: who made it and where the project lives, each after one blank.
    EXPECT_TRUE(lines[28].startsWith(" ") && lines[28].contains("Quarvel"));
    EXPECT_TRUE(lines[29].startsWith(" ") && lines[29].size() > 2);
    // Every underline is as long as its heading.
    for (const int heading : {5, 11, 18, 23})
        EXPECT_EQ(lines[heading].size(), lines[heading - 1].size()) << heading;
}

TEST(InfoReport, NonAsciiPathIsWrittenAsUtf8) {
    InfoReportValues v = workedExample();
    v.sourceFileName = QStringLiteral("/home/jürgen/Filmé.bmp");
    EXPECT_TRUE(
        InfoReportBytes(v).contains("file name: \t/home/j\xc3\xbcrgen/Film\xc3\xa9.bmp\r\n"));
}

} // namespace
