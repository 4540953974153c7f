#pragma once

#include <QString>
#include <cstdint>

// The main window's working values; every field starts zero, false or empty.
struct MainWindowState {
    std::int16_t CropLeft = 0;
    std::int16_t CropRight = 0;
    std::int16_t CropTop = 0;
    std::int16_t CropBottom = 0;
    std::int16_t FinalCropLeft = 0;
    std::int16_t FinalCropRight = 0;
    std::int32_t TargetPixelCount = 0;
    std::int32_t VideoLength = 0;
    std::int32_t CDCount = 0;
    std::int32_t CustomSpace = 0;
    std::int32_t VideoBitrate = 0;
    std::int32_t SourceWidth = 0;
    std::int32_t SourceHeight = 0;
    bool BitmapLoaded = false;
    bool LoadComplete = false;
    QString SourceFileName;
};
