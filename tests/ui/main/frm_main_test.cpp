// The main window as a user drives it: real mouse and key events, dialogs answered through
// their seams, the preview and about windows reached from it.
#include "support/authored_dvd.h"
#include "ui/controls/colours.h"
#include "ui/controls/picture_box.h"
#include "ui/main/frm_main.h"
#include "ui/platform/common_dialog.h"
#include "ui/platform/message_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

namespace {

// Black bars above and below a grey picture, as a DVD screenshot has.
QImage Screenshot(int width = 720, int height = 576, QColor middle = QColor(120, 130, 140)) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter(&picture).fillRect(8, height / 8, width - 16, height * 3 / 4, middle);
    return picture;
}

// A pixel of a grabbed picture at logical coordinates, whatever the screen's scale.
QRgb Pixel(const QImage& image, int x, int y) {
    const qreal scale = image.devicePixelRatio();
    return image.pixel(int(x * scale), int(y * scale)) & 0xFFFFFFu;
}

QRgb Shown(QWidget* widget, int x, int y) {
    return Pixel(widget->grab().toImage(), x, y);
}

constexpr QRgb Rgb(int r, int g, int b) {
    return QRgb(r << 16 | g << 8 | b);
}

// A grainy picture with a moving box, of a size and a running time.
const QString kClipPicture = QStringLiteral(
    "color=c=0x607890:r=25:s=%1:d=%2,noise=alls=12:allf=t,drawbox=x=t*60:y=100:w=90:h=90:"
    "c=white:t=fill");

const char* const kCropOutputs = "txtX1 txtX2 txtY1 txtY2 txtNewWidth txtNewHeight lblNewAR "
                                 "lblNewPixel";

// By WCAG's relative luminance, from 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Text pixels are those that change when the text is taken away; each is measured against
// what lies behind it.
double TextContrast(QWidget* w) {
    const char* property = qobject_cast<QComboBox*>(w) ? "currentIndex" : "text";
    const QVariant text = w->property(property);
    const QImage with = w->grab().toImage();
    const QSignalBlocker blocker(w);
    w->setProperty(property, text.typeId() == QMetaType::Int ? QVariant(-1) : QVariant(""));
    const QImage without = w->grab().toImage();
    w->setProperty(property, text);
    double contrast = 1;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            contrast = std::max(contrast, ContrastRatio(with.pixel(x, y), without.pixel(x, y)));
    return contrast;
}

} // namespace

class FrmMainTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        window = std::make_unique<frmMain>();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        control<CommonDialog>("CommonDialog1")
            ->setResponder([this](const CommonDialog& d, CommonDialog::Kind) {
                dialogs << QStringList{d.DialogTitle, d.FileName, d.Filter, d.InitDir};
                return answers.isEmpty() ? QString() : answers.takeFirst();
            });
        MessageBox::setInterceptor([this](const QString& title, const QString& text) {
            messages << title + QStringLiteral(": ") + text;
        });
    }

    void cleanup() {
        MessageBox::setInterceptor({});
        window.reset();
        dialogs.clear();
        messages.clear();
    }

    // Searches and reads ran in pooled threads: they end before the leak check at exit.
    void cleanupTestCase() { QThreadPool::globalInstance()->waitForDone(); }

    void startUp() {
        QCOMPARE(shown("txtPixelCount txtVideoLength txtSpaceCDCount txtSpaceCustom txtBitrate "
                       "txtTargetBitrate cmbAudioBitrate cmbAudioCount cmbSpaceCD"),
                 QStringLiteral("200000 90 1 650 870 959 128 1 700"));
        QVERIFY(!control("cmdPreview")->isEnabled() && !control("cmdSaveInfo")->isEnabled());
        QVERIFY(control("picVARN")->isVisible() && !control("fraCalcDiskspace")->isVisible());
        // Enter and Return press the focused button, as Space does.
        QCOMPARE(focused(), QStringLiteral("cmdOpenBMP"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QCOMPARE(dialogs.size(), 2);
    }

    void cropAndResize() {
        open(QStringLiteral("shot.bmp"), Screenshot());
        clickPicture({7, 71});
        QCOMPARE(shown(kCropOutputs), QStringLiteral("0 0 0 0 0 0  ")); // two edges unplaced
        clickPicture({712, 504}, Qt::RightButton);
        QCOMPARE(shown(kCropOutputs), QStringLiteral("13 13 72 72 576 336 1.71:1 193536"));
        QVERIFY(control("cmdPreview")->isEnabled() && control("cmdSaveInfo")->isEnabled());
        // Pen OR NOT picture: dotted on the clicked edges, solid on the trimmed region.
        QWidget* picture = control("picDraw");
        QCOMPARE(Shown(picture, 9, 71), Rgb(255, 255, 255));
        QCOMPARE(Shown(picture, 8, 71), Rgb(0, 0, 0));
        QCOMPARE(Shown(picture, 12, 300), Rgb(167, 253, 243));

        click("optStretch169");
        QCOMPARE(shown(kCropOutputs), QStringLiteral("24 24 72 72 672 304 2.21:1 204288"));
        QCOMPARE(Shown(picture, 12, 300), Rgb(120, 130, 140)); // the old frame is gone
        click("optStretch169"); // already selected: stays, and still calculates
        QVERIFY(control<QRadioButton>("optStretch169")->isChecked());
        paste("txtPixelCount", QStringLiteral("150000\r\n"));
        QCOMPARE(shown("txtPixelCount"), QStringLiteral("150000"));
        QCOMPARE(shown(kCropOutputs), QStringLiteral("18 18 72 72 576 256 2.25:1 147456"));
        retype("txtPixelCount", QStringLiteral("100"));
        QCOMPARE(shown(kCropOutputs), QStringLiteral("0 0 0 0 ERROR ERROR  "));
        QVERIFY(!control("cmdPreview")->isEnabled());

        // Positions between pixels round to the nearest, halves to even.
        const MainWindowState& s = window->state();
        clickPicture({10.7, 20.5});
        clickPicture({709.5, 555.5});
        QCOMPARE(QList<int>({s.CropLeft, s.CropTop, s.CropRight, s.CropBottom}),
                 QList<int>({11, 20, 710, 556}));
        clickPicture({360, 288}); // exactly half way: left and top
        QCOMPARE(QList<int>({s.CropLeft, s.CropTop}), QList<int>({360, 288}));
    }

    void openingPictures() {
        open(QStringLiteral("a.bmp"), Screenshot());
        QCOMPARE(dialogs.last().mid(0, 2), QStringList({"Open Bitmap", ""}));
        const QString filter = dialogs.last().at(2);
        QVERIFY2(filter.startsWith(u"Windows Bitmap (*.bmp)|*.bmp|Pictures (*.bmp *.png *.jpg "
                                   "*.jpeg") &&
                     filter.endsWith(u"|All files (*)|*"),
                 qPrintable(filter));
        QVERIFY(!control("picVARN")->isVisible());
        crop();
        retype("txtVideoLength", QStringLiteral("120"));
        // The same size keeps every value; the new picture shows without frames until a
        // calculation, which a click on the option already selected runs.
        open(QStringLiteral("b.png"), Screenshot(720, 576, QColor(30, 60, 90)));
        QCOMPARE(dialogs.last().at(3), dir->path()); // starts where the last file was
        QCOMPARE(shown("txtX1 txtVideoLength"), QStringLiteral("13 120"));
        QCOMPARE(Shown(control("picDraw"), 12, 300), Rgb(30, 60, 90));
        click("optStretch43");
        QCOMPARE(Shown(control("picDraw"), 12, 300), Rgb(225, 227, 165));

        // Another height alone, then another width alone, resets everything.
        for (QSize size : {QSize(720, 480), QSize(704, 480)}) {
            crop();
            retype("txtVideoLength", QStringLiteral("120"));
            open(QStringLiteral("other.bmp"), Screenshot(size.width(), size.height()));
            QCOMPARE(shown("txtX1 txtVideoLength"), QStringLiteral("0 90"));
            QCOMPARE(window->state().CropLeft, -1);
            QVERIFY(!control("cmdPreview")->isEnabled());
        }
        clickPicture({704.5, 100}); // right of the 704 pixels: no edge at all
        QCOMPARE(window->state().CropTop, -1);
        clickPicture({704, 100}); // just past the last column
        QCOMPARE(window->state().CropRight, 704);

        open(QStringLiteral("big.bmp"), Screenshot(721, 576));
        QCOMPARE(messages, QStringList{"Quarvel: Bitmap exceeds 720x576 pixel."});
        QCOMPARE(window->state().SourceWidth, 704);
        const QString notes = QStringLiteral(QUARVEL_BITMAP_CORPUS "/invalid-text.bmp");
        answers << notes;
        click("cmdOpenBMP");
        QCOMPARE(messages.last(), QStringLiteral("Quarvel: File is not a valid Bitmap."));
        QCOMPARE(window->state().SourceFileName, notes);
        QVERIFY(control("picVARN")->isVisible() && !window->state().BitmapLoaded);
        click("cmdOpenBMP"); // cancelled
        QCOMPARE(window->state().SourceFileName, notes);
        QCOMPARE(messages.size(), 2);

        // A dropped file opens as if chosen in the dialog; text, or a pipe that would block a
        // reader, is refused.
        const QString pipe = dir->filePath(QStringLiteral("pipe.bmp"));
        QCOMPARE(mkfifo(qPrintable(pipe), 0600), 0);
        for (const QString& path : {dir->filePath(QStringLiteral("a.bmp")), QString(), pipe})
            drop(path);
        QCOMPARE(messages.mid(2), QStringList(2, "Quarvel: File is not a valid Bitmap."));
        QCOMPARE(window->state().SourceFileName, pipe);
        QCOMPARE(window->state().SourceWidth, 720);

        // A screenshot has no transparency: pixels of alpha 0 show in their own colour, before
        // and after a calculation.
        answers << QStringLiteral(QUARVEL_BITMAP_CORPUS "/accepted-32bit-alpha.bmp");
        click("cmdOpenBMP");
        QCOMPARE(Shown(control("picDraw"), 8, 3), Rgb(200, 0, 0));
        clickPicture({1, 1});
        clickPicture({15, 7});
        QVERIFY(control("cmdPreview")->isEnabled());
        QCOMPARE(Shown(control("picDraw"), 8, 3), Rgb(200, 0, 0));
    }

    void bitratePanel() {
        // A click on each group's selected option keeps it and the calculation live.
        for (const char* option : {"optCalcBitrate", "optSpaceCD"}) {
            click(option);
            QVERIFY(control<QRadioButton>(option)->isChecked());
        }
        paste("txtVideoLength", QStringLiteral("120\n"));
        QCOMPARE(shown("txtVideoLength txtTargetBitrate"), QStringLiteral("120 688"));
        // -1 is no value: each box keeps the last result.
        for (const char* box : {"txtVideoLength", "txtSpaceCDCount"})
            retype(box, QStringLiteral("-1"));
        QCOMPARE(shown("txtTargetBitrate"), QStringLiteral("688"));
        retype("txtVideoLength", QStringLiteral("90"));
        retype("txtSpaceCDCount", QStringLiteral("1"));
        // An entry chosen in the CD list with the mouse recalculates.
        auto* cds = control<QComboBox>("cmbSpaceCD");
        QTest::mouseClick(cds, Qt::LeftButton);
        QAbstractItemView* entries = cds->view();
        QTest::qWait(QApplication::doubleClickInterval()); // the list ignores a hasty release
        const QPoint first =
            entries->visualRect(entries->model()->index(0, 0)).topLeft() + QPoint(4, 4);
        QTest::mouseMove(entries->viewport(), first);
        QTest::mouseClick(entries->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(shown("cmbSpaceCD txtTargetBitrate"), QStringLiteral("650 882"));

        click("optCalcDiskspace");
        retype("txtBitrate", QStringLiteral("4000"));
        QCOMPARE(shown("txtDiskspace lblNeededCDs"), QStringLiteral("2657 4 CDs à 700 MB"));
        retype("txtBitrate", QStringLiteral("-1"));
        QCOMPARE(shown("txtDiskspace"), QStringLiteral("2657"));
        // A key in a list calculates with the entry before it, then with the new one.
        QTest::keyClick(control("cmbAudioCount"), Qt::Key_Down);
        QCOMPARE(shown("cmbAudioCount txtDiskspace"), QStringLiteral("2 2740"));
        retype("txtVideoLength", QStringLiteral("-2"));
        QCOMPARE(shown("txtDiskspace lblNeededCDs txtTargetBitrate"), QStringLiteral("ERROR  882"));

        // Arrows move round the group only, never into the hidden frame.
        control("optCalcDiskspace")->setFocus();
        QStringList visited;
        for (auto key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_Left}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            visited << focused();
        }
        QCOMPARE(visited.join(u' '), QStringLiteral("optCalcBitrate optCalcDiskspace "
                                                    "optCalcBitrate optCalcDiskspace"));
        QVERIFY(control<QRadioButton>("optSpaceCD")->isChecked());

        // Alt+B and Alt+C move the focus and change nothing else.
        QTest::keyClick(window.get(), Qt::Key_B, Qt::AltModifier);
        QCOMPARE(focused(), QStringLiteral("optCalcBitrate"));
        QVERIFY(!control<QRadioButton>("optCalcBitrate")->isDown()); // no click on its way
        QVERIFY(control("fraCalcDiskspace")->isVisible());
        QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);
        QCOMPARE(focused(), QStringLiteral("txtPixelCount"));

        // Tab stops at each group's selected option.
        click("optCalcBitrate");
        QCOMPARE(tabs("txtNewHeight", 2), QStringLiteral("optCalcBitrate txtVideoLength"));
        QCOMPARE(tabs("cmbAudioBitrate", 4),
                 QStringLiteral("optSpaceCD txtSpaceCDCount cmbSpaceCD txtTargetBitrate"));
        click("optSpaceCustom");
        QCOMPARE(tabs("cmbAudioBitrate", 3),
                 QStringLiteral("optSpaceCustom txtSpaceCustom txtTargetBitrate"));
        QTest::keyClick(control("optSpaceCustom"), Qt::Key_Up);
        QVERIFY(control<QRadioButton>("optSpaceCD")->isChecked());

        click("optSpaceCustom");
        click("cmdReset");
        QVERIFY(control("txtSpaceCDCount")->isEnabled() && !control("txtSpaceCustom")->isEnabled());
        QCOMPARE(shown("txtTargetBitrate txtBitrate"), QStringLiteral("959 870"));
        QCOMPARE(tabs("cmbAudioBitrate", 1), QStringLiteral("optSpaceCD"));
    }

    void saveReport() {
        const QString source = open(QStringLiteral("dvd shot.bmp"), Screenshot());
        crop();
        const QString report = dir->filePath(QStringLiteral("report.txt"));
        answers << report;
        click("cmdSaveInfo");
        QCOMPARE(dialogs.last(), QStringList({"Save Information", "Quarvel_Info.txt",
                                              "Textdateien (*.txt)|*.txt", dir->path()}));
        const QByteArray rule(60, '-');
        // clang-format off
        const QByteArray expected = QByteArrayList{
            rule, " Quarvel", rule, "", "Source Bitmap", "=============",
            "file name: \t" + source.toUtf8(), "format:\t\t720x576", "aspect ratio:\t4:3", "",
            "Crop Settings", "=============", "X1 offset:\t13", "X2 offset:\t13", "Y1 offset:\t72",
            "Y2 offset:\t72", "", "Resize Settings", "===============", "new width:\t576",
            "new height:\t336", "", "Target Info", "===========", "aspect ratio:\t1.71:1",
            "pixel count:\t193536", "", rule, " made by the Quarvel developers",
            " project home: the Quarvel source repository", rule, ""}.join("\r\n");
        // clang-format on
        QFile saved(report);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), expected);
        saved.close();

        click("optStretch169");
        answers << report;
        click("cmdSaveInfo"); // replaces the first report
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().split('\n').at(8), QByteArray("ascpect ratio:\t16:9\r"));
        answers << QStringLiteral("/dev/full");
        click("cmdSaveInfo");
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith(u"Quarvel: The report could not be saved to \"/dev/full\""));
    }

    void preview() {
        // Red columns before the trimmed left edge (12) and from the trimmed right edge (707)
        // on, blue rows before the top edge (71) and from the bottom edge (504) on.
        QImage picture(720, 576, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QPainter painter(&picture);
        painter.fillRect(12, 0, 707 - 12, 576, Qt::green);
        painter.fillRect(0, 0, 720, 71, Qt::blue);
        painter.fillRect(0, 504, 720, 72, Qt::blue);
        painter.end();
        open(QStringLiteral("marks.bmp"), picture);
        crop();
        for (int run = 0; run < 2; ++run) {
            QImage preview;
            QString title;
            QSize size;
            QTimer::singleShot(0, this, [&] {
                QWidget* window = QApplication::activeModalWidget();
                title = window->windowTitle();
                size = window->size();
                QWidget* box = window->findChild<QWidget*>(QStringLiteral("picPreview"));
                preview = box->grab().toImage();
                QTest::mouseClick(box, Qt::LeftButton, {}, {100, 100});
            });
            click("cmdPreview"); // returns once the click on the picture closed it
            QCOMPARE(title, QStringLiteral("Quarvel - Preview (click picture to close window)"));
            QCOMPARE(size, QSize(576, 336));
            for (QPoint corner : {QPoint(0, 0), QPoint(575, 0), QPoint(0, 335), QPoint(575, 335)})
                QCOMPARE(Pixel(preview, corner.x(), corner.y()), Rgb(0, 255, 0));
        }

        // Larger than the screen, the window stays on it; beyond the size limit, a message.
        retype("txtPixelCount", QStringLiteral("16000000"));
        QRect shownAt, room;
        QTimer::singleShot(0, this, [&] {
            QWidget* window = QApplication::activeModalWidget();
            shownAt = window->frameGeometry();
            room = window->screen()->availableGeometry();
            window->close();
        });
        click("cmdPreview");
        QVERIFY(room.contains(shownAt));
        retype("txtPixelCount", QStringLiteral("17000000"));
        click("cmdPreview");
        // A tall, narrow region and a tiny target leave nothing to show.
        clickPicture({300, 1}), clickPicture({420, 575});
        retype("txtPixelCount", QStringLiteral("100"));
        QTimer::singleShot(0, this, [] {
            if (QWidget* opened = QApplication::activeModalWidget())
                opened->close();
        });
        click("cmdPreview");
        QCOMPARE(messages, QStringList({"Quarvel: Preview of 5424x3136 exceeds 4096x4096 pixel.",
                                        "Quarvel: Preview of 0x32 exceeds 4096x4096 pixel."}));
    }

    void aboutAndQuit() {
        click("cmdHelp");
        click("cmdHelp");
        const QWidgetList tops = QApplication::topLevelWidgets();
        const auto isHelp = [](QWidget* w) {
            return w->objectName() == u"frmHelp" && w->isVisible();
        };
        QCOMPARE(std::count_if(tops.begin(), tops.end(), isHelp), 1);
        QPointer<QWidget> help = *std::find_if(tops.begin(), tops.end(), isHelp);
        // Return on its focused Close button closes it.
        auto* close = help->findChild<QPushButton*>(QStringLiteral("cmdClose"));
        QApplication::setActiveWindow(help);
        close->setFocus();
        QTest::keyClick(close, Qt::Key_Return);
        QVERIFY(!help || !help->isVisible());
        click("cmdHelp");

        // Quit closes the preview, the about window and the main window, in this order.
        struct CloseOrder : QObject {
            QStringList closed;
            bool eventFilter(QObject* watched, QEvent* event) override {
                const auto* widget = qobject_cast<QWidget*>(watched);
                if (event->type() == QEvent::Close && widget && widget->isWindow())
                    closed << widget->objectName();
                return false;
            }
        } order;
        qApp->installEventFilter(&order);
        open(QStringLiteral("shot.bmp"), Screenshot());
        crop();
        QTimer::singleShot(0, this, [this] { control<QPushButton>("cmdQuit")->click(); });
        click("cmdPreview");
        qApp->removeEventFilter(&order);
        QCOMPARE(order.closed, QStringList({"frmPreview", "frmHelp", "frmMain"}));
    }

    // Videos made here by the ffmpeg program: the frames shown and stepped through, the aspect
    // from the stream, the bars across frames, and what cannot be opened.
    void openingVideos() {
        const QString picture = kClipPicture;
        // PAL 4:3 with bars at the sides: a 16:9 letterbox, a fade to black, then the full
        // height.
        const QString pal = clip("pal.mpg", picture.arg("704x432").arg(6) +
                                                ",pad=720:576:8:72[a];color=c=black:r=25:"
                                                "s=720x576:d=2[b];" +
                                                picture.arg("704x576").arg(2) +
                                                ",pad=720:576:8:0[c];"
                                                "[a][b][c]concat=n=3,setsar=16/15[out0]");
        answers << pal;
        click("cmdOpenBMP");
        QVERIFY2(window->windowTitle().startsWith(u"Quarvel 1.0 - pal.mpg - 0:00:0"),
                 qPrintable(window->windowTitle()));
        QVERIFY(window->windowTitle().endsWith(u"/24)") && !control("picVARN")->isVisible());
        QVERIFY(control<QRadioButton>("optStretch43")->isChecked());
        const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            QTest::keyClick(window.get(), key, modifiers);
            if (!QTest::qWaitFor([this] { return !window->searching(); }))
                return QStringLiteral("still searching");
            return control<QLabel>("lblNote")->isVisible() ? shown("lblNote") : QString();
        };
        QCOMPARE(press(Qt::Key_D, Qt::ControlModifier),
                 QStringLiteral("Bars found in 18 of 24 frames. Mixed aspect: 14 of 18 frames have "
                                "bars at the top and bottom, the rest show more picture there; "
                                "nothing was cut there."));
        QCOMPARE(shown(kCropOutputs), QStringLiteral("11 11 0 0 496 384 1.29:1 190464"));
        // Stepping keeps the edges and results and draws the frames on the next picture.
        const QString title = window->windowTitle();
        press(Qt::Key_PageUp);
        QVERIFY(window->windowTitle() != title);
        const QImage& shownFrame = control<PictureBox>("picDVD")->picture();
        QVERIFY(control<PictureBox>("picDraw")
                    ->canvas()
                    .copy(shownFrame.rect())
                    .convertToFormat(QImage::Format_RGB32) !=
                shownFrame.convertToFormat(QImage::Format_RGB32)); // the crop frames drawn
        QWheelEvent towardsUser({300, 300}, {}, {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase,
                                false);
        QApplication::sendEvent(control("picDraw"), &towardsUser);
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(shown(kCropOutputs), QStringLiteral("11 11 0 0 496 384 1.29:1 190464"));

        // NTSC 16:9, letterboxed: the stream's aspect is chosen, the output keeps circles round.
        answers << clip("ntsc.mpg",
                        picture.arg("720x360").arg(2) + ",pad=720:480:0:60,setsar=32/27");
        click("cmdOpenBMP");
        QVERIFY(control<QRadioButton>("optStretch169")->isChecked());
        press(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(shown(kCropOutputs), QStringLiteral("16 16 60 60 688 304 2.26:1 209152"));

        // A raw stream without a running time is sampled over its bytes.
        QProcess::execute("ffmpeg",
                          {"-v", "error", "-f", "lavfi", "-i", picture.arg("352x288").arg(20),
                           "-q:v", "4", dir->filePath("raw.m2v")});
        answers << dir->filePath("raw.m2v");
        click("cmdOpenBMP");
        QCOMPARE(window->state().CropLeft, -1); // another size: the edges are reset
        QCOMPARE(span(), QStringLiteral("0:00:01 0:00:19"));
        QVERIFY(window->windowTitle().endsWith(u"(24/24)"));
        click("cmdReset"); // the video is gone with the rest
        QCOMPARE(press(Qt::Key_PageDown),
                 QStringLiteral("Page Up and Page Down step through the frames of a video."));

        // What cannot be opened leaves everything as it was.
        const QString raw = window->state().SourceFileName;
        QFile whole(pal), cut(dir->filePath(QStringLiteral("cut.mpg")));
        QVERIFY(whole.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(3000));
        cut.close();
        answers << cut.fileName();
        click("cmdOpenBMP");
        QCOMPARE(messages, QStringList("Quarvel: File is not a readable video."));
        QCOMPARE(window->state().SourceFileName, raw);

        // A short video's frames are each taken once.
        QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i",
                                     "testsrc2=s=160x120:r=10:d=1", dir->filePath("short.mkv")});
        answers << dir->filePath("short.mkv");
        click("cmdOpenBMP");
        QVERIFY(window->windowTitle().endsWith(u"(7/7)"));
        QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc2=s=160x120:d=20",
                                     "-g", "100000", dir->filePath("onekey.mkv")});
        // Quit while a video is read quits.
        answers << dir->filePath("onekey.mkv");
        QTest::mouseClick(control("cmdOpenBMP"), Qt::LeftButton);
        QVERIFY(window->opening());
        QTest::mouseClick(control("cmdQuit"), Qt::LeftButton);
        QVERIFY(!window->opening() && !window->isVisible());
    }

    // A DVD authored here: a short extra and a longer main title, one title set; its folder,
    // an image of it, its titles chosen in the list, and the running time in the calculator.
    void openingDvds() {
        const QString disc = dir->filePath(QStringLiteral("DVD"));
        QVERIFY(AuthorDvd(disc, {"testsrc2=s=720x576:r=25:d=2", "testsrc2=s=720x576:r=25:d=12"}));
        const QString image = dir->filePath(QStringLiteral("disc.iso"));
        QProcess::execute("genisoimage", {"-quiet", "-dvd-video", "-o", image, disc});

        drop(disc);
        QCOMPARE(shown("lblNote"), QStringLiteral("Title 2 of 2, 0:00:12, the longest."));
        QVERIFY(control<QRadioButton>("optStretch169")->isChecked());
        QCOMPARE(span(), QStringLiteral("0:00:00 0:00:11"));
        QCOMPARE(shown("txtVideoLength txtTargetBitrate"), QStringLiteral("1 97739"));
        // The extra chosen in the list, by keys as by the mouse.
        auto* titles = control<QComboBox>("cmbTitle");
        QVERIFY(titles->isVisible());
        QCOMPARE(titles->accessibleName(), QStringLiteral("DVD title"));
        QCOMPARE(titles->currentText(), QStringLiteral("Title 2 \u2013 0:00:12 \u2013 16:9"));
        titles->setFocus();
        QTest::keyClick(titles, Qt::Key_Up);
        settle(true);
        QCOMPARE(shown("lblNote"),
                 QStringLiteral("Title 1 of 2, 0:00:02. 5 of 24 frames could be read."));
        QCOMPARE(titles->currentText(), QStringLiteral("Title 1 \u2013 0:00:02 \u2013 16:9"));

        // The image, through the dialog; a title set's VOB file opens the title it holds.
        answers << image;
        click("cmdOpenBMP");
        QVERIFY2(window->windowTitle().startsWith(u"Quarvel 1.0 - disc.iso - 0:00:0"),
                 qPrintable(window->windowTitle()));
        QCOMPARE(shown("lblNote"), QStringLiteral("Title 2 of 2, 0:00:12, the longest."));
        answers << disc + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB");
        click("cmdOpenBMP");
        QCOMPARE(shown("lblNote"), QStringLiteral("Title 2 of 2, 0:00:12."));
        // A picture leaves the running time, and hides the list; Reset brings 90 back.
        open(QStringLiteral("shot.bmp"), Screenshot());
        QVERIFY(!titles->isVisible());
        QCOMPARE(shown("txtVideoLength"), QStringLiteral("1"));
        click("cmdReset");
        QCOMPARE(shown("txtVideoLength"), QStringLiteral("90"));

        // A folder without a DVD, a pipe in a DVD or a damaged DVD leaves the source open.
        drop(dir->path());
        QCOMPARE(shown("lblNote"),
                 QStringLiteral("This folder holds no DVD (no VIDEO_TS folder)."));
        const QString vob = disc + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB");
        QFile::remove(vob);
        QCOMPARE(mkfifo(QFile::encodeName(vob).constData(), 0644), 0);
        drop(disc);
        QFile::resize(disc + QStringLiteral("/VIDEO_TS/VIDEO_TS.IFO"), 100);
        QFile::resize(disc + QStringLiteral("/VIDEO_TS/VIDEO_TS.BUP"), 100);
        answers << disc + QStringLiteral("/VIDEO_TS/VTS_01_0.IFO");
        click("cmdOpenBMP");
        QCOMPARE(messages,
                 QStringList({"Quarvel: DVD cannot be read: VTS_01_1.VOB is not a regular file.",
                              "Quarvel: DVD cannot be read (encrypted or damaged)."}));
        QVERIFY(window->state().SourceFileName.endsWith(u"shot.bmp"));
    }

    // What Ctrl+D says of a video's frames that disagree.
    void barNotesOnVideos() {
        const QString picture = kClipPicture;
        // 4:3, letterboxed for its first half, full frame for its second.
        answers << clip("half.mpg", picture.arg("720x432").arg(4) + ",pad=720:576:0:72[a];" +
                                        picture.arg("720x576").arg(4) +
                                        "[b];[a][b]concat=n=2,setsar=16/15[out0]");
        click("cmdOpenBMP");
        detect();
        QCOMPARE(shown("lblNote"),
                 QStringLiteral("No black bars found. Mixed aspect: 12 of 24 frames have bars at "
                                "the top and bottom, the rest show the full frame; nothing was "
                                "cut."));
        // Subtitles burned into the bottom bar of a letterboxed film in some frames.
        answers << clip("subtitled.mpg", picture.arg("720x360").arg(16) +
                                             ",pad=720:576:0:108,drawtext=text=Where are you "
                                             "going?:fontsize=28:fontcolor=white:x=220:y=500:"
                                             "enable=lt(mod(t\\,8)\\,3)");
        click("cmdOpenBMP");
        detect();
        QCOMPARE(shown("lblNote"),
                 QStringLiteral("Bars found in 24 of 24 frames. Kept 59 lines at the bottom: "
                                "subtitles or a logo in the bar in 9 of 24 frames."));
    }

    // HD broadcasts: the aspect from the stream, the frame shown scaled to fit, bars, clicks and
    // the arrow keys all in source lines.
    void hdVideos() {
        const QString picture = kClipPicture;
        const QStringList x264{"-c:v", "libx264", "-preset", "ultrafast", "-g", "12"};
        const auto edges = [this] {
            const MainWindowState& s = window->state();
            return QString::asprintf("%d %d %d %d", s.CropLeft, s.CropTop, s.CropRight,
                                     s.CropBottom);
        };
        const auto key = [this](Qt::Key key) {
            QTest::keyClick(QApplication::focusWidget(), key);
            return shown("lblNote");
        };
        // 2.39:1 in a 1920 x 1080 frame: 138 bar rows above and below.
        answers << clip("scope.mkv", picture.arg("1920x804").arg(2) + ",pad=1920:1080:0:138", x264);
        click("cmdOpenBMP");
        QVERIFY(control<QRadioButton>("optStretch169")->isChecked());
        detect();
        QCOMPARE(edges(), QStringLiteral("0 137 1919 942"));
        QCOMPARE(shown(kCropOutputs), QStringLiteral("50 50 138 138 688 304 2.26:1 209152"));
        QCOMPARE(control("lblNewAR")->toolTip(),
                 QStringLiteral("display aspect of the crop 2.2637:1, output 2.2632:1, error "
                                "-0.02 %"));
        // Shown at 0.375: the top edge's frame on row 51, clicks a third of the scale apart.
        const QImage shownPicture = control("picDraw")->grab().toImage();
        int framed = 0;
        for (int x = 0; x < 720; ++x)
            framed += qGray(Pixel(shownPicture, x, 51)) > 200;
        QVERIFY2(framed > 300, qPrintable(QString::number(framed)));
        QTest::mouseClick(control("picDraw"), Qt::LeftButton, {}, QPoint(100, 52));
        QCOMPARE(edges(), QStringLiteral("267 139 1919 942"));
        QCOMPARE(key(Qt::Key_Up), QStringLiteral("Top edge on line 138."));
        QCOMPARE(key(Qt::Key_Up), QStringLiteral("Top edge on line 137."));
        QCOMPARE(key(Qt::Key_Left), QStringLiteral("Left edge on column 266."));
        QCOMPARE(edges(), QStringLiteral("266 137 1919 942"));

        // 1280 x 720 with 4:3 picture between 160 columns of bar on each side.
        answers << clip("pillar.mkv", picture.arg("960x720").arg(2) + ",pad=1280:720:160:0", x264);
        click("cmdOpenBMP");
        control("picDraw")->setFocus(Qt::TabFocusReason);
        QCOMPARE(key(Qt::Key_Down),
                 QStringLiteral("Click an edge first; the arrow keys then move it by one line."));
        // After Ctrl+D the keys move the bottom and right edges, and none past the last line; a
        // key pressed while the bars are searched waits for them.
        QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(key(Qt::Key_Down), QStringLiteral("Bottom edge is at the picture's border."));
        QCOMPARE(edges(), QStringLiteral("159 0 1120 719"));
        QCOMPARE(shown("txtY1 txtY2"), QStringLiteral("0 0")); // no line cut without a bar
        QCOMPARE(key(Qt::Key_Left), QStringLiteral("Right edge on column 1119."));

        // DVB's 1440 x 1080 with 4:3 pixels, interlaced, in a transport stream.
        answers << clip("dvb.ts",
                        "testsrc2=s=1440x1080:r=50:d=2,scroll=h=0.01,interlace=scan=tff,setsar=4/3",
                        x264 + QStringList{"-flags", "+ilme+ildct", "-x264opts", "tff=1"});
        click("cmdOpenBMP");
        QVERIFY(control<QRadioButton>("optStretch169")->isChecked());
        QVERIFY2(shown("lblNote").contains(u"Interlaced, top field first"),
                 qPrintable(shown("lblNote")));

        // Square pixels in a frame that is not whole: the sizes follow a whole 576-line frame.
        answers << clip("web.mpg", picture.arg("352x264").arg(2) + ",setsar=1");
        click("cmdOpenBMP");
        QCOMPARE(shown("lblNote"), QStringLiteral("The stream's pixel aspect is 1.0000, a whole "
                                                  "4:3 frame's 2.1818; the sizes follow the whole "
                                                  "frame."));
    }

    void detectBarsAndCopyForEncoder() {
        const auto press = [this](Qt::KeyboardModifiers modifiers, Qt::Key key) {
            QTest::keyClick(window.get(), key, modifiers);
            if (!QTest::qWaitFor([this] { return !window->searching(); }))
                return QStringLiteral("still searching");
            return control<QLabel>("lblNote")->isVisible() ? shown("lblNote") : QString();
        };
        const auto copy = [&] { return press(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_C); };
        QCOMPARE(press(Qt::ControlModifier, Qt::Key_D),
                 QStringLiteral("Open a picture or a video first."));
        QCOMPARE(copy(), QStringLiteral("Nothing to copy yet: mark the picture first."));
        QImage full(720, 576, QImage::Format_RGB32);
        full.fill(Qt::gray);
        open(QStringLiteral("full.bmp"), full);
        QCOMPARE(press(Qt::ControlModifier, Qt::Key_D), QStringLiteral("No black bars found."));
        QCOMPARE(window->state().CropLeft, -1);

        open(QStringLiteral("shot.bmp"), Screenshot());
        crop(); // the bars' inner corners: what Ctrl+D must give
        const QString clicked = shown(kCropOutputs);
        click("cmdReset");
        open(QStringLiteral("shot.bmp"), Screenshot());
        // The tooltip follows the locale as the label does; the encoder text keeps tool syntax.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(press(Qt::ControlModifier, Qt::Key_D).isEmpty());
        QCOMPARE(shown(kCropOutputs), QString(clicked).replace(u'.', u','));
        QCOMPARE(control("lblNewAR")->toolTip(),
                 QStringLiteral("display aspect of the crop 1,7136:1, output 1,7143:1, "
                                "error +0,04 %"));
        QCOMPARE(copy(), QStringLiteral("Copied for ffmpeg, HandBrake, AviSynth and VapourSynth."));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(QApplication::clipboard()->text().section(u'\n', 0, 0),
                 QStringLiteral("ffmpeg:      -vf \"crop=692:432:14:72,scale=576:336,setsar=1\""));
        retype("txtPixelCount", QStringLiteral("100")); // ERROR: nothing to copy
        QCOMPARE(copy(), QStringLiteral("Nothing to copy yet: mark the picture first."));
    }

    // Under a dark palette every text stands out from its own background by at least 3.5:1.
    void readableUnderDarkPalette() {
        window.reset();
        const QPalette light = QApplication::palette();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette dark(QColor(53, 53, 53), QColor(53, 53, 53));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, Qt::white);
        dark.setColor(QPalette::Base, QColor(35, 35, 35));
        QApplication::setPalette(dark);
        init();
        open(QStringLiteral("shot.bmp"), Screenshot());
        crop();
        click("cmdHelp");
        const auto check = [](QWidget* top) {
            for (QWidget* w : top->findChildren<QWidget*>()) {
                const double contrast = w->isVisible() && w->isEnabled() &&
                                                (qobject_cast<QComboBox*>(w) ||
                                                 w->metaObject()->indexOfProperty("text") >= 0)
                                            ? TextContrast(w)
                                            : 21;
                QVERIFY2(contrast >= 3.5,
                         qPrintable(w->objectName() + u' ' + QString::number(contrast)));
            }
        };
        check(window.get());
        click("optCalcDiskspace");
        check(window.get());
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == u"frmHelp")
                check(top);
        window.reset();
        QApplication::setPalette(light);
    }

