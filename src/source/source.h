#pragma once

#include "source/video_sample.h"

enum class SourceOutcome {
    Accepted,
    PictureTooLarge,
    NotAPicture,
    VideoTooLarge,
    VideoUnreadable,
    DvdUnreadable,
    NoModule,
    NoDvdInFolder,
    Cancelled,
};

// Every source is a list of frames: a picture is one, a video or a DVD's main title the frames
// sampled over its running time.
struct Source {
    SourceOutcome outcome = SourceOutcome::NotAPicture;
    bool video = false;
    std::vector<VideoFrame> frames; // none unless accepted
    double displayAspect = 0;       // of a video; a picture carries none
    ScanResult scan;
    QString note; // what was opened (a DVD's title), or more on why nothing was
};

// Opens what the path names: a picture, a video file, a DVD's folder, IFO, BUP or VOB file. Runs
// in any thread; `progress` counts a video's frames and carries the user's Cancel.
Source OpenSource(const QString& path, VideoProgress& progress);
