#include "video/field_runs.h"

namespace {

// Frames decoded after each sampled one to tell how the video holds time; measured, not kept.
constexpr int kRunFrames = 10;
constexpr int kPlainRunFrames = 6;

// A run whose first frames all move and are all whole or all combed, with nothing repeated, says
// all it will; pulldown shows itself within five frames.
bool Plain(const std::vector<FieldMeasure>& run) {
    if (int(run.size()) < kPlainRunFrames)
        return false;
    int combed = 0;
    for (const FieldMeasure& m : run) {
        if (!m.moving || m.repeatedField || m.repeatPict > 0)
            return false;
        combed += m.combed;
    }
    return combed == 0 || combed == int(run.size());
}

} // namespace

RunClass MeasureRun(Reader& reader, const AVFrame* key, int& vote) {
    Frame frames[2];
    Luma lumas[2];
    int previous = 0;
    av_frame_ref(frames[previous].frame, key);
    std::vector<FieldMeasure> run;
    int flagVote = 0;
    while (int(run.size()) < kRunFrames && reader.Next(frames[1 - previous].frame)) {
        const AVFrame* p = frames[previous].frame;
        const AVFrame* c = frames[1 - previous].frame;
        if (!Whole(c) || c->width != p->width || c->height != p->height)
            break;
        FieldMeasure m = MeasureFields(lumas[1 - previous].Of(c), lumas[previous].Of(p));
        m.repeatPict = c->repeat_pict;
        bool topFirst = true;
        if (FlaggedInterlaced(c, topFirst))
            flagVote += topFirst ? 1 : -1;
        vote += m.orderVote;
        run.push_back(m);
        av_frame_unref(frames[previous].frame);
        previous = 1 - previous;
        if (Plain(run))
            break;
    }
    // Where the pictures cannot tell the order, the flags may.
    int measured = 0;
    for (const FieldMeasure& m : run)
        measured += m.orderVote;
    if (measured == 0 && flagVote != 0)
        vote += flagVote > 0 ? 1 : -1;
    return ClassifyRun(run);
}
