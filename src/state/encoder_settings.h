#pragma once

#include "state/crop_resize.h"

#include <QString>

// The region actually scaled and the new size in the syntax of ffmpeg, HandBrake, AviSynth and
// VapourSynth, a note when an offset is odd, and the aspect error line; one line each, LF ended.
QString EncoderSettingsText(const CropResizeInput& in, const CropResizeResult& result);

// "display aspect of the crop 1.7136:1, output 1.7143:1, error +0.04 %": the output's aspect
// against the display aspect of the region it is scaled from. Empty when there is no region.
QString AspectErrorText(const CropResizeInput& in, const CropResizeResult& result);
