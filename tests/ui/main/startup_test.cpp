#include "window_driver.h"

#include "picture_box.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheDefaults();
    void layoutFollowsThePixelPlan();
    void keyboardOrderAndAccessKeys();
    void resetBringsBackEveryDefault();
    void quitClosesTheWindows();
};

namespace {

void checkDefaults(const frmMain& w) {
    QCOMPARE(control<QComboBox>(w, "cmbAudioBitrate")->currentText(), "128");
    QCOMPARE(control<QComboBox>(w, "cmbAudioCount")->currentText(), "1");
    QCOMPARE(control<QComboBox>(w, "cmbSpaceCD")->currentText(), "700");
    QCOMPARE(text(w, "txtPixelCount"), "200000");
    QCOMPARE(text(w, "txtVideoLength"), "90");
    QCOMPARE(text(w, "txtSpaceCustom"), "650");
    QCOMPARE(text(w, "txtSpaceCDCount"), "1");
    QCOMPARE(text(w, "txtBitrate"), "870");
    for (const char* zero : {"txtX1", "txtX2", "txtY1", "txtY2", "txtNewWidth", "txtNewHeight"})
        QCOMPARE(text(w, zero), "0");
    QCOMPARE(text(w, "lblNewAR"), "");
    QCOMPARE(text(w, "lblNewPixel"), "");
    QVERIFY(!control<QPushButton>(w, "cmdPreview")->isEnabled());
    QVERIFY(!control<QPushButton>(w, "cmdSaveInfo")->isEnabled());
    QVERIFY(control<QRadioButton>(w, "optCalcBitrate")->isChecked());
    QVERIFY(control<QRadioButton>(w, "optSpaceCD")->isChecked());
    QVERIFY(control<QWidget>(w, "fraCalcBitrate")->isVisibleTo(&w));
    QVERIFY(!control<QWidget>(w, "fraCalcDiskspace")->isVisibleTo(&w));
    QVERIFY(!control<QLineEdit>(w, "txtSpaceCustom")->isEnabled());
    QVERIFY(control<QLineEdit>(w, "txtSpaceCDCount")->isEnabled());
    QVERIFY(control<QWidget>(w, "picVARN")->isVisibleTo(&w));

    const MainWindowState& s = w.state();
    QCOMPARE(s.CropLeft, -1);
    QCOMPARE(s.CropRight, -1);
    QCOMPARE(s.CropTop, -1);
    QCOMPARE(s.CropBottom, -1);
    QCOMPARE(s.TargetPixelCount, 200000);
    QCOMPARE(s.VideoLength, 90);
    QCOMPARE(s.CDCount, 1);
    QCOMPARE(s.CustomSpace, 650);
    QCOMPARE(s.VideoBitrate, 870);
    QVERIFY(!s.BitmapLoaded);
    QVERIFY(s.LoadComplete);
}

} // namespace

void StartupTest::startsWithTheDefaults() {
    frmMain w;
    checkDefaults(w);
    QCOMPARE(w.windowTitle(), "Quarvel 1.0");
    // The bitrate mode's result for the defaults; the file-size outputs are not computed yet.
    QCOMPARE(text(w, "txtTargetBitrate"), "959");
    QCOMPARE(text(w, "txtDiskspace"), "");
    QCOMPARE(text(w, "lblNeededCDs"), "NeededCDs");
    QCOMPARE(control<QComboBox>(w, "cmbAudioBitrate")->count(), 12);
    QCOMPARE(control<QComboBox>(w, "cmbAudioCount")->count(), 5);
    QCOMPARE(control<QComboBox>(w, "cmbSpaceCD")->count(), 4);
    QVERIFY(control<QRadioButton>(w, "optStretch43")->isChecked());
    QCOMPARE(w.state().SourceWidth, 0);
    QCOMPARE(w.state().SourceFileName, "");
}

