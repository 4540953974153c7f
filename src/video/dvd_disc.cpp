#include "video/dvd_disc.h"

extern "C" {
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>
}

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kBlock = DVD_VIDEO_LB_LEN;
constexpr int kMostSets = 99;
// A DVD's bytes play no faster than its highest mux rate; a title whose time gives a rate far
// below any video's is no more believed. Without a believable time, the bytes are counted at a
// usual rate.
constexpr double kMostBitsPerSecond = 10.08e6;
constexpr double kFewestBitsPerSecond = 64e3;
constexpr double kUsualBitsPerSecond = 6e6;

int FromBcd(std::uint8_t v) {
    return (v >> 4) * 10 + (v & 0x0F);
}

bool ValidBcd(std::uint8_t v, int most) {
    return (v >> 4) <= 9 && (v & 0x0F) <= 9 && FromBcd(v) <= most;
}

// A playback time of the IFO files; none when its bytes are no valid BCD or name no frame rate.
std::optional<double> Seconds(const dvd_time_t& t) {
    const int rate = t.frame_u >> 6;
    const std::uint8_t frames = t.frame_u & 0x3F;
    if (!ValidBcd(t.hour, 99) || !ValidBcd(t.minute, 59) || !ValidBcd(t.second, 59) ||
        !ValidBcd(frames, 29) || rate == 2 || (rate == 0 && frames != 0))
        return std::nullopt;
    return FromBcd(t.hour) * 3600.0 + FromBcd(t.minute) * 60.0 + FromBcd(t.second) +
           FromBcd(frames) / (rate == 3 ? 30000.0 / 1001 : 25.0);
}

// Where the title set's VOBs end by its own IFO; 0 when it does not say.
std::uint32_t DeclaredEnd(const ifo_handle_t* vts) {
    const vtsi_mat_t* mat = vts->vtsi_mat;
    return mat && mat->vtstt_vobs > 0 && mat->vts_last_sector > mat->vtstt_vobs
               ? mat->vts_last_sector - mat->vtstt_vobs + 1
               : 0;
}

// A cell's sectors in order, within the title set, and as its cell address table gives them:
// one flipped bit in a sector number shows.
bool Consistent(const ifo_handle_t* vts, const pgc_t* chain, int c, std::uint32_t end) {
    const cell_playback_t& cell = chain->cell_playback[c];
    if (cell.first_sector > cell.last_vobu_start_sector ||
        cell.last_vobu_start_sector > cell.last_sector || (end > 0 && cell.last_sector >= end))
        return false;
    const c_adt_t* table = vts->vts_c_adt;
    if (!table || !table->cell_adr_table || !chain->cell_position || table->last_byte < 8)
        return true;
    const cell_position_t& position = chain->cell_position[c];
    const std::size_t entries = (table->last_byte + 1 - 8) / sizeof(cell_adr_t);
    std::uint32_t first = UINT32_MAX, last = 0;
    for (std::size_t i = 0; i < entries; ++i) {
        const cell_adr_t& piece = table->cell_adr_table[i];
        if (piece.vob_id == position.vob_id_nr && piece.cell_id == position.cell_nr) {
            first = std::min(first, piece.start_sector);
            last = std::max(last, piece.last_sector);
        }
    }
    return first == UINT32_MAX || (first == cell.first_sector && last == cell.last_sector);
}

const dvd_logger_cb kQuiet{[](void*, dvd_logger_level_t, const char*, va_list) {}};

// Why a file or folder of the disc could not be opened.
QString OpenFailure(int error, const QString& name) {
    return error == EACCES || error == EPERM
               ? QStringLiteral("DVD cannot be read: permission denied for %1.").arg(name)
               : QStringLiteral("DVD cannot be read: %1 cannot be opened.").arg(name);
}

