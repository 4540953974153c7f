#include "window_driver.h"

#include "input_colours.h"
#include "number_text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class BitrateWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void workedValues();
    void typingOneCharacterAtATime();
    void ignoredAndStoredTexts();
    void failuresInBothModes();
    void modesAndTargetKinds();
    void keyInAListRecalculatesWithThePreviousSelectionFirst();
    void badTextInEveryBox_data();
    void badTextInEveryBox();

private:
    frmMain* m_window = nullptr;
    QLineEdit* box(const char* name) { return control<QLineEdit>(*m_window, name); }
    QComboBox* list(const char* name) { return control<QComboBox>(*m_window, name); }
    void choose(const char* option) { control<QRadioButton>(*m_window, option)->click(); }
};

void BitrateWindowTest::init() {
    m_window = new frmMain;
}
void BitrateWindowTest::cleanup() {
    delete m_window;
}

void BitrateWindowTest::workedValues() {
    frmMain& w = *m_window;
    QCOMPARE(text(w, "txtTargetBitrate"), "959");
    choose("optSpaceCustom");
    QCOMPARE(text(w, "txtTargetBitrate"), "882");
    choose("optSpaceCD");
    box("txtSpaceCDCount")->setText("2");
    QCOMPARE(text(w, "txtTargetBitrate"), "2047");
    box("txtVideoLength")->setText("120");
    list("cmbAudioCount")->setCurrentIndex(2);
    list("cmbAudioBitrate")->setCurrentText("192");
    QCOMPARE(text(w, "txtTargetBitrate"), "1247");

    control<QPushButton>(w, "cmdReset")->click();
    choose("optCalcDiskspace");
    QCOMPARE(text(w, "txtDiskspace"), "642");
    QCOMPARE(text(w, "lblNeededCDs"), QStringLiteral("1 CD à 650 MB"));
    QTest::keyClicks(box("txtBitrate"), "0"); // 8700
    box("txtBitrate")->setText("4000");
    QCOMPARE(text(w, "txtDiskspace"), "2657");
    QCOMPARE(text(w, "lblNeededCDs"), QStringLiteral("4 CDs à 700 MB"));
    // The bitrate result of the other mode is kept.
    QCOMPARE(text(w, "txtTargetBitrate"), "959");
}

void BitrateWindowTest::typingOneCharacterAtATime() {
    frmMain& w = *m_window;
    box("txtVideoLength")->clear();
    QCOMPARE(w.state().VideoLength, 90);
    QCOMPARE(text(w, "txtTargetBitrate"), "959");
    QStringList results;
    for (const char key : QByteArray("120")) {
        QTest::keyClicks(box("txtVideoLength"), QString(QChar(key)));
        results << QString::number(w.state().VideoLength) + "=" + text(w, "txtTargetBitrate");
    }
    // 1 minute: 700 MB / 60 s; 12 minutes; 120 minutes.
    QCOMPARE(results, QStringList({"1=97739", "12=8028", "120=688"}));
}

void BitrateWindowTest::ignoredAndStoredTexts() {
    frmMain& w = *m_window;
    box("txtSpaceCDCount")->setText("-1");
    QCOMPARE(w.state().CDCount, 1);
    QCOMPARE(text(w, "txtTargetBitrate"), "959");
    box("txtSpaceCDCount")->setText("-2");
    QCOMPARE(w.state().CDCount, -2);
    QCOMPARE(text(w, "txtTargetBitrate"), "ERROR");
    box("txtSpaceCDCount")->setText("abc");
    box("txtSpaceCDCount")->setText("2147483648");
    QCOMPARE(w.state().CDCount, -2);
    box("txtSpaceCDCount")->setText("3");

    // Custom and back: the CD count is kept and used at once.
    choose("optSpaceCustom");
    QVERIFY(!box("txtSpaceCDCount")->isEnabled());
    QVERIFY(!list("cmbSpaceCD")->isEnabled());
    QCOMPARE(box("txtSpaceCDCount")->palette().color(QPalette::Disabled, QPalette::Base),
             buttonFace());
    QCOMPARE(box("txtSpaceCustom")->palette().color(QPalette::Active, QPalette::Base),
             QColor(Qt::white));
    QCOMPARE(w.state().CDCount, 3);
    choose("optSpaceCD");
    QCOMPARE(text(w, "txtTargetBitrate"), "3134"); // 2100 MB over 90 minutes
    QVERIFY(!box("txtSpaceCustom")->isEnabled());

    // A changed video bitrate is stored in bitrate mode but not used there.
    box("txtBitrate")->setText("1000");
    QCOMPARE(w.state().VideoBitrate, 1000);
    QCOMPARE(text(w, "txtTargetBitrate"), "3134");
}

