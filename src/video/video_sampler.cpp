// The video module: frames sampled from a video file, a title set's VOB files or a DVD's main
// title with FFmpeg's libraries. Loaded on the first video opened, so that the program starts
// without FFmpeg.
#include "video/decoding.h"
#include "video/dvd_title.h"
#include "video/field_runs.h"
#include "video/sampled.h"

#include <QByteArray>
#include <QFile>
#include <QString>

extern "C" {
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A part gives up after this many sampled points in a row that yielded nothing.
constexpr int kFailuresInARow = 3;
// Frames decoded after a seek without a key frame, after which a whole frame will do: streams
// with one key frame, or with recovery points instead of key frames.
constexpr int kFramesForKey = 100;
// A key frame this many seconds before its target at most is decoded on from.
constexpr int kSecondsToTarget = 4;
// The title frames at the start and the credits at the end are left out.
constexpr double kLeftOutAtEachEnd = 0.05;

struct Deadline {
    Clock::time_point until, end;
    const Progress* progress;
};

int Interrupted(void* opaque) {
    const auto* deadline = static_cast<const Deadline*>(opaque);
    const auto now = Clock::now();
    return deadline->progress->cancelled() || now > deadline->until || now > deadline->end;
}

double Share(int i, int count) {
    return kLeftOutAtEachEnd + (1 - 2 * kLeftOutAtEachEnd) * i / std::max(count - 1, 1);
}

// The time between neighbouring points.
double Spacing(double seconds, int count) {
    return seconds * (Share(1, count) - Share(0, count));
}

// Points far apart are as well served by the key frame a seek lands on as by the frame on the
// point: a long video with long GOPs would otherwise decode some 25 frames for each. Points
// closer together each need a frame of their own.
bool FarApart(double spacing) {
    return spacing >= 2 * kSecondsToTarget;
}

// The next frame worth keeping from where the input stands: after a seek a whole key frame, or
// after a good many frames without one any whole frame (its references have been decoded by
// then); onward from frames already decoded, any whole frame. From there the frames up to the
// target, a few seconds at most, are decoded through, those that no other frame refers to
// skipped; a frame further away is where a seek landed wrong. A frame `near` before the target
// is on it.
bool NextFrame(Reader& reader, AVFrame* frame, std::int64_t target, std::int64_t second,
               std::int64_t near, bool onward) {
    int decoded = 0;
    if (!onward)
        reader.SkipToKey(kFramesForKey);
    for (; reader.Next(frame); ++decoded) {
        if (Whole(frame) && (onward || KeyFrame(frame) || decoded >= kFramesForKey))
            break;
        av_frame_unref(frame);
    }
    if (!frame->buf[0])
        return false;
    // A hundredth of a second short of the target is on it: less than half a frame at any rate.
    const std::int64_t onIt = std::max(second / 100, near);
    const auto before = [&] {
        const std::int64_t at = frame->best_effort_timestamp;
        return target != AV_NOPTS_VALUE && at != AV_NOPTS_VALUE && at < target - onIt &&
               at > target - kSecondsToTarget * second;
    };
    reader.decoder->skip_frame = AVDISCARD_NONREF;
    for (Frame next; before() && decoded < kFramesForKey; ++decoded) {
        if (!reader.Next(next.frame) || !Whole(next.frame))
            break;
        av_frame_unref(frame);
        av_frame_move_ref(frame, next.frame);
    }
    reader.decoder->skip_frame = AVDISCARD_DEFAULT;
    return true;
}

// Recordings joined end to end: timestamps that wrap, fall back to zero or jump forward make
// the running time that of a piece, or of hours that are not there. Where the file's quarters
// hold timestamps outside the running time, or out of order, its clock is not believed.
bool TimelineBroken(AVFormatContext* format, int stream, std::int64_t start, std::int64_t bytes) {
    // Only transport and program streams are joined so; the others' indexes hold their times.
    if (format->duration <= 0 || bytes <= 0 || !format->pb ||
        !(format->iformat->flags & AVFMT_TS_DISCONT))
        return false;
    const AVRational base = format->streams[stream]->time_base;
    const std::int64_t first = av_rescale_q(start, AV_TIME_BASE_Q, base);
    const std::int64_t end = av_rescale_q(start + format->duration, AV_TIME_BASE_Q, base);
    const std::int64_t slack = av_rescale_q(AV_TIME_BASE, AV_TIME_BASE_Q, base);
    Packet packet;
    std::int64_t previous = first - slack;
    bool broken = false;
    for (int quarter = 1; quarter <= 3 && !broken; ++quarter) {
        if (av_seek_frame(format, -1, bytes * quarter / 4, AVSEEK_FLAG_BYTE) < 0)
            break;
        std::int64_t at = AV_NOPTS_VALUE;
        for (int n = 0; n < kPacketsPerFrame && at == AV_NOPTS_VALUE; ++n) {
            if (av_read_frame(format, packet.packet) < 0)
                break;
            if (packet.packet->stream_index == stream)
                at = packet.packet->pts != AV_NOPTS_VALUE ? packet.packet->pts : packet.packet->dts;
            av_packet_unref(packet.packet);
        }
        broken = at != AV_NOPTS_VALUE && (at < previous || at > end + slack);
        previous = at == AV_NOPTS_VALUE ? previous : at - slack;
    }
    av_seek_frame(format, -1, 0, AVSEEK_FLAG_BYTE);
    return broken;
}

// Where a file's data ends: a preallocated, sparse file (a partial download) is empty after
// its first hole.
std::int64_t DataEnd(const QString& path, std::int64_t size) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return size;
    const off_t hole = ::lseek(fd, 0, SEEK_HOLE);
    ::close(fd);
    return hole > 0 && hole < size ? std::int64_t(hole) : size;
}