// A file that libdvdread will open must be a regular file the user may read: a pipe or a device
// could block it for good, and a file without permission crash it. Opened without waiting.
bool Readable(const QString& path, DvdProblem& problem) {
    const QString name = QFileInfo(path).fileName();
    const QByteArray file = QFile::encodeName(path);
    struct stat status {};
    if (::stat(file.constData(), &status) != 0 || !S_ISREG(status.st_mode)) {
        problem.Refuse(QStringLiteral("DVD cannot be read: %1 is not a regular file.").arg(name));
        return false;
    }
    const int fd = ::open(file.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem.Refuse(OpenFailure(errno, name));
        return false;
    }
    ::close(fd);
    return true;
}

// A disc's own IFO that lists no title: libdvdread refuses it as it would a damaged one.
bool MenusOnly(dvd_reader_t* dvd) {
    dvd_file_t* file = DVDOpenFile(dvd, 0, DVD_READ_INFO_FILE);
    if (!file)
        return false;
    std::uint8_t head[kBlock] = {}, list[2] = {};
    const bool vmg =
        DVDReadBytes(file, head, kBlock) == kBlock && std::equal(head, head + 12, "DVDVIDEO-VMG");
    const std::uint32_t sector =
        std::uint32_t(head[0xC4]) << 24 | head[0xC5] << 16 | head[0xC6] << 8 | head[0xC7];
    const bool none =
        vmg && (sector == 0 || (DVDFileSeek(file, int(sector) * kBlock) >= 0 &&
                                DVDReadBytes(file, list, 2) == 2 && list[0] == 0 && list[1] == 0));
    DVDCloseFile(file);
    return none;
}

} // namespace

TitleCells CellsOf(const ifo_handle_t* vts, int inSet) {
    TitleCells title;
    if (!vts || !vts->vts_ptt_srpt || !vts->vts_pgcit || inSet < 1 ||
        inSet > vts->vts_ptt_srpt->nr_of_srpts)
        return title;
    // A title may play several program chains: each once, in the order of its parts.
    const ttu_t& parts = vts->vts_ptt_srpt->title[inSet - 1];
    std::vector<int> chains;
    for (int p = 0; parts.ptt && p < parts.nr_of_ptts; ++p) {
        const int chain = parts.ptt[p].pgcn;
        if (chain >= 1 && chain <= vts->vts_pgcit->nr_of_pgci_srp &&
            std::find(chains.begin(), chains.end(), chain) == chains.end())
            chains.push_back(chain);
    }
    const std::uint32_t end = DeclaredEnd(vts);
    double declared = 0, cellSum = 0, bytes = 0;
    bool declaredValid = !chains.empty(), cellsValid = true;
    std::vector<double> cellTimes;
    for (int n : chains) {
        const pgc_t* chain = vts->vts_pgcit->pgci_srp[n - 1].pgc;
        if (!chain)
            continue;
        const auto time = Seconds(chain->playback_time);
        declaredValid = declaredValid && time;
        declared += time.value_or(0);
        for (int c = 0; chain->cell_playback && c < chain->nr_of_cells; ++c) {
            const cell_playback_t& cell = chain->cell_playback[c];
            // Of an angle block, the first angle only.
            if (cell.block_type == BLOCK_TYPE_ANGLE_BLOCK &&
                cell.block_mode != BLOCK_MODE_FIRST_CELL)
                continue;
            const DvdCell kept{cell.first_sector,
                               cell.last_vobu_start_sector,
                               cell.last_sector,
                               0,
                               cell.block_type == BLOCK_TYPE_ANGLE_BLOCK && cell.interleaved,
                               Consistent(vts, chain, c, end)};
            const auto cellTime = Seconds(cell.playback_time);
            cellsValid = cellsValid && cellTime;
            cellSum += cellTime.value_or(0);
            cellTimes.push_back(cellTime.value_or(0));
            if (kept.consistent)
                bytes += (double(kept.last) - kept.first + 1) * kBlock;
            title.cells.push_back(kept);
        }
    }
    if (title.cells.empty()) {
        title.seconds = declaredValid ? declared : 0;
        return title;
    }
    const double bits = bytes * 8;
    // Cells whose sectors are all in doubt leave nothing to check a time against.
    const auto believable = [&](double seconds) {
        return bits == 0 || (seconds >= 0.9 * bits / kMostBitsPerSecond &&
                             seconds <= bits / kFewestBitsPerSecond);
    };
    if (declaredValid && cellsValid &&
        std::abs(declared - cellSum) <= std::max(1.0, cellSum / 100) && believable(declared))
        title.seconds = declared;
    else if (cellsValid && believable(cellSum))
        title.seconds = cellSum;
    else
        title.seconds = bits / kUsualBitsPerSecond;
    // Each cell's share of the checked time: by its own time, or without one by its sectors.
    const bool byTime = cellsValid && cellSum > 0;
    for (std::size_t c = 0; c < title.cells.size(); ++c) {
        DvdCell& cell = title.cells[c];
        const double cellBytes =
            cell.consistent ? (double(cell.last) - cell.first + 1) * kBlock : 0;
        cell.seconds = byTime      ? cellTimes[c] * title.seconds / cellSum
                       : bytes > 0 ? title.seconds * cellBytes / bytes
                                   : 0;
    }
    return title;
}

