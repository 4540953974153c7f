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
    m_frame = index;
    const QImage picture = FramePicture(m_frames[index]);
    picDVD->setPicture(picture);
    if (picture.width() != m_state.SourceWidth || picture.height() != m_state.SourceHeight)
        ResetValues();
    picDraw->setPicture(picDVD->picture());
    picVARN->hide();
    m_state.BitmapLoaded = true;
    m_state.SourceWidth = picture.width();
    m_state.SourceHeight = picture.height();
    if (!m_video) {
        setWindowTitle(QStringLiteral("Quarvel 1.0"));
        return;
    }
    const int seconds = int(m_frames[index].seconds);
    setWindowTitle(QStringLiteral("Quarvel 1.0 - %1 - %2:%3:%4 (%5/%6)")
                       .arg(QFileInfo(m_state.SourceFileName).fileName())
                       .arg(seconds / 3600)
                       .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                       .arg(index + 1)
                       .arg(m_frames.size()));
}

void frmMain::StepVideoFrame(int steps) {
    if (!m_video) {
        ShowNote(QStringLiteral("Page Up and Page Down step through the frames of a video."));
        return;
    }
    const int index = std::clamp(m_frame + steps, 0, int(m_frames.size()) - 1);
    if (index == m_frame) {
        ShowNote(steps > 0 ? QStringLiteral("This is the last sampled frame.")
                           : QStringLiteral("This is the first sampled frame."));
        return;
    }
    ShowFrame(index);
    // The edges and results stay; the frames are drawn again on the new picture.
    if (cmdSaveInfo->isEnabled())
        CalculateCropResize();
}

void frmMain::ForgetVideo() {
    m_video = false;
    m_frames.clear();
    m_frame = -1;
    m_scan = ScanResult();
    setWindowTitle(QStringLiteral("Quarvel 1.0"));
}
