// What a user does most, from the event to the painted window: releasing the mouse on the
// picture (resize calculation, restoring the picture and drawing both frames on 720 x 576),
// Ctrl+D, a key typed into a number box, a step to another frame of a video; and the bar
// detection of Ctrl+D alone.
#include "state/black_bars.h"
#include "ui/controls/picture_box.h"
#include "ui/main/frm_main.h"
#include "ui/platform/common_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

struct LoadedWindow {
    QTemporaryDir dir;
    frmMain window;
    PictureBox* picture = nullptr;

    LoadedWindow() {
        QImage shot(720, 576, QImage::Format_RGB32);
        shot.fill(Qt::black);
        QPainter(&shot).fillRect(8, 72, 704, 432, QColor(80, 120, 160));
        const QString path = dir.filePath("shot.bmp");
        shot.save(path, "BMP");
        window.show();
        window.findChild<CommonDialog*>("CommonDialog1")
            ->setResponder([path](const CommonDialog&, CommonDialog::Kind) { return path; });
        open();
        picture = window.findChild<PictureBox*>("picDraw");
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(7, 71));
        QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(712, 504));
        QApplication::processEvents();
    }
    // Sources are read off the window's thread.
    void open() {
        window.findChild<QPushButton*>("cmdOpenBMP")->click();
        while (window.opening())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
};

void MouseRelease(benchmark::State& state) {
    LoadedWindow loaded;
    for (auto _ : state) {
        QTest::mouseRelease(loaded.picture, Qt::LeftButton, {}, QPoint(712, 504));
        QApplication::processEvents(); // paints what the release changed
    }
    if (loaded.window.state().FinalCropLeft != 12)
        state.SkipWithError("the calculation did not run");
}
BENCHMARK(MouseRelease)->Unit(benchmark::kMicrosecond);

void DetectBarsKey(benchmark::State& state) {
    LoadedWindow loaded;
    for (auto _ : state) {
        QTest::keyClick(&loaded.window, Qt::Key_D, Qt::ControlModifier);
        QApplication::processEvents();
    }
}
BENCHMARK(DetectBarsKey)->Unit(benchmark::kMicrosecond);

// A digit and its removal: two recalculations of the resize, each painted.
void TypedKeys(benchmark::State& state) {
    LoadedWindow loaded;
    auto* box = loaded.window.findChild<QLineEdit*>("txtPixelCount");
    box->setFocus();
    box->end(false);
    for (auto _ : state) {
        for (Qt::Key key : {Qt::Key_5, Qt::Key_Backspace}) {
            QTest::keyClick(box, key);
            QApplication::processEvents();
        }
    }
}
BENCHMARK(TypedKeys)->Unit(benchmark::kMicrosecond);

// Page Down and Page Up through a video's sampled frames, with the frames drawn again; a PAL
// clip and an HD one, shown scaled. The peak memory is the whole process's, from its start.
void VideoStep(benchmark::State& state) {
    LoadedWindow loaded;
    const QString clip = loaded.dir.filePath("clip.mkv");
    const QString size =
        state.range(0) == 576 ? QStringLiteral("720x576") : QStringLiteral("1920x1080");
    QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc2=s=" + size + ":d=4",
                                 "-c:v", "libx264", "-g", "1", clip});
    loaded.window.findChild<CommonDialog*>("CommonDialog1")
        ->setResponder([clip](const CommonDialog&, CommonDialog::Kind) { return clip; });
    loaded.open();
    QTest::keyClick(&loaded.window, Qt::Key_D, Qt::ControlModifier);
    for (auto _ : state) {
        for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageUp}) {
            QTest::keyClick(&loaded.window, key);
            QApplication::processEvents();
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(VideoStep)->Arg(576)->Arg(1080)->Unit(benchmark::kMicrosecond);

// A running time typed: the calculator recalculates as the text changes.
void BitrateRecalculation(benchmark::State& state) {
    frmMain window;
    auto* length = window.findChild<QLineEdit*>(QStringLiteral("txtVideoLength"));
    int minutes = 0;
    for (auto _ : state)
        length->setText(QString::number(60 + minutes++ % 120));
}
BENCHMARK(BitrateRecalculation)->Unit(benchmark::kMicrosecond);

// A letterboxed and pillarboxed 720 x 576 screenshot with noise in its bars.
void BlackBarDetection(benchmark::State& state) {
    QImage shot(720, 576, QImage::Format_RGB32);
    shot.fill(Qt::black);
    QPainter(&shot).fillRect(12, 72, 696, 432, QColor(80, 120, 160));
    for (int i = 0; i < 2000; ++i)
        shot.setPixel((i * 7919) % 720, (i * 104729) % 72, qRgb(200, 200, 200));
    for (auto _ : state)
        benchmark::DoNotOptimize(DetectBlackBars(shot));
}
BENCHMARK(BlackBarDetection)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