// What is read: a file, or a title of a DVD.
struct Target {
    QString path;
    DvdPlace dvd; // valid for a DVD title
    int title = 0;
};

// An opened input and its video decoder; a DVD title is read through its cells.
struct Opened {
    Deadline deadline;               // read by the input's interrupt callback
    std::unique_ptr<DvdTitle> title; // goes after the input
    Input input;
    Decoder decoder;
    AVStream* stream = nullptr;
    int index = -1;
    VideoOutcome failure = VideoOutcome::Unreadable;

    explicit Opened(Deadline limits) : deadline(limits) {}

    // The input and its video stream.
    bool Open(const Target& target) {
        if (!input.format)
            return false;
        input.format->interrupt_callback = {Interrupted, &deadline};
        QByteArray url = QFile::encodeName(target.path);
        const AVInputFormat* format = nullptr;
        if (target.dvd.valid()) {
            DvdProblem problem;
            std::unique_ptr<DvdDisc> disc =
                DvdDisc::Open(target.dvd, input.format->interrupt_callback, problem);
            title = disc ? DvdTitle::Open(disc, target.title, problem) : nullptr;
            if (!title || !title->io()) {
                failure = problem.outcome;
                return false;
            }
            input.format->pb = title->io();
            input.format->flags |= AVFMT_FLAG_CUSTOM_IO;
            format = av_find_input_format("mpeg");
            url.clear();
            // A DVD's streams are known: a second of it tells their parameters.
            input.format->max_analyze_duration = AV_TIME_BASE;
        } else if (const QByteArray set = TitleSetVobs(target.path); !set.isEmpty()) {
            url = set;
        }
        // Local files only, whatever a crafted file or playlist names: never a network protocol.
        AVDictionary* options = nullptr;
        av_dict_set(&options, "protocol_whitelist", "file,concat", 0);
        const int opened = avformat_open_input(&input.format, url.constData(), format, &options);
        av_dict_free(&options);
        if (opened < 0 || avformat_find_stream_info(input.format, nullptr) < 0)
            return false;
        index = av_find_best_stream(input.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (index < 0)
            return false;
        stream = input.format->streams[index];
        if (stream->codecpar->width > kMaxVideoWidth ||
            stream->codecpar->height > kMaxVideoHeight) {
            failure = VideoOutcome::TooLarge;
            return false;
        }
        return true;
    }

    bool StartDecoder(int threads, int threadType) {
        const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
        decoder.context = codec ? avcodec_alloc_context3(codec) : nullptr;
        if (!decoder.context ||
            avcodec_parameters_to_context(decoder.context, stream->codecpar) < 0)
            return false;
        decoder.context->thread_count = threads;
        decoder.context->thread_type = threadType;
        return avcodec_open2(decoder.context, codec, nullptr) >= 0;
    }

    // HD pictures deeper than 8 bits take 6 MB each, and decoders of HEVC, VP9 and AV1 keep up to
    // six of them for reference: two such decoders would hold 50 to 100 MB between them, and
    // such a video is read by one decoder with threads of its own.
    bool ReadAlone() const {
        const AVCodecParameters* p = stream->codecpar;
        const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(p->format));
        const bool manyReferences = p->codec_id == AV_CODEC_ID_HEVC ||
                                    p->codec_id == AV_CODEC_ID_VP9 ||
                                    p->codec_id == AV_CODEC_ID_AV1;
        return LargerThanPal(QSize(p->width, p->height)) &&
               ((d && d->comp[0].depth > 8) || manyReferences);
    }
};

