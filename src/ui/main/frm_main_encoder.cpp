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
    std::optional<CropEdges> edges;
    QString found;
    if (!m_video) {
        edges = DetectBlackBars(SourcePicture());
    } else {
        // On a video, every sampled frame has its say.
        const BarsAcrossFrames across = DetectBlackBarsAcross(
            int(m_frames.size()), [this](int i) { return FrameLuma(m_frames[i]); },
            m_scan.type != ScanType::Progressive);
        edges = across.edges;
        found = QStringLiteral("Bars found in %1 of %2 frames. ")
                    .arg(across.framesUsed)
                    .arg(m_frames.size()) +
                across.note;
        if (!edges)
            found = QStringLiteral("No black bars found. ") + across.note;
    }
    if (!edges) {
        ShowNote(found.isEmpty() ? QStringLiteral("No black bars found.") : found.trimmed());
        return;
    }
    if (found.isEmpty())
        lblNote->hide(); // the frames show what happened
    else
        ShowNote(found.trimmed());
    m_state.CropLeft = edges->left;
    m_state.CropTop = edges->top;
    m_state.CropRight = edges->right;
    m_state.CropBottom = edges->bottom;
    // As two clicks would have, the second one near the lower right corner.
    m_lastVertical = &MainWindowState::CropRight;
    m_lastHorizontal = &MainWindowState::CropBottom;
    CalculateCropResize();
}

void frmMain::CopyForEncoder() {
    // Only what a successful calculation shows; the buttons tell whether the last one was.
    const CropResizeInput input = CropInput();
    const auto result =
        CropReady() && cmdSaveInfo->isEnabled() ? CalculateCropResizeValues(input) : std::nullopt;
    const QString text = result ? EncoderSettingsText(input, *result, m_scan) : QString();
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
