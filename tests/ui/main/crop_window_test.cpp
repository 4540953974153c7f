#include "window_driver.h"

#include "picture_box.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

class CropWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void workedExamples_data();
    void workedExamples();
    void errorStateAndRecovery();
    void pixelCountTexts();
    void clicksPlaceEdges();
    void framesOnBlackAndWhite();
    void decimalSeparatorFollowsTheLocale();

private:
    void load(const QImage& picture);
    QTemporaryDir* m_dir = nullptr;
    frmMain* m_window = nullptr;
    DialogAnswers* m_dialogs = nullptr;
};

void CropWindowTest::init() {
    m_dir = new QTemporaryDir;
    m_window = new frmMain;
    m_dialogs = new DialogAnswers(*m_window);
}

void CropWindowTest::cleanup() {
    QLocale::setDefault(QLocale::c());
    delete m_dialogs;
    delete m_window;
    delete m_dir;
}

void CropWindowTest::load(const QImage& picture) {
    openBitmap(*m_window, *m_dialogs, saveBitmap(*m_dir, "source.bmp", picture));
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
    frmMain& w = *m_window;
    load(screenshot(720, 576));
    if (wide)
        control<QRadioButton>(w, "optStretch169")->click();
    clickPicture(w, {7, 71});
    // Two edges are still unplaced: nothing is shown yet.
    QCOMPARE(text(w, "txtNewWidth"), "0");
    QVERIFY(!control<QPushButton>(w, "cmdPreview")->isEnabled());
    clickPicture(w, {712, 504});

    QStringList shown;
    for (const char* name : {"txtX1", "txtX2", "txtY1", "txtY2", "txtNewWidth", "txtNewHeight",
                             "lblNewAR", "lblNewPixel"})
        shown << text(w, name);
    QCOMPARE(shown, outputs);
    QVERIFY(control<QPushButton>(w, "cmdPreview")->isEnabled());
    QVERIFY(control<QPushButton>(w, "cmdSaveInfo")->isEnabled());

    // Switching the aspect recalculates at once with the placed edges.
    control<QRadioButton>(w, wide ? "optStretch43" : "optStretch169")->click();
    QCOMPARE(text(w, "txtNewHeight"), wide ? "336" : "304");
}

void CropWindowTest::errorStateAndRecovery() {
    frmMain& w = *m_window;
    load(screenshot(720, 576));
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});
    const QImage framed = control<PictureBox>(w, "picDraw")->canvas();

    control<QLineEdit>(w, "txtPixelCount")->setText("100");
    for (const char* zero : {"txtX1", "txtX2", "txtY1", "txtY2"})
        QCOMPARE(text(w, zero), "0");
    QCOMPARE(text(w, "txtNewWidth"), "ERROR");
    QCOMPARE(text(w, "txtNewHeight"), "ERROR");
    QCOMPARE(text(w, "lblNewAR"), "");
    QCOMPARE(text(w, "lblNewPixel"), "");
    QVERIFY(!control<QPushButton>(w, "cmdPreview")->isEnabled());
    QVERIFY(!control<QPushButton>(w, "cmdSaveInfo")->isEnabled());
    // The picture keeps the frames of the last good calculation.
    QCOMPARE(control<PictureBox>(w, "picDraw")->canvas(), framed);

    // Neighbouring edges: w = 0.
    control<QLineEdit>(w, "txtPixelCount")->setText("200000");
    QCOMPARE(text(w, "txtNewWidth"), "576");
    clickPicture(w, {360, 504}); // CropLeft 360
    clickPicture(w, {361, 504}); // CropRight 361: no column between
    QCOMPARE(text(w, "txtNewWidth"), "ERROR");

    // A target whose second try overflows 32 bits.
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});
    control<QRadioButton>(w, "optStretch169")->click();
    control<QLineEdit>(w, "txtPixelCount")->setText("2147483647");
    QCOMPARE(text(w, "txtNewWidth"), "ERROR");
}

void CropWindowTest::pixelCountTexts() {
    frmMain& w = *m_window;
    auto* box = control<QLineEdit>(w, "txtPixelCount");
    // Before any edges are placed the value is stored but nothing is shown.
    box->setText("150000");
    QCOMPARE(w.state().TargetPixelCount, 150000);
    QCOMPARE(text(w, "txtNewWidth"), "0");

    load(screenshot(720, 576));
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});
    box->setText("200000");
    QCOMPARE(text(w, "lblNewPixel"), "193536");
    for (const char* ignored : {"abc", "", "-1", "99999999999", "12x"}) {
        box->setText(QLatin1String(ignored));
        QCOMPARE(w.state().TargetPixelCount, 200000);
        QCOMPARE(text(w, "lblNewPixel"), "193536");
    }
    for (const auto stored : {0, -5}) {
        box->setText(QString::number(stored));
        QCOMPARE(w.state().TargetPixelCount, stored);
        QCOMPARE(text(w, "lblNewPixel"), "193536"); // idle: previous results stay
        QVERIFY(control<QPushButton>(w, "cmdPreview")->isEnabled());
    }
    box->setText(" 200000.4 ");
    QCOMPARE(w.state().TargetPixelCount, 200000);
}

