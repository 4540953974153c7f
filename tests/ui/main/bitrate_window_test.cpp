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
    void init() { m_window = new frmMain; }
    void cleanup() { delete m_window; }
    void workedValues();
    void typingOneCharacterAtATime();
    void ignoredAndStoredTexts();
    void failuresInBothModes();
    void keyInAListRecalculatesWithThePreviousSelectionFirst();
    void badTextInEveryBox_data();
    void badTextInEveryBox();

private:
    frmMain* m_window = nullptr;
    QString shown(const char* name) { return text(*m_window, name); }
    QLineEdit* box(const char* name) { return control<QLineEdit>(*m_window, name); }
    QComboBox* list(const char* name) { return control<QComboBox>(*m_window, name); }
    void choose(const char* option) { control<QRadioButton>(*m_window, option)->click(); }
    bool visible(const char* frame) {
        return control<QWidget>(*m_window, frame)->isVisibleTo(m_window);
    }
};

void BitrateWindowTest::workedValues() {
    QCOMPARE(shown("txtTargetBitrate"), "959");
    choose("optSpaceCustom");
    QCOMPARE(shown("txtTargetBitrate"), "882");
    choose("optSpaceCD");
    box("txtSpaceCDCount")->setText("2");
    QCOMPARE(shown("txtTargetBitrate"), "2047");
    box("txtVideoLength")->setText("120");
    list("cmbAudioCount")->setCurrentIndex(2);
    list("cmbAudioBitrate")->setCurrentText("192");
    QCOMPARE(shown("txtTargetBitrate"), "1247");

    control<QPushButton>(*m_window, "cmdReset")->click();
    choose("optCalcDiskspace");
    QVERIFY(!visible("fraCalcBitrate") && visible("fraCalcDiskspace"));
    QCOMPARE(shown("txtDiskspace"), "642");
    QCOMPARE(shown("lblNeededCDs"), QStringLiteral("1 CD à 650 MB"));
    box("txtBitrate")->setText("4000");
    QCOMPARE(shown("txtDiskspace"), "2657");
    QCOMPARE(shown("lblNeededCDs"), QStringLiteral("4 CDs à 700 MB"));
    QCOMPARE(shown("txtTargetBitrate"), "959"); // the other mode keeps its result
    choose("optCalcBitrate");
    QVERIFY(visible("fraCalcBitrate") && !visible("fraCalcDiskspace"));
}

void BitrateWindowTest::typingOneCharacterAtATime() {
    box("txtVideoLength")->clear();
    QCOMPARE(m_window->state().VideoLength, 90);
    QCOMPARE(shown("txtTargetBitrate"), "959");
    QStringList results;
    for (const char key : QByteArray("120")) {
        QTest::keyClicks(box("txtVideoLength"), QString(QChar(key)));
        results << QString::number(m_window->state().VideoLength) + "=" + shown("txtTargetBitrate");
    }
    QCOMPARE(results, QStringList({"1=97739", "12=8028", "120=688"}));
}

void BitrateWindowTest::ignoredAndStoredTexts() {
    box("txtSpaceCDCount")->setText("-1");
    QCOMPARE(m_window->state().CDCount, 1);
    QCOMPARE(shown("txtTargetBitrate"), "959");
    box("txtSpaceCDCount")->setText("-2");
    QCOMPARE(m_window->state().CDCount, -2);
    QCOMPARE(shown("txtTargetBitrate"), "ERROR");
    box("txtSpaceCDCount")->setText("3");

    // Custom and back: the CD count is kept and used at once.
    choose("optSpaceCustom");
    QVERIFY(!box("txtSpaceCDCount")->isEnabled());
    QVERIFY(!list("cmbSpaceCD")->isEnabled());
    QCOMPARE(box("txtSpaceCDCount")->palette().color(QPalette::Disabled, QPalette::Base),
             buttonFace());
    QCOMPARE(box("txtSpaceCustom")->palette().color(QPalette::Active, QPalette::Base),
             QColor(Qt::white));
    choose("optSpaceCD");
    QCOMPARE(shown("txtTargetBitrate"), "3134"); // 2100 MB over 90 minutes
    QVERIFY(!box("txtSpaceCustom")->isEnabled());

    // A changed video bitrate is stored in bitrate mode but not used there.
    box("txtBitrate")->setText("1000");
    QCOMPARE(m_window->state().VideoBitrate, 1000);
    QCOMPARE(shown("txtTargetBitrate"), "3134");
}