// Threads for one decoder: each holds a picture more, so two whatever the cores.
constexpr int kDecoderThreads = 2;

// What one pass sampled: some of the sampled points, in time order.
struct Part {
    VideoOutcome outcome = VideoOutcome::Unreadable;
    std::vector<SampledFrame> frames;
    std::vector<std::int64_t> keys; // which frame each is: its timestamp or input position
    std::vector<RunClass> runs;
    int orderVote = 0;
    int failures = 0;    // sampled points that yielded nothing
    int landedWrong = 0; // seeks that landed far from where they were sent
    AVRational sampleAspect{0, 1};
    double titleAspect = 0;  // of a DVD: from the title set's video attributes
    double seconds = 0;      // the running time, where known
    bool byteShares = false; // frames' times are still shares of a raw stream's bytes
    // Of joined recordings: where each sampled frame lies in the file and in its own piece's time.
    std::vector<std::pair<std::int64_t, double>> clock;
    double rate = 0;
    std::int64_t bytes = 0, bitRate = 0, streamBytes = 0, streamPackets = 0;
};

// Keeps a decoded frame, and measures the frames after it.
bool Keep(Part& part, Opened& o, Reader& reader, Scaler& scaler, AVFrame* f, double seconds,
          std::int64_t key, Progress& progress) {
    if (f->width > kMaxVideoWidth || f->height > kMaxVideoHeight) {
        part.outcome = VideoOutcome::TooLarge;
        return false;
    }
    // Short videos have fewer key frames than samples; each is taken once.
    const bool repeated = key != AV_NOPTS_VALUE && !part.keys.empty() && key == part.keys.back();
    const bool sameSize = part.frames.empty() || QSize(f->width, f->height) == part.frames[0].size;
    if (repeated || !sameSize)
        return true;
    SampledFrame kept = KeptFrame(scaler, f, std::max(0.0, seconds));
    if (kept.size.isEmpty())
        return true;
    part.frames.push_back(std::move(kept));
    part.keys.push_back(key);
    part.sampleAspect = av_guess_sample_aspect_ratio(o.input.format, o.stream, f);
    progress.Count();
    // An HD frame costs five times a PAL one to decode: every fourth sampled point tells enough.
    if (!LargerThanPal(QSize(f->width, f->height)) || part.frames.size() % 4 == 1) {
        // The run starts from the kept planes where there are any, so that the decoder has its
        // own frame back: an HD decoder then needs one frame less.
        const auto* planes = static_cast<const AVFrame*>(part.frames.back().decoded.get());
        if (planes)
            av_frame_unref(f);
        part.runs.push_back(MeasureRun(reader, planes ? planes : f, part.orderVote));
    }
    return true;
}

