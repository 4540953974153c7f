#pragma once

#include "state/crop_resize.h"

#include <QString>

// The region to cut and the new size in the syntax of ffmpeg, HandBrake, AviSynth and
// VapourSynth, with square output pixels; one line each, LF ended. 4:2:0 video is cut by even
// numbers only, so each odd offset grows by one line and a note says so; the last line is the
// aspect error of that region.
QString EncoderSettingsText(const CropResizeInput& in, const CropResizeResult& result);

// "display aspect of the crop 1.7136:1, output 1.7143:1, error +0.04 %": the output's aspect
// against the display aspect of the region the window's offsets leave, with the given decimal
// point. Empty when there is no region.
QString AspectErrorText(const CropResizeInput& in, const CropResizeResult& result,
                        QChar decimalPoint = u'.');
