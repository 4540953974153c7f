// Opening the source bitmap.
#include "frm_main.h"

#include "common_dialog.h"
#include "message_box.h"
#include "picture_box.h"
#include "source_bitmap.h"

#include <QPushButton>

void frmMain::cmdOpenBMP_Click() {
    CommonDialog1->DialogTitle = QStringLiteral("Open Bitmap");
    CommonDialog1->FileName = QString();
    CommonDialog1->Filter = QStringLiteral("Windows Bitmap (*.bmp)|*.bmp");
    CommonDialog1->ShowOpen();
    const QString fileName = CommonDialog1->FileName;
    if (fileName.isEmpty())
        return;

    SourceBitmap loaded = LoadSourceBitmap(fileName);
    if (loaded.outcome == SourceBitmapOutcome::TooLarge) {
        // The accepted picture and its name stay, so that later previews and reports match.
        MessageBox::warning(this, QStringLiteral("Bitmap exceeds 720x576 pixel."));
        return;
    }
    m_state.SourceFileName = fileName;
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