// Samples points [from, to) of `count` spread over the running time, or over the file's bytes
// when it has no known running time.
void SamplePoints(Opened& o, int count, int from, int to, Progress& progress, Part& part) {
    AVFormatContext* format = o.input.format;
    const std::int64_t start = format->start_time == AV_NOPTS_VALUE ? 0 : format->start_time;
    // A DVD title's running time is in its IFO files; its cells' timestamps may start again.
    const std::int64_t bytes = format->pb ? avio_size(format->pb) : -1;
    const std::int64_t duration = o.title || TimelineBroken(format, o.index, start, bytes)
                                      ? 0
                                      : std::max<std::int64_t>(format->duration, 0);
    Reader reader{format, o.index, o.decoder.context, {}};
    // A raw stream's clock: its bit rate, or else the frames its bytes hold at the size of the
    // frames read around the samples; until all are read, frames carry their share of the bytes.
    part.byteShares = duration <= 0 && bytes > 0 && !o.title;
    part.rate = av_q2d(o.stream->avg_frame_rate.num > 0 ? o.stream->avg_frame_rate
                                                        : o.stream->r_frame_rate);
    part.bytes = bytes;
    part.bitRate = format->bit_rate;
    const double base = av_q2d(o.stream->time_base);
    const double durationSeconds = duration / double(AV_TIME_BASE);
    part.seconds = o.title ? o.title->info().seconds : durationSeconds;
    Frame frame;
    Scaler scaler;
    int i = from;
    for (int inARow = 0; i < to && !progress.cancelled() && inARow < kFailuresInARow; ++i) {
        o.deadline.until = Clock::now() + progress.pointLimit();
        const double share = Share(i, count);
        // A DVD title is sampled over its own clock; a point in a part that cannot be read
        // yields nothing, and says so.
        std::optional<std::int64_t> titleByte;
        if (o.title && !(titleByte = o.title->ByteAt(o.title->info().seconds * share))) {
            ++part.failures;
            continue;
        }
        // Without a running time or a size, the key frames from the start are taken in turn.
        const std::int64_t target =
            duration > 0
                ? av_rescale_q(std::llround(durationSeconds * share * AV_TIME_BASE) + start,
                               AV_TIME_BASE_Q, o.stream->time_base)
                : AV_NOPTS_VALUE;
        const std::int64_t second = av_rescale_q(AV_TIME_BASE, AV_TIME_BASE_Q, o.stream->time_base);
        // A target a little ahead of the frames decoded is reached by decoding on: on a short
        // clip, seeking back to a key frame for each sample would decode its frames again and
        // again. A frame just past the last one decoded, less than half a sampled point's
        // spacing after the target, will do too: the frames measured after a sample run a little
        // ahead.
        const double spacing = Spacing(durationSeconds, count);
        const std::int64_t near = FarApart(spacing) ? kSecondsToTarget * second : 0;
        const bool onward = target != AV_NOPTS_VALUE && reader.last != AV_NOPTS_VALUE &&
                            2 * (reader.last - target) * base < spacing &&
                            target - reader.last < second;
        std::int64_t aim = start + std::int64_t(std::llround(duration * share));
        if (!onward && titleByte)
            reader.Seek(*titleByte, AVSEEK_FLAG_BYTE);
        else if (!onward && duration > 0)
            reader.Seek(aim);
        else if (!onward && bytes > 0)
            reader.Seek(std::int64_t(bytes * share), AVSEEK_FLAG_BYTE);
        bool found = NextFrame(reader, frame.frame, target, second, near, onward);
        // Program streams without an index land on the key frame after the target at times: where
        // that reaches the next sampled point, once more from as far before it, so that the
        // frames in between are not lost.
        const std::int64_t landed = found ? frame.frame->best_effort_timestamp : AV_NOPTS_VALUE;
        const std::int64_t late =
            landed != AV_NOPTS_VALUE && target != AV_NOPTS_VALUE && !onward ? landed - target : 0;
        if (duration > 0 && late * base > spacing / 2 && late < kSecondsToTarget * second) {
            av_frame_unref(frame.frame);
            aim -= av_rescale_q(late, o.stream->time_base, AV_TIME_BASE_Q) + AV_TIME_BASE / 2;
            reader.Seek(std::max(aim, start));
            found = NextFrame(reader, frame.frame, target, second, near, false);
        }
        if (!found) {
            // Past the last key frame of a short video is no failure, before it a sign of cues
            // or a running time that lie.
            if (!reader.ended) {
                ++part.failures;
                ++inARow;
            } else if (share < 0.8) {
                ++part.landedWrong;
                ++inARow;
            }
            continue;
        }
        AVFrame* f = frame.frame;
        const std::int64_t timestamp = f->best_effort_timestamp;
        // A frame without a timestamp (a program stream stamps some packets only) is taken to
        // be at its point.
        double seconds =
            timestamp == AV_NOPTS_VALUE ? durationSeconds * share : timestamp * base - start * 1e-6;
        // A seek that lands far from its target, or a timestamp past the running time: cues that
        // lie, timestamps that jump or wrap, a running time that is not there.
        const bool wrong = duration > 0 && std::abs(seconds - durationSeconds * share) >
                                               std::max(0.1 * durationSeconds, 10.0);
        part.landedWrong += wrong;
        inARow = wrong ? inARow + 1 : 0;
        if (o.title)
            seconds = o.title->SecondsAt(*titleByte);
        else if (part.byteShares)
            seconds = share;
        // After a seek by bytes a raw stream's timestamps mean nothing; where the input stands
        // tells one key frame from another.
        const std::int64_t key = part.byteShares ? avio_tell(format->pb) : timestamp;
        if (part.byteShares && timestamp != AV_NOPTS_VALUE &&
            (format->iformat->flags & AVFMT_TS_DISCONT))
            part.clock.emplace_back(key, timestamp * base);
        const bool kept = Keep(part, o, reader, scaler, f, seconds, key, progress);
        av_frame_unref(f);
        if (!kept) {
            part.frames.clear();
            return;
        }
    }
    part.failures += to - i; // given up
    part.streamBytes = reader.streamBytes;
    part.streamPackets = reader.streamPackets;
    part.outcome = VideoOutcome::Accepted;
    if (o.title)
        part.titleAspect = o.title->info().wide ? 16.0 / 9 : 4.0 / 3;
}

