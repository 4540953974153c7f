#include "window_driver.h"

#include "picture_box.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheDefaults();
    void windowAndControls();
    void keyboardOrderAndAccessKeys();
    void resetBringsBackEveryDefault();
    void quitClosesTheWindows();
};

namespace {

void checkDefaults(const frmMain& w) {
    QStringList shown;
    for (const char* name : {"txtPixelCount", "txtVideoLength", "txtSpaceCustom", "txtSpaceCDCount",
                             "txtBitrate", "txtX1", "txtX2", "txtY1", "txtY2", "txtNewWidth",
                             "txtNewHeight", "lblNewAR", "lblNewPixel"})
        shown << text(w, name);
    for (const char* name : {"cmbAudioBitrate", "cmbAudioCount", "cmbSpaceCD"})
        shown << control<QComboBox>(w, name)->currentText();
    QCOMPARE(shown, QStringList({"200000", "90", "650", "1", "870", "0", "0", "0", "0", "0", "0",
                                 "", "", "128", "1", "700"}));
    QVERIFY(!control<QPushButton>(w, "cmdPreview")->isEnabled());
    QVERIFY(!control<QPushButton>(w, "cmdSaveInfo")->isEnabled());
    QVERIFY(control<QRadioButton>(w, "optCalcBitrate")->isChecked());
    QVERIFY(control<QRadioButton>(w, "optSpaceCD")->isChecked());
    QVERIFY(control<QWidget>(w, "fraCalcBitrate")->isVisibleTo(&w));
    QVERIFY(!control<QWidget>(w, "fraCalcDiskspace")->isVisibleTo(&w));
    QVERIFY(!control<QLineEdit>(w, "txtSpaceCustom")->isEnabled());
    QVERIFY(control<QWidget>(w, "picVARN")->isVisibleTo(&w));

    const MainWindowState& s = w.state();
    QCOMPARE((QList<int>{s.CropLeft, s.CropRight, s.CropTop, s.CropBottom, s.TargetPixelCount,
                         s.VideoLength, s.CDCount, s.CustomSpace, s.VideoBitrate}),
             (QList<int>{-1, -1, -1, -1, 200000, 90, 1, 650, 870}));
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
    QVERIFY(control<QRadioButton>(w, "optStretch43")->isChecked());
}

void StartupTest::windowAndControls() {
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(953, 626));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    // The title picture lies over the source picture.
    QCOMPARE(w.childAt(100, 100)->objectName(), "picVARN");
    QCOMPARE(control<PictureBox>(w, "picVARN")->picture().size(), QSize(720, 576));

    const auto* x1 = control<QLineEdit>(w, "txtX1");
    QVERIFY(x1->isReadOnly());
    QCOMPARE(x1->alignment(), Qt::AlignCenter);
    QVERIFY(x1->font().bold());
    QCOMPARE(x1->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(control<QLineEdit>(w, "txtDiskspace")->palette().color(QPalette::Text),
             QColor(0, 0, 255));
    QVERIFY(!control<QComboBox>(w, "cmbSpaceCD")->isEditable());
    QCOMPARE(control<QLineEdit>(w, "txtPixelCount")->accessibleName(), "Target pixel count");
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
    Session s;
    s.open("a.bmp", screenshot(720, 576));
    s.crop();
    QCOMPARE(s.text("txtNewWidth"), "576");
    s.control<QRadioButton>("optStretch169")->click();
    s.control<QRadioButton>("optCalcDiskspace")->click();
    s.control<QRadioButton>("optSpaceCustom")->click();
    s.control<QLineEdit>("txtVideoLength")->setText("120");
    s.control<QComboBox>("cmbAudioCount")->setCurrentIndex(3);

    s.control<QPushButton>("cmdReset")->click();
    checkDefaults(s.window);
    // The source aspect choice and the picture size are kept; the results show the defaults.
    QVERIFY(s.control<QRadioButton>("optStretch169")->isChecked());
    QCOMPARE(s.window.state().SourceWidth, 720);
    QCOMPARE(s.text("txtTargetBitrate"), "959");
    // The calculation stays idle until four new edges are placed.
    s.control<QLineEdit>("txtPixelCount")->setText("150000");
    QCOMPARE(s.text("txtNewWidth"), "0");
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
