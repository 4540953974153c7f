// The preview window and the information report.
#include "frm_main.h"

#include "common_dialog.h"
#include "frm_preview.h"
#include "info_report.h"
#include "message_box.h"
#include "picture_box.h"
#include "report_file.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

void frmMain::cmdPreview_Click() {
    if (!cropReady())
        return;
    const PreviewRequest request{
        txtNewWidth->text(),
        txtNewHeight->text(),
        QRect(m_state.FinalCropLeft, m_state.CropTop,
              m_state.FinalCropRight - m_state.FinalCropLeft, m_state.CropBottom - m_state.CropTop),
    };
    const auto size = PreviewSize(request);
    if (!size)
        return;
    m_preview = new frmPreview(this);
    m_preview->paintPreview(picDVD->picture(), request.source, *size);
    m_preview->exec();
    delete m_preview;
}

void frmMain::cmdSaveInfo_Click() {
    if (!cropReady())
        return;
    CommonDialog1->DialogTitle = QStringLiteral("Save Information");
    CommonDialog1->Filter = QStringLiteral("Textdateien (*.txt)|*.txt");
    CommonDialog1->FileName = QStringLiteral("Quarvel_Info.txt");
    CommonDialog1->ShowSave();
    if (CommonDialog1->FileName.isEmpty())
        return;
    WriteInfoFile(CommonDialog1->FileName);
}

void frmMain::WriteInfoFile(const QString& fileName) {
    InfoReportValues values;
    values.sourceFileName = m_state.SourceFileName;
    values.sourceWidth = picDVD->picture().width();
    values.sourceHeight = picDVD->picture().height();
    values.aspect16x9 = optStretch169->isChecked();
    values.offsetX1 = txtX1->text();
    values.offsetX2 = txtX2->text();
    values.offsetY1 = txtY1->text();
    values.offsetY2 = txtY2->text();
    values.newWidth = txtNewWidth->text();
    values.newHeight = txtNewHeight->text();
    values.newAspect = lblNewAR->text();
    values.newPixelCount = lblNewPixel->text();

    const QString failure = SaveReportFile(fileName, InfoReportBytes(values));
    if (!failure.isEmpty())
        MessageBox::warning(
            this,
            QStringLiteral("The report could not be saved to \"%1\": %2").arg(fileName, failure));
}
