#include "video/dvd_title.h"

#include "source/video_sample.h"

extern "C" {
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

constexpr int kBlock = DVD_VIDEO_LB_LEN;

int FromBcd(std::uint8_t v) {
    return (v >> 4) * 10 + (v & 0x0F);
}

double Seconds(const dvd_time_t& t) {
    const double rate = (t.frame_u >> 6) == 3 ? 30000.0 / 1001 : 25.0;
    return FromBcd(t.hour) * 3600.0 + FromBcd(t.minute) * 60.0 + FromBcd(t.second) +
           FromBcd(t.frame_u & 0x3F) / rate;
}

struct Ifo {
    ifo_handle_t* handle;
    ~Ifo() {
        if (handle)
            ifoClose(handle);
    }
};

// The chain of cells that plays a title: the first program chain of its first part.
const pgc_t* TitleChain(const ifo_handle_t* vts, int titleInSet) {
    if (!vts->vts_ptt_srpt || !vts->vts_pgcit || titleInSet < 1 ||
        titleInSet > vts->vts_ptt_srpt->nr_of_srpts)
        return nullptr;
    const ttu_t& title = vts->vts_ptt_srpt->title[titleInSet - 1];
    if (title.nr_of_ptts < 1 || !title.ptt)
        return nullptr;
    const int chain = title.ptt[0].pgcn;
    if (chain < 1 || chain > vts->vts_pgcit->nr_of_pgci_srp)
        return nullptr;
    return vts->vts_pgcit->pgci_srp[chain - 1].pgc;
}

} // namespace

QString DvdRoot(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    if (info.isFile() && (suffix == u"ifo" || suffix == u"bup"))
        return info.absolutePath();
    if (IsDvdFolder(path))
        return info.absoluteFilePath();
    return {};
}

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

std::unique_ptr<DvdTitle> DvdTitle::OpenMain(const QString& root) {
    std::unique_ptr<DvdTitle> title(new DvdTitle);
    // libdvdread's warnings would go to the terminal; what matters reaches the user as a message.
    static const dvd_logger_cb quiet{[](void*, dvd_logger_level_t, const char*, va_list) {}};
    title->m_dvd = DVDOpen2(nullptr, &quiet, QFile::encodeName(root).constData());
    if (!title->m_dvd)
        return nullptr;
    const Ifo manager{ifoOpen(title->m_dvd, 0)};
    if (!manager.handle || !manager.handle->tt_srpt)
        return nullptr;
    const tt_srpt_t* titles = manager.handle->tt_srpt;
    title->m_titles = titles->nr_of_srpts;
    double longest = 0;
    int set = 0, inSet = 0;
    for (int t = 0; t < titles->nr_of_srpts; ++t) {
        const title_info_t& info = titles->title[t];
        const Ifo vts{ifoOpen(title->m_dvd, info.title_set_nr)};
        const pgc_t* chain = vts.handle ? TitleChain(vts.handle, info.vts_ttn) : nullptr;
        if (chain && Seconds(chain->playback_time) > longest) {
            longest = Seconds(chain->playback_time);
            title->m_number = t + 1;
            set = info.title_set_nr, inSet = info.vts_ttn;
        }
    }
    if (set == 0)
        return nullptr;
    const Ifo vts{ifoOpen(title->m_dvd, set)};
    const pgc_t* chain = vts.handle ? TitleChain(vts.handle, inSet) : nullptr;
    if (!chain || !chain->cell_playback)
        return nullptr;
    title->m_wide = vts.handle->vtsi_mat->vts_video_attr.display_aspect_ratio == 3;
    for (int c = 0; c < chain->nr_of_cells; ++c) {
        const cell_playback_t& cell = chain->cell_playback[c];
        // Of an angle block, the first angle only.
        const bool otherAngle =
            cell.block_type == BLOCK_TYPE_ANGLE_BLOCK && cell.block_mode != BLOCK_MODE_FIRST_CELL;
        if (otherAngle || cell.last_sector < cell.first_sector)
            continue;
        title->m_cells.push_back(
            {cell.first_sector, cell.last_sector, Seconds(cell.playback_time)});
        title->m_bytes += std::int64_t(cell.last_sector - cell.first_sector + 1) * kBlock;
        title->m_seconds += Seconds(cell.playback_time);
    }
    title->m_file = DVDOpenFile(title->m_dvd, set, DVD_READ_TITLE_VOBS);
    if (!title->m_file || title->m_cells.empty())
        return nullptr;
    return title;
}

DvdTitle::~DvdTitle() {
    if (m_io)
        av_freep(&m_io->buffer);
    avio_context_free(&m_io);
    if (m_file)
        DVDCloseFile(m_file);
    if (m_dvd)
        DVDClose(m_dvd);
}

QString DvdTitle::note() const {
    const int s = int(m_seconds);
    return QStringLiteral("Title %1 of %2, %3:%4:%5, the longest.")
        .arg(m_number)
        .arg(m_titles)
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

double DvdTitle::SecondsAt(std::int64_t byte) const {
    double seconds = 0;
    for (const Cell& cell : m_cells) {
        const std::int64_t size = std::int64_t(cell.last - cell.first + 1) * kBlock;
        if (byte < size)
            return seconds + cell.seconds * double(byte) / double(size);
        byte -= size;
        seconds += cell.seconds;
    }
    return seconds;
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

// Whole blocks from the cell that holds the position, as many as fit.
int DvdTitle::Read(void* opaque, std::uint8_t* buffer, int size) {
    auto* t = static_cast<DvdTitle*>(opaque);
    std::int64_t offset = t->m_position;
    for (const Cell& cell : t->m_cells) {
        const std::int64_t cellBytes = std::int64_t(cell.last - cell.first + 1) * kBlock;
        if (offset >= cellBytes) {
            offset -= cellBytes;
            continue;
        }
        // Positions are whole blocks: the demuxer's reads are, and seeks land on them.
        const std::int64_t block = offset / kBlock;
        const int within = int(offset % kBlock);
        const std::int64_t left = cell.last - cell.first + 1 - block;
        const int blocks = int(std::min<std::int64_t>(left, std::max(1, size / kBlock)));
        if (within != 0 || size < kBlock) {
            unsigned char one[kBlock];
            if (DVDReadBlocks(t->m_file, int(cell.first + block), 1, one) != 1)
                return AVERROR(EIO);
            const int n = std::min(size, kBlock - within);
            std::copy(one + within, one + within + n, buffer);
            t->m_position += n;
            return n;
        }
        if (DVDReadBlocks(t->m_file, int(cell.first + block), std::size_t(blocks), buffer) !=
            blocks)
            return AVERROR(EIO);
        t->m_position += std::int64_t(blocks) * kBlock;
        return blocks * kBlock;
    }
    return AVERROR_EOF;
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
