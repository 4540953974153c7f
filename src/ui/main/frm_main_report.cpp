// The preview window and the information report.
#include "ui/main/frm_main.h"

#include "state/info_report.h"
#include "state/preview_size.h"
#include "state/report_file.h"
#include "ui/platform/common_dialog.h"
#include "ui/platform/message_box.h"
#include "ui/preview/frm_preview.h"

#include <QFileInfo>

void frmMain::ConnectReportHandlers() {
    connect(cmdPreview, &QPushButton::clicked, this, &frmMain::cmdPreview_Click);
    connect(cmdSaveInfo, &QPushButton::clicked, this, &frmMain::cmdSaveInfo_Click);
}

void frmMain::cmdPreview_Click() {
    if (!CropReady())
        return;
    const auto size = PreviewSize(txtNewWidth->text(), txtNewHeight->text());
    if (!size) {
        MessageBox::warning(this, QStringLiteral("Preview of %1x%2 exceeds 4096x4096 pixel.")
                                      .arg(txtNewWidth->text(), txtNewHeight->text()));
        return;
    }
    const QRect source(m_state.FinalCropLeft, m_state.CropTop,
                       m_state.FinalCropRight - m_state.FinalCropLeft,
                       m_state.CropBottom - m_state.CropTop);
    m_preview = new frmPreview(this);
    m_preview->paintPreview(SourcePicture(), source, *size);
    m_preview->exec();
    delete m_preview;
}

void frmMain::cmdSaveInfo_Click() {
    if (!CropReady())
        return;
    CommonDialog1->DialogTitle = QStringLiteral("Save Information");
    CommonDialog1->Filter = QStringLiteral("Textdateien (*.txt)|*.txt");
    CommonDialog1->FileName = QStringLiteral("Quarvel_Info.txt");
    CommonDialog1->InitDir = StartFolder();
    CommonDialog1->ShowSave();
    if (CommonDialog1->FileName.isEmpty())
        return;
    m_lastFolder = QFileInfo(CommonDialog1->FileName).absolutePath();
    WriteInfoFile(CommonDialog1->FileName);
}

void frmMain::WriteInfoFile(const QString& fileName) {
    InfoReportValues values;
    values.sourceFileName = m_state.SourceFileName;
    values.sourceWidth = m_state.SourceWidth;
    values.sourceHeight = m_state.SourceHeight;
    values.aspect16x9 = optStretch169->isChecked();
    values.offsetX1 = txtX1->text();
    values.offsetX2 = txtX2->text();
    values.offsetY1 = txtY1->text();
    values.offsetY2 = txtY2->text();
    values.newWidth = txtNewWidth->text();
    values.newHeight = txtNewHeight->text();
    values.newAspect = lblNewAR->text();
    values.newPixelCount = lblNewPixel->text();

    QString reason;
    if (!SaveReportFile(fileName, InfoReportBytes(values), &reason))
        MessageBox::warning(
            this,
            QStringLiteral("The report could not be saved to \"%1\": %2").arg(fileName, reason));
}
