// The two recalculations a user triggers most, and the bar detection of Ctrl+D: releasing the mouse
// on the picture (resize calculation, restoring the picture and drawing both frames on 720 x 576)
// and a bitrate input.
#include "state/black_bars.h"
#include "ui/controls/picture_box.h"
#include "ui/main/frm_main.h"
#include "ui/platform/common_dialog.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

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
        window.findChild<CommonDialog*>("CommonDialog1")
            ->setResponder([path](const CommonDialog&, CommonDialog::Kind) { return path; });
        window.findChild<QPushButton*>("cmdOpenBMP")->click();
        picture = window.findChild<PictureBox*>("picDraw");
        emit picture->mouseDown(Qt::LeftButton, {}, QPointF(7, 71));
        emit picture->mouseDown(Qt::LeftButton, {}, QPointF(712, 504));
    }
};

void MouseReleaseRecalculation(benchmark::State& state) {
    LoadedWindow loaded;
    for (auto _ : state)
        emit loaded.picture->mouseUp(Qt::LeftButton, {}, QPointF(712, 504));
    if (loaded.window.state().FinalCropLeft != 12)
        state.SkipWithError("the calculation did not run");
}
BENCHMARK(MouseReleaseRecalculation)->Unit(benchmark::kMicrosecond);

void BitrateRecalculation(benchmark::State& state) {
    frmMain window;
    for (auto _ : state)
        window.CalculateBitrate();
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
