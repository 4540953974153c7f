#include "window_driver.h"

#include "report_file.h"

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
    void init();
    void cleanup();
    void savesTheWorkedExample();
    void replacesAndCancels();
    void guardKeepsTheDialogClosed();
    void failedSavesLoseNothing_data();
    void failedSavesLoseNothing();
    void writeErrorMidFile();

private:
    void prepare(); // worked example of the crop/resize panel
    QByteArray readAll(const QString& path);

    QTemporaryDir* m_dir = nullptr;
    frmMain* m_window = nullptr;
    DialogAnswers* m_dialogs = nullptr;
    MessageCatcher* m_messages = nullptr;
    QString m_source;
};

void ReportWindowTest::init() {
    m_dir = new QTemporaryDir;
    m_window = new frmMain;
    m_dialogs = new DialogAnswers(*m_window);
    m_messages = new MessageCatcher;
}

void ReportWindowTest::cleanup() {
    delete m_messages;
    delete m_dialogs;
    delete m_window;
    delete m_dir;
}

void ReportWindowTest::prepare() {
    m_source = saveBitmap(*m_dir, QStringLiteral("Aufnahme ä.bmp"), screenshot(720, 576));
    openBitmap(*m_window, *m_dialogs, m_source);
    clickPicture(*m_window, {7, 71});
    clickPicture(*m_window, {712, 504});
}

QByteArray ReportWindowTest::readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void ReportWindowTest::savesTheWorkedExample() {
    prepare();
    const QString target = m_dir->filePath("report.txt");
    m_dialogs->answer(target);
    control<QPushButton>(*m_window, "cmdSaveInfo")->click();
    const auto& save = m_dialogs->shown().last();
    QCOMPARE(save.kind, CommonDialog::Kind::Save);
    QCOMPARE(save.title, "Save Information");
    QCOMPARE(save.filter, "Textdateien (*.txt)|*.txt");
    QCOMPARE(save.fileName, "Quarvel_Info.txt");

    const QList<QByteArray> lines = readAll(target).split('\n');
    QCOMPARE(lines.size(), 32);
    QCOMPARE(lines.last(), "");
    QCOMPARE(lines[6], "file name: \t" + m_source.toUtf8() + "\r");
    QCOMPARE(lines[7], "format:\t\t720x576\r");
    QCOMPARE(lines[8], "aspect ratio:\t4:3\r");
    QCOMPARE(lines[12], "X1 offset:\t13\r");
    QCOMPARE(lines[13], "X2 offset:\t13\r");
    QCOMPARE(lines[14], "Y1 offset:\t72\r");
    QCOMPARE(lines[15], "Y2 offset:\t72\r");
    QCOMPARE(lines[19], "new width:\t576\r");
    QCOMPARE(lines[20], "new height:\t336\r");
    QCOMPARE(lines[24], "aspect ratio:\t1.71:1\r");
    QCOMPARE(lines[25], "pixel count:\t193536\r");
    QVERIFY(m_messages->messages.isEmpty());

    control<QRadioButton>(*m_window, "optStretch169")->click();
    m_dialogs->answer(target);
    control<QPushButton>(*m_window, "cmdSaveInfo")->click();
    const QList<QByteArray> wide = readAll(target).split('\n');
    QCOMPARE(wide[8], "ascpect ratio:\t16:9\r");
    QCOMPARE(wide[12], "X1 offset:\t24\r");
    QCOMPARE(wide[24], "aspect ratio:\t2.21:1\r");
}

void ReportWindowTest::replacesAndCancels() {
    prepare();
    const QString target = m_dir->filePath("report.txt");
    {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    m_dialogs->answer(target);
    control<QPushButton>(*m_window, "cmdSaveInfo")->click();
    const QByteArray first = readAll(target);
    QVERIFY(first.startsWith(QByteArray(60, '-') + "\r\n Quarvel\r\n"));
    QVERIFY(!first.contains("xxx"));
    QCOMPARE(first.count("\r\n"), 31);

    m_dialogs->answer(QString()); // cancel
    control<QPushButton>(*m_window, "cmdSaveInfo")->click();
    QCOMPARE(readAll(target), first);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 2); // bitmap and report
}

void ReportWindowTest::guardKeepsTheDialogClosed() {
    auto* save = control<QPushButton>(*m_window, "cmdSaveInfo");
    save->setEnabled(true); // even if it could be clicked, nothing is unplaced-safe
    save->click();
    QVERIFY(m_dialogs->shown().isEmpty());
    prepare();
    control<QPushButton>(*m_window, "cmdReset")->click();
    save->setEnabled(true);
    save->click();
    QCOMPARE(m_dialogs->shown().size(), 1); // only the open dialog
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
    prepare();
    QVERIFY(QDir(m_dir->path()).mkdir("folder"));
    QVERIFY(QDir(m_dir->path()).mkdir("locked"));
    const QString lockedReport = m_dir->filePath("locked/report.txt");
    {
        QFile old(lockedReport);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous report\r\n");
    }
    QFile::setPermissions(m_dir->filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(lockedReport, QFileDevice::ReadOwner);
    if (where.startsWith("locked") && geteuid() == 0)
        QSKIP("permissions do not bind the superuser");

    const QString target = where.startsWith('/') ? where : m_dir->filePath(where);
    m_dialogs->answer(target);
    control<QPushButton>(*m_window, "cmdSaveInfo")->click();
    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->titles, QStringList{"Quarvel"});
    QVERIFY2(m_messages->messages[0].contains(target), qPrintable(m_messages->messages[0]));
    QVERIFY(QFileInfo(m_dir->filePath("folder")).isDir());
    QCOMPARE(readAll(lockedReport), "previous report\r\n");
    // No temporary file is left behind anywhere.
    QCOMPARE(QDir(m_dir->filePath("locked")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"report.txt"});
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(m_source).fileName()});
    QVERIFY(QDir(m_dir->filePath("folder")).isEmpty());
    QFile::setPermissions(m_dir->filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void ReportWindowTest::writeErrorMidFile() {
    // A device that refuses every write, as a full disk does. The superuser could replace a
    // device node by renaming over it, so it gets a private copy of /dev/full.
    QString device = QStringLiteral("/dev/full");
    if (geteuid() == 0) {
        device = m_dir->filePath("full");
        if (mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("cannot make a device node here");
    }
    prepare();
    m_dialogs->answer(device);
    control<QPushButton>(*m_window, "cmdSaveInfo")->click();
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(m_messages->messages[0].contains(device));
    QVERIFY(!QFileInfo(device).isFile()); // still the device

    // The same writer on an ordinary file succeeds.
    const QString target = m_dir->filePath("report.txt");
    QVERIFY(SaveReportFile(target, "new report\r\n").isEmpty());
    QCOMPARE(readAll(target), "new report\r\n");
}

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
