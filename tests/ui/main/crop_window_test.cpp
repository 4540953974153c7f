#include "window_driver.h"

#include "picture_box.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

class CropWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void workedExamples_data();
    void workedExamples();
    void errorState();
    void pixelCountTexts();
    void clicksPlaceEdges();
    void framesOnBlackAndWhite();
};

namespace {
const char* const kOutputs[] = {"txtX1",       "txtX2",        "txtY1",    "txtY2",
                                "txtNewWidth", "txtNewHeight", "lblNewAR", "lblNewPixel"};
}

void CropWindowTest::workedExamples_data() {
    QTest::addColumn<bool>("wide");
    QTest::addColumn<QStringList>("outputs");
    QTest::newRow("4:3") << false
                         << QStringList{"13", "13", "72", "72", "576", "336", "1.71:1", "193536"};
    QTest::newRow("16:9") << true
                          << QStringList{"24", "24", "72", "72", "672", "304", "2.21:1", "204288"};
}

void CropWindowTest::workedExamples() {
    QFETCH(bool, wide);
    QFETCH(QStringList, outputs);
    Session s;
    s.open("source.bmp", screenshot(720, 576));
    if (wide)
        s.control<QRadioButton>("optStretch169")->click();
    clickPicture(s.window, {7, 71});
    // Two edges are still unplaced: nothing is shown yet.
    QCOMPARE(s.text("txtNewWidth"), "0");
    QVERIFY(!s.control<QPushButton>("cmdPreview")->isEnabled());
    clickPicture(s.window, {712, 504});

    QStringList shown;
    for (const char* name : kOutputs)
        shown << s.text(name);
    QCOMPARE(shown, outputs);
    QVERIFY(s.control<QPushButton>("cmdPreview")->isEnabled());
    QVERIFY(s.control<QPushButton>("cmdSaveInfo")->isEnabled());

    // Switching the aspect recalculates at once with the placed edges.
    s.control<QRadioButton>(wide ? "optStretch43" : "optStretch169")->click();
    QCOMPARE(s.text("txtNewHeight"), wide ? "336" : "304");

    // The user's decimal separator.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    s.control<QRadioButton>(wide ? "optStretch169" : "optStretch43")->click();
    QCOMPARE(s.text("lblNewAR"), QString(outputs[6]).replace('.', ','));
}

void CropWindowTest::errorState() {
    Session s;
    s.open("source.bmp", screenshot(720, 576));
    s.control<QRadioButton>("optStretch169")->click();
    s.crop();
    auto* target = s.control<QLineEdit>("txtPixelCount");
    const auto fails = [&](const char* what, const std::function<void()>& action) {
        const QImage before = s.control<PictureBox>("picDraw")->canvas();
        action();
        QStringList shown;
        for (const char* name : kOutputs)
            shown << s.text(name);
        QVERIFY2(shown == QStringList({"0", "0", "0", "0", "ERROR", "ERROR", "", ""}), what);
        QVERIFY(!s.control<QPushButton>("cmdPreview")->isEnabled());
        QVERIFY(!s.control<QPushButton>("cmdSaveInfo")->isEnabled());
        // The picture keeps the frames of the last good calculation.
        QVERIFY2(s.control<PictureBox>("picDraw")->canvas() == before, what);
    };
    fails("target below 256 x A", [&] { target->setText("100"); });
    target->setText("200000");
    clickPicture(s.window, {360, 504});
    fails("no column between the edges", [&] { clickPicture(s.window, {361, 504}); });
    s.crop();
    fails("second try beyond 32 bits", [&] { target->setText("2147483647"); });
}

void CropWindowTest::pixelCountTexts() {
    Session s;
    auto* box = s.control<QLineEdit>("txtPixelCount");
    // Before any edges are placed the value is stored but nothing is shown.
    box->setText("150000");
    QCOMPARE(s.window.state().TargetPixelCount, 150000);
    QCOMPARE(s.text("txtNewWidth"), "0");

    s.open("source.bmp", screenshot(720, 576));
    s.crop();
    box->setText("200000");
    QCOMPARE(s.text("lblNewPixel"), "193536");
    for (const char* ignored : {"abc", "", "-1", "99999999999", "12x"}) {
        box->setText(QLatin1String(ignored));
        QCOMPARE(s.window.state().TargetPixelCount, 200000);
    }
    for (const auto stored : {0, -5}) {
        box->setText(QString::number(stored));
        QCOMPARE(s.window.state().TargetPixelCount, stored);
        QCOMPARE(s.text("lblNewPixel"), "193536"); // idle: the previous results stay
        QVERIFY(s.control<QPushButton>("cmdPreview")->isEnabled());
    }
}

