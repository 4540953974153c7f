// video_sampling FILE: samples FILE as "Open BMP ..." does, the video module's loading included,
// and prints how long that took and the peak memory of the process.
#include "source/source.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

#include <sys/resource.h>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QElapsedTimer timer;
    timer.start();
    VideoProgress progress;
    const Source sample = SampleVideo(QString::fromLocal8Bit(argv[1]), progress);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto at = [&](std::size_t i) {
        return i < sample.frames.size() ? sample.frames[i].seconds : 0;
    };
    std::printf("quarvel   sampled %zu frames (%.1f to %.1f s) in %.2f s, peak %ld MB %s %s\n",
                sample.frames.size(), at(0), at(sample.frames.size() - 1),
                double(timer.nsecsElapsed()) / 1e9, usage.ru_maxrss / 1024, qPrintable(sample.note),
                qPrintable(ScanTypeNote(sample.scan)));
    return 0;
}
