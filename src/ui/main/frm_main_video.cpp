// The frames of the source: the one shown, and stepping through a video's sampled frames.
#include "ui/main/frm_main.h"

#include <QFileInfo>
#include <QShortcut>

void frmMain::ConnectVideoHandlers() {
    connect(new QShortcut(QKeySequence(Qt::Key_PageDown), this), &QShortcut::activated, this,
            [this] { StepVideoFrame(1); });
    connect(new QShortcut(QKeySequence(Qt::Key_PageUp), this), &QShortcut::activated, this,
            [this] { StepVideoFrame(-1); });
    connect(picDraw, &PictureBox::wheelTurned, this, &frmMain::StepVideoFrame);
}

// Shows a frame of the source as the loaded bitmap: size check, reset when the size changed.
void frmMain::ShowFrame(int index) {
    const VideoFrame& frame = m_job.frames()[index];
    if (frame.size != QSize(m_job.state().SourceWidth, m_job.state().SourceHeight))
        ResetValues();
    // A frame larger than the picture area is shown scaled to fit; it is converted at its full
    // size only for the preview and Ctrl+D, so that an HD frame holds no 8 MB picture meanwhile.
    const QSize shown = picDraw->fitted(frame.size);
    picDVD->setPicture(QImage()); // the previous frame goes first
    if (shown == frame.size) {
        picDVD->setPicture(FramePicture(frame));
        picDraw->setPicture(picDVD->picture());
    } else {
        picDraw->setPicture(FramePicture(frame, shown), frame.size);
    }
    picVARN->hide();
    m_job.SetShownFrame(index);
    if (!m_job.video()) {
        setWindowTitle(QStringLiteral("Quarvel 1.0"));
        return;
    }
    setWindowTitle(
        QStringLiteral("Quarvel 1.0 - %1 - %2 (%3/%4)")
            .arg(QFileInfo(m_job.state().SourceFileName).fileName(), RunningTime(frame.seconds))
            .arg(index + 1)
            .arg(m_job.frames().size()));
}

QImage frmMain::SourcePicture() const {
    const int frame = m_job.shownFrame();
    return picDVD->picture().isNull() && frame >= 0 ? FramePicture(m_job.frames()[frame])
                                                    : picDVD->picture();
}

void frmMain::StepVideoFrame(int steps) {
    if (!m_job.video()) {
        ShowNote(QStringLiteral("Page Up and Page Down step through the frames of a video."));
        return;
    }
    const int current = m_job.shownFrame();
    const int index = std::clamp(current + steps, 0, int(m_job.frames().size()) - 1);
    if (index == current) {
        ShowNote(steps > 0 ? QStringLiteral("This is the last sampled frame.")
                           : QStringLiteral("This is the first sampled frame."));
        return;
    }
    ShowFrame(index);
    // The edges and results stay; the frames are drawn again on the new picture.
    if (m_job.result())
        CalculateCropResize();
}

void frmMain::ForgetVideo() {
    m_job.Forget();
    ShowTitles({});
    setWindowTitle(QStringLiteral("Quarvel 1.0"));
}
