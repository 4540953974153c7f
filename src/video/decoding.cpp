#include "video/decoding.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <array>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// The kept pictures are new memory; taking its pages in one call costs far less than a fault
// for each page as the conversion writes it. Kernels before 5.14 fault as before.
void Prefault(void* memory, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<std::uintptr_t>(memory) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(memory) + size;
    madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)memory, (void)size;
#endif
}

// The matrix each frame declares; streams that declare none get the matrix of their frame size.
int Matrix(const AVFrame* f) {
    const int matrix = f->colorspace;
    if (matrix == AVCOL_SPC_UNSPECIFIED || matrix == AVCOL_SPC_RGB || matrix > AVCOL_SPC_BT2020_CL)
        return f->height > 576 ? SWS_CS_ITU709 : SWS_CS_ITU601;
    return matrix;
}

// The deprecated "J" formats are full range whatever the frame says.
bool FullRange(const AVFrame* f) {
    const auto format = AVPixelFormat(f->format);
    return f->color_range == AVCOL_RANGE_JPEG || format == AV_PIX_FMT_YUVJ420P ||
           format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P ||
           format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_YUVJ411P;
}

// The matrix and range each frame declares, so that dark greys stay dark greys.
void SetColourDetails(SwsContext* scaler, const AVFrame* f) {
    sws_setColorspaceDetails(scaler, sws_getCoefficients(Matrix(f)), FullRange(f),
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
}

void FreeFrame(const void* kept) {
    auto* frame = static_cast<AVFrame*>(const_cast<void*>(kept));
    av_frame_free(&frame);
}

// YUV in 8 bits of `format`, in the same matrix and range. The "J" formats are read as their
// twins of limited range, so that the values are kept as they are.
// A plane of samples in the low bits of 16-bit words, shifted to 8 bits: limited range stays
// limited, as 8-bit planes are read.
void ShiftedPlane(const AVFrame* f, int depth, std::uint8_t* out, int stride) {
    // The sizes read once and rows that do not overlap, so that the bytes written cannot change
    // them: an optimising build makes vector code of the loop.
    const int shift = depth - 8, width = f->width, height = f->height;
    for (int y = 0; y < height; ++y) {
        const auto* __restrict in =
            reinterpret_cast<const std::uint16_t*>(f->data[0] + y * f->linesize[0]);
        std::uint8_t* __restrict row = out + std::ptrdiff_t(y) * stride;
        for (int x = 0; x < width; ++x)
            row[x] = std::uint8_t(in[x] >> shift);
    }
}

AVFrame* Shallow(Scaler& scaler, const AVFrame* f, AVPixelFormat format) {
    auto source = AVPixelFormat(f->format);
    for (const auto& [full, limited] : {std::pair{AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUV420P},
                                        {AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUV422P},
                                        {AV_PIX_FMT_YUVJ444P, AV_PIX_FMT_YUV444P},
                                        {AV_PIX_FMT_YUVJ440P, AV_PIX_FMT_YUV440P},
                                        {AV_PIX_FMT_YUVJ411P, AV_PIX_FMT_YUV411P}})
        if (source == full)
            source = limited;
    AVFrame* kept = av_frame_alloc();
    kept->format = format;
    kept->width = f->width;
    kept->height = f->height;
    if (av_frame_get_buffer(kept, 0) < 0 || av_frame_copy_props(kept, f) < 0) {
        av_frame_free(&kept);
        return nullptr;
    }
    kept->colorspace = AVColorSpace(Matrix(f));
    kept->color_range = FullRange(f) ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    Prefault(kept->buf[0]->data, kept->buf[0]->size);
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(source);
    const bool planar420 = d && (d->flags & AV_PIX_FMT_FLAG_PLANAR) &&
                           !(d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_BE)) &&
                           d->nb_components == 3 && d->log2_chroma_w == 1 &&
                           d->log2_chroma_h == 1 && d->comp[0].shift == 0 &&
                           d->comp[0].depth >= 8 && d->comp[0].depth <= 16;
    if (planar420 && format == AV_PIX_FMT_YUV410P) {
        // The usual case, four times faster by hand than swscale, and without its buffers: luma
        // copied, deeper samples shifted to 8 bits, colour averaged in pairs.
        const int shift = d->comp[0].depth - 8;
        const bool wide = d->comp[0].step == 2;
        const auto at = [wide](const std::uint8_t* row, int x) {
            return wide ? int(reinterpret_cast<const std::uint16_t*>(row)[x]) : int(row[x]);
        };
        if (wide)
            ShiftedPlane(f, d->comp[0].depth, kept->data[0], kept->linesize[0]);
        else
            av_image_copy_plane(kept->data[0], kept->linesize[0], f->data[0], f->linesize[0],
                                f->width, f->height);
        const int width = (f->width + 1) / 2, height = (f->height + 1) / 2;
        for (int plane = 1; plane < 3; ++plane)
            for (int y = 0; y < (height + 1) / 2; ++y) {
                const std::uint8_t* a = f->data[plane] + 2 * y * f->linesize[plane];
                const std::uint8_t* b = 2 * y + 1 < height ? a + f->linesize[plane] : a;
                std::uint8_t* out = kept->data[plane] + y * kept->linesize[plane];
                for (int x = 0; x < (width + 1) / 2; ++x) {
                    const int right = 2 * x + 1 < width ? 2 * x + 1 : 2 * x;
                    const int sum = at(a, 2 * x) + at(a, right) + at(b, 2 * x) + at(b, right);
                    out[x] = std::uint8_t((sum + (2 << shift)) >> (2 + shift));
                }
            }
        return kept;
    }
    scaler.context =
        sws_getCachedContext(scaler.context, f->width, f->height, source, f->width, f->height,
                             format, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler.context || sws_scale(scaler.context, f->data, f->linesize, 0, f->height, kept->data,
                                     kept->linesize) <= 0)
        av_frame_free(&kept);
    return kept;
}