// The first or the second half of the points, each part with an input and a decoder of its own;
// where two decoders would hold too many HD pictures, the first part reads all points
// with one and the second none.
void SamplePart(const Target& target, int count, bool second, Progress& progress,
                Clock::time_point end, Part& part) {
    // One sampled point may take so long; the whole open ends within its own limit, with what
    // it has by then.
    Opened o({Clock::now() + progress.pointLimit(), end, &progress});
    if (!o.Open(target)) {
        part.outcome = o.failure;
        return;
    }
    const bool alone = o.ReadAlone();
    if (alone && second) {
        part.outcome = VideoOutcome::Accepted;
        return;
    }
    // Frame threads decode on from frame to frame but start over at every seek; slice threads
    // share out even a key frame where the stream is cut in slices or wavefronts (HEVC).
    const double seconds = std::max<std::int64_t>(o.input.format->duration, 0) / 1e6;
    if (!o.StartDecoder(alone ? kDecoderThreads : 1,
                        FarApart(Spacing(seconds, count)) ? FF_THREAD_SLICE : FF_THREAD_FRAME)) {
        part.outcome = o.failure;
        return;
    }
    SamplePoints(o, count, second ? count / 2 : 0, alone || second ? count : count / 2, progress,
                 part);
}

// Where seeking fails or lands wrong: the file read forward from its start over the part of it
// that holds data, a frame kept as the input passes each sampled point's byte. Every frame is
// decoded, so their times are counted, whatever the timestamps say.
void SampleForward(const QString& path, int count, Progress& progress, Clock::time_point end,
                   Part& part) {
    Opened o({end, end, &progress});
    if (!o.Open({path, {}, 0}) ||
        !o.StartDecoder(o.ReadAlone() ? kDecoderThreads : 1, FF_THREAD_FRAME) ||
        !o.input.format->pb) {
        part.outcome = o.failure;
        return;
    }
    const std::int64_t dataEnd = DataEnd(path, avio_size(o.input.format->pb));
    Reader reader{o.input.format, o.index, o.decoder.context, {}};
    const double rate = part.rate = av_q2d(
        o.stream->avg_frame_rate.num > 0 ? o.stream->avg_frame_rate : o.stream->r_frame_rate);
    Frame frame;
    Scaler scaler;
    bool whole = false; // a key frame was decoded: the frames after it have their references
    int next = 0;
    while (next < count && !progress.cancelled() && reader.Next(frame.frame)) {
        AVFrame* f = frame.frame;
        // The frame's time: the frames decoded before it.
        const double seconds = rate > 0 ? (reader.framesOut - 1) / rate : 0;
        whole = (whole || KeyFrame(f) || reader.framesOut > kFramesForKey) && Whole(f);
        const std::int64_t at = avio_tell(o.input.format->pb);
        if (whole && at >= std::int64_t(dataEnd * Share(next, count))) {
            if (!Keep(part, o, reader, scaler, f, seconds, at, progress)) {
                part.frames.clear();
                return;
            }
            while (next < count && at >= std::int64_t(dataEnd * Share(next, count)))
                ++next;
        }
        av_frame_unref(f);
    }
    part.failures = count - int(part.frames.size());
    part.outcome = VideoOutcome::Accepted;
}