void StartupTest::layoutFollowsThePixelPlan() {
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(953, 626));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));

    const struct {
        const char* name;
        QRect place;
    } places[] = {
        {"picVARN", {8, 8, 721, 577}},           {"picDraw", {8, 8, 720, 576}},
        {"cmdOpenBMP", {8, 592, 97, 25}},        {"cmdQuit", {632, 592, 97, 25}},
        {"fraCropResize", {736, 8, 209, 289}},   {"fraBitrate", {736, 312, 209, 305}},
        {"txtPixelCount", {16, 48, 89, 21}},     {"txtY2", {160, 128, 33, 21}},
        {"cmbAudioBitrate", {136, 128, 57, 21}}, {"txtSpaceCDCount", {24, 8, 25, 21}},
        {"lblNeededCDs", {80, 88, 113, 17}},     {"fraCalcDiskspace", {8, 168, 193, 129}},
    };
    for (const auto& p : places)
        QCOMPARE(control<QWidget>(w, p.name)->geometry(), p.place);
    // Auto-size labels take the height of one line.
    QCOMPARE(control<QLabel>(w, "lblX1")->height(), 13);

    // The title picture lies over the source picture.
    QCOMPARE(w.childAt(100, 100)->objectName(), "picVARN");
    const auto* title = control<PictureBox>(w, "picVARN");
    QCOMPARE(title->picture().size(), QSize(720, 576));

    const auto* x1 = control<QLineEdit>(w, "txtX1");
    QVERIFY(x1->isReadOnly());
    QCOMPARE(x1->alignment(), Qt::AlignCenter);
    QVERIFY(x1->font().bold());
    QCOMPARE(x1->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(control<QLineEdit>(w, "txtDiskspace")->palette().color(QPalette::Text),
             QColor(0, 0, 255));
    QVERIFY(!control<QComboBox>(w, "cmbSpaceCD")->isEditable());
    QCOMPARE(control<QRadioButton>(w, "optSpaceCD")->text(), QStringLiteral("         CD(s) à"));
    QCOMPARE(control<QPushButton>(w, "cmdReset")->toolTip(),
             "reset crop/resize and bitrate calculator values");
    QCOMPARE(control<QLineEdit>(w, "txtPixelCount")->accessibleName(), "Target pixel count");
    QCOMPARE(control<QPushButton>(w, "cmdOpenBMP")->accessibleName(), "Open BMP ...");
}

void StartupTest::keyboardOrderAndAccessKeys() {
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QStringList expected = {"cmdOpenBMP", "cmdReset",      "cmdHelp",
                                  "cmdQuit",    "txtPixelCount", "optStretch43"};
    control<QWidget>(w, "cmdOpenBMP")->setFocus();
    QStringList seen = {QApplication::focusWidget()->objectName()};
    // Preview and Save are disabled and skipped.
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(seen, expected);

    QTest::keyClick(&w, Qt::Key_B, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), "optCalcBitrate");
    QTest::keyClick(&w, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), "txtPixelCount");

    QSignalSpy reset(control<QPushButton>(w, "cmdReset"), &QPushButton::clicked);
    QTest::keyClick(&w, Qt::Key_R, Qt::AltModifier);
    QTRY_COMPARE(reset.count(), 1);
}

void StartupTest::resetBringsBackEveryDefault() {
    QTemporaryDir dir;
    frmMain w;
    DialogAnswers dialogs(w);
    openBitmap(w, dialogs, saveBitmap(dir, "a.bmp", screenshot(720, 576)));
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});
    QCOMPARE(text(w, "txtNewWidth"), "576");
    control<QRadioButton>(w, "optStretch169")->click();
    control<QRadioButton>(w, "optCalcDiskspace")->click();
    control<QRadioButton>(w, "optSpaceCustom")->click();
    control<QLineEdit>(w, "txtVideoLength")->setText("120");
    control<QComboBox>(w, "cmbAudioCount")->setCurrentIndex(3);

    control<QPushButton>(w, "cmdReset")->click();
    checkDefaults(w);
    // The source aspect choice and the picture size are kept; the results show the defaults.
    QVERIFY(control<QRadioButton>(w, "optStretch169")->isChecked());
    QCOMPARE(w.state().SourceWidth, 720);
    QCOMPARE(text(w, "txtTargetBitrate"), "959");
    // The calculation stays idle until four new edges are placed.
    control<QLineEdit>(w, "txtPixelCount")->setText("150000");
    QCOMPARE(text(w, "txtNewWidth"), "0");
}

void StartupTest::quitClosesTheWindows() {
    frmMain w;
    w.show();
    control<QPushButton>(w, "cmdHelp")->click();
    QWidget* about = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmHelp" && top->isVisible())
            about = top;
    QVERIFY(about);
    QPointer<QWidget> aboutWindow = about;
    control<QPushButton>(w, "cmdQuit")->click();
    QVERIFY(!w.isVisible());
    QTRY_VERIFY(aboutWindow.isNull() || !aboutWindow->isVisible());
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