DvdPlace FindDvd(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    if (suffix == u"iso" || suffix == u"img")
        return {info.absoluteFilePath(), true};
    if (suffix == u"ifo" || suffix == u"bup")
        return {info.absolutePath()};
    if (IsDvdFolder(path))
        return {info.absoluteFilePath()};
    static const QRegularExpression vob(QStringLiteral("^VTS_(\\d\\d)_([1-9])\\.VOB$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = vob.match(info.fileName());
    const QDir folder = info.absoluteDir();
    if (match.hasMatch() && (folder.exists(QStringLiteral("VIDEO_TS.IFO")) ||
                             folder.exists(QStringLiteral("video_ts.ifo"))))
        return {folder.absolutePath(), false, match.captured(1).toInt(), match.captured(2).toInt()};
    return {};
}

std::unique_ptr<DvdDisc> DvdDisc::Open(const DvdPlace& place, const AVIOInterruptCB& interrupt,
                                       DvdProblem& problem) {
    std::unique_ptr<DvdDisc> disc(new DvdDisc);
    disc->m_interrupt = interrupt;
    disc->m_sets.assign(kMostSets + 1, nullptr);
    const QByteArray root = QFile::encodeName(place.root);
    disc->m_image = place.image;
    if (place.image) {
        // libdvdread reads the image itself: the stream callbacks of libdvdread 6.1 serve
        // libdvdcss only. Reading a regular file does not block; the title's reader checks
        // Cancel and the deadline before each read.
        if (!Readable(place.root, problem))
            return nullptr;
        disc->m_dvd = DVDOpen2(nullptr, &kQuiet, root.constData());
        dvd_stat_t info;
        if (disc->m_dvd && DVDFileStat(disc->m_dvd, 0, DVD_READ_INFO_FILE, &info) != 0) {
            problem.Refuse(QStringLiteral("This disc image holds no DVD (no VIDEO_TS folder)."));
            return nullptr;
        }
    } else {
        // libdvdread opens the folder's files itself; each it will open is checked first.
        QString folder = place.root;
        if (QFileInfo(folder).fileName().compare(u"VIDEO_TS", Qt::CaseInsensitive) != 0)
            folder += QFileInfo(folder + QStringLiteral("/VIDEO_TS")).isDir()
                          ? QStringLiteral("/VIDEO_TS")
                          : QStringLiteral("/video_ts");
        DIR* listing = ::opendir(QFile::encodeName(folder).constData());
        if (!listing) {
            problem.Refuse(OpenFailure(errno, QFileInfo(folder).fileName()));
            return nullptr;
        }
        while (const dirent* entry = ::readdir(listing)) {
            const QString file = QFile::decodeName(entry->d_name);
            disc->m_files.insert(file.toUpper(), folder + u'/' + file);
        }
        ::closedir(listing);
        if (!disc->CheckFile(QStringLiteral("VIDEO_TS.IFO"), problem) ||
            !disc->CheckFile(QStringLiteral("VIDEO_TS.BUP"), problem))
            return nullptr;
        disc->m_dvd = DVDOpen2(nullptr, &kQuiet, root.constData());
    }
    if (!disc->m_dvd)
        return nullptr;
    disc->m_manager = ifoOpen(disc->m_dvd, 0);
    const bool listed = disc->m_manager && disc->m_manager->tt_srpt;
    if (listed ? disc->m_manager->tt_srpt->nr_of_srpts == 0 : MenusOnly(disc->m_dvd)) {
        problem.Refuse(QStringLiteral("This DVD holds menus only; there is no title to open."));
        return nullptr;
    }
    if (!listed)
        return nullptr;
    disc->ListTitles();
    return disc;
}

DvdDisc::~DvdDisc() {
    for (ifo_handle_t* set : m_sets)
        if (set)
            ifoClose(set);
    if (m_manager)
        ifoClose(m_manager);
    if (m_dvd)
        DVDClose(m_dvd);
}

bool DvdDisc::CheckFile(const QString& name, DvdProblem& problem) const {
    const QString path = m_files.value(name);
    // Not there: libdvdread takes the backup, or fails, without waiting.
    return path.isEmpty() || Readable(path, problem);
}

bool DvdDisc::CheckSetFiles(int set, bool vobs, DvdProblem& problem) const {
    if (m_image)
        return true; // libdvdread finds the files within
    const QString prefix = QStringLiteral("VTS_%1_").arg(set, 2, 10, QLatin1Char('0'));
    if (!CheckFile(prefix + QStringLiteral("0.IFO"), problem) ||
        !CheckFile(prefix + QStringLiteral("0.BUP"), problem))
        return false;
    for (int part = 1; vobs && part <= 9; ++part)
        if (!CheckFile(prefix + QString::number(part) + QStringLiteral(".VOB"), problem))
            return false;
    return true;
}

ifo_handle_t* DvdDisc::SetInfo(int set, DvdProblem& problem) {
    if (set < 1 || set > kMostSets || !CheckSetFiles(set, false, problem))
        return nullptr;
    if (!m_sets[set])
        m_sets[set] = ifoOpen(m_dvd, set);
    return m_sets[set];
}

dvd_file_t* DvdDisc::OpenVobs(int set, DvdProblem& problem) {
    if (set < 1 || set > kMostSets || !CheckSetFiles(set, true, problem))
        return nullptr;
    return DVDOpenFile(m_dvd, set, DVD_READ_TITLE_VOBS);
}

std::pair<std::uint32_t, std::uint32_t> DvdDisc::PartSectors(int set, int part) const {
    std::uint32_t first = 0;
    for (int p = 1; p <= part; ++p) {
        const QString path =
            m_files.value(QStringLiteral("VTS_%1_%2.VOB").arg(set, 2, 10, QLatin1Char('0')).arg(p));
        const auto blocks = std::uint32_t(QFileInfo(path).size() / kBlock);
        if (p == part)
            return {first, first + blocks};
        first += blocks;
    }
    return {0, 0};
}

TitlePlace DvdDisc::place(int number) const {
    return number >= 1 && number <= int(m_places.size()) ? m_places[number - 1] : TitlePlace();
}

void DvdDisc::ListTitles() {
    const tt_srpt_t* titles = m_manager->tt_srpt;
    for (int t = 0; titles->title && t < titles->nr_of_srpts; ++t) {
        const title_info_t& info = titles->title[t];
        DiscTitle title;
        title.number = t + 1;
        title.angles = std::max<int>(1, info.nr_of_angles);
        title.chapters = info.nr_of_ptts;
        DvdProblem ignored; // a set that cannot be read shows when its title is opened
        if (const ifo_handle_t* vts = SetInfo(info.title_set_nr, ignored)) {
            title.seconds = CellsOf(vts, info.vts_ttn).seconds;
            title.wide = vts->vtsi_mat && vts->vtsi_mat->vts_video_attr.display_aspect_ratio == 3;
        }
        m_titles.push_back(title);
        m_places.push_back({info.title_set_nr, info.vts_ttn});
    }
}
