#include "window_driver.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

class ReportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void savesTheWorkedExample();
    void replacesAndCancels();
    void guardKeepsTheDialogClosed();
    void failedSavesLoseNothing_data();
    void failedSavesLoseNothing();
    void writeErrorOnADevice();
};

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The worked example, ready to save; the source name is not ASCII.
QString prepare(Session& s) {
    const QString source = s.open(QStringLiteral("Aufnahme ä.bmp"), screenshot(720, 576));
    s.crop();
    return source;
}

void save(Session& s, const QString& target) {
    s.dialogs.answer(target);
    s.control<QPushButton>("cmdSaveInfo")->click();
}

} // namespace

void ReportWindowTest::savesTheWorkedExample() {
    Session s;
    const QString source = prepare(s);
    const QString target = s.dir.filePath("report.txt");
    save(s, target);
    const auto& dialog = s.dialogs.shown().last();
    QCOMPARE(dialog.kind, CommonDialog::Kind::Save);
    QCOMPARE(dialog.title, "Save Information");
    QCOMPARE(dialog.filter, "Textdateien (*.txt)|*.txt");
    QCOMPARE(dialog.fileName, "Quarvel_Info.txt");

    // Every line as the window shows it; the full layout is checked byte for byte elsewhere.
    const QList<QByteArray> lines = readAll(target).split('\n');
    QCOMPARE(lines.size(), 32);
    QCOMPARE(lines.last(), "");
    QCOMPARE(lines[6], "file name: \t" + source.toUtf8() + "\r");
    const QList<QByteArray> expected = {"format:\t\t720x576\r",    "aspect ratio:\t4:3\r",
                                        "X1 offset:\t13\r",        "X2 offset:\t13\r",
                                        "Y1 offset:\t72\r",        "Y2 offset:\t72\r",
                                        "new width:\t576\r",       "new height:\t336\r",
                                        "aspect ratio:\t1.71:1\r", "pixel count:\t193536\r"};
    QCOMPARE((QList<QByteArray>{lines[7], lines[8], lines[12], lines[13], lines[14], lines[15],
                                lines[19], lines[20], lines[24], lines[25]}),
             expected);
    QVERIFY(s.messages.messages.isEmpty());

    s.control<QRadioButton>("optStretch169")->click();
    save(s, target);
    const QList<QByteArray> wide = readAll(target).split('\n');
    QCOMPARE(wide[8], "ascpect ratio:\t16:9\r");
    QCOMPARE(wide[24], "aspect ratio:\t2.21:1\r");
}

void ReportWindowTest::replacesAndCancels() {
    Session s;
    prepare(s);
    const QString target = s.dir.filePath("report.txt");
    writeFile(target, QByteArray(5000, 'x'));
    save(s, target);
    const QByteArray first = readAll(target);
    QVERIFY(first.startsWith(QByteArray(60, '-') + "\r\n Quarvel\r\n"));
    QCOMPARE(first.count("\r\n"), 31);
    QVERIFY(!first.contains("xxx"));

    save(s, QString()); // cancel
    QCOMPARE(readAll(target), first);
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files).size(), 2); // bitmap and report
}

void ReportWindowTest::guardKeepsTheDialogClosed() {
    Session s;
    auto* button = s.control<QPushButton>("cmdSaveInfo");
    button->setEnabled(true);
    button->click(); // no bitmap, no edges
    QVERIFY(s.dialogs.shown().isEmpty());
    prepare(s);
    s.control<QPushButton>("cmdReset")->click();
    button->setEnabled(true);
    button->click();
    QCOMPARE(s.dialogs.shown().size(), 1); // only the open dialog
}

void ReportWindowTest::failedSavesLoseNothing_data() {
    QTest::addColumn<QString>("where");
    QTest::newRow("missing folder") << "missing/report.txt";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("read-only folder") << "/proc/quarvel-report.txt";
    QTest::newRow("read-only file") << "locked/report.txt";
}

void ReportWindowTest::failedSavesLoseNothing() {
    QFETCH(QString, where);
    if (where.startsWith("locked") && geteuid() == 0)
        QSKIP("permissions do not bind the superuser");
    Session s;
    const QString source = prepare(s);
    QDir dir(s.dir.path());
    QVERIFY(dir.mkdir("folder") && dir.mkdir("locked"));
    const QString previous = s.dir.filePath("locked/report.txt");
    writeFile(previous, "previous report\r\n");
    QFile::setPermissions(previous, QFileDevice::ReadOwner);
    QFile::setPermissions(s.dir.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    const QString target = where.startsWith('/') ? where : s.dir.filePath(where);
    save(s, target);
    QCOMPARE(s.messages.messages.size(), 1);
    QCOMPARE(s.messages.titles, QStringList{"Quarvel"});
    QVERIFY2(s.messages.messages[0].contains(target), qPrintable(s.messages.messages[0]));
    // The previous report is intact and no temporary file is left behind anywhere.
    QCOMPARE(readAll(previous), "previous report\r\n");
    QCOMPARE(QDir(s.dir.filePath("locked")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"report.txt"});
    QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(source).fileName()});
    QVERIFY(QDir(s.dir.filePath("folder")).isEmpty());
    QFile::setPermissions(s.dir.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void ReportWindowTest::writeErrorOnADevice() {
    // A device that refuses every write, as a full disk does. The superuser could replace a
    // device node by renaming over it, so it gets a private copy of /dev/full.
    Session s;
    QString device = QStringLiteral("/dev/full");
    if (geteuid() == 0) {
        device = s.dir.filePath("full");
        if (mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("cannot make a device node here");
    }
    prepare(s);
    save(s, device);
    QCOMPARE(s.messages.messages.size(), 1);
    QVERIFY(s.messages.messages[0].contains(device));
    QVERIFY(!QFileInfo(device).isFile()); // still the device
}

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
