#pragma once

#include <QString>
#include <cstdint>

// The calculator's inputs as the window shows them; list entries are their own texts.
struct BitrateInput {
    std::int32_t videoLength = 0; // minutes
    std::int32_t cdCount = 0;
    std::int32_t customSpace = 0;  // MB
    std::int32_t videoBitrate = 0; // kbit/s
    QString audioBitrateEntry;     // selected entry of the audio bitrate list; empty if none
    int audioCountPosition = -1;   // selected position of the audio stream list
    QString cdSizeEntry;           // selected entry of the CD size list
    bool useCDs = true;            // CDs of a listed size rather than a custom size
    bool useCustom = false;
};

enum class BitrateStatus {
    Ok,      // value holds the unrounded result
    NoValue, // the inputs make no result: a length below 1, or no bitrate left for the video
    Failed,  // the arithmetic failed: a list entry that is no number, or an overflow
};

struct BitrateResult {
    BitrateStatus status = BitrateStatus::Failed;
    double value = 0;
};

// Video bitrate in kbit/s that fills the target size exactly.
BitrateResult VideoBitrateFor(const BitrateInput& in);

// File size in MB of a video at the given bitrate, with its audio.
BitrateResult FileSizeFor(const BitrateInput& in);

// Which 650 MB or 700 MB CDs hold a file of the given size.
QString SuggestSplitting(double sizeMB);
