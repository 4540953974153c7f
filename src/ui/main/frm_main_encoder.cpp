// From the screenshot to encoder settings: finding the black bars, and the calculation's
// values copied in the syntax of common encoders.
#include "ui/main/frm_main.h"

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
    const BarsFound found = m_job.DetectBars();
    if (found.note.isEmpty())
        lblNote->hide(); // the frames show what happened
    else
        ShowNote(found.note);
    if (found.edges)
        CalculateCropResize();
}

void frmMain::CopyForEncoder() {
    // Only what a successful calculation shows.
    const QString text = m_job.CropReady() ? m_job.EncoderText() : QString();
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
    copy->setEnabled(m_job.CropReady() && m_job.result());
    connect(copy, &QAction::triggered, this, &frmMain::CopyForEncoder);
    menu->exec(box->mapToGlobal(position));
}
