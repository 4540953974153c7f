#include "window_driver.h"

#include "picture_box.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtEndian>

class OpenBitmapTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void acceptedBitmapIsShownUnscaled();
    void dialogIsSetUpEveryTime();
    void cancelChangesNothing();
    void tooLargeKeepsThePreviousPicture_data();
    void tooLargeKeepsThePreviousPicture();
    void invalidFilesTakeTheFailurePath_data();
    void invalidFilesTakeTheFailurePath();
    void sameSizeKeepsTheValuesOtherSizeResets();
    void topDownBitmapIsAccepted();

private:
    QTemporaryDir* m_dir = nullptr;
    frmMain* m_window = nullptr;
    DialogAnswers* m_dialogs = nullptr;
    MessageCatcher* m_messages = nullptr;
};

void OpenBitmapTest::init() {
    m_dir = new QTemporaryDir;
    m_window = new frmMain;
    m_dialogs = new DialogAnswers(*m_window);
    m_messages = new MessageCatcher;
}

void OpenBitmapTest::cleanup() {
    delete m_messages;
    delete m_dialogs;
    delete m_window;
    delete m_dir;
}

void OpenBitmapTest::acceptedBitmapIsShownUnscaled() {
    frmMain& w = *m_window;
    QImage picture = screenshot(640, 480);
    picture.setPixelColor(639, 479, QColor(250, 10, 20));
    const QString path = saveBitmap(*m_dir, "small.bmp", picture);
    openBitmap(w, *m_dialogs, path);

    QVERIFY(m_messages->messages.isEmpty());
    QVERIFY(w.state().BitmapLoaded);
    QCOMPARE(w.state().SourceWidth, 640);
    QCOMPARE(w.state().SourceHeight, 480);
    QCOMPARE(w.state().SourceFileName, path);
    QVERIFY(!control<QWidget>(w, "picVARN")->isVisibleTo(&w));
    const QImage& shown = control<PictureBox>(w, "picDraw")->canvas();
    QCOMPARE(shown.size(), QSize(720, 576));
    QCOMPARE(shown.pixelColor(639, 479), QColor(250, 10, 20));
    QCOMPARE(shown.pixelColor(700, 500), QColor(64, 64, 64)); // the box's own background
    QVERIFY(!control<QPushButton>(w, "cmdPreview")->isEnabled());
}

void OpenBitmapTest::dialogIsSetUpEveryTime() {
    const QString path = saveBitmap(*m_dir, "a.bmp", screenshot(720, 576));
    openBitmap(*m_window, *m_dialogs, path);
    openBitmap(*m_window, *m_dialogs, path);
    QCOMPARE(m_dialogs->shown().size(), 2);
    for (const auto& shown : m_dialogs->shown()) {
        QCOMPARE(shown.kind, CommonDialog::Kind::Open);
        QCOMPARE(shown.title, "Open Bitmap");
        QCOMPARE(shown.fileName, "");
        QCOMPARE(shown.filter, "Windows Bitmap (*.bmp)|*.bmp");
    }
    QCOMPARE(CommonDialog::qtNameFilters(m_dialogs->shown()[0].filter),
             QStringList{"Windows Bitmap (*.bmp)"});
}

void OpenBitmapTest::cancelChangesNothing() {
    frmMain& w = *m_window;
    const QString path = saveBitmap(*m_dir, "a.bmp", screenshot(720, 576));
    openBitmap(w, *m_dialogs, path);
    openBitmap(w, *m_dialogs, QString());
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(w.state().SourceFileName, path);
    QVERIFY(w.state().BitmapLoaded);
}

void OpenBitmapTest::tooLargeKeepsThePreviousPicture_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("721 x 576") << QSize(721, 576);
    QTest::newRow("720 x 577") << QSize(720, 577);
    QTest::newRow("800 x 400, by width alone") << QSize(800, 400);
}

void OpenBitmapTest::tooLargeKeepsThePreviousPicture() {
    QFETCH(QSize, size);
    frmMain& w = *m_window;
    const QString first = saveBitmap(*m_dir, "first.bmp", screenshot(720, 576));
    openBitmap(w, *m_dialogs, first);
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});
    const QImage before = control<PictureBox>(w, "picDraw")->canvas();

    openBitmap(w, *m_dialogs,
               saveBitmap(*m_dir, "big.bmp", screenshot(size.width(), size.height())));
    QCOMPARE(m_messages->messages, QStringList{"Bitmap exceeds 720x576 pixel."});
    QCOMPARE(m_messages->titles, QStringList{"Quarvel"});
    QCOMPARE(w.state().SourceFileName, first);
    QVERIFY(w.state().BitmapLoaded);
    QCOMPARE(control<PictureBox>(w, "picDVD")->picture().size(), QSize(720, 576));
    QCOMPARE(control<PictureBox>(w, "picDraw")->canvas(), before);
    QVERIFY(control<QPushButton>(w, "cmdSaveInfo")->isEnabled());
    QCOMPARE(text(w, "txtNewWidth"), "576");
}

