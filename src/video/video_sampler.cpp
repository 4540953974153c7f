// The video module: frames sampled from a video file with FFmpeg's libraries. Loaded on the first
// video opened, so that the program starts without FFmpeg.
#include "source/video_sample.h"
#include "video/dvd_title.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <chrono>
#include <cmath>
#include <thread>

#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Each sampled frame must come within this time, or the file counts as unreadable.
constexpr auto kFrameTimeLimit = std::chrono::seconds(5);
// Packets read for one frame at most, so that a stream without key frames ends soon.
constexpr int kPacketsPerFrame = 4000;
// Frames decoded after each sampled one to tell how the video holds time; measured, not kept.
constexpr int kRunFrames = 10;
constexpr int kPlainRunFrames = 6;
// The title frames at the start and the credits at the end are left out.
constexpr double kLeftOutAtEachEnd = 0.05;

struct Deadline {
    Clock::time_point until;
    const VideoProgress* progress;
};

int Interrupted(void* opaque) {
    const auto* deadline = static_cast<const Deadline*>(opaque);
    return deadline->progress->cancelled || Clock::now() > deadline->until;
}

struct Input {
    AVFormatContext* format = avformat_alloc_context();
    ~Input() { avformat_close_input(&format); }
};
struct Decoder {
    AVCodecContext* context = nullptr;
    ~Decoder() { avcodec_free_context(&context); }
};
struct Packet {
    AVPacket* packet = av_packet_alloc();
    ~Packet() { av_packet_free(&packet); }
};
struct Frame {
    AVFrame* frame = av_frame_alloc();
    ~Frame() { av_frame_free(&frame); }
};
struct Scaler {
    SwsContext* context = nullptr;
    ~Scaler() { sws_freeContext(context); }
};

// Packets in, frames out, by the decoder's rules: a packet the decoder refuses for now is sent
// again once a frame was taken out, and a drained decoder is flushed for the next seek.
struct Reader {
    AVFormatContext* format;
    int stream;
    AVCodecContext* decoder;
    Packet packet;
    bool pending = false; // packet holds what the decoder has not taken yet
    std::int64_t streamBytes = 0, streamPackets = 0; // read, for a raw stream's clock

    bool Next(AVFrame* frame) {
        for (int packets = 0; packets < kPacketsPerFrame;) {
            const int received = avcodec_receive_frame(decoder, frame);
            if (received == 0)
                return true;
            if (received == AVERROR_EOF) {
                avcodec_flush_buffers(decoder);
                return false;
            }
            if (received != AVERROR(EAGAIN))
                return false;
            if (!pending) {
                ++packets;
                if (av_read_frame(format, packet.packet) < 0) {
                    avcodec_send_packet(decoder, nullptr); // drain what it still holds
                    continue;
                }
                if (packet.packet->stream_index != stream) {
                    av_packet_unref(packet.packet);
                    continue;
                }
                pending = true;
                streamBytes += packet.packet->size;
                ++streamPackets;
            }
            const int sent = avcodec_send_packet(decoder, packet.packet);
            if (sent == AVERROR(EAGAIN))
                continue;
            // Taken, or damaged beyond use: either way the next packet follows.
            av_packet_unref(packet.packet);
            pending = false;
        }
        return false;
    }

    void Seek(std::int64_t target, int flags = AVSEEK_FLAG_BACKWARD) {
        if (av_seek_frame(format, -1, target, flags) < 0)
            return;
        av_packet_unref(packet.packet);
        pending = false;
        avcodec_flush_buffers(decoder);
    }
};

// Frames patched up from damaged or missing data show what is not there.
bool Whole(const AVFrame* frame) {
    return frame->decode_error_flags == 0 && (frame->flags & AV_FRAME_FLAG_CORRUPT) == 0;
}

