// The bitrate calculator: its inputs, modes and recalculation.
#include "frm_main.h"

#include "bitrate.h"
#include "input_colours.h"
#include "number_text.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>

namespace {

// -1 marks "no valid value", so the text -1 is ignored like text that is no number.
std::optional<std::int32_t> typedValue(const QLineEdit* box) {
    const auto value = ParseTypedNumber(box->text(), QLocale().decimalPoint().at(0));
    if (!value || *value == -1)
        return std::nullopt;
    return value;
}

QString selectedEntry(const QComboBox* list) {
    const int index = list->currentIndex();
    return index >= 0 ? list->itemText(index) : QString();
}

} // namespace

void frmMain::txtVideoLength_Change() {
    if (const auto value = typedValue(txtVideoLength)) {
        m_state.VideoLength = *value;
        CalculateBitrate();
    }
}

void frmMain::txtSpaceCDCount_Change() {
    if (const auto value = typedValue(txtSpaceCDCount)) {
        m_state.CDCount = *value;
        CalculateBitrate();
    }
}

void frmMain::txtSpaceCustom_Change() {
    if (const auto value = typedValue(txtSpaceCustom)) {
        m_state.CustomSpace = *value;
        CalculateBitrate();
    }
}

void frmMain::txtBitrate_Change() {
    if (const auto value = typedValue(txtBitrate)) {
        m_state.VideoBitrate = *value;
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
    txtSpaceCustom->setEnabled(false);
    setInputBackground(txtSpaceCustom, buttonFace());
    txtSpaceCDCount->setEnabled(true);
    setInputBackground(txtSpaceCDCount, Qt::white);
    cmbSpaceCD->setEnabled(true);
    setInputBackground(cmbSpaceCD, Qt::white);
    CalculateBitrate();
}

void frmMain::optSpaceCustom_Click() {
    txtSpaceCDCount->setEnabled(false);
    setInputBackground(txtSpaceCDCount, buttonFace());
    cmbSpaceCD->setEnabled(false);
    setInputBackground(cmbSpaceCD, buttonFace());
    txtSpaceCustom->setEnabled(true);
    setInputBackground(txtSpaceCustom, Qt::white);
    CalculateBitrate();
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

void frmMain::CalculateBitrate() {
    if (!m_state.LoadComplete)
        return;
    BitrateInput input;
    input.videoLength = m_state.VideoLength;
    input.cdCount = m_state.CDCount;
    input.customSpace = m_state.CustomSpace;
    input.videoBitrate = m_state.VideoBitrate;
    input.audioBitrateEntry = selectedEntry(cmbAudioBitrate);
    input.audioCountPosition = cmbAudioCount->currentIndex();
    input.cdSizeEntry = selectedEntry(cmbSpaceCD);
    input.useCDs = optSpaceCD->isChecked();
    input.useCustom = optSpaceCustom->isChecked();
    const BitrateMode mode = optCalcBitrate->isChecked()     ? BitrateMode::Bitrate
                             : optCalcDiskspace->isChecked() ? BitrateMode::FileSize
                                                             : BitrateMode::None;

    const BitrateOutput output = CalculateBitrateOutputs(input, mode);
    if (output.targetBitrate)
        txtTargetBitrate->setText(*output.targetBitrate);
    if (output.diskspace)
        txtDiskspace->setText(*output.diskspace);
    if (output.neededCDs)
        lblNeededCDs->setText(*output.neededCDs);
}
