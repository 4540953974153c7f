// The video module: frames sampled from a video file with FFmpeg's libraries. Loaded on the first
// video opened, so that the program starts without FFmpeg.
#include "state/video_sample.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include <chrono>
#include <cmath>

namespace {

using Clock = std::chrono::steady_clock;

// Each sampled frame must come within this time, or the file counts as unreadable.
constexpr auto kFrameTimeLimit = std::chrono::seconds(5);
// Packets read for one frame at most, so that a stream without key frames ends soon.
constexpr int kPacketsPerFrame = 4000;
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

// The next key frame of the stream from where the input stands; false at the end or on error.
bool NextKeyFrame(AVFormatContext* format, int stream, AVCodecContext* decoder, AVPacket* packet,
                  AVFrame* frame) {
    for (int packets = 0; packets < kPacketsPerFrame; ++packets) {
        const bool ended = av_read_frame(format, packet) < 0;
        if (!ended && packet->stream_index != stream) {
            av_packet_unref(packet);
            continue;
        }
        // At the end the decoder is drained of the frames it still holds.
        const int sent = avcodec_send_packet(decoder, ended ? nullptr : packet);
        av_packet_unref(packet);
        if (sent < 0 && sent != AVERROR(EAGAIN) && !ended)
            continue; // a damaged packet: try the next
        for (;;) {
            const int received = avcodec_receive_frame(decoder, frame);
            if (received < 0)
                break;
            // Frames before the first key frame after a seek miss their references; frames
            // patched up from damaged or missing data show what is not there.
            const bool damaged =
                frame->decode_error_flags != 0 || (frame->flags & AV_FRAME_FLAG_CORRUPT) != 0;
            if ((frame->key_frame || frame->pict_type == AV_PICTURE_TYPE_I) && !damaged)
                return true;
            av_frame_unref(frame);
        }
        if (ended)
            return false;
    }
    return false;
}

void Sample(const QString& path, int count, VideoProgress& progress, VideoSample& out) {
    av_log_set_level(AV_LOG_QUIET);
    Deadline deadline{Clock::now() + kFrameTimeLimit, &progress};
    Input input;
    if (!input.format)
        return;
    input.format->interrupt_callback = {Interrupted, &deadline};
    if (avformat_open_input(&input.format, path.toUtf8().constData(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(input.format, nullptr) < 0)
        return;
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(input.format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (index < 0 || !codec)
        return;
    AVStream* stream = input.format->streams[index];
    const int width = stream->codecpar->width;
    const int height = stream->codecpar->height;
    if (width > 720 || height > 576) {
        out.outcome = VideoOutcome::TooLarge;
        return;
    }
    Decoder decoder;
    decoder.context = avcodec_alloc_context3(codec);
    if (!decoder.context || avcodec_parameters_to_context(decoder.context, stream->codecpar) < 0 ||
        avcodec_open2(decoder.context, codec, nullptr) < 0)
        return;

    const std::int64_t start =
        input.format->start_time == AV_NOPTS_VALUE ? 0 : input.format->start_time;
    const std::int64_t duration = std::max<std::int64_t>(input.format->duration, 0);
    Packet packet;
    Frame frame;
    Scaler scaler;
    std::int64_t lastTimestamp = AV_NOPTS_VALUE;
    AVRational sampleAspect{0, 1};
    for (int i = 0; i < count && !progress.cancelled; ++i) {
        deadline.until = Clock::now() + kFrameTimeLimit;
        if (duration > 0) {
            const double share =
                kLeftOutAtEachEnd + (1 - 2 * kLeftOutAtEachEnd) * i / std::max(count - 1, 1);
            const auto target = start + std::int64_t(std::llround(duration * share));
            if (av_seek_frame(input.format, -1, target, AVSEEK_FLAG_BACKWARD) >= 0)
                avcodec_flush_buffers(decoder.context);
        }
        // Without a known running time, the key frames from the start are taken in turn.
        if (!NextKeyFrame(input.format, index, decoder.context, packet.packet, frame.frame))
            continue;
        const AVFrame* f = frame.frame;
        const std::int64_t timestamp = f->best_effort_timestamp;
        if (f->width > 720 || f->height > 576) {
            out.outcome = VideoOutcome::TooLarge;
            return;
        }
        // Short videos have fewer key frames than samples; each is taken once.
        const bool repeated = timestamp != AV_NOPTS_VALUE && timestamp == lastTimestamp;
        const bool sameSize = out.frames.empty() || (f->width == out.frames[0].picture.width() &&
                                                     f->height == out.frames[0].picture.height());
        if (!repeated && sameSize && f->width > 0 && f->height > 0) {
            scaler.context = sws_getCachedContext(
                scaler.context, f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
                AV_PIX_FMT_RGB32, SWS_BICUBIC, nullptr, nullptr, nullptr);
            QImage picture(f->width, f->height, QImage::Format_RGB32);
            uint8_t* planes[4] = {picture.bits(), nullptr, nullptr, nullptr};
            int strides[4] = {int(picture.bytesPerLine()), 0, 0, 0};
            if (scaler.context && !picture.isNull() &&
                sws_scale(scaler.context, f->data, f->linesize, 0, f->height, planes, strides) >
                    0) {
                const double base = av_q2d(stream->time_base);
                const double startSeconds = start / double(AV_TIME_BASE);
                const double seconds =
                    timestamp == AV_NOPTS_VALUE ? 0 : timestamp * base - startSeconds;
                out.frames.push_back({picture, std::max(0.0, seconds)});
                sampleAspect = av_guess_sample_aspect_ratio(input.format, stream, frame.frame);
                progress.framesDone = int(out.frames.size());
            }
        }
        lastTimestamp = timestamp;
        av_frame_unref(frame.frame);
    }
    if (out.frames.empty())
        return;
    const QSize size = out.frames[0].picture.size();
    const double pixelAspect =
        sampleAspect.num > 0 && sampleAspect.den > 0 ? av_q2d(sampleAspect) : 1.0;
    out.displayAspect = pixelAspect * size.width() / size.height();
    out.outcome = VideoOutcome::Accepted;
}

} // namespace

extern "C" Q_DECL_EXPORT void QuarvelSampleVideo(const QString& path, int count,
                                                 VideoProgress& progress, VideoSample& out) {
    out = VideoSample();
    Sample(path, count, progress, out);
    // Whatever stage the user stopped, nothing of it is kept.
    if (progress.cancelled)
        out = VideoSample{VideoOutcome::Cancelled, {}, 0};
}