bool KeyFrame(const AVFrame* frame) {
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(58, 7, 100)
    const bool key = (frame->flags & AV_FRAME_FLAG_KEY) != 0;
#else
    const bool key = frame->key_frame != 0;
#endif
    return key || frame->pict_type == AV_PICTURE_TYPE_I;
}

bool FlaggedInterlaced(const AVFrame* frame, bool& topFieldFirst) {
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(58, 7, 100)
    topFieldFirst = (frame->flags & AV_FRAME_FLAG_TOP_FIELD_FIRST) != 0;
    return (frame->flags & AV_FRAME_FLAG_INTERLACED) != 0;
#else
    topFieldFirst = frame->top_field_first != 0;
    return frame->interlaced_frame != 0;
#endif
}

// The next whole key frame from where the input stands; frames before the first key frame after
// a seek miss their references.
bool NextKeyFrame(Reader& reader, AVFrame* frame) {
    while (reader.Next(frame)) {
        if (KeyFrame(frame) && Whole(frame))
            return true;
        av_frame_unref(frame);
    }
    return false;
}

// A frame's 8-bit luma: the first plane of planar YUV as it is, anything else converted.
struct Luma {
    Scaler scaler;
    std::vector<std::uint8_t> converted;

    LumaView Of(const AVFrame* f) {
        const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(f->format));
        if (d && !(d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) &&
            d->nb_components >= 1 && d->comp[0].plane == 0 && d->comp[0].depth == 8 &&
            d->comp[0].step == 1)
            return {f->data[0], f->linesize[0], f->width, f->height};
        scaler.context = sws_getCachedContext(
            scaler.context, f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
            AV_PIX_FMT_GRAY8, SWS_POINT, nullptr, nullptr, nullptr);
        converted.resize(std::size_t(f->width) * f->height);
        uint8_t* planes[4] = {converted.data(), nullptr, nullptr, nullptr};
        int strides[4] = {f->width, 0, 0, 0};
        if (!scaler.context ||
            sws_scale(scaler.context, f->data, f->linesize, 0, f->height, planes, strides) <= 0)
            return {};
        return {converted.data(), f->width, f->width, f->height};
    }
};

// The consecutive frames after a sampled key frame, each measured against the one before: how
// this part of the video holds time. Adds the run's field order vote to `vote`.
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

// The DVD whose VIDEO_TS folder is the path, holds it, or holds the IFO or BUP file named;
// empty for anything else.
QString DvdRoot(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    if (info.isFile() && (suffix == u"ifo" || suffix == u"bup"))
        return info.absolutePath();
    if (info.isDir() && (info.fileName().compare(u"VIDEO_TS", Qt::CaseInsensitive) == 0 ||
                         QFileInfo(path + QStringLiteral("/VIDEO_TS")).isDir() ||
                         QFileInfo(path + QStringLiteral("/video_ts")).isDir()))
        return info.absoluteFilePath();
    return {};
}

