#include "video/dvd_title.h"

extern "C" {
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_types.h>
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

constexpr int kBlock = DVD_VIDEO_LB_LEN;
// Where a navigation pack's DSI data starts, after its pack, system and PCI headers.
constexpr int kDsi = 0x407;
// An angle block's units are followed this far at most.
constexpr int kMostUnits = 100000;

std::uint32_t Be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

bool StartCode(const std::uint8_t* p, std::uint8_t code) {
    return p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == code;
}

// A navigation pack: a pack header, a system header, then the PCI and DSI private streams.
bool Nav(const std::uint8_t* b) {
    return StartCode(b, 0xBA) && StartCode(b + 14, 0xBB) && StartCode(b + 0x26, 0xBF) &&
           b[0x2C] == 0 && StartCode(b + 0x400, 0xBF) && b[0x406] == 1;
}

// The sector a navigation pack names as its own.
std::uint32_t NavSector(const std::uint8_t* b) {
    return Be32(b + kDsi + 4);
}

// Every sector of a VOB is an MPEG pack, and a navigation pack names where it lies: zeros, or
// another title's data where this one's should be, are not the title's.
bool Own(const std::uint8_t* b, std::uint32_t sector) {
    return StartCode(b, 0xBA) && (!Nav(b) || NavSector(b) == sector);
}

bool Interrupted(const AVIOInterruptCB& interrupt) {
    return interrupt.callback && interrupt.callback(interrupt.opaque);
}

} // namespace

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

DvdChoice ChooseDvdTitle(const DvdPlace& place, int wanted, const AVIOInterruptCB& interrupt) {
    DvdChoice choice;
    std::unique_ptr<DvdDisc> disc = DvdDisc::Open(place, interrupt, choice.problem);
    if (!disc)
        return choice;
    choice.titles = disc->titles();
    std::vector<DiscTitle> order = choice.titles;
    std::stable_sort(order.begin(), order.end(),
                     [](const DiscTitle& a, const DiscTitle& b) { return a.seconds > b.seconds; });
    if (wanted != kMainTitle) {
        // The user's choice, and no other in its place.
        std::erase_if(order, [&](const DiscTitle& t) { return t.number != wanted; });
    } else if (place.vobSet > 0) {
        // Of a chosen VOB file, the titles of its set that play from it.
        // A pair rather than bindings: lambdas may capture those only from clang 16 on.
        const std::pair<std::uint32_t, std::uint32_t> part =
            disc->PartSectors(place.vobSet, place.vobPart);
        DvdProblem ignored;
        const auto plays = [&](const DiscTitle& t) {
            const TitlePlace where = disc->place(t.number);
            if (where.set != place.vobSet)
                return false;
            for (const DvdCell& cell :
                 CellsOf(disc->SetInfo(where.set, ignored), where.inSet).cells)
                if (cell.consistent && cell.first < part.second && cell.last >= part.first)
                    return true;
            return false;
        };
        if (std::any_of(order.begin(), order.end(), plays))
            std::erase_if(order, [&](const DiscTitle& t) { return !plays(t); });
    }
    for (const DiscTitle& candidate : order) {
        if (!disc && !(disc = DvdDisc::Open(place, interrupt, choice.problem)))
            break;
        DvdProblem problem;
        if (DvdTitle::Open(disc, candidate.number, problem)) {
            choice.number = candidate.number;
            break;
        }
        if (problem.outcome == VideoOutcome::DvdRefused)
            choice.problem.Refuse(problem.message);
        if (choice.unreadable == 0)
            choice.unreadable = candidate.number;
        if (Interrupted(interrupt))
            break;
    }
    if (choice.number == 0)
        choice.unreadable = 0;
    return choice;
}