private:
    template <typename T = QWidget> T* control(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    // The texts that the named boxes, labels and lists show, joined by blanks.
    QString shown(const QString& names) const {
        QStringList all;
        for (const QString& name : names.split(u' ')) {
            QWidget* w = control(qPrintable(name));
            all << w->property(qobject_cast<QComboBox*>(w) ? "currentText" : "text").toString();
        }
        return all.join(u' ');
    }
    // Sources are read off the window's thread; what a click opens is shown before it returns.
    void click(const char* name) {
        const bool active = window->isActiveWindow();
        QTest::mouseClick(control(name), Qt::LeftButton);
        if (qstrcmp(name, "cmdOpenBMP") == 0)
            settle(active);
    }
    // A source read and shown; after a progress dialog the window is active again.
    void settle(bool active) {
        QTRY_VERIFY(!window->opening());
        QVERIFY(!active || QTest::qWaitForWindowActive(window.get()));
    }
    QString clip(const char* name, const QString& graph,
                 const QStringList& codec = {"-c:v", "mpeg2video", "-g", "1", "-q:v", "4"}) {
        const QString path = dir->filePath(QLatin1String(name));
        QProcess::execute("ffmpeg",
                          QStringList{"-v", "error", "-f", "lavfi", "-i", graph} + codec << path);
        return path;
    }
    // The times of the first and last sampled frames, stepped to with Page Up and Down.
    QString span() {
        QStringList times;
        for (Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageDown}) {
            for (int i = 0; i < 24; ++i)
                QTest::keyClick(window.get(), key);
            times << window->windowTitle().section(u' ', 5, 5);
        }
        return times.join(u' ');
    }
    void drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)}); // an empty path is no file: text
        QDragEnterEvent enter({300, 300}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
        QVERIFY(QApplication::sendEvent(window.get(), &enter) && enter.isAccepted());
        QApplication::sendEvent(window.get(), &drop);
        settle(window->isActiveWindow());
    }
    QString open(const QString& name, const QImage& picture) {
        const QString path = dir->filePath(name);
        if (!picture.isNull())
            picture.save(path);
        answers << path;
        click("cmdOpenBMP");
        return path;
    }
    // Press and release on the picture, at positions between pixels as a mouse may report them.
    void clickPicture(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* picture = control("picDraw");
        for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, picture->mapToGlobal(at), button,
                              type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
            QApplication::sendEvent(picture, &event);
        }
    }
    // Ctrl+D, and a video's bars shown once found.
    void detect() {
        QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
        QVERIFY(QTest::qWaitFor([this] { return !window->searching(); }));
    }
    void crop() {
        clickPicture({7, 71});
        clickPicture({712, 504});
    }
    // Ctrl+V over the whole text, as a number copied with its line end arrives.
    void paste(const char* name, const QString& text) {
        QApplication::clipboard()->setText(text);
        control<QLineEdit>(name)->selectAll();
        QTest::keyClick(control(name), Qt::Key_V, Qt::ControlModifier);
    }
    void retype(const char* name, const QString& value) {
        control<QLineEdit>(name)->selectAll();
        QTest::keyClicks(control(name), value);
    }
    QString focused() const { return QApplication::focusWidget()->objectName(); }
    // The widgets that the Tab key visits, starting from one.
    QString tabs(const char* from, int count) {
        control(from)->setFocus(Qt::TabFocusReason);
        QStringList visited;
        while (visited.size() < count) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focused();
        }
        return visited.join(u' ');
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<frmMain> window;
    QStringList answers;        // what the file dialogs return, in turn
    QList<QStringList> dialogs; // title, file name, filter and folder of each dialog shown
    QStringList messages;
};

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