// A title set's VOB files 1 to 9 as one stream for FFmpeg's concat protocol, when the path is
// one of them; the menu VOB _0 is left out. Empty for any other file.
QByteArray TitleSetVobs(const QString& path) {
    const QFileInfo info(path);
    static const QRegularExpression vob(QStringLiteral("^(VTS_\\d\\d_)[1-9](\\.VOB)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = vob.match(info.fileName());
    if (!match.hasMatch() || path.contains(u'|'))
        return {};
    QStringList parts;
    for (char n = '1'; n <= '9'; ++n) {
        const QString part =
            info.absolutePath() + u'/' + match.captured(1) + QChar(n) + match.captured(2);
        if (!QFileInfo(part).isFile())
            break;
        parts << part;
    }
    return parts.size() > 1 ? QFile::encodeName(QStringLiteral("concat:") + parts.join(u'|'))
                            : QByteArray();
}

// The kept pictures are new memory; taking its pages in one call costs far less than a fault
// for each page as the conversion writes it. Kernels before 5.14 fault as before.
void Prefault(QImage& picture) {
#ifdef MADV_POPULATE_WRITE
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<std::uintptr_t>(picture.bits()) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(picture.bits()) + picture.sizeInBytes();
    madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)picture;
#endif
}

// The matrix and range each frame declares, so that dark greys stay dark greys; streams that
// declare none get the matrix of their frame size.
void SetColourDetails(SwsContext* scaler, const AVFrame* f) {
    int matrix = f->colorspace;
    if (matrix == AVCOL_SPC_UNSPECIFIED || matrix == AVCOL_SPC_RGB || matrix > AVCOL_SPC_BT2020_CL)
        matrix = f->height > 576 ? SWS_CS_ITU709 : SWS_CS_ITU601;
    const int* coefficients = sws_getCoefficients(matrix);
    // The deprecated "J" formats are full range whatever the frame says.
    const auto format = AVPixelFormat(f->format);
    const int fullRange = f->color_range == AVCOL_RANGE_JPEG || format == AV_PIX_FMT_YUVJ420P ||
                          format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P ||
                          format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_YUVJ411P;
    sws_setColorspaceDetails(scaler, coefficients, fullRange, sws_getCoefficients(SWS_CS_DEFAULT),
                             1, 0, 1 << 16, 1 << 16);
}

// What one thread sampled: some of the targets, in time order.
struct Part {
    VideoOutcome outcome = VideoOutcome::Unreadable;
    std::vector<VideoFrame> frames;
    std::vector<RunClass> runs;
    int orderVote = 0;
    AVRational sampleAspect{0, 1};
    QString note;            // of a DVD: its title
    double titleAspect = 0;  // of a DVD: from the title set's video attributes
    bool byteShares = false; // frames' times are still shares of a raw stream's bytes
    double rate = 0;
    std::int64_t bytes = 0, bitRate = 0, streamBytes = 0, streamPackets = 0;
};

// A raw stream's running time: the frames its bytes hold at the size of the frames read, or
// from the bit rate its header gives, which is often only the most it may use.
double RawSeconds(const Part& a, const Part& b) {
    const std::int64_t read = a.streamBytes + b.streamBytes;
    const std::int64_t frames = a.streamPackets + b.streamPackets;
    if (read > 0 && a.rate > 0)
        return a.bytes / (double(read) / double(frames)) / a.rate;
    return a.bitRate > 0 ? a.bytes * 8.0 / double(a.bitRate) : 0.0;
}

// Samples targets [from, to) of `count` spread over the running time, or over the file's bytes
// when it has no known running time. Each part opens the file for itself.
void SamplePart(const QString& path, int count, int from, int to, VideoProgress& progress,
                Part& part) {
    Deadline deadline{Clock::now() + kFrameTimeLimit, &progress};
    // A DVD is read through its main title's cells; the input goes before the title.
    std::unique_ptr<DvdTitle> title;
    Input input;
    if (!input.format)
        return;
    input.format->interrupt_callback = {Interrupted, &deadline};
    QByteArray url = QFile::encodeName(path);
    const AVInputFormat* format = nullptr;
    if (const QString root = DvdRoot(path); !root.isEmpty()) {
        title = DvdTitle::OpenMain(root);
        if (!title || !title->io()) {
            part.outcome = VideoOutcome::DvdUnreadable;
            return;
        }
        input.format->pb = title->io();
        input.format->flags |= AVFMT_FLAG_CUSTOM_IO;
        format = av_find_input_format("mpeg");
        url.clear();
        // A DVD's streams are known: a second of it tells their parameters.
        input.format->max_analyze_duration = AV_TIME_BASE;
    } else if (const QByteArray set = TitleSetVobs(path); !set.isEmpty()) {
        url = set;
    }
    if (avformat_open_input(&input.format, url.constData(), format, nullptr) < 0 ||
        avformat_find_stream_info(input.format, nullptr) < 0)
        return;
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(input.format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (index < 0 || !codec)
        return;
    AVStream* stream = input.format->streams[index];
    if (stream->codecpar->width > 720 || stream->codecpar->height > 576) {
        part.outcome = VideoOutcome::TooLarge;
        return;
    }
    Decoder decoder;
    decoder.context = avcodec_alloc_context3(codec);
    if (!decoder.context || avcodec_parameters_to_context(decoder.context, stream->codecpar) < 0 ||
        avcodec_open2(decoder.context, codec, nullptr) < 0)
        return;

    const std::int64_t start =
        input.format->start_time == AV_NOPTS_VALUE ? 0 : input.format->start_time;
    // A DVD title's running time is in its IFO files; its cells' timestamps may start again.
    const std::int64_t duration = title ? 0 : std::max<std::int64_t>(input.format->duration, 0);
    const std::int64_t bytes = input.format->pb ? avio_size(input.format->pb) : -1;
    Reader reader{input.format, index, decoder.context, {}};
    // A raw stream's clock: its bit rate, or else the frames its bytes hold at the size of the
    // frames read around the samples; until all are read, frames carry their share of the bytes.
    part.byteShares = duration <= 0 && bytes > 0 && !title;
    part.rate =
        av_q2d(stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate);
    part.bytes = bytes;
    part.bitRate = input.format->bit_rate;
    Frame frame;
    Scaler scaler;
    std::int64_t lastTimestamp = AV_NOPTS_VALUE;
    for (int i = from; i < to && !progress.cancelled; ++i) {
        deadline.until = Clock::now() + kFrameTimeLimit;
        const double share =
            kLeftOutAtEachEnd + (1 - 2 * kLeftOutAtEachEnd) * i / std::max(count - 1, 1);
        if (duration > 0)
            reader.Seek(start + std::int64_t(std::llround(duration * share)));
        else if (bytes > 0)
            reader.Seek(std::int64_t(bytes * share), AVSEEK_FLAG_BYTE);
        // Without a running time or a size, the key frames from the start are taken in turn.
        if (!NextKeyFrame(reader, frame.frame))
            continue;
        const AVFrame* f = frame.frame;
        // After a seek by bytes a raw stream's timestamps mean nothing; where the input stands
        // tells one key frame from another.
        const std::int64_t timestamp =
            part.byteShares ? avio_tell(input.format->pb) : f->best_effort_timestamp;
        if (f->width > 720 || f->height > 576) {
            part.outcome = VideoOutcome::TooLarge;
            part.frames.clear();
            return;
        }
        // Short videos have fewer key frames than samples; each is taken once.
        const bool repeated = timestamp != AV_NOPTS_VALUE && timestamp == lastTimestamp;
        const bool sameSize = part.frames.empty() || (f->width == part.frames[0].picture.width() &&
                                                      f->height == part.frames[0].picture.height());
        if (!repeated && sameSize && f->width > 0 && f->height > 0) {
            scaler.context = sws_getCachedContext(
                scaler.context, f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
                AV_PIX_FMT_RGB32, SWS_BICUBIC, nullptr, nullptr, nullptr);
            QImage picture(f->width, f->height, QImage::Format_RGB32);
            Prefault(picture);
            uint8_t* planes[4] = {picture.bits(), nullptr, nullptr, nullptr};
            int strides[4] = {int(picture.bytesPerLine()), 0, 0, 0};
            if (scaler.context)
                SetColourDetails(scaler.context, f);
            if (scaler.context && !picture.isNull() &&
                sws_scale(scaler.context, f->data, f->linesize, 0, f->height, planes, strides) >
                    0) {
                const double base = av_q2d(stream->time_base);
                const double startSeconds = start / double(AV_TIME_BASE);
                const double seconds = title ? title->SecondsAt(std::int64_t(bytes * share))
                                       : part.byteShares ? share
                                       : timestamp == AV_NOPTS_VALUE
                                           ? 0
                                           : timestamp * base - startSeconds;
                part.frames.push_back({picture, std::max(0.0, seconds)});
                part.sampleAspect = av_guess_sample_aspect_ratio(input.format, stream, frame.frame);
                ++progress.framesDone;
            }
        }
        lastTimestamp = timestamp;
        if (!repeated)
            part.runs.push_back(MeasureRun(reader, frame.frame, part.orderVote));
        av_frame_unref(frame.frame);
    }
    part.streamBytes = reader.streamBytes;
    part.streamPackets = reader.streamPackets;
    part.outcome = VideoOutcome::Accepted;
    if (title) {
        part.note = title->note();
        part.titleAspect = title->wide() ? 16.0 / 9 : 4.0 / 3;
    }
}

// The two halves of the targets in two threads, each with its own input and decoder.
void Sample(const QString& path, int count, VideoProgress& progress, VideoSample& out) {
    av_log_set_level(AV_LOG_QUIET);
    Part first, second;
    std::thread later([&] { SamplePart(path, count, count / 2, count, progress, second); });
    SamplePart(path, count, 0, count / 2, progress, first);
    later.join();
    for (VideoOutcome refusal : {VideoOutcome::TooLarge, VideoOutcome::DvdUnreadable})
        if (first.outcome == refusal || second.outcome == refusal) {
            out.outcome = refusal;
            return;
        }
    const bool dvd = !DvdRoot(path).isEmpty();
    out.frames = std::move(first.frames);
    for (VideoFrame& frame : second.frames) {
        // A short video's last key frame may be both halves' choice; all frames are of one size.
        const bool same = !out.frames.empty() && frame.seconds == out.frames.back().seconds;
        if (!same && (out.frames.empty() || frame.picture.size() == out.frames[0].picture.size()))
            out.frames.push_back(std::move(frame));
    }
    if (out.frames.empty()) {
        // Scrambled sectors of an encrypted disc decode to nothing.
        if (dvd)
            out.outcome = VideoOutcome::DvdUnreadable;
        return;
    }
    if (first.byteShares) {
        const double seconds = RawSeconds(first, second);
        for (VideoFrame& frame : out.frames)
            frame.seconds *= seconds;
    }
    first.runs.insert(first.runs.end(), second.runs.begin(), second.runs.end());
    const AVRational sampleAspect =
        second.sampleAspect.num > 0 ? second.sampleAspect : first.sampleAspect;
    const QSize size = out.frames[0].picture.size();
    const double pixelAspect =
        sampleAspect.num > 0 && sampleAspect.den > 0 ? av_q2d(sampleAspect) : 1.0;
    out.displayAspect = pixelAspect * size.width() / size.height();
    if (dvd) {
        const double stream = out.displayAspect;
        out.displayAspect = first.titleAspect > 0 ? first.titleAspect : second.titleAspect;
        out.note = first.note.isEmpty() ? second.note : first.note;
        if (std::abs(stream / out.displayAspect - 1) > 0.01)
            out.note += QStringLiteral(" Its stream says %1:1; the IFO's aspect is taken.")
                            .arg(stream, 0, 'f', 2);
    }
    out.scan = ClassifyVideo(first.runs, {first.orderVote + second.orderVote});
    out.outcome = VideoOutcome::Accepted;
}

} // namespace

extern "C" Q_DECL_EXPORT int QuarvelVideoInterfaceVersion() {
    return kVideoInterfaceVersion;
}

extern "C" Q_DECL_EXPORT void QuarvelSampleVideo(const QString& path, int count,
                                                 VideoProgress& progress, VideoSample& out) {
    out = VideoSample();
    Sample(path, count, progress, out);
    // Whatever stage the user stopped, nothing of it is kept.
    if (progress.cancelled)
        out = VideoSample{VideoOutcome::Cancelled, {}, 0, {}, {}};
}
