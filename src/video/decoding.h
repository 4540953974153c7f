#pragma once

// FFmpeg's objects owned, and frames read by the decoder's rules: what sampling a video needs
// of decoding.

#include "state/scan_type.h"
#include "video/sampled.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QImage>

#include <cstdint>
#include <vector>

// Packets read for one frame at most, so that a stream without key frames ends soon.
constexpr int kPacketsPerFrame = 4000;

// Each owns one FFmpeg object; a copy would free it twice.
struct Owner {
    Owner() = default;
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
};

struct Input : Owner {
    AVFormatContext* format = avformat_alloc_context();
    ~Input() { avformat_close_input(&format); }
};
struct Decoder : Owner {
    AVCodecContext* context = nullptr;
    ~Decoder() { avcodec_free_context(&context); }
};
struct Packet : Owner {
    AVPacket* packet = av_packet_alloc();
    ~Packet() { av_packet_free(&packet); }
};
struct Frame : Owner {
    AVFrame* frame = av_frame_alloc();
    ~Frame() { av_frame_free(&frame); }
};
struct Scaler : Owner {
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
    std::int64_t framesOut = 0;                      // decoded
    bool ended = false; // the input's end was reached, rather than a limit or an error
    std::int64_t last = AV_NOPTS_VALUE; // the timestamp of the last frame decoded since a seek
    // After a seek, packets before the first key packet decode to nothing whole; they are left
    // out, once the stream has shown that it marks its key packets, up to a limit.
    std::int64_t keyPackets = 0;
    int skippable = 0;

    // The next decoded frame; false at the end, on an error, or after too many packets.
    bool Next(AVFrame* frame);
    // Leaves out up to `packets` packets before the next key packet.
    void SkipToKey(int packets) { skippable = keyPackets > 0 ? packets : 0; }
    void Seek(std::int64_t target, int flags = AVSEEK_FLAG_BACKWARD);
};

// Frames patched up from damaged or missing data show what is not there.
bool Whole(const AVFrame* frame);
bool KeyFrame(const AVFrame* frame);
bool FlaggedInterlaced(const AVFrame* frame, bool& topFieldFirst);

// A frame's 8-bit luma: the first plane of planar YUV as it is, anything else converted.
struct Luma {
    Scaler scaler;
    std::vector<std::uint8_t> converted;

    LumaView Of(const AVFrame* f);
};

// The frame as an RGB32 picture of the size of `into`, in the frame's colour matrix and range,
// scaled smoothly; false when it cannot be converted. `into` may wrap the caller's rows.
bool Picture(Scaler& scaler, const AVFrame* frame, QImage& into);

// The frame's luma plane, 8-bit and of full range, into a Grayscale8 picture of its size; false
// when it has none.
bool FullRangeLuma(const AVFrame* frame, QImage& into);

// The frame as it is kept among the sampled ones, with its detail: 8-bit YUV of at most 16 bits
// a pixel as decoded, deeper YUV as 8-bit 4:2:0, RGB as a picture. Frames larger than PAL's
// keep their colour at a quarter of their width and height, so that 24 HD frames take 56 MB,
// not 75 (luma stays whole: the bars are found in it). An empty size when it cannot be kept.
SampledFrame KeptFrame(Scaler& scaler, const AVFrame* frame, double seconds);