// A raw stream's running time: the frames its bytes hold at the size of the frames read, or the
// bit rate its header gives, which is often only the most it may use. Joined recordings keep time
// within each piece, closer than frame sizes that vary with the picture: the seconds a byte
// between neighbouring sampled frames, the middlemost, as a jump between pieces puts only a pair
// or two far off. Taken only where it agrees with the frames within a factor of two: pieces whose
// clocks run wild are not believed.
double RawSeconds(const Part& a, const Part& b) {
    const std::int64_t read = a.streamBytes + b.streamBytes;
    const std::int64_t frames = a.streamPackets + b.streamPackets;
    const double counted = read > 0 && a.rate > 0
                               ? a.bytes / (double(read) / double(frames)) / a.rate
                           : a.bitRate > 0 ? a.bytes * 8.0 / double(a.bitRate)
                                           : 0.0;
    std::vector<std::pair<std::int64_t, double>> clock = a.clock;
    clock.insert(clock.end(), b.clock.begin(), b.clock.end());
    std::sort(clock.begin(), clock.end());
    std::vector<double> perByte;
    for (std::size_t i = 1; i < clock.size(); ++i)
        if (clock[i].first > clock[i - 1].first && clock[i].second > clock[i - 1].second)
            perByte.push_back((clock[i].second - clock[i - 1].second) /
                              double(clock[i].first - clock[i - 1].first));
    if (perByte.size() < 3)
        return counted;
    std::nth_element(perByte.begin(), perByte.begin() + perByte.size() / 2, perByte.end());
    const double clocked = a.bytes * perByte[perByte.size() / 2];
    return clocked > counted / 2 && clocked < counted * 2 ? clocked : counted;
}

// A sample aspect outside 1:4 ... 4:1 is a broken stream's, not a picture's.
bool UsableSampleAspect(AVRational sar) {
    return sar.num > 0 && sar.den > 0 && av_q2d(sar) >= 0.25 && av_q2d(sar) <= 4;
}

