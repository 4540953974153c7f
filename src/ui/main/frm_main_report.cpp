// The preview window and the information report.
#include "ui/main/frm_main.h"

#include "state/info_report.h"
#include "state/preview_size.h"
#include "state/report_file.h"
#include "ui/platform/common_dialog.h"
#include "ui/platform/message_box.h"
#include "ui/preview/frm_preview.h"

#include <QFileInfo>
#include <QLocale>

void frmMain::ConnectReportHandlers() {
    connect(cmdPreview, &QPushButton::clicked, this, &frmMain::cmdPreview_Click);
    connect(cmdSaveInfo, &QPushButton::clicked, this, &frmMain::cmdSaveInfo_Click);
}

void frmMain::cmdPreview_Click() {
    if (!m_job.CropReady() || !m_job.result())
        return;
    const CropResizeResult& result = *m_job.result();
    const auto size = PreviewSize(result.newWidth, result.newHeight);
    if (!size) {
        MessageBox::warning(this, QStringLiteral("Preview of %1x%2 exceeds 4096x4096 pixel.")
                                      .arg(result.newWidth)
                                      .arg(result.newHeight));
        return;
    }
    const MainWindowState& s = m_job.state();
    const QRect source(s.FinalCropLeft, s.CropTop, s.FinalCropRight - s.FinalCropLeft,
                       s.CropBottom - s.CropTop);
    m_preview = new frmPreview(this);
    m_preview->paintPreview(SourcePicture(), source, *size);
    m_preview->exec();
    delete m_preview;
}

void frmMain::cmdSaveInfo_Click() {
    if (!m_job.CropReady())
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
    const InfoReportValues values = m_job.Report(QLocale().decimalPoint().at(0));
    QString reason;
    if (!SaveReportFile(fileName, InfoReportBytes(values), &reason))
        MessageBox::warning(
            this,
            QStringLiteral("The report could not be saved to \"%1\": %2").arg(fileName, reason));
}
