// The bitrate calculator: its inputs, modes and recalculation.
#include "ui/main/frm_main.h"

#include "state/bitrate.h"
#include "state/number_text.h"
#include "ui/controls/colours.h"
#include "ui/controls/option_groups.h"

#include <QLocale>

namespace {

const QString kError = QStringLiteral("ERROR");

std::optional<std::int32_t> TypedValue(const QLineEdit* box) {
    return TypedInputValue(box->text(), QLocale().decimalPoint().at(0));
}

QString SelectedEntry(const QComboBox* list) {
    const int index = list->currentIndex();
    return index >= 0 ? list->itemText(index) : QString();
}

QString WholeNumberText(double value) {
    return FormatWholeNumber(RoundHalfEven(value));
}

} // namespace

void frmMain::ConnectBitrateHandlers() {
    connect(txtVideoLength, &QLineEdit::textChanged, this, &frmMain::txtVideoLength_Change);
    connect(txtSpaceCDCount, &QLineEdit::textChanged, this, &frmMain::txtSpaceCDCount_Change);
    connect(txtSpaceCustom, &QLineEdit::textChanged, this, &frmMain::txtSpaceCustom_Change);
    connect(txtBitrate, &QLineEdit::textChanged, this, &frmMain::txtBitrate_Change);
    ConnectOptionClick(optCalcBitrate, this, &frmMain::optCalcBitrate_Click);
    ConnectOptionClick(optCalcDiskspace, this, &frmMain::optCalcDiskspace_Click);
    ConnectOptionClick(optSpaceCD, this, &frmMain::optSpaceCD_Click);
    ConnectOptionClick(optSpaceCustom, this, &frmMain::optSpaceCustom_Click);
    // A list's Click runs when its selected entry changes, by the user or the program.
    connect(cmbAudioBitrate, &QComboBox::currentIndexChanged, this,
            &frmMain::cmbAudioBitrate_Click);
    connect(cmbAudioCount, &QComboBox::currentIndexChanged, this, &frmMain::cmbAudioCount_Click);
    connect(cmbSpaceCD, &QComboBox::currentIndexChanged, this, &frmMain::cmbSpaceCD_Click);
    // KeyPress must run before the list sees the key; Alt+B only moves the focus (eventFilter).
    for (QWidget* watched :
         {static_cast<QWidget*>(cmbAudioBitrate), static_cast<QWidget*>(cmbAudioCount),
          static_cast<QWidget*>(cmbSpaceCD), static_cast<QWidget*>(Label2)})
        watched->installEventFilter(this);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (watched == cmbAudioBitrate)
            cmbAudioBitrate_KeyPress();
        else if (watched == cmbAudioCount)
            cmbAudioCount_KeyPress();
        else if (watched == cmbSpaceCD)
            cmbSpaceCD_KeyPress();
    } else if (event->type() == QEvent::Shortcut && watched == Label2) {
        // A label clicks a button buddy; the title's access key must only move the focus.
        optCalcBitrate->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::txtVideoLength_Change() {
    if (const auto value = TypedValue(txtVideoLength)) {
        m_job.state().VideoLength = *value;
        CalculateBitrate();
    }
}

void frmMain::txtSpaceCDCount_Change() {
    if (const auto value = TypedValue(txtSpaceCDCount)) {
        m_job.state().CDCount = *value;
        CalculateBitrate();
    }
}

void frmMain::txtSpaceCustom_Change() {
    if (const auto value = TypedValue(txtSpaceCustom)) {
        m_job.state().CustomSpace = *value;
        CalculateBitrate();
    }
}

void frmMain::txtBitrate_Change() {
    if (const auto value = TypedValue(txtBitrate)) {
        m_job.state().VideoBitrate = *value;
        CalculateBitrate();
    }
}

void frmMain::optCalcBitrate_Click() {
    fraCalcBitrate->setVisible(optCalcBitrate->isChecked());
    fraCalcDiskspace->setVisible(!optCalcBitrate->isChecked());
    CalculateBitrate();
}

void frmMain::optCalcDiskspace_Click() {
    fraCalcBitrate->setVisible(!optCalcDiskspace->isChecked());
    fraCalcDiskspace->setVisible(optCalcDiskspace->isChecked());
    CalculateBitrate();
}

void frmMain::optSpaceCD_Click() {
    ShowTargetKind(true);
    CalculateBitrate();
}

void frmMain::optSpaceCustom_Click() {
    ShowTargetKind(false);
    CalculateBitrate();
}

// The inputs of the selected kind of target are enabled on white, the others disabled on the
// button face.
void frmMain::ShowTargetKind(bool cds) {
    const auto show = [](QWidget* input, bool selected) {
        input->setEnabled(selected);
        SetInputBackground(input, selected ? QColor(Qt::white) : ButtonFace());
    };
    show(txtSpaceCustom, !cds);
    show(txtSpaceCDCount, cds);
    show(cmbSpaceCD, cds);
}

void frmMain::cmbAudioBitrate_Click() {
    CalculateBitrate();
}
void frmMain::cmbAudioCount_Click() {
    CalculateBitrate();
}
void frmMain::cmbSpaceCD_Click() {
    CalculateBitrate();
}
void frmMain::cmbAudioBitrate_KeyPress() {
    CalculateBitrate();
}
void frmMain::cmbAudioCount_KeyPress() {
    CalculateBitrate();
}
void frmMain::cmbSpaceCD_KeyPress() {
    CalculateBitrate();
}

void frmMain::ShowBitrateError() {
    txtTargetBitrate->setText(kError);
    txtDiskspace->setText(kError);
    lblNeededCDs->clear();
}

void frmMain::CalculateBitrate() {
    if (!m_job.state().LoadComplete)
        return;
    BitrateInput input;
    input.videoLength = m_job.state().VideoLength;
    input.cdCount = m_job.state().CDCount;
    input.customSpace = m_job.state().CustomSpace;
    input.videoBitrate = m_job.state().VideoBitrate;
    input.audioBitrateEntry = SelectedEntry(cmbAudioBitrate);
    input.audioCountPosition = cmbAudioCount->currentIndex();
    input.cdSizeEntry = SelectedEntry(cmbSpaceCD);
    input.useCDs = optSpaceCD->isChecked();
    input.useCustom = optSpaceCustom->isChecked();

    if (optCalcBitrate->isChecked()) {
        const BitrateResult bitrate = VideoBitrateFor(input);
        if (bitrate.status == BitrateStatus::Failed)
            return ShowBitrateError();
        txtTargetBitrate->setText(
            bitrate.status == BitrateStatus::Ok ? WholeNumberText(bitrate.value) : kError);
    } else if (optCalcDiskspace->isChecked()) {
        const BitrateResult size = FileSizeFor(input);
        if (size.status == BitrateStatus::Failed)
            return ShowBitrateError();
        const bool ok = size.status == BitrateStatus::Ok;
        txtDiskspace->setText(ok ? WholeNumberText(size.value) : kError);
        lblNeededCDs->setText(ok ? SuggestSplitting(size.value) : QString());
    }
}
