#pragma once

#include "video/dvd_disc.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct AVIOContext;

// A title set's VOB files 1 to 9 as one stream for FFmpeg's concat protocol, when the path is
// one of them; the menu VOB _0 is left out. Empty for any other file.
QByteArray TitleSetVobs(const QString& path);

// The title that a DVD place asks for: the main title, the longest readable one, or the longest
// of a chosen VOB file's set that plays from that file; or one the user chose. When it cannot
// be read, the next longest that can.
struct DvdChoice {
    std::vector<DiscTitle> titles;
    int number = 0;     // the title to open; 0 when none can be
    int unreadable = 0; // the title wanted first, when it could not be read
    DvdProblem problem;
};
DvdChoice ChooseDvdTitle(const DvdPlace& place, int wanted, const AVIOInterruptCB& interrupt);

// A DVD title read with libdvdread: its first angle's cells in play order as one byte stream
// across the title set's VOB files. Every sector read is checked to be the title's own (an
// MPEG pack; a navigation pack names its sector), so that a truncated or zeroed VOB file, or
// another title's data behind it, ends the reading there.
class DvdTitle {
public:
    // Nothing when none of its cells can be read; the problem says why. The title takes the
    // disc only when it opens.
    static std::unique_ptr<DvdTitle> Open(std::unique_ptr<DvdDisc>& disc, int number,
                                          DvdProblem& problem);
    ~DvdTitle();

    const DiscTitle& info() const { return m_info; }
    std::int64_t bytes() const { return m_bytes; }
    // Where the title's clock stands at a byte of the stream.
    double SecondsAt(std::int64_t byte) const;
    // The byte of the stream that plays at a time of the title, at the start of its video object
    // unit, whose navigation pack then shows whose data follows; none where that part of the
    // title cannot be read.
    std::optional<std::int64_t> ByteAt(double seconds) const;
    // A reader for FFmpeg over the title's bytes; freed with the title.
    AVIOContext* io();

private:
    struct Run {
        std::uint32_t first, last; // sectors, both included
    };
    struct Cell {
        std::vector<Run> runs; // one, or an angle block's interleaved units of angle 1
        double start = 0, seconds = 0;
        std::int64_t offset = 0, bytes = 0; // in the stream
        std::int64_t readable = 0;          // bytes from its start found to be the title's own
    };
    DvdTitle() = default;
    bool AddCell(const DvdCell& cell, double start, std::uint32_t sectors);
    std::vector<Run> Interleaved(const DvdCell& cell);
    bool ReadSector(std::uint32_t sector, std::uint8_t* block);
    static int Read(void* opaque, std::uint8_t* buffer, int size);
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

    std::unique_ptr<DvdDisc> m_disc;
    dvd_file_t* m_file = nullptr;
    AVIOContext* m_io = nullptr;
    DiscTitle m_info;
    std::vector<Cell> m_cells;
    std::vector<std::uint32_t> m_units; // the title set's video object units, by first sector
    std::int64_t m_bytes = 0, m_position = 0;
};
