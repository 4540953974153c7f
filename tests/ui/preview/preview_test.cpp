#include "window_driver.h"

#include "frm_preview.h"
#include "picture_box.h"

#include <QPainter>
#include <QPushButton>
#include <QTimer>

class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    void sizeRule();
    void stretchedQuadrantsAndCloseOnClick();
    void guardOpensNothing();
};

namespace {

struct Seen {
    QSize client;
    QImage picture;
    QString title;
};

// Looks at the modal preview once it is up, then clicks its picture.
Seen previewOnce(Session& s) {
    Seen seen;
    QTimer::singleShot(0, [&seen] {
        auto* preview = qobject_cast<frmPreview*>(QApplication::activeModalWidget());
        if (!preview)
            return;
        auto* picture = preview->findChild<PictureBox*>("picPreview");
        seen = {preview->size(), picture->canvas(), preview->windowTitle()};
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(5, 5));
    });
    s.control<QPushButton>("cmdPreview")->click();
    // The click returned: the preview was closed by the click on its picture and discarded.
    if (QApplication::activeModalWidget() || s.window.findChild<frmPreview*>())
        qFatal("the preview stayed");
    return seen;
}

} // namespace

void PreviewTest::sizeRule() {
    const struct {
        const char *width, *height;
        QSize expected;
    } cases[] = {{"640", "352", {640, 352}},
                 {"512", "384", {512, 384}},
                 {"4096", "4096", {4096, 4096}},
                 {"4112", "4096", {}}, // area too large
                 {"32768", "16", {}},
                 {"0", "16", {}},
                 {"ERROR", "ERROR", {}}};
    for (const auto& c : cases) {
        const auto size = PreviewSize({c.width, c.height, QRect(0, 0, 10, 10)});
        QCOMPARE(size.value_or(QSize()), c.expected);
        if (size && size->width() <= 1024) { // the window's inside is exactly the picture
            frmPreview preview(nullptr);
            preview.paintPreview(QImage(20, 20, QImage::Format_RGB32), QRect(0, 0, 10, 10), *size);
            preview.show();
            QCOMPARE(preview.size(), c.expected);
        }
    }
}

void PreviewTest::stretchedQuadrantsAndCloseOnClick() {
    Session s;
    s.window.show();
    QImage quadrants(720, 576, QImage::Format_RGB32);
    {
        QPainter painter(&quadrants);
        painter.fillRect(0, 0, 360, 288, Qt::red);
        painter.fillRect(360, 0, 360, 288, Qt::green);
        painter.fillRect(0, 288, 360, 288, Qt::blue);
        painter.fillRect(360, 288, 360, 288, Qt::yellow);
    }
    s.open("q.bmp", quadrants);
    s.crop();

    const Seen first = previewOnce(s);
    QCOMPARE(first.title, "Quarvel - Preview (click picture to close window)");
    QCOMPARE(first.client, QSize(576, 336));
    QCOMPARE(first.picture.size(), QSize(576, 336));
    // The rectangle 12..707 x 71..504 stretched to the whole area: colours keep their corners,
    // and the boundary lies at the middle of the rectangle, not of the picture.
    QCOMPARE(first.picture.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(first.picture.pixelColor(570, 330), QColor(Qt::yellow));
    QCOMPARE(first.picture.pixelColor(5, 330), QColor(Qt::blue));
    QCOMPARE(first.picture.pixelColor(576 * (360 - 12) / 695 - 3, 100), QColor(Qt::red));
    QCOMPARE(first.picture.pixelColor(576 * (360 - 12) / 695 + 3, 100), QColor(Qt::green));

    // A second preview of another region is a window of its own.
    clickPicture(s.window, {400, 300});
    const Seen second = previewOnce(s);
    QVERIFY(second.client != first.client);
    QCOMPARE(second.picture.size(), second.client);
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
