#pragma once

#include <QString>
#include <cstdint>
#include <optional>

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

// What a run shows. Fields left empty mean "keep the control's text".
struct BitrateOutput {
    std::optional<QString> targetBitrate;
    std::optional<QString> diskspace;
    std::optional<QString> neededCDs;
};

enum class BitrateMode { None, Bitrate, FileSize };

// One recalculation of the bitrate calculator. Every failure ends in the error display.
BitrateOutput CalculateBitrateOutputs(const BitrateInput& in, BitrateMode mode);

// Which 650 MB or 700 MB CDs hold a file of the given size.
QString SuggestSplitting(double sizeMB);
