// From the screenshot to encoder settings: finding the black bars, and the calculation's
// values copied in the syntax of common encoders.
#include "ui/main/frm_main.h"

#include "state/black_bars.h"
#include "state/encoder_settings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QShortcut>

#include <memory>

namespace {

const QKeySequence kCopyForEncoder(Qt::CTRL | Qt::SHIFT | Qt::Key_C);

} // namespace

void frmMain::ConnectEncoderHandlers() {
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this), &QShortcut::activated, this,
            &frmMain::DetectBars);
    connect(new QShortcut(kCopyForEncoder, this), &QShortcut::activated, this,
            &frmMain::CopyForEncoder);
    for (QLineEdit* box : {txtX1, txtX2, txtY1, txtY2, txtNewWidth, txtNewHeight}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, box](QPoint position) { CropOutput_ContextMenu(box, position); });
    }
}

// Places the four edges as two clicks on the bars' inner corners would, then calculates as the
// release of the second click does.
void frmMain::DetectBars() {
    if (!m_state.BitmapLoaded) {
        ShowNote(QStringLiteral("Open a picture or a video first."));
        return;
    }
    // On a video, every sampled frame has its say.
    std::vector<QImage> frames;
    for (const VideoFrame& frame : m_frames)
        frames.push_back(frame.picture);
    const BarsAcrossFrames across = DetectBlackBarsAcross(frames);
    const auto edges = m_frames.empty() ? DetectBlackBars(picDVD->picture()) : across.edges;
    if (!edges) {
        ShowNote(QStringLiteral("No black bars found. %1").arg(across.mixedAspect).trimmed());
        return;
    }
    if (m_frames.empty())
        lblNote->hide(); // the frames show what happened
    else
        ShowNote(QStringLiteral("Bars found in %1 of %2 frames. %3")
                     .arg(across.framesUsed)
                     .arg(m_frames.size())
                     .arg(across.mixedAspect)
                     .trimmed());
    m_state.CropLeft = edges->left;
    m_state.CropTop = edges->top;
    m_state.CropRight = edges->right;
    m_state.CropBottom = edges->bottom;
    CalculateCropResize();
}

void frmMain::CopyForEncoder() {
    // Only what a successful calculation shows; the buttons tell whether the last one was.
    const CropResizeInput input = CropInput();
    const auto result =
        CropReady() && cmdSaveInfo->isEnabled() ? CalculateCropResizeValues(input) : std::nullopt;
    const QString text = result ? EncoderSettingsText(input, *result) : QString();
    if (text.isEmpty()) {
        ShowNote(QStringLiteral("Nothing to copy yet: mark the picture first."));
        return;
    }
    QGuiApplication::clipboard()->setText(text);
    ShowNote(QStringLiteral("Copied for ffmpeg, HandBrake, AviSynth and VapourSynth."));
}

void frmMain::CropOutput_ContextMenu(QLineEdit* box, QPoint position) {
    const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    menu->addSeparator();
    QAction* copy = menu->addAction(QStringLiteral("Copy for encoder"));
    copy->setShortcut(kCopyForEncoder);
    copy->setEnabled(CropReady() && cmdSaveInfo->isEnabled());
    connect(copy, &QAction::triggered, this, &frmMain::CopyForEncoder);
    menu->exec(box->mapToGlobal(position));
}