// The variance of the luma, every second pixel of every second line: plenty to rank frames.
double Detail(const LumaView& luma) {
    double sum = 0, squares = 0;
    for (int y = 0; y < luma.height; y += 2) {
        const std::uint8_t* line = luma.data + y * luma.stride;
        for (int x = 0; x < luma.width; x += 2)
            sum += line[x], squares += double(line[x]) * line[x];
    }
    const double n = std::max(1.0, double(luma.width / 2) * (luma.height / 2));
    return squares / n - (sum / n) * (sum / n);
}

} // namespace

bool Reader::Next(AVFrame* frame) {
    for (int packets = 0; packets < kPacketsPerFrame;) {
        const int received = avcodec_receive_frame(decoder, frame);
        if (received == 0) {
            last = frame->best_effort_timestamp;
            ++framesOut;
            return true;
        }
        if (received == AVERROR_EOF) {
            avcodec_flush_buffers(decoder);
            return false;
        }
        if (received != AVERROR(EAGAIN))
            return false;
        if (!pending) {
            ++packets;
            if (const int read = av_read_frame(format, packet.packet); read < 0) {
                ended = read == AVERROR_EOF;
                avcodec_send_packet(decoder, nullptr); // drain what it still holds
                continue;
            }
            const bool video = packet.packet->stream_index == stream;
            const bool key = video && (packet.packet->flags & AV_PKT_FLAG_KEY) != 0;
            keyPackets += key;
            if (key)
                skippable = 0;
            if (!video || skippable > 0) {
                skippable -= video;
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

void Reader::Seek(std::int64_t target, int flags) {
    if (av_seek_frame(format, -1, target, flags) < 0)
        return;
    av_packet_unref(packet.packet);
    pending = false;
    ended = false;
    last = AV_NOPTS_VALUE;
    avcodec_flush_buffers(decoder);
}

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

LumaView Luma::Of(const AVFrame* f) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(f->format));
    const bool yuv = d && !(d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) &&
                     d->nb_components >= 1 && d->comp[0].plane == 0;
    if (yuv && d->comp[0].depth == 8 && d->comp[0].step == 1)
        return {f->data[0], f->linesize[0], f->width, f->height};
    if (yuv && d->comp[0].depth > 8 && d->comp[0].depth <= 16 && d->comp[0].step == 2 &&
        d->comp[0].shift == 0 && !(d->flags & AV_PIX_FMT_FLAG_BE)) {
        converted.resize(std::size_t(f->width) * f->height);
        ShiftedPlane(f, d->comp[0].depth, converted.data(), f->width);
        return {converted.data(), f->width, f->width, f->height};
    }
    scaler.context = sws_getCachedContext(scaler.context, f->width, f->height,
                                          AVPixelFormat(f->format), f->width, f->height,
                                          AV_PIX_FMT_GRAY8, SWS_POINT, nullptr, nullptr, nullptr);
    converted.resize(std::size_t(f->width) * f->height);
    uint8_t* planes[4] = {converted.data(), nullptr, nullptr, nullptr};
    int strides[4] = {f->width, 0, 0, 0};
    if (!scaler.context ||
        sws_scale(scaler.context, f->data, f->linesize, 0, f->height, planes, strides) <= 0)
        return {};
    return {converted.data(), f->width, f->width, f->height};
}

bool Picture(Scaler& scaler, const AVFrame* f, QImage& into) {
    scaler.context = sws_getCachedContext(scaler.context, f->width, f->height,
                                          AVPixelFormat(f->format), into.width(), into.height(),
                                          AV_PIX_FMT_RGB32, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler.context || into.isNull())
        return false;
    Prefault(into.bits(), std::size_t(into.sizeInBytes()));
    SetColourDetails(scaler.context, f);
    uint8_t* planes[4] = {into.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {int(into.bytesPerLine()), 0, 0, 0};
    return sws_scale(scaler.context, f->data, f->linesize, 0, f->height, planes, strides) > 0;
}

SampledFrame KeptFrame(Scaler& scaler, const AVFrame* f, double seconds) {
    SampledFrame kept;
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(f->format));
    if (!d || f->width <= 0 || f->height <= 0)
        return kept;
    kept.seconds = seconds;
    AVFrame* planes = nullptr;
    if (d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL)) {
        kept.picture = QImage(f->width, f->height, QImage::Format_RGB32);
        if (!Picture(scaler, f, kept.picture))
            kept.picture = QImage();
    } else if (LargerThanPal(QSize(f->width, f->height)))
        planes = Shallow(scaler, f, AV_PIX_FMT_YUV410P);
    else if (d->comp[0].depth == 8 && av_get_bits_per_pixel(d) <= 16)
        planes = av_frame_clone(f);
    else
        planes = Shallow(scaler, f, AV_PIX_FMT_YUV420P);
    // Measured on the kept planes where there are any: deep luma is then shifted once.
    Luma luma;
    kept.detail = Detail(luma.Of(planes ? planes : f));
    if (planes)
        kept.decoded = std::shared_ptr<const void>(planes, FreeFrame);
    if (planes || !kept.picture.isNull())
        kept.size = QSize(f->width, f->height);
    return kept;
}

bool FullRangeLuma(const AVFrame* f, QImage& into) {
    Luma luma;
    const LumaView view = luma.Of(f);
    if (!view.data || into.width() != view.width || into.height() != view.height)
        return false;
    std::array<std::uint8_t, 256> levels;
    for (int y = 0; y < 256; ++y)
        levels[y] = FullRange(f)
                        ? std::uint8_t(y)
                        : std::uint8_t(std::clamp((y - 16) * 255 / 219.0 + 0.5, 0.0, 255.0));
    for (int y = 0; y < view.height; ++y) {
        const std::uint8_t* in = view.data + y * view.stride;
        std::uint8_t* out = into.scanLine(y);
        for (int x = 0; x < view.width; ++x)
            out[x] = levels[in[x]];
    }
    return true;
}
