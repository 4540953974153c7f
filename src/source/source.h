#pragma once

#include "source/video_sample.h"

enum class SourceOutcome {
    Accepted,
    PictureTooLarge,
    NotAPicture,
    VideoTooLarge,
    VideoUnreadable,
    DvdUnreadable,
    DvdRefused, // the note is the message
    NoModule,
    NoDvdInFolder,
    Cancelled,
};

// Every source is a list of frames: a picture is one, a video or a DVD's title the frames
// sampled over its running time.
struct Source {
    SourceOutcome outcome = SourceOutcome::NotAPicture;
    bool video = false;
    std::vector<VideoFrame> frames; // none unless accepted
    double displayAspect = 0;       // of a video; a picture carries none
    ScanResult scan;
    QString note;                  // what was opened (a DVD's title), or more on why nothing was
    double seconds = 0;            // a video's running time, where known
    std::vector<DiscTitle> titles; // of a DVD, every title
    int title = 0;                 // of a DVD, the one opened
    int unreadableTitle = 0;       // of a DVD, the main title that could not be read
};

// Opens what the path names: a picture, a video file, a DVD's folder, IFO, BUP or VOB file or
// image. Runs in any thread; `progress` counts a video's frames and carries the user's Cancel.
// Of a DVD, `title` asks for one title rather than the main one.
Source OpenSource(const QString& path, VideoProgress& progress, int title = kMainTitle);

// "0:02:00"
QString RunningTime(double seconds);

// Sources being read: a program ends without waiting for a read that does not stop.
int ReadsRunning();