std::unique_ptr<DvdTitle> DvdTitle::Open(std::unique_ptr<DvdDisc>& disc, int number,
                                         DvdProblem& problem) {
    const TitlePlace place = disc->place(number);
    const ifo_handle_t* vts = disc->SetInfo(place.set, problem);
    if (!vts)
        return nullptr;
    std::unique_ptr<DvdTitle> title(new DvdTitle);
    title->m_file = disc->OpenVobs(place.set, problem);
    if (!title->m_file)
        return nullptr;
    title->m_disc = std::move(disc);
    title->m_info = title->m_disc->titles()[number - 1];
    const auto sectors = std::uint32_t(std::max<ssize_t>(0, DVDFileSize(title->m_file)));
    if (const vobu_admap_t* map = vts->vts_vobu_admap; map && map->vobu_start_sectors) {
        title->m_units.assign(map->vobu_start_sectors,
                              map->vobu_start_sectors + (map->last_byte + 1 - 4) / 4);
        std::sort(title->m_units.begin(), title->m_units.end());
    }
    double start = 0;
    bool readable = false;
    for (const DvdCell& cell : CellsOf(vts, place.inSet).cells) {
        readable = title->AddCell(cell, start, sectors) || readable;
        start += cell.seconds;
    }
    if (!readable) {
        disc = std::move(title->m_disc); // for the next title
        return nullptr;
    }
    return title;
}

DvdTitle::~DvdTitle() {
    if (m_io)
        av_freep(&m_io->buffer);
    avio_context_free(&m_io);
    if (m_file)
        DVDCloseFile(m_file);
}

bool DvdTitle::ReadSector(std::uint32_t sector, std::uint8_t* block) {
    return !Interrupted(m_disc->interrupt()) && DVDReadBlocks(m_file, int(sector), 1, block) == 1;
}

// A cell is read when its first sector is its own navigation pack; its end shows as it is read.
bool DvdTitle::AddCell(const DvdCell& cell, double start, std::uint32_t sectors) {
    Cell kept;
    kept.start = start;
    kept.seconds = cell.seconds;
    kept.offset = m_bytes;
    std::uint8_t block[kBlock];
    const bool readable = cell.consistent && cell.first < sectors &&
                          ReadSector(cell.first, block) && Nav(block) &&
                          NavSector(block) == cell.first;
    if (readable)
        kept.runs =
            cell.interleaved ? Interleaved(cell) : std::vector<Run>{{cell.first, cell.last}};
    for (const Run& run : kept.runs)
        kept.bytes += (std::int64_t(run.last) - run.first + 1) * kBlock;
    kept.readable = kept.bytes;
    m_bytes += kept.bytes;
    m_cells.push_back(kept);
    return readable;
}

// Angle 1 of an interleaved angle block: its units, each of whose first navigation pack gives
// the unit's end and where the angle's next unit starts. Units that do not add up leave the
// cell read whole.
std::vector<DvdTitle::Run> DvdTitle::Interleaved(const DvdCell& cell) {
    std::vector<Run> runs;
    std::uint8_t block[kBlock];
    for (std::uint32_t at = cell.first; at <= cell.last && runs.size() < kMostUnits;) {
        const std::uint8_t* pbi = block + kDsi + 0x20; // category, unit end, next unit start
        if (!ReadSector(at, block) || !Nav(block) || NavSector(block) != at || !(pbi[0] & 0x40))
            return {{cell.first, cell.last}};
        const std::uint32_t end = at + Be32(pbi + 2), next = Be32(pbi + 6);
        if (end < at || end > cell.last)
            return {{cell.first, cell.last}};
        runs.push_back({at, end});
        if (next == 0 || next >= 0x7FFFFFFF || next > cell.last - at)
            break;
        at += next;
    }
    return runs;
}

double DvdTitle::SecondsAt(std::int64_t byte) const {
    for (const Cell& cell : m_cells)
        if (byte >= cell.offset && byte < cell.offset + cell.bytes)
            return cell.start + cell.seconds * double(byte - cell.offset) / double(cell.bytes);
    return m_cells.empty() ? 0 : m_cells.back().start + m_cells.back().seconds;
}

