#include "window_driver.h"

#include <QLabel>
#include <QPushButton>

class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void oneWindowWithItsTexts();
    void closingTheMainWindowLeavesItOpen();
};

namespace {

QList<QWidget*> aboutWindows() {
    QList<QWidget*> found;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmHelp" && top->isVisible())
            found << top;
    return found;
}

} // namespace

void AboutTest::oneWindowWithItsTexts() {
    frmMain w;
    w.show();
    auto* about = control<QPushButton>(w, "cmdHelp");
    about->click();
    about->click();
    QCOMPARE(aboutWindows().size(), 1);
    QWidget* help = aboutWindows().first();
    QCOMPARE(help->windowTitle(), "Quarvel - About");
    QCOMPARE(help->size(), QSize(411, 207));
    QCOMPARE(control<QLabel>(*help, "Label1")->text(), "Quarvel 1.0");
    QVERIFY(
        control<QLabel>(*help, "Label2")
            ->text()
            .startsWith(
                "In most cases DVD and DVB videos are encoded with black bars in the picture."));
    QVERIFY(control<QLabel>(*help, "Label2")->text().endsWith("calculates the settings needed."));
    QCOMPARE(control<QLabel>(*help, "Label3")->text().count('\n'), 1);
    QCOMPARE(help->palette().color(QPalette::Window), QColor(Qt::white));
    // The main window stays usable beside it.
    QVERIFY(!QApplication::activeModalWidget());

    QPointer<QWidget> first = help;
    help->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(first.isNull());
    about->click();
    QCOMPARE(aboutWindows().size(), 1);
    QCOMPARE(control<QLabel>(*aboutWindows().first(), "Label1")->text(), "Quarvel 1.0");
    aboutWindows().first()->close();
}

void AboutTest::closingTheMainWindowLeavesItOpen() {
    frmMain w;
    w.show();
    control<QPushButton>(w, "cmdHelp")->click();
    w.close();
    QCOMPARE(aboutWindows().size(), 1);
    aboutWindows().first()->close();
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