void CropWindowTest::clicksPlaceEdges() {
    Session s;
    clickPicture(s.window, {10, 20}); // no picture yet
    QCOMPARE(s.window.state().CropLeft, -1);

    s.open("source.bmp", screenshot(720, 576));
    clickPicture(s.window, {360, 288});
    QCOMPARE(s.window.state().CropLeft, 360); // half the width still counts as left
    QCOMPARE(s.window.state().CropTop, 288);
    QCOMPARE(s.window.state().CropRight, -1);
    clickPicture(s.window, {361, 289}, Qt::RightButton);
    QCOMPARE(s.window.state().CropRight, 361);
    QCOMPARE(s.window.state().CropBottom, 289);

    // Position halves round to even.
    auto* picture = s.control<PictureBox>("picDraw");
    const QPointF half(10.5, 20.5);
    QMouseEvent press(QEvent::MouseButtonPress, half, picture->mapToGlobal(half), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(picture, &press);
    QCOMPARE(s.window.state().CropLeft, 10);
    QCOMPARE(s.window.state().CropTop, 20);

    // A smaller picture leaves a margin that takes no clicks, not even on the other axis.
    s.open("small.bmp", screenshot(640, 480));
    clickPicture(s.window, {700, 100});
    QCOMPARE(s.window.state().CropRight, -1);
    QCOMPARE(s.window.state().CropTop, -1);
    clickPicture(s.window, {640, 100});
    QCOMPARE(s.window.state().CropRight, 640);
    QCOMPARE(s.window.state().CropTop, 100);
}

void CropWindowTest::framesOnBlackAndWhite() {
    Session s;
    auto* picture = s.control<PictureBox>("picDraw");
    const QColor white(255, 255, 255), grey(160, 160, 160), black(0, 0, 0);
    QImage plain(720, 576, QImage::Format_RGB32);
    plain.fill(Qt::black);
    s.open("dark.bmp", plain);
    s.crop();
    // Clicked edges 7 and 712, trimmed edges 12 and 707: the dotted sides stand alone.
    const QImage& frame = picture->canvas();
    QCOMPARE(frame.pixelColor(7, 73), white);
    QCOMPARE(frame.pixelColor(7, 74), black); // a gap of the dotted line
    QCOMPARE(frame.pixelColor(12, 100), white);
    QCOMPARE(frame.pixelColor(12, 101), white); // solid
    QCOMPARE(frame.pixelColor(707, 300), white);
    // Where a dot lies under the solid top line, the mode applies twice.
    QCOMPARE(frame.pixelColor(101, 71), grey);
    QCOMPARE(frame.pixelColor(100, 71), white);
    for (const QPoint untouched :
         {QPoint(8, 71), QPoint(300, 300), QPoint(6, 300), QPoint(713, 300)})
        QCOMPARE(frame.pixelColor(untouched), black);

    // On screen, one picture pixel is one logical pixel, whatever the device pixel ratio.
    const QImage onScreen = picture->grab().toImage();
    const qreal ratio = onScreen.devicePixelRatio();
    QCOMPARE(onScreen.size(), QSize(720, 576) * ratio);
    QCOMPARE(onScreen.pixelColor(QPoint(7, 73) * ratio), white);
    QCOMPARE(onScreen.pixelColor(QPoint(7, 74) * ratio), black);

    // A second calculation starts from the clean picture.
    clickPicture(s.window, {20, 100});
    QCOMPARE(picture->canvas().pixelColor(7, 73), black);
    QCOMPARE(picture->canvas().pixelColor(101, 71), black);
    QCOMPARE(picture->canvas().pixelColor(20, 102), white);

    plain.fill(Qt::white);
    s.open("bright.bmp", plain); // same size: edges kept, no frame until the next calculation
    QCOMPARE(picture->canvas().pixelColor(20, 102), white);
    s.control<QRadioButton>("optStretch169")->click();
    QCOMPARE(picture->canvas().pixelColor(20, 102), grey);
    QCOMPARE(picture->canvas().pixelColor(20, 103), white);
    QCOMPARE(picture->canvas().pixelColor(s.window.state().FinalCropLeft, 300), grey);
}

QTEST_MAIN(CropWindowTest)
#include "crop_window_test.moc"
