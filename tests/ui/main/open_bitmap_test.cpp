#include "window_driver.h"

#include "picture_box.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

class OpenBitmapTest : public QObject {
    Q_OBJECT
private slots:
    void acceptedBitmapIsShownUnscaled();
    void cancelChangesNothing();
    void tooLargeKeepsThePreviousPicture_data();
    void tooLargeKeepsThePreviousPicture();
    void invalidFilesTakeTheFailurePath_data();
    void invalidFilesTakeTheFailurePath();
    void sameSizeKeepsTheValuesOtherSizeResets();
};

void OpenBitmapTest::acceptedBitmapIsShownUnscaled() {
    Session s;
    QImage picture = screenshot(640, 480);
    picture.setPixelColor(639, 479, QColor(250, 10, 20));
    const QString path = s.open("small.bmp", picture);
    s.open("small.bmp", picture);

    for (const auto& shown : s.dialogs.shown()) { // set up afresh every time
        QCOMPARE(shown.kind, CommonDialog::Kind::Open);
        QCOMPARE(shown.title, "Open Bitmap");
        QCOMPARE(shown.fileName, "");
        QCOMPARE(shown.filter, "Windows Bitmap (*.bmp)|*.bmp");
    }
    QVERIFY(s.messages.messages.isEmpty());
    QVERIFY(s.window.state().BitmapLoaded);
    QCOMPARE(QSize(s.window.state().SourceWidth, s.window.state().SourceHeight), QSize(640, 480));
    QCOMPARE(s.window.state().SourceFileName, path);
    QVERIFY(!s.control<QWidget>("picVARN")->isVisibleTo(&s.window));
    const QImage& shown = s.control<PictureBox>("picDraw")->canvas();
    QCOMPARE(shown.pixelColor(639, 479), QColor(250, 10, 20));
    QCOMPARE(shown.pixelColor(700, 500), QColor(64, 64, 64)); // the box's own background
    QVERIFY(!s.control<QPushButton>("cmdPreview")->isEnabled());
}

void OpenBitmapTest::cancelChangesNothing() {
    Session s;
    const QString path = s.open("a.bmp", screenshot(720, 576));
    openBitmap(s.window, s.dialogs, QString());
    QVERIFY(s.messages.messages.isEmpty());
    QCOMPARE(s.window.state().SourceFileName, path);
    QVERIFY(s.window.state().BitmapLoaded);
}

void OpenBitmapTest::tooLargeKeepsThePreviousPicture_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("721 x 576") << QSize(721, 576);
    QTest::newRow("720 x 577") << QSize(720, 577);
    QTest::newRow("800 x 400, by width alone") << QSize(800, 400);
}

void OpenBitmapTest::tooLargeKeepsThePreviousPicture() {
    QFETCH(QSize, size);
    Session s;
    const QString first = s.open("first.bmp", screenshot(720, 576));
    s.crop();
    const QImage before = s.control<PictureBox>("picDraw")->canvas();

    s.open("big.bmp", screenshot(size.width(), size.height()));
    QCOMPARE(s.messages.messages, QStringList{"Bitmap exceeds 720x576 pixel."});
    QCOMPARE(s.messages.titles, QStringList{"Quarvel"});
    QCOMPARE(s.window.state().SourceFileName, first);
    QVERIFY(s.window.state().BitmapLoaded);
    QCOMPARE(s.control<PictureBox>("picDVD")->picture().size(), QSize(720, 576));
    QCOMPARE(s.control<PictureBox>("picDraw")->canvas(), before);
    QVERIFY(s.control<QPushButton>("cmdSaveInfo")->isEnabled());
}

void OpenBitmapTest::invalidFilesTakeTheFailurePath_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("text file") << "notes.bmp" << QByteArray("just some text\n");
    QTest::newRow("empty file") << "empty.bmp" << QByteArray();
    QTest::newRow("missing file") << "missing.bmp" << QByteArray("<missing>");
    QTest::newRow("folder") << "folder.bmp" << QByteArray("<folder>");
}

void OpenBitmapTest::invalidFilesTakeTheFailurePath() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    Session s;
    s.open("good.bmp", screenshot(320, 240));
    s.crop({7, 30}, {312, 210});
    QVERIFY(s.control<QPushButton>("cmdPreview")->isEnabled());

    const QString path = s.dir.filePath(name);
    if (content == "<folder>") {
        QVERIFY(QDir(s.dir.path()).mkdir(name));
    } else if (content != "<missing>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    openBitmap(s.window, s.dialogs, path);

    QCOMPARE(s.messages.messages, QStringList{"File is not a valid Bitmap."});
    QVERIFY(!s.window.state().BitmapLoaded);
    QVERIFY(s.control<QWidget>("picVARN")->isVisibleTo(&s.window));
    QVERIFY(!s.control<QPushButton>("cmdPreview")->isEnabled());
    QVERIFY(!s.control<QPushButton>("cmdSaveInfo")->isEnabled());
    QCOMPARE(s.window.state().SourceFileName, path);
    // No reset: edges, size and results stay; the held picture is the previous one.
    QCOMPARE(s.window.state().CropLeft, 7);
    QCOMPARE(s.control<PictureBox>("picDVD")->picture().size(), QSize(320, 240));

    // A following load of the same size does not reset.
    s.open("again.bmp", screenshot(320, 240));
    QVERIFY(s.window.state().BitmapLoaded);
    QCOMPARE(s.window.state().CropLeft, 7);
}

void OpenBitmapTest::sameSizeKeepsTheValuesOtherSizeResets() {
    Session s;
    s.open("one.bmp", screenshot(720, 576));
    s.crop();
    s.control<QLineEdit>("txtVideoLength")->setText("100");

    s.open("two.bmp", screenshot(720, 576, QColor(200, 50, 50)));
    QCOMPARE(s.window.state().CropRight, 712);
    QCOMPARE(s.text("lblNewPixel"), "193536");
    QCOMPARE(s.text("txtVideoLength"), "100");
    QVERIFY(s.control<QPushButton>("cmdPreview")->isEnabled());
    // The new picture, without a crop frame.
    QCOMPARE(s.control<PictureBox>("picDraw")->canvas().pixelColor(7, 300), QColor(0, 0, 0));
    QCOMPARE(s.control<PictureBox>("picDraw")->canvas().pixelColor(300, 300), QColor(200, 50, 50));

    s.open("three.bmp", screenshot(704, 576));
    QCOMPARE(s.window.state().CropRight, -1);
    QCOMPARE(s.window.state().TargetPixelCount, 200000);
    QCOMPARE(s.text("txtVideoLength"), "90");
    QCOMPARE(s.text("txtNewWidth"), "0");
    QVERIFY(!s.control<QPushButton>("cmdPreview")->isEnabled());
    QVERIFY(s.window.state().BitmapLoaded);
}

QTEST_MAIN(OpenBitmapTest)
#include "open_bitmap_test.moc"