// The two halves of the sampled points in two threads; where seeking fails or lands wrong, the
// file read forward instead.
void Sample(const QString& path, int wanted, int count, Progress& progress, Sampled& out) {
    av_log_set_level(AV_LOG_QUIET);
    const auto end = Clock::now() + progress.openLimit();
    Target target{path, FindDvd(path)};
    if (target.dvd.valid()) {
        Deadline deadline{end, end, &progress};
        DvdChoice choice = ChooseDvdTitle(target.dvd, wanted, {Interrupted, &deadline});
        out.titles = std::move(choice.titles);
        out.title = target.title = choice.number;
        out.unreadableTitle = choice.unreadable;
        if (choice.number == 0 && target.dvd.vobSet > 0 &&
            choice.problem.outcome != VideoOutcome::DvdRefused) {
            target.dvd = DvdPlace(); // a VOB file without usable IFO files: its set's VOBs
        } else if (choice.number == 0) {
            out.outcome = choice.problem.outcome;
            out.note = choice.problem.message;
            return;
        }
    }
    Part first, second;
    std::thread later([&] { SamplePart(target, count, true, progress, end, second); });
    SamplePart(target, count, false, progress, end, first);
    later.join();
    for (VideoOutcome refusal :
         {VideoOutcome::TooLarge, VideoOutcome::DvdUnreadable, VideoOutcome::DvdRefused})
        if (first.outcome == refusal || second.outcome == refusal) {
            out.outcome = refusal;
            return;
        }
    const bool dvd = target.dvd.valid();
    int failures = first.failures + second.failures;
    out.seconds = std::max(first.seconds, second.seconds);
    if (first.byteShares) {
        out.seconds = RawSeconds(first, second);
        for (Part* part : {&first, &second})
            for (SampledFrame& frame : part->frames)
                frame.seconds *= out.seconds;
    }
    // Merged in time order; a short video's last key frame may be both halves' choice.
    for (std::size_t i = 0; i < second.frames.size(); ++i) {
        if (second.keys[i] != AV_NOPTS_VALUE && !first.keys.empty() &&
            second.keys[i] == first.keys.back())
            continue;
        if (first.frames.empty() || second.frames[i].size == first.frames[0].size)
            first.frames.push_back(std::move(second.frames[i]));
    }
    first.runs.insert(first.runs.end(), second.runs.begin(), second.runs.end());
    first.orderVote += second.orderVote;
    if (second.sampleAspect.num > 0)
        first.sampleAspect = second.sampleAspect;
    if (first.titleAspect <= 0)
        first.titleAspect = second.titleAspect;
    if (!dvd && !progress.cancelled() &&
        (first.frames.empty() || 4 * (failures + first.landedWrong + second.landedWrong) > count)) {
        Part forward;
        SampleForward(path, count, progress, end + std::chrono::seconds(1), forward);
        if (forward.outcome == VideoOutcome::TooLarge) {
            out.outcome = VideoOutcome::TooLarge;
            return;
        }
        if (forward.frames.size() >= first.frames.size()) {
            first = std::move(forward);
            failures = first.failures;
        }
    }
    out.frames = std::move(first.frames);
    if (out.frames.empty()) {
        // Scrambled sectors of an encrypted disc decode to nothing.
        if (dvd)
            out.outcome = VideoOutcome::DvdUnreadable;
        return;
    }
    const QSize size = out.frames[0].size;
    const AVRational sar = first.sampleAspect;
    if (sar.num > 0 && !UsableSampleAspect(sar)) {
        out.note = QStringLiteral("The stream's sample aspect ratio %1:%2 is not usable; choose "
                                  "4:3 or 16:9.")
                       .arg(sar.num)
                       .arg(sar.den);
    } else {
        const double pixelAspect = sar.num > 0 ? av_q2d(sar) : 1.0;
        out.displayAspect = pixelAspect * size.width() / size.height();
    }
    if (dvd) {
        const double stream = out.displayAspect;
        out.displayAspect = first.titleAspect;
        if (stream > 0 && std::abs(stream / out.displayAspect - 1) > 0.01)
            out.note = QStringLiteral("Its stream says %1:1; the IFO's aspect is taken.")
                           .arg(stream, 0, 'f', 2);
    }
    // Points that yielded nothing or the same frame as another: what was read is said.
    if (int(out.frames.size()) < count) {
        const QString read =
            QStringLiteral("%1 of %2 frames could be read.").arg(out.frames.size()).arg(count);
        out.note = out.note.isEmpty() ? read : out.note + u' ' + read;
    }
    out.scan = ClassifyVideo(first.runs, {first.orderVote}, first.rate);
    out.outcome = VideoOutcome::Accepted;
}

} // namespace

// The C boundary: a sample and a frame are handed over behind opaque handles.
struct QvSample {
    Sampled sampled;
    QByteArray note;
};
struct QvFrame {
    SampledFrame frame;
};

