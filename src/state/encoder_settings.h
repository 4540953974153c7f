#pragma once

#include "state/crop_resize.h"
#include "state/scan_type.h"

#include <QString>

// The region to cut and the new size in the syntax of ffmpeg, HandBrake, AviSynth and
// VapourSynth, with square output pixels; one line each, LF ended. 4:2:0 video is cut by even
// numbers only, so each odd offset grows by one line and a note says so; the last line is the
// aspect error of that region. Interlaced and telecined video is deinterlaced or its film frames
// restored before the crop, so that scaling never sees woven fields; two lines say what was
// found and which plugins the AviSynth and VapourSynth lines need.
QString EncoderSettingsText(const CropResizeInput& in, const CropResizeResult& result,
                            const ScanResult& scan = {});

// "display aspect of the crop 1.7136:1, output 1.7143:1, error +0.04 %": the output's aspect
// against the display aspect of the region the window's offsets leave, with the given decimal
// point. Empty when there is no region.
QString AspectErrorText(const CropResizeInput& in, const CropResizeResult& result,
                        QChar decimalPoint = u'.');
