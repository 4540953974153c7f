#pragma once

#include "video/decoding.h"

// The consecutive frames after a sampled key frame, each measured against the one before: how
// this part of the video holds time. Adds the run's field order vote to `vote`.
RunClass MeasureRun(Reader& reader, const AVFrame* key, int& vote);