std::optional<std::int64_t> DvdTitle::ByteAt(double seconds) const {
    for (const Cell& cell : m_cells) {
        if (seconds < cell.start || seconds >= cell.start + cell.seconds)
            continue;
        auto block =
            std::int64_t(double(cell.bytes) * (seconds - cell.start) / cell.seconds) / kBlock;
        std::int64_t before = 0; // blocks of the runs before
        for (const Run& run : cell.runs) {
            const std::int64_t blocks = std::int64_t(run.last) - run.first + 1;
            if (block < before + blocks) {
                const auto sector = run.first + std::uint32_t(block - before);
                const auto unit = std::upper_bound(m_units.begin(), m_units.end(), sector);
                if (unit != m_units.begin() && *(unit - 1) >= run.first)
                    block = before + (*(unit - 1) - run.first);
                break;
            }
            before += blocks;
        }
        if (block * kBlock >= cell.readable)
            return std::nullopt;
        return cell.offset + block * kBlock;
    }
    return std::nullopt;
}

AVIOContext* DvdTitle::io() {
    if (!m_io) {
        constexpr int size = 32 * kBlock;
        auto* buffer = static_cast<unsigned char*>(av_malloc(size));
        m_io = buffer ? avio_alloc_context(buffer, size, 0, this, &Read, nullptr, &Seek) : nullptr;
        if (!m_io)
            av_free(buffer);
    }
    return m_io;
}

// Whole blocks from the cell that holds the position, as many as fit and are the title's own.
int DvdTitle::Read(void* opaque, std::uint8_t* buffer, int size) {
    auto* t = static_cast<DvdTitle*>(opaque);
    if (Interrupted(t->m_disc->interrupt()))
        return AVERROR_EXIT;
    const auto cell = std::find_if(t->m_cells.begin(), t->m_cells.end(), [t](const Cell& c) {
        return t->m_position >= c.offset && t->m_position < c.offset + c.bytes;
    });
    if (cell == t->m_cells.end())
        return AVERROR_EOF;
    const std::int64_t within = t->m_position - cell->offset;
    if (within >= cell->readable)
        return AVERROR_EOF;
    // Positions are whole blocks: the demuxer's reads are, and seeks land on them.
    std::int64_t block = within / kBlock;
    const int inBlock = int(within % kBlock);
    std::uint32_t sector = 0, left = 0;
    for (const Run& run : cell->runs) {
        const std::int64_t blocks = std::int64_t(run.last) - run.first + 1;
        if (block < blocks) {
            sector = run.first + std::uint32_t(block);
            left = std::uint32_t(blocks - block);
            break;
        }
        block -= blocks;
    }
    const bool part = inBlock != 0 || size < kBlock;
    std::uint8_t one[kBlock];
    std::uint8_t* into = part ? one : buffer;
    const int wanted = part ? 1 : int(std::min<std::int64_t>(left, size / kBlock));
    const auto got = DVDReadBlocks(t->m_file, int(sector), std::size_t(wanted), into);
    // A unit's first sector by the IFO must be its navigation pack: data shifted by a file cut
    // short shows there.
    const auto own = [&](int i) {
        const std::uint8_t* b = into + i * kBlock;
        return Own(b, sector + i) &&
               (Nav(b) || !std::binary_search(t->m_units.begin(), t->m_units.end(), sector + i));
    };
    int owned = 0;
    while (owned < std::max<int>(0, int(got)) && own(owned))
        ++owned;
    if (owned < wanted)
        cell->readable = std::min(cell->readable, (within / kBlock + owned) * kBlock);
    if (owned == 0)
        return AVERROR_EOF;
    const int n = part ? std::min(size, kBlock - inBlock) : owned * kBlock;
    if (part)
        std::copy(one + inBlock, one + inBlock + n, buffer);
    t->m_position += n;
    return n;
}

std::int64_t DvdTitle::Seek(void* opaque, std::int64_t offset, int whence) {
    auto* t = static_cast<DvdTitle*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return t->m_bytes;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += t->m_position;
        break;
    case SEEK_END:
        offset += t->m_bytes;
        break;
    default:
        return -1;
    }
    if (offset < 0 || offset > t->m_bytes)
        return -1;
    t->m_position = offset;
    return offset;
}