void BitrateWindowTest::failuresInBothModes() {
    for (const char* length : {"0", "-3"}) {
        box("txtVideoLength")->setText(length);
        QCOMPARE(shown("txtTargetBitrate"), "ERROR");
        QCOMPARE(shown("txtDiskspace"), ""); // the other mode's output is left alone
    }
    box("txtVideoLength")->setText("90");
    // The target is smaller than the audio alone: 1009.7... - 1280.
    list("cmbSpaceCD")->setCurrentIndex(0);
    list("cmbAudioBitrate")->setCurrentText("320");
    list("cmbAudioCount")->setCurrentIndex(4);
    QCOMPARE(shown("txtTargetBitrate"), "ERROR");

    control<QPushButton>(*m_window, "cmdReset")->click();
    choose("optCalcDiskspace");
    box("txtVideoLength")->setText("0");
    QCOMPARE(shown("txtDiskspace"), "ERROR");
    QCOMPARE(shown("lblNeededCDs"), "");
    QCOMPARE(shown("txtTargetBitrate"), "959");
    box("txtVideoLength")->setText("90");
    box("txtBitrate")->setText("-1000");
    QCOMPARE(shown("txtDiskspace"), "-561");
    QCOMPARE(shown("lblNeededCDs"), QStringLiteral("1 CD à 650 MB"));

    box("txtVideoLength")->setText("35791395"); // seconds beyond 32 bits
    QCOMPARE(shown("txtDiskspace"), "ERROR");
    QCOMPARE(shown("txtTargetBitrate"), "ERROR");
    QCOMPARE(shown("lblNeededCDs"), "");
}

void BitrateWindowTest::keyInAListRecalculatesWithThePreviousSelectionFirst() {
    // Notes the result box as each key arrives, after the window's own handler has run.
    struct Watcher : QObject {
        QLineEdit* result = nullptr;
        QStringList seen;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress)
                seen << result->text();
            return false;
        }
    } watcher;
    watcher.result = box("txtTargetBitrate");
    box("txtSpaceCDCount")->setText("2");
    QComboBox* sizes = list("cmbSpaceCD");
    sizes->installEventFilter(&watcher);
    sizes->setFocus();
    QTest::keyClick(sizes, Qt::Key_Down);
    QCOMPARE(sizes->currentText(), "800");
    QCOMPARE(watcher.seen, QStringList{"2047"}); // 2 x 700 MB, before the key moved on
    QCOMPARE(shown("txtTargetBitrate"), "2358");
}

void BitrateWindowTest::badTextInEveryBox_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("very long") << QString(5000, u'7');
    QTest::newRow("arabic digits") << QStringLiteral("\u0661\u0662");
    QTest::newRow("sign alone") << QStringLiteral("-");
    QTest::newRow("spaces alone") << QStringLiteral("    ");
    QTest::newRow("upper limit") << QStringLiteral("2147483647");
    QTest::newRow("beyond upper") << QStringLiteral("2147483648");
    QTest::newRow("lower limit") << QStringLiteral("-2147483648");
    QTest::newRow("beyond lower") << QStringLiteral("-2147483649");
    QTest::newRow("tie") << QStringLiteral("12.5");
}

void BitrateWindowTest::badTextInEveryBox() {
    QFETCH(QString, typed);
    const auto expected = ParseTypedNumber(typed, u'.');
    const struct {
        const char* name;
        std::int32_t MainWindowState::*field;
    } boxes[] = {{"txtVideoLength", &MainWindowState::VideoLength},
                 {"txtSpaceCDCount", &MainWindowState::CDCount},
                 {"txtSpaceCustom", &MainWindowState::CustomSpace},
                 {"txtBitrate", &MainWindowState::VideoBitrate},
                 {"txtPixelCount", &MainWindowState::TargetPixelCount}};
    for (const auto& b : boxes) {
        const std::int32_t before = m_window->state().*b.field;
        box(b.name)->setText(typed);
        QCOMPARE(m_window->state().*b.field, expected.value_or(before));
    }
    choose("optCalcDiskspace");
    QVERIFY(!shown("txtDiskspace").isEmpty());
}

QTEST_MAIN(BitrateWindowTest)
#include "bitrate_window_test.moc"
