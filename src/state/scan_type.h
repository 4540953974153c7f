#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// How a video's frames hold time. Decided by measuring the pictures; the stream's flags only
// help, since progressive films are often stored as interlaced frames and the reverse happens.
enum class ScanType {
    Progressive,
    Interlaced,   // every moving frame combed: two instants per frame
    HardTelecine, // 3:2 pulldown woven into the frames: two of five combed, fields repeated
    SoftTelecine, // whole film frames, repeat-field flags make the 29.97 frames per second
    Mixed,        // samples disagree: film with interlaced credits, trailers
};

struct ScanResult {
    ScanType type = ScanType::Progressive;
    bool topFieldFirst = true;
    int agreeing = 0; // sampled runs of that class
    int runs = 0;     // sampled runs measured
    int interlacedRuns = 0, telecineRuns = 0, progressiveRuns = 0;
    bool pulldownRuledOut = false; // runs that looked like 3:2 pulldown, at a rate without any
};

// A frame's luma, rows `stride` bytes apart.
struct LumaView {
    const std::uint8_t* data = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0, height = 0;
};

// What one frame shows against the one decoded before it.
struct FieldMeasure {
    bool moving = false;        // enough change since the previous frame to tell anything
    bool combed = false;        // its two fields show different instants
    bool repeatedField = false; // one field unchanged while the other moved (pulldown)
    int orderVote = 0;          // +1 top field first, -1 bottom field first, 0 undecided
    int repeatPict = 0;         // the decoder's repeat-field count, for soft pulldown
};

FieldMeasure MeasureFields(const LumaView& frame, const LumaView& previous);

enum class RunClass { Unknown, Progressive, Interlaced, HardTelecine, SoftTelecine };

// A run of consecutive frames after one sampled point, each measured against the one before.
RunClass ClassifyRun(const std::vector<FieldMeasure>& run);

// 25 or 50 frames per second: PAL's and SECAM's rates, which have no 3:2 pulldown.
bool FiftyHertz(double frameRate);

// The majority over the runs; runs of a static scene tell nothing. Interlaced video stays
// interlaced where some runs show no combing (little motion), and film with pulldown where some
// show interlaced video (credits): both treatments deinterlace what needs it. Film whose
// progressive frames are joined by two or more runs of combed ones is Mixed, as is interlaced
// video with film in a quarter of its runs or more. 3:2 pulldown exists only at NTSC's rates: at 25
// or 50 frames per second (`frameRate`; 0 when unknown) a run that looks like it is interlaced
// video with little motion, and repeat flags make no film.
ScanResult ClassifyVideo(const std::vector<RunClass>& runs, const std::vector<int>& orderVotes,
                         double frameRate = 0);

// "Interlaced, top field first (24 of 24 samples): the copied lines deinterlace."; empty for
// progressive video.
QString ScanTypeNote(const ScanResult& scan);
