#include "video/field_runs.h"

namespace {

// Frames decoded after each sampled one to tell how the video holds time; measured, not kept.
constexpr int kRunFrames = 10;
constexpr int kPlainRunFrames = 6;

// A run whose first frames all move and are all whole or all combed, with nothing repeated, says
// all it will; pulldown shows itself within five frames, and at 25 or 50 frames per second,
// where there is none, three frames tell.
bool Plain(const std::vector<FieldMeasure>& run, bool fiftyHertz) {
    if (int(run.size()) < (fiftyHertz ? 3 : kPlainRunFrames))
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
    LumaView views[2];
    // A frame whose luma had to be converted is handed back to the decoder at once: one of deep
    // HD (6 MB) less for it to hold.
    const auto measure = [&](int i, const AVFrame* f) {
        views[i] = lumas[i].Of(f);
        if (views[i].data == lumas[i].converted.data())
            av_frame_unref(frames[i].frame);
    };
    int previous = 0;
    av_frame_ref(frames[previous].frame, key);
    measure(previous, key);
    const AVStream* stream = reader.format->streams[reader.stream];
    const bool fiftyHertz = FiftyHertz(
        av_q2d(stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate));
    std::vector<FieldMeasure> run;
    int flagVote = 0;
    while (int(run.size()) < kRunFrames && reader.Next(frames[1 - previous].frame)) {
        const int current = 1 - previous;
        const AVFrame* c = frames[current].frame;
        if (!Whole(c) || c->width != views[previous].width || c->height != views[previous].height)
            break;
        const int repeatPict = c->repeat_pict;
        bool topFirst = true;
        if (FlaggedInterlaced(c, topFirst))
            flagVote += topFirst ? 1 : -1;
        measure(current, c);
        FieldMeasure m = MeasureFields(views[current], views[previous]);
        m.repeatPict = repeatPict;
        vote += m.orderVote;
        run.push_back(m);
        av_frame_unref(frames[previous].frame);
        previous = current;
        if (Plain(run, fiftyHertz))
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
