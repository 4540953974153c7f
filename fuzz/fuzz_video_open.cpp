// Arbitrary bytes through the video opener that "Open BMP ..." uses for videos: refused as
// unreadable or too large, or accepted with frames of one size within 720 x 576.
#include "source/source.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/fuzz-XXXXXX.mpg"));
    if (!file.open())
        std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    VideoProgress progress;
    const Source sample = SampleVideo(file.fileName(), progress);
    if (sample.outcome == SourceOutcome::NoModule)
        std::abort();
    if ((sample.outcome == SourceOutcome::Accepted) == sample.frames.empty())
        std::abort();
    for (const VideoFrame& frame : sample.frames)
        if (frame.size != sample.frames[0].size || frame.size.width() > kMaxVideoWidth ||
            frame.size.height() > kMaxVideoHeight ||
            FramePicture(frame, QSize(16, 16)).size() != QSize(16, 16))
            std::abort();
    return 0;
}