namespace {

QvSample* SampleEntry(const char* path, int title, int count, QvProgress* shared) {
    auto* sample = new QvSample;
    Sampled& out = sample->sampled;
    Progress progress(shared);
    Sample(QString::fromUtf8(path), title, count, progress, out);
    // Whatever stage the user stopped, nothing of it is kept; a refusal carries no frames.
    if (progress.cancelled()) {
        out = Sampled();
        out.outcome = VideoOutcome::Cancelled;
    }
    if (out.outcome != VideoOutcome::Accepted)
        out.frames.clear();
    sample->note = out.note.toUtf8();
    // The decoders' freed memory would wait in the sampling threads' heaps; it goes back now.
    malloc_trim(0);
    return sample;
}

int OutcomeCode(VideoOutcome outcome) {
    switch (outcome) {
    case VideoOutcome::Accepted:
        return QV_ACCEPTED;
    case VideoOutcome::TooLarge:
        return QV_TOO_LARGE;
    case VideoOutcome::Cancelled:
        return QV_CANCELLED;
    case VideoOutcome::DvdUnreadable:
        return QV_DVD_UNREADABLE;
    case VideoOutcome::DvdRefused:
        return QV_DVD_REFUSED;
    case VideoOutcome::Unreadable:
        break;
    }
    return QV_UNREADABLE;
}

void SampleInfo(const QvSample* sample, QvSampleInfo* info) {
    const Sampled& s = sample->sampled;
    const ScanResult& scan = s.scan;
    *info = QvSampleInfo{OutcomeCode(s.outcome),
                         int(s.frames.size()),
                         int(s.titles.size()),
                         s.title,
                         s.unreadableTitle,
                         s.displayAspect,
                         s.seconds,
                         {int(scan.type), scan.topFieldFirst, scan.agreeing, scan.runs,
                          scan.interlacedRuns, scan.telecineRuns, scan.progressiveRuns,
                          scan.pulldownRuledOut},
                         sample->note.constData()};
}

void TitleInfo(const QvSample* sample, int index, QvTitle* title) {
    const DiscTitle& t = sample->sampled.titles.at(std::size_t(index));
    *title = QvTitle{t.number, t.seconds, t.wide, t.angles, t.chapters};
}

QvFrame* TakeFrame(QvSample* sample, int index, QvFrameInfo* info) {
    SampledFrame& frame = sample->sampled.frames.at(std::size_t(index));
    if (frame.size.isEmpty())
        return nullptr;
    *info = QvFrameInfo{frame.size.width(), frame.size.height(), frame.detail, frame.seconds};
    return new QvFrame{std::exchange(frame, SampledFrame())};
}

int FramePicture(const QvFrame* handle, int width, int height, int luma, std::uint8_t* pixels,
                 std::ptrdiff_t stride) {
    thread_local Scaler scaler;
    const SampledFrame& frame = handle->frame;
    const auto* planes = static_cast<const AVFrame*>(frame.decoded.get());
    // Written straight into the caller's rows.
    QImage into(pixels, width, height, stride,
                luma ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (planes)
        return luma ? FullRangeLuma(planes, into) : Picture(scaler, planes, into);
    if (frame.picture.isNull())
        return 0;
    const QImage picture =
        luma ? frame.picture.convertToFormat(QImage::Format_Grayscale8)
             : frame.picture.scaled(into.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (picture.size() != into.size())
        return 0;
    const std::size_t row = std::size_t(width) * (luma ? 1 : 4);
    for (int y = 0; y < height; ++y)
        std::memcpy(into.scanLine(y), picture.constScanLine(y), row);
    return 1;
}

constexpr QvVideoModule kModule{
    QV_ABI,       SampleEntry,
    SampleInfo,   TitleInfo,
    TakeFrame,    [](QvSample* sample) { delete sample; },
    FramePicture, [](QvFrame* frame) { delete frame; },
};

} // namespace

extern "C" Q_DECL_EXPORT const QvVideoModule* QuarvelVideoModule() {
    return &kModule;
}