void CropWindowTest::clicksPlaceEdges() {
    frmMain& w = *m_window;
    // Clicks before a picture is loaded place nothing.
    clickPicture(w, {10, 20});
    QCOMPARE(w.state().CropLeft, -1);

    load(screenshot(720, 576));
    clickPicture(w, {360, 288});
    QCOMPARE(w.state().CropLeft, 360); // half the width still counts as left
    QCOMPARE(w.state().CropTop, 288);
    QCOMPARE(w.state().CropRight, -1);
    clickPicture(w, {361, 289}, Qt::RightButton);
    QCOMPARE(w.state().CropRight, 361);
    QCOMPARE(w.state().CropBottom, 289);

    // Position halves round to even.
    auto* picture = control<PictureBox>(w, "picDraw");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10.5, 20.5),
                      picture->mapToGlobal(QPointF(10.5, 20.5)), Qt::LeftButton, Qt::LeftButton,
                      {});
    QApplication::sendEvent(picture, &press);
    QCOMPARE(w.state().CropLeft, 10);
    QCOMPARE(w.state().CropTop, 20);

    // A smaller picture leaves a margin that takes no clicks, not even on the other axis.
    load(screenshot(640, 480));
    clickPicture(w, {700, 100});
    QCOMPARE(w.state().CropRight, -1);
    QCOMPARE(w.state().CropTop, -1);
    clickPicture(w, {640, 100});
    QCOMPARE(w.state().CropRight, 640);
    QCOMPARE(w.state().CropTop, 100);
}

void CropWindowTest::framesOnBlackAndWhite() {
    frmMain& w = *m_window;
    auto* picture = control<PictureBox>(w, "picDraw");
    const QColor white(255, 255, 255), grey(160, 160, 160), black(0, 0, 0);

    QImage dark(720, 576, QImage::Format_RGB32);
    dark.fill(Qt::black);
    load(dark);
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});
    // Clicked edges 7 and 712, trimmed edges 12 and 707: the dotted sides stand alone.
    const QImage& frame = picture->canvas();
    QCOMPARE(frame.pixelColor(7, 73), white);
    QCOMPARE(frame.pixelColor(7, 74), black); // a gap of the dotted line
    QCOMPARE(frame.pixelColor(7, 75), white);
    QCOMPARE(frame.pixelColor(12, 100), white); // solid trimmed edge
    QCOMPARE(frame.pixelColor(12, 101), white);
    QCOMPARE(frame.pixelColor(707, 300), white);
    // Both frames share the top line between the trimmed edges: where a dot lies under the
    // solid line the mode applies twice.
    QCOMPARE(frame.pixelColor(101, 71), grey);
    QCOMPARE(frame.pixelColor(100, 71), white);
    QCOMPARE(frame.pixelColor(9, 71), white); // dotted only
    QCOMPARE(frame.pixelColor(8, 71), black);
    QCOMPARE(frame.pixelColor(300, 300), black);
    QCOMPARE(frame.pixelColor(6, 300), black);
    QCOMPARE(frame.pixelColor(713, 300), black);

    // A second calculation starts from the clean picture.
    clickPicture(w, {20, 100});
    QCOMPARE(picture->canvas().pixelColor(7, 73), black);
    QCOMPARE(picture->canvas().pixelColor(101, 71), black);
    QCOMPARE(picture->canvas().pixelColor(20, 102), white);

    QImage bright(720, 576, QImage::Format_RGB32);
    bright.fill(Qt::white);
    load(bright); // same size: edges kept, no frame until the next calculation
    QCOMPARE(picture->canvas().pixelColor(20, 102), white);
    control<QRadioButton>(w, "optStretch169")->click();
    const int left = w.state().CropLeft;
    QCOMPARE(picture->canvas().pixelColor(left, 102), grey);
    QCOMPARE(picture->canvas().pixelColor(left, 103), white);
    QCOMPARE(picture->canvas().pixelColor(w.state().FinalCropLeft, 300), grey);
}

void CropWindowTest::decimalSeparatorFollowsTheLocale() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    frmMain& w = *m_window;
    load(screenshot(720, 576));
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});
    QCOMPARE(text(w, "lblNewAR"), "1,71:1");
    control<QLineEdit>(w, "txtPixelCount")->setText("150000,5");
    QCOMPARE(w.state().TargetPixelCount, 150000);
}

QTEST_MAIN(CropWindowTest)
#include "crop_window_test.moc"
