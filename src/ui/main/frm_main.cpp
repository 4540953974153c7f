// Start-up, reset and quit of the main window, and the about window.
#include "ui/main/frm_main.h"

#include "ui/about/frm_help.h"
#include "ui/controls/centre.h"
#include "ui/controls/colours.h"
#include "ui/controls/fonts.h"
#include "ui/controls/option_groups.h"
#include "ui/controls/single_line.h"
#include "ui/main/bitrate_panel.h"
#include "ui/platform/common_dialog.h"
#include "ui/preview/frm_preview.h"

namespace {

// Appending entries selects nothing and runs no handler, unlike QComboBox's own habit of
// selecting the first entry of an empty list.
void AppendEntries(QComboBox* list, std::initializer_list<const char*> entries) {
    const QSignalBlocker blocker(list);
    for (const char* entry : entries)
        list->addItem(QLatin1String(entry));
    list->setCurrentIndex(-1);
}

} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    // The font first, so that the controls are laid out once, in it.
    setFont(UiFont());
    setupUi(this);
    // Fixed single border: close and minimise only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    CommonDialog1 = new CommonDialog(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));
    CommonDialog1->DialogTitle = QStringLiteral("Open BMP");
    CommonDialog1->FolderChoice = IsDvdFolder;
    for (QWidget* label : {lblNewAR, lblNewPixel, lblNeededCDs})
        KeepForcedColourReadable(label);
    m_bitrate = new BitratePanel(*this, m_job.state(), this);
    m_bitrate->ShowTargetKind(optSpaceCD->isChecked());
    new OptionGroupKeys({grpStretch, grpCalc, grpSpace}, this);
    for (QLineEdit* box :
         {txtPixelCount, txtVideoLength, txtSpaceCDCount, txtSpaceCustom, txtBitrate})
        KeepFirstLine(box);
    setAcceptDrops(true);
    // The picture, made first, would otherwise take the focus.
    cmdOpenBMP->setFocus();

    ConnectWindowHandlers();
    ConnectBitmapHandlers();
    ConnectCropHandlers();
    ConnectEncoderHandlers();
    ConnectReportHandlers();
    ConnectVideoHandlers();
    Form_Load();
    CentreOnScreen(this);
}

frmMain::~frmMain() {
    FinishSearch();
    StopOpening();
    // The about window has no owner; it must not outlive the main window object.
    delete m_help;
}

void frmMain::ConnectWindowHandlers() {
    connect(cmdReset, &QPushButton::clicked, this, &frmMain::cmdReset_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &frmMain::cmdQuit_Click);
    m_noteTimer.setSingleShot(true);
    m_noteTimer.setInterval(5000);
    connect(&m_noteTimer, &QTimer::timeout, lblNote, &QWidget::hide);
}

void frmMain::ShowNote(const QString& text) {
    lblNote->setText(text);
    lblNote->setToolTip(text);
    lblNote->adjustSize();
    lblNote->show();
    lblNote->raise();
    m_noteTimer.start();
}

void frmMain::Form_Load() {
    m_job.state().LoadComplete = false;
    m_job.state().BitmapLoaded = false;
    AppendEntries(cmbAudioBitrate,
                  {"32", "48", "64", "80", "96", "112", "128", "160", "192", "224", "256", "320"});
    AppendEntries(cmbAudioCount, {"0", "1", "2", "3", "4"});
    AppendEntries(cmbSpaceCD, {"650", "700", "800", "900"});
    ResetValues();
    m_job.state().LoadComplete = true;
    m_bitrate->CalculateBitrate();
}

// The order matters: several assignments run the handlers of both calculators.
void frmMain::ResetValues() {
    picVARN->show();
    cmdPreview->setEnabled(false);
    cmdSaveInfo->setEnabled(false);
    m_job.ResetEdges();
    // The pixel count's change handler in between stays idle: no edge is placed.
    ClearCropOutputs(QStringLiteral("0"));
    ShowText(txtPixelCount, QString::number(m_job.state().TargetPixelCount));
    optCalcBitrate->setChecked(true);
    optSpaceCD->setChecked(true);
    cmbAudioBitrate->setCurrentIndex(6);
    cmbAudioCount->setCurrentIndex(1);
    cmbSpaceCD->setCurrentIndex(1);
    MainWindowState& s = m_job.state();
    s.VideoLength = 90;
    s.CustomSpace = 650;
    s.CDCount = 1;
    s.VideoBitrate = 870;
    ShowText(txtVideoLength, QString::number(s.VideoLength));
    ShowText(txtSpaceCustom, QString::number(s.CustomSpace));
    ShowText(txtSpaceCDCount, QString::number(s.CDCount));
    ShowText(txtBitrate, QString::number(s.VideoBitrate));
}

void frmMain::cmdReset_Click() {
    ResetValues();
    ForgetVideo(); // the title picture is back
}

void frmMain::closeEvent(QCloseEvent* event) {
    StopOpening();
    QWidget::closeEvent(event);
}

void frmMain::cmdQuit_Click() {
    StopOpening();
    // Each close is attempted whatever became of the one before; the main window goes last.
    if (m_preview)
        m_preview->close();
    if (m_help)
        m_help->close();
    close();
}

void frmMain::cmdHelp_Click() {
    // A closed one is already on its way out (it deletes itself on close).
    if (!m_help || !m_help->isVisible())
        m_help = new frmHelp;
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}