void OpenBitmapTest::invalidFilesTakeTheFailurePath_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("text file") << "notes.bmp" << QByteArray("just some text\n");
    QTest::newRow("empty file") << "empty.bmp" << QByteArray();
    QTest::newRow("missing file") << "missing.bmp" << QByteArray("<missing>");
    QTest::newRow("folder") << "folder.bmp" << QByteArray("<folder>");
    QImage picture = screenshot(100, 80);
    QByteArray bitmap;
    {
        QBuffer buffer(&bitmap);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
    }
    QTest::newRow("truncated pixel data") << "cut.bmp" << bitmap.left(bitmap.size() - 300);
    QTest::newRow("header only") << "head.bmp" << bitmap.left(54);
}

void OpenBitmapTest::invalidFilesTakeTheFailurePath() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    frmMain& w = *m_window;
    openBitmap(w, *m_dialogs, saveBitmap(*m_dir, "good.bmp", screenshot(320, 240)));
    clickPicture(w, {7, 30});
    clickPicture(w, {312, 210});
    QVERIFY(control<QPushButton>(w, "cmdPreview")->isEnabled());

    const QString path = m_dir->filePath(name);
    if (content == "<folder>") {
        QVERIFY(QDir(m_dir->path()).mkdir(name));
    } else if (content != "<missing>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    openBitmap(w, *m_dialogs, path);

    QCOMPARE(m_messages->messages, QStringList{"File is not a valid Bitmap."});
    QVERIFY(!w.state().BitmapLoaded);
    QVERIFY(control<QWidget>(w, "picVARN")->isVisibleTo(&w));
    QVERIFY(!control<QPushButton>(w, "cmdPreview")->isEnabled());
    QVERIFY(!control<QPushButton>(w, "cmdSaveInfo")->isEnabled());
    QCOMPARE(w.state().SourceFileName, path);
    // No reset: edges, size and results stay; the held picture is the previous one.
    QCOMPARE(w.state().CropLeft, 7);
    QCOMPARE(w.state().SourceWidth, 320);
    QCOMPARE(control<PictureBox>(w, "picDVD")->picture().size(), QSize(320, 240));

    // A following load of the same size does not reset.
    openBitmap(w, *m_dialogs, saveBitmap(*m_dir, "again.bmp", screenshot(320, 240)));
    QVERIFY(w.state().BitmapLoaded);
    QCOMPARE(w.state().CropLeft, 7);
}

void OpenBitmapTest::sameSizeKeepsTheValuesOtherSizeResets() {
    frmMain& w = *m_window;
    openBitmap(w, *m_dialogs, saveBitmap(*m_dir, "one.bmp", screenshot(720, 576)));
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});
    control<QLineEdit>(w, "txtVideoLength")->setText("100");

    openBitmap(w, *m_dialogs,
               saveBitmap(*m_dir, "two.bmp", screenshot(720, 576, QColor(200, 50, 50))));
    QCOMPARE(w.state().CropRight, 712);
    QCOMPARE(text(w, "txtX1"), "13");
    QCOMPARE(text(w, "lblNewPixel"), "193536");
    QCOMPARE(text(w, "txtVideoLength"), "100");
    QVERIFY(control<QPushButton>(w, "cmdPreview")->isEnabled());
    // The new picture without a crop frame.
    QCOMPARE(control<PictureBox>(w, "picDraw")->canvas().pixelColor(7, 300), QColor(0, 0, 0));
    QCOMPARE(control<PictureBox>(w, "picDraw")->canvas().pixelColor(300, 300), QColor(200, 50, 50));

    openBitmap(w, *m_dialogs, saveBitmap(*m_dir, "three.bmp", screenshot(704, 576)));
    QCOMPARE(w.state().CropRight, -1);
    QCOMPARE(w.state().TargetPixelCount, 200000);
    QCOMPARE(text(w, "txtVideoLength"), "90");
    QCOMPARE(text(w, "txtNewWidth"), "0");
    QVERIFY(!control<QPushButton>(w, "cmdPreview")->isEnabled());
    QVERIFY(w.state().BitmapLoaded);
    QVERIFY(!control<QWidget>(w, "picVARN")->isVisibleTo(&w));
}

void OpenBitmapTest::topDownBitmapIsAccepted() {
    // A top-down bitmap announces a negative height; 720 x -576 is within the limit.
    QImage picture = screenshot(720, 576);
    picture.setPixelColor(0, 0, QColor(0, 255, 0));
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
    }
    // Flip the rows and negate the height.
    const int offset = qFromLittleEndian<qint32>(bytes.constData() + 10);
    const int stride = 720 * 3;
    QByteArray flipped = bytes.left(offset);
    for (int row = 575; row >= 0; --row)
        flipped += bytes.mid(offset + row * stride, stride);
    qToLittleEndian<qint32>(-576, flipped.data() + 22);
    QFile file(m_dir->filePath("topdown.bmp"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(flipped);
    file.close();

    openBitmap(*m_window, *m_dialogs, file.fileName());
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(m_window->state().SourceHeight, 576);
    QCOMPARE(control<PictureBox>(*m_window, "picDraw")->canvas().pixelColor(0, 0),
             QColor(0, 255, 0));
}

QTEST_MAIN(OpenBitmapTest)
#include "open_bitmap_test.moc"
