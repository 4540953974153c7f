// Opening the source bitmap, through the dialog or dropped on the window.
#include "ui/main/frm_main.h"

#include "state/source_bitmap.h"
#include "ui/platform/common_dialog.h"
#include "ui/platform/message_box.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>

void frmMain::ConnectBitmapHandlers() {
    connect(cmdOpenBMP, &QPushButton::clicked, this, &frmMain::cmdOpenBMP_Click);
}

QString frmMain::StartFolder() const {
    if (!m_lastFolder.isEmpty())
        return m_lastFolder;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

void frmMain::cmdOpenBMP_Click() {
    CommonDialog1->DialogTitle = QStringLiteral("Open Bitmap");
    CommonDialog1->FileName = QString();
    CommonDialog1->Filter = SourcePictureFilter();
    CommonDialog1->InitDir = StartFolder();
    CommonDialog1->ShowOpen();
    if (!CommonDialog1->FileName.isEmpty())
        OpenSourceFile(CommonDialog1->FileName);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    event->acceptProposedAction();
}

// A dropped file opens as if chosen in the dialog; anything else is no picture.
void frmMain::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) {
        MessageBox::warning(this, QStringLiteral("File is not a valid Bitmap."));
        return;
    }
    OpenSourceFile(urls.constFirst().toLocalFile());
}

void frmMain::OpenSourceFile(const QString& fileName) {
    m_lastFolder = QFileInfo(fileName).absolutePath();
    if (IsVideoFileName(fileName)) {
        OpenVideoFile(fileName);
        return;
    }

    const SourceBitmap loaded = LoadSourceBitmap(fileName);
    if (loaded.outcome == SourceBitmapOutcome::TooLarge) {
        // The accepted picture and its name stay, so that later previews and reports match.
        MessageBox::warning(this, QStringLiteral("Bitmap exceeds 720x576 pixel."));
        return;
    }
    m_state.SourceFileName = fileName;
    ForgetVideo();
    if (loaded.outcome == SourceBitmapOutcome::Invalid) {
        MessageBox::warning(this, QStringLiteral("File is not a valid Bitmap."));
        m_state.BitmapLoaded = false;
        picVARN->show();
        cmdPreview->setEnabled(false);
        cmdSaveInfo->setEnabled(false);
        return;
    }

    const int w = loaded.picture.width();
    const int h = loaded.picture.height();
    picDVD->setPicture(loaded.picture);
    if (w != m_state.SourceWidth || h != m_state.SourceHeight)
        ResetValues();
    picDraw->setPicture(picDVD->picture());
    picVARN->hide();
    m_state.BitmapLoaded = true;
    m_state.SourceWidth = w;
    m_state.SourceHeight = h;
}
