#pragma once

// What sampling finds, inside the video module; the module's entry points hand it over through
// the C table of video_module.h.

#include "state/scan_type.h"
#include "video/video_module.h"
#include "video/video_types.h"

#include <QImage>

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

// DvdRefused: the disc holds no title, or a file of it is no regular, readable file; the
// sample's note is the message.
enum class VideoOutcome {
    Accepted,
    TooLarge,
    Unreadable,
    Cancelled,
    DvdUnreadable,
    DvdRefused,
};

// A kept frame: its decoded planes, or for RGB sources a picture.
struct SampledFrame {
    QImage picture;
    std::shared_ptr<const void> decoded; // an AVFrame
    QSize size;
    double detail = 0; // the variance of its luma
    double seconds = 0;
};

struct Sampled {
    VideoOutcome outcome = VideoOutcome::Unreadable;
    std::vector<SampledFrame> frames; // all of one size, in time order
    double displayAspect = 0;
    ScanResult scan;
    QString note;
    double seconds = 0;
    std::vector<DiscTitle> titles;
    int title = 0;
    int unreadableTitle = 0;
};

// The program's progress record, read and written atomically, and its time limits.
class Progress {
public:
    explicit Progress(QvProgress* shared) : m_shared(shared) {}
    bool cancelled() const { return std::atomic_ref<int>(m_shared->cancelled).load() != 0; }
    void Count() { ++std::atomic_ref<int>(m_shared->framesDone); }
    // How long one sampled point, and the whole open, may take.
    std::chrono::milliseconds pointLimit() const { return Limit(m_shared->pointMs, 1500); }
    std::chrono::milliseconds openLimit() const { return Limit(m_shared->openMs, 9000); }

private:
    static std::chrono::milliseconds Limit(int ms, int standard) {
        return std::chrono::milliseconds(ms > 0 ? ms : standard);
    }
    QvProgress* m_shared;
};
