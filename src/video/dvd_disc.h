#pragma once

// A DVD read with libdvdread: a folder or an image whose files are checked to be regular,
// readable files before libdvdread opens any of them, so that a pipe, a device or a file without
// permission never reaches it.

#include "video/sampled.h"

extern "C" {
#include <dvdread/ifo_types.h>
#include <libavformat/avio.h>
}

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// The DVD a path is, holds or belongs to.
struct DvdPlace {
    QString root;                // the folder that holds VIDEO_TS, VIDEO_TS itself, or the image
    bool image = false;          // an .iso or .img file
    int vobSet = 0, vobPart = 0; // of a VTS_nn_m.VOB chosen: the title covering it is wanted
    bool valid() const { return !root.isEmpty(); }
};

// A disc folder, its VIDEO_TS folder, an IFO or BUP file, a title set's VOB file beside the
// disc's VIDEO_TS.IFO, or a disc image; invalid for anything else.
DvdPlace FindDvd(const QString& path);

// Why a disc or a title cannot be opened: a refusal carries its message.
struct DvdProblem {
    VideoOutcome outcome = VideoOutcome::DvdUnreadable;
    QString message;
    void Refuse(const QString& text) {
        if (outcome == VideoOutcome::DvdRefused)
            return; // the first refusal is the one named
        outcome = VideoOutcome::DvdRefused;
        message = text;
    }
};

// Where a title's cells are: its title set and its number within the set.
struct TitlePlace {
    int set = 0, inSet = 0;
};

// A cell of a title's first angle as its IFO describes it.
struct DvdCell {
    std::uint32_t first, lastVobu, last; // sectors of the title set's VOBs
    double seconds;                      // checked: shares of the title's checked time
    bool interleaved;                    // an angle block's interleaved units, angle 1 of them
    bool consistent; // ordered, within the set, and as the set's cell address table says
};

// The cells that play a title, in order, and its running time checked against them: a time
// that is no valid BCD, or that the cells' times or the sectors they span contradict, gives way
// to what the cells hold.
struct TitleCells {
    std::vector<DvdCell> cells;
    double seconds = 0;
};
TitleCells CellsOf(const ifo_handle_t* vts, int inSet);

class DvdDisc {
public:
    // The title read from the disc stops reading when `interrupt` says so.
    static std::unique_ptr<DvdDisc> Open(const DvdPlace& place, const AVIOInterruptCB& interrupt,
                                         DvdProblem& problem);
    ~DvdDisc();
    DvdDisc(const DvdDisc&) = delete;
    DvdDisc& operator=(const DvdDisc&) = delete;

    const std::vector<DiscTitle>& titles() const { return m_titles; }
    TitlePlace place(int number) const;
    // The title set's IFO, read once; null when it cannot be read or its files are refused.
    ifo_handle_t* SetInfo(int set, DvdProblem& problem);
    // The title set's VOB files 1 to 9 as one run of sectors, once each is found a regular,
    // readable file.
    dvd_file_t* OpenVobs(int set, DvdProblem& problem);
    // The sectors of a title set's VOB file `part`, in that run: [first, end). Empty for an
    // image, whose files libdvdread finds for itself.
    std::pair<std::uint32_t, std::uint32_t> PartSectors(int set, int part) const;
    const AVIOInterruptCB& interrupt() const { return m_interrupt; }

private:
    DvdDisc() = default;
    // A file of the folder that libdvdread will open: it must be a regular, readable file.
    bool CheckFile(const QString& name, DvdProblem& problem) const;
    bool CheckSetFiles(int set, bool vobs, DvdProblem& problem) const;
    void ListTitles();

    AVIOInterruptCB m_interrupt{};
    bool m_image = false;
    QHash<QString, QString> m_files; // of a folder: upper-case name to path
    dvd_reader_t* m_dvd = nullptr;
    ifo_handle_t* m_manager = nullptr;
    std::vector<ifo_handle_t*> m_sets; // by title set number; null until read
    std::vector<DiscTitle> m_titles;
    std::vector<TitlePlace> m_places;
};
