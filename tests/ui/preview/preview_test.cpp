#include "window_driver.h"

#include "frm_preview.h"
#include "picture_box.h"

#include <QPainter>
#include <QPushButton>
#include <QTimer>

class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    void sizeRule_data();
    void sizeRule();
    void stretchedQuadrantsAndCloseOnClick();
    void twoPreviewsAreIndependent();
    void guardOpensNothing();
};

namespace {

struct Seen {
    QSize client;
    QImage picture;
    QString title;
    bool modal = false;
};

// Looks at the modal preview once it is up, then clicks its picture.
void inspectPreviewThenClick(Seen* seen) {
    QTimer::singleShot(0, [seen] {
        auto* preview = qobject_cast<frmPreview*>(QApplication::activeModalWidget());
        if (!preview)
            return;
        auto* picture = preview->findChild<PictureBox*>("picPreview");
        seen->client = preview->size();
        seen->picture = picture->canvas();
        seen->title = preview->windowTitle();
        seen->modal = preview->isModal();
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(5, 5));
    });
}

QImage quadrants(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    return picture;
}

} // namespace

void PreviewTest::sizeRule_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("640 x 352") << "640"
                               << "352" << QSize(640, 352);
    QTest::newRow("512 x 384") << "512"
                               << "384" << QSize(512, 384);
    QTest::newRow("4096 x 4096") << "4096"
                                 << "4096" << QSize(4096, 4096);
    QTest::newRow("too large an area") << "4112"
                                       << "4096" << QSize();
    QTest::newRow("beyond 16 bits") << "32768"
                                    << "16" << QSize();
    QTest::newRow("zero width") << "0"
                                << "16" << QSize();
    QTest::newRow("error text") << "ERROR"
                                << "ERROR" << QSize();
}

void PreviewTest::sizeRule() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QSize, expected);
    const auto size = PreviewSize({width, height, QRect(0, 0, 10, 10)});
    QCOMPARE(size.value_or(QSize()), expected);
    if (size && size->width() <= 1024) {
        // The window's inside is exactly the picture.
        frmPreview preview(nullptr);
        preview.paintPreview(QImage(20, 20, QImage::Format_RGB32), QRect(0, 0, 10, 10), *size);
        preview.show();
        QCOMPARE(preview.size(), expected);
        QCOMPARE(preview.findChild<QWidget*>("picPreview")->geometry(), QRect({0, 0}, expected));
    }
}

void PreviewTest::stretchedQuadrantsAndCloseOnClick() {
    QTemporaryDir dir;
    frmMain w;
    w.show();
    DialogAnswers dialogs(w);
    openBitmap(w, dialogs, saveBitmap(dir, "q.bmp", quadrants(720, 576)));
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});

    Seen seen;
    inspectPreviewThenClick(&seen);
    control<QPushButton>(w, "cmdPreview")->click();
    // The click returned: the preview was closed by the click on its picture.
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!w.findChild<frmPreview*>());
    QCOMPARE(seen.title, "Quarvel - Preview (click picture to close window)");
    QVERIFY(seen.modal);
    QCOMPARE(seen.client, QSize(576, 336));
    QCOMPARE(seen.picture.size(), QSize(576, 336));
    // The rectangle 12..707 x 71..504 stretched to the whole area: colours keep their corners.
    QCOMPARE(seen.picture.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(seen.picture.pixelColor(570, 5), QColor(Qt::green));
    QCOMPARE(seen.picture.pixelColor(5, 330), QColor(Qt::blue));
    QCOMPARE(seen.picture.pixelColor(570, 330), QColor(Qt::yellow));
    // The boundary lies at the middle of the rectangle, not of the picture.
    QCOMPARE(seen.picture.pixelColor(576 * (360 - 12) / 695 - 3, 100), QColor(Qt::red));
    QCOMPARE(seen.picture.pixelColor(576 * (360 - 12) / 695 + 3, 100), QColor(Qt::green));
}

void PreviewTest::twoPreviewsAreIndependent() {
    QTemporaryDir dir;
    frmMain w;
    DialogAnswers dialogs(w);
    openBitmap(w, dialogs, saveBitmap(dir, "q.bmp", quadrants(720, 576)));
    clickPicture(w, {7, 71});
    clickPicture(w, {712, 504});

    Seen first, second;
    inspectPreviewThenClick(&first);
    control<QPushButton>(w, "cmdPreview")->click();
    // Another region, ending just past the middle: nothing of the first preview remains.
    clickPicture(w, {400, 300});
    inspectPreviewThenClick(&second);
    control<QPushButton>(w, "cmdPreview")->click();
    QVERIFY(second.client != first.client);
    QCOMPARE(second.picture.size(), second.client);
    QCOMPARE(second.picture.pixelColor(2, 2), QColor(Qt::red));
    QCOMPARE(second.picture.pixelColor(second.client.width() - 2, second.client.height() - 2),
             QColor(Qt::yellow));
}

void PreviewTest::guardOpensNothing() {
    frmMain w;
    auto* preview = control<QPushButton>(w, "cmdPreview");
    preview->setEnabled(true);
    preview->click(); // no bitmap, no edges: returns at once
    QVERIFY(!w.findChild<frmPreview*>());
}

QTEST_MAIN(PreviewTest)
#include "preview_test.moc"
