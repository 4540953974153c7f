#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct AVIOContext;

// The DVD whose VIDEO_TS folder is the path, holds it, or holds the IFO or BUP file named;
// empty for anything else.
QString DvdRoot(const QString& path);

// A title set's VOB files 1 to 9 as one stream for FFmpeg's concat protocol, when the path is
// one of them; the menu VOB _0 is left out. Empty for any other file.
QByteArray TitleSetVobs(const QString& path);

struct dvd_reader_s;
struct dvd_file_s;

// A DVD's main title read with libdvdread: its cells in play order, one byte stream across
// the title set's VOB files.
class DvdTitle {
public:
    // The longest title of the DVD whose VIDEO_TS folder is at or under `root`; nothing when
    // the disc's IFO files cannot be read.
    static std::unique_ptr<DvdTitle> OpenMain(const QString& root);
    ~DvdTitle();

    std::int64_t bytes() const { return m_bytes; }
    double seconds() const { return m_seconds; }
    bool wide() const { return m_wide; } // 16:9 by the title set's video attributes
    // "Title 3 of 12, 1:52:04, the longest."
    QString note() const;
    // Where the title's clock stands at a byte of the stream.
    double SecondsAt(std::int64_t byte) const;
    // A reader for FFmpeg over the title's bytes; freed with the title.
    AVIOContext* io();

private:
    struct Cell {
        std::uint32_t first, last; // sectors of the title set's VOBs, both included
        double seconds;
    };
    DvdTitle() = default;
    static int Read(void* opaque, std::uint8_t* buffer, int size);
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

    dvd_reader_s* m_dvd = nullptr;
    dvd_file_s* m_file = nullptr;
    AVIOContext* m_io = nullptr;
    std::vector<Cell> m_cells;
    std::int64_t m_bytes = 0, m_position = 0;
    double m_seconds = 0;
    bool m_wide = false;
    int m_number = 0, m_titles = 0;
};