void BitrateWindowTest::failuresInBothModes() {
    frmMain& w = *m_window;
    box("txtVideoLength")->setText("0");
    QCOMPARE(text(w, "txtTargetBitrate"), "ERROR");
    QCOMPARE(text(w, "txtDiskspace"), "");
    choose("optCalcDiskspace");
    QCOMPARE(text(w, "txtDiskspace"), "ERROR");
    QCOMPARE(text(w, "lblNeededCDs"), "");
    box("txtVideoLength")->setText("90");
    QCOMPARE(text(w, "txtDiskspace"), "642");
    box("txtBitrate")->setText("-1000");
    QCOMPARE(text(w, "txtDiskspace"), "-561");
    QCOMPARE(text(w, "lblNeededCDs"), QStringLiteral("1 CD à 650 MB"));

    box("txtVideoLength")->setText("35791395");
    QCOMPARE(text(w, "txtDiskspace"), "ERROR");
    QCOMPARE(text(w, "txtTargetBitrate"), "ERROR");
    QCOMPARE(text(w, "lblNeededCDs"), "");
    box("txtVideoLength")->setText("35791394");
    QCOMPARE(text(w, "txtDiskspace"), "-223231999");
    QCOMPARE(text(w, "txtTargetBitrate"), "ERROR");
}

void BitrateWindowTest::modesAndTargetKinds() {
    frmMain& w = *m_window;
    auto* bitrateFrame = control<QWidget>(w, "fraCalcBitrate");
    auto* sizeFrame = control<QWidget>(w, "fraCalcDiskspace");
    choose("optCalcDiskspace");
    QVERIFY(!bitrateFrame->isVisibleTo(&w));
    QVERIFY(sizeFrame->isVisibleTo(&w));
    choose("optCalcBitrate");
    QVERIFY(bitrateFrame->isVisibleTo(&w));
    QVERIFY(!sizeFrame->isVisibleTo(&w));
}

void BitrateWindowTest::keyInAListRecalculatesWithThePreviousSelectionFirst() {
    frmMain& w = *m_window;
    QComboBox* sizes = list("cmbSpaceCD");
    QStringList seenByKey;
    // The result box shows what each run computed; look at it as the key arrives.
    struct Watcher : QObject {
        QLineEdit* result;
        QStringList* seen;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress)
                *seen << result->text();
            return false;
        }
    } watcher;
    watcher.result = box("txtTargetBitrate");
    watcher.seen = &seenByKey;

    box("txtSpaceCDCount")->setText("2");
    sizes->installEventFilter(&watcher); // runs after the window's own filter
    sizes->setFocus();
    QTest::keyClick(sizes, Qt::Key_Down);
    QCOMPARE(sizes->currentText(), "800");
    QCOMPARE(seenByKey, QStringList{"2047"}); // 2 x 700 MB, computed before the key moved on
    QCOMPARE(text(w, "txtTargetBitrate"), "2358");
}

void BitrateWindowTest::badTextInEveryBox_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("stored");
    QTest::newRow("very long") << QString(5000, u'7') << false;
    QTest::newRow("arabic digits") << QStringLiteral("\u0661\u0662") << false;
    QTest::newRow("sign alone") << QStringLiteral("-") << false;
    QTest::newRow("spaces alone") << QStringLiteral("    ") << false;
    QTest::newRow("upper limit") << QStringLiteral("2147483647") << true;
    QTest::newRow("beyond upper") << QStringLiteral("2147483648") << false;
    QTest::newRow("lower limit") << QStringLiteral("-2147483648") << true;
    QTest::newRow("beyond lower") << QStringLiteral("-2147483649") << false;
    QTest::newRow("tie") << QStringLiteral("12.5") << true;
}

void BitrateWindowTest::badTextInEveryBox() {
    QFETCH(QString, typed);
    QFETCH(bool, stored);
    frmMain& w = *m_window;
    const auto expected = ParseTypedNumber(typed, u'.');
    QCOMPARE(expected.has_value(), stored);
    const struct {
        const char* name;
        std::int32_t MainWindowState::*field;
    } boxes[] = {{"txtVideoLength", &MainWindowState::VideoLength},
                 {"txtSpaceCDCount", &MainWindowState::CDCount},
                 {"txtSpaceCustom", &MainWindowState::CustomSpace},
                 {"txtBitrate", &MainWindowState::VideoBitrate},
                 {"txtPixelCount", &MainWindowState::TargetPixelCount}};
    for (const auto& b : boxes) {
        const std::int32_t before = w.state().*b.field;
        box(b.name)->setText(typed);
        QCOMPARE(w.state().*b.field, stored ? *expected : before);
    }
    choose("optCalcDiskspace");
    choose("optSpaceCustom");
    QVERIFY(!text(w, "txtTargetBitrate").isEmpty());
}

QTEST_MAIN(BitrateWindowTest)
#include "bitrate_window_test.moc"
