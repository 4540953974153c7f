// Opening a video: frames sampled over its running time off the window's thread, stepping
// through them, and the source's display aspect taken from the stream.
#include "ui/main/frm_main.h"

#include "source/video_sample.h"
#include "state/number_text.h"
#include "ui/platform/message_box.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QProgressDialog>
#include <QShortcut>
#include <QThread>

#include <cmath>
#include <memory>

void frmMain::ConnectVideoHandlers() {
    connect(new QShortcut(QKeySequence(Qt::Key_PageDown), this), &QShortcut::activated, this,
            [this] { StepVideoFrame(1); });
    connect(new QShortcut(QKeySequence(Qt::Key_PageUp), this), &QShortcut::activated, this,
            [this] { StepVideoFrame(-1); });
    connect(picDraw, &PictureBox::wheelTurned, this, &frmMain::StepVideoFrame);
}

// Short work shows nothing and takes no input meanwhile; after half a second a progress
// dialog offers Cancel. The window keeps painting throughout.
VideoSample frmMain::SampleWithProgress(const QString& fileName) {
    VideoProgress progress;
    VideoSample sample;
    const std::unique_ptr<QThread> worker(
        QThread::create([&] { sample = SampleVideo(fileName, progress); }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    QTimer::singleShot(500, &loop, [&loop] { loop.exit(1); });
    if (loop.exec(QEventLoop::ExcludeUserInputEvents) == 1 && !worker->isFinished()) {
        QProgressDialog dialog(
            QStringLiteral("Reading frames of %1 ...").arg(QFileInfo(fileName).fileName()),
            QStringLiteral("Cancel"), 0, kSampledFrames, this);
        dialog.setWindowTitle(QStringLiteral("Quarvel"));
        dialog.setAutoReset(false);
        dialog.setMinimumDuration(0);
        QTimer poll;
        connect(&poll, &QTimer::timeout, &dialog,
                [&] { dialog.setValue(std::min(progress.framesDone.load(), kSampledFrames)); });
        poll.start(100);
        connect(&dialog, &QProgressDialog::canceled, &dialog, [&] { progress.cancelled = true; });
        connect(worker.get(), &QThread::finished, &dialog, &QDialog::accept);
        if (!worker->isFinished())
            dialog.exec();
        activateWindow(); // the window's shortcuts work again at once
    }
    worker->wait();
    return sample;
}

void frmMain::OpenVideoFile(const QString& fileName) {
    // Regular files only: opening a pipe or a device could block for good.
    const VideoSample sample =
        QFileInfo(fileName).isFile() ? SampleWithProgress(fileName) : VideoSample();
    switch (sample.outcome) {
    case VideoOutcome::Accepted:
        break;
    case VideoOutcome::Cancelled:
        ShowNote(QStringLiteral("Opening cancelled."));
        return;
    case VideoOutcome::TooLarge:
        MessageBox::warning(this, QStringLiteral("Video exceeds 720x576 pixel."));
        return;
    case VideoOutcome::NoModule:
        MessageBox::warning(this, (QStringLiteral("Videos need FFmpeg's libraries (libavformat, "
                                                  "libavcodec, libswscale, libavutil). ") +
                                   sample.note)
                                      .trimmed());
        return;
    case VideoOutcome::Unreadable:
        MessageBox::warning(this, QStringLiteral("File is not a readable video."));
        return;
    }

    m_frames = sample.frames;
    m_scan = sample.scan;
    m_state.SourceFileName = fileName;
    ShowVideoFrame(MostDetailedFrame(m_frames));
    const auto near = [&](double aspect) {
        return std::abs(sample.displayAspect / aspect - 1) <= 0.01;
    };
    QRadioButton* option = near(4.0 / 3) ? optStretch43 : near(16.0 / 9) ? optStretch169 : nullptr;
    QStringList notes{ScanTypeNote(m_scan)};
    if (!option)
        notes << QStringLiteral("The stream's display aspect is %1:1; choose 4:3 or 16:9.")
                     .arg(FormatTwoDecimals(sample.displayAspect, QLocale().decimalPoint().at(0)));
    notes.removeAll(QString());
    if (!notes.isEmpty())
        ShowNote(notes.join(u' '));
    if (option && option->isChecked())
        CalculateCropResize();
    else if (option)
        option->setChecked(true); // recalculates, as a selection by the program does
}

void frmMain::ShowVideoFrame(int index) {
    m_frame = index;
    const QImage& picture = m_frames[index].picture;
    picDVD->setPicture(picture);
    if (picture.width() != m_state.SourceWidth || picture.height() != m_state.SourceHeight)
        ResetValues();
    picDraw->setPicture(picDVD->picture());
    picVARN->hide();
    m_state.BitmapLoaded = true;
    m_state.SourceWidth = picture.width();
    m_state.SourceHeight = picture.height();
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
    if (m_frames.empty()) {
        ShowNote(QStringLiteral("Page Up and Page Down step through the frames of a video."));
        return;
    }
    const int index = std::clamp(m_frame + steps, 0, int(m_frames.size()) - 1);
    if (index == m_frame) {
        ShowNote(steps > 0 ? QStringLiteral("This is the last sampled frame.")
                           : QStringLiteral("This is the first sampled frame."));
        return;
    }
    ShowVideoFrame(index);
    // The edges and results stay; the frames are drawn again on the new picture.
    if (cmdSaveInfo->isEnabled())
        CalculateCropResize();
}

void frmMain::ForgetVideo() {
    m_frames.clear();
    m_scan = ScanResult();
    m_frame = -1;
    setWindowTitle(QStringLiteral("Quarvel 1.0"));
}
