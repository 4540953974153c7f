// Start-up, reset and quit of the main window, and the about window.
#include "frm_main.h"

#include "centre.h"
#include "common_dialog.h"
#include "frm_help.h"
#include "frm_preview.h"
#include "picture_box.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Appending entries selects nothing and runs no handler, unlike QComboBox's own habit of
// selecting the first entry of an empty list.
void appendEntries(QComboBox* list, std::initializer_list<const char*> entries) {
    const QSignalBlocker blocker(list);
    for (const char* entry : entries)
        list->addItem(QLatin1String(entry));
    list->setCurrentIndex(-1);
}

} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    createControls();
    connectHandlers();
    Form_Load();
    centreOnScreen(this);
}

frmMain::~frmMain() {
    // The about window has no owner; it must not outlive the main window object.
    delete m_help;
}

void frmMain::Form_Load() {
    m_state.LoadComplete = false;
    m_state.BitmapLoaded = false;
    appendEntries(cmbAudioBitrate,
                  {"32", "48", "64", "80", "96", "112", "128", "160", "192", "224", "256", "320"});
    appendEntries(cmbAudioCount, {"0", "1", "2", "3", "4"});
    appendEntries(cmbSpaceCD, {"650", "700", "800", "900"});
    ResetValues();
    m_state.LoadComplete = true;
    CalculateBitrate();
}

// The order matters: several assignments run the handlers of both calculators.
void frmMain::ResetValues() {
    picVARN->show();
    m_state.BitmapLoaded = false;
    cmdPreview->setEnabled(false);
    cmdSaveInfo->setEnabled(false);
    m_state.CropLeft = -1;
    m_state.CropRight = -1;
    m_state.CropTop = -1;
    m_state.CropBottom = -1;
    m_state.TargetPixelCount = 200000;
    txtX1->setText(QStringLiteral("0"));
    txtX2->setText(QStringLiteral("0"));
    txtY1->setText(QStringLiteral("0"));
    txtY2->setText(QStringLiteral("0"));
    txtPixelCount->setText(QString::number(m_state.TargetPixelCount));
    txtNewWidth->setText(QStringLiteral("0"));
    txtNewHeight->setText(QStringLiteral("0"));
    lblNewAR->clear();
    lblNewPixel->clear();
    optCalcBitrate->setChecked(true);
    optSpaceCD->setChecked(true);
    cmbAudioBitrate->setCurrentIndex(6);
    cmbAudioCount->setCurrentIndex(1);
    cmbSpaceCD->setCurrentIndex(1);
    m_state.TargetPixelCount = 200000;
    m_state.VideoLength = 90;
    m_state.CustomSpace = 650;
    m_state.CDCount = 1;
    m_state.VideoBitrate = 870;
    txtPixelCount->setText(QString::number(m_state.TargetPixelCount));
    txtVideoLength->setText(QString::number(m_state.VideoLength));
    txtSpaceCustom->setText(QString::number(m_state.CustomSpace));
    txtSpaceCDCount->setText(QString::number(m_state.CDCount));
    txtBitrate->setText(QString::number(m_state.VideoBitrate));
}

void frmMain::cmdReset_Click() {
    ResetValues();
}

void frmMain::cmdQuit_Click() {
    // Each close is attempted whatever became of the one before; the main window goes last.
    if (m_preview)
        m_preview->close();
    if (m_help)
        m_help->close();
    close();
}

void frmMain::cmdHelp_Click() {
    if (!m_help) {
        m_help = new frmHelp;
        m_help->show();
    } else {
        m_help->show();
        m_help->raise();
        m_help->activateWindow();
    }
}

void frmMain::connectHandlers() {
    connect(cmdOpenBMP, &QPushButton::clicked, this, &frmMain::cmdOpenBMP_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmMain::cmdPreview_Click);
    connect(cmdSaveInfo, &QPushButton::clicked, this, &frmMain::cmdSaveInfo_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmMain::cmdReset_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &frmMain::cmdQuit_Click);

    connect(picDraw, &PictureBox::mouseDown, this, &frmMain::picDraw_MouseDown);
    connect(picDraw, &PictureBox::mouseUp, this, &frmMain::picDraw_MouseUp);
    connect(txtPixelCount, &QLineEdit::textChanged, this, &frmMain::txtPixelCount_Change);

    // An option's click runs also when the program selects it.
    const auto onSelect = [this](QRadioButton* option, void (frmMain::*handler)()) {
        connect(option, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    };
    onSelect(optStretch43, &frmMain::optStretch43_Click);
    onSelect(optStretch169, &frmMain::optStretch169_Click);
    onSelect(optCalcBitrate, &frmMain::optCalcBitrate_Click);
    onSelect(optCalcDiskspace, &frmMain::optCalcDiskspace_Click);
    onSelect(optSpaceCD, &frmMain::optSpaceCD_Click);
    onSelect(optSpaceCustom, &frmMain::optSpaceCustom_Click);

    connect(txtVideoLength, &QLineEdit::textChanged, this, &frmMain::txtVideoLength_Change);
    connect(txtSpaceCDCount, &QLineEdit::textChanged, this, &frmMain::txtSpaceCDCount_Change);
    connect(txtSpaceCustom, &QLineEdit::textChanged, this, &frmMain::txtSpaceCustom_Change);
    connect(txtBitrate, &QLineEdit::textChanged, this, &frmMain::txtBitrate_Change);

    // A list's Click runs when its selected entry changes, by the user or the program.
    connect(cmbAudioBitrate, &QComboBox::currentIndexChanged, this,
            &frmMain::cmbAudioBitrate_Click);
    connect(cmbAudioCount, &QComboBox::currentIndexChanged, this, &frmMain::cmbAudioCount_Click);
    connect(cmbSpaceCD, &QComboBox::currentIndexChanged, this, &frmMain::cmbSpaceCD_Click);
    // KeyPress must run before the list sees the key.
    for (QComboBox* list : {cmbAudioBitrate, cmbAudioCount, cmbSpaceCD})
        list->installEventFilter(this);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (watched == cmbAudioBitrate)
            cmbAudioBitrate_KeyPress();
        else if (watched == cmbAudioCount)
            cmbAudioCount_KeyPress();
        else if (watched == cmbSpaceCD)
            cmbSpaceCD_KeyPress();
    }
    return QWidget::eventFilter(watched, event);
}
