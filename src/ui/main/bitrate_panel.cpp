// The bitrate calculator: its inputs, modes and recalculation.
#include "ui/main/bitrate_panel.h"

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

BitratePanel::BitratePanel(Ui::frmMain& form, MainWindowState& state, QObject* parent)
    : QObject(parent), ui(form), m_state(state) {
    connect(ui.txtVideoLength, &QLineEdit::textChanged, this, &BitratePanel::txtVideoLength_Change);
    connect(ui.txtSpaceCDCount, &QLineEdit::textChanged, this,
            &BitratePanel::txtSpaceCDCount_Change);
    connect(ui.txtSpaceCustom, &QLineEdit::textChanged, this, &BitratePanel::txtSpaceCustom_Change);
    connect(ui.txtBitrate, &QLineEdit::textChanged, this, &BitratePanel::txtBitrate_Change);
    ConnectOptionClick(ui.optCalcBitrate, this, &BitratePanel::optCalcBitrate_Click);
    ConnectOptionClick(ui.optCalcDiskspace, this, &BitratePanel::optCalcDiskspace_Click);
    ConnectOptionClick(ui.optSpaceCD, this, &BitratePanel::optSpaceCD_Click);
    ConnectOptionClick(ui.optSpaceCustom, this, &BitratePanel::optSpaceCustom_Click);
    // A list's Click runs when its selected entry changes, by the user or the program.
    connect(ui.cmbAudioBitrate, &QComboBox::currentIndexChanged, this,
            &BitratePanel::cmbAudioBitrate_Click);
    connect(ui.cmbAudioCount, &QComboBox::currentIndexChanged, this,
            &BitratePanel::cmbAudioCount_Click);
    connect(ui.cmbSpaceCD, &QComboBox::currentIndexChanged, this, &BitratePanel::cmbSpaceCD_Click);
    // KeyPress must run before the list sees the key; Alt+B only moves the focus (eventFilter).
    for (QWidget* watched :
         {static_cast<QWidget*>(ui.cmbAudioBitrate), static_cast<QWidget*>(ui.cmbAudioCount),
          static_cast<QWidget*>(ui.cmbSpaceCD), static_cast<QWidget*>(ui.Label2)})
        watched->installEventFilter(this);
}

bool BitratePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (watched == ui.cmbAudioBitrate)
            cmbAudioBitrate_KeyPress();
        else if (watched == ui.cmbAudioCount)
            cmbAudioCount_KeyPress();
        else if (watched == ui.cmbSpaceCD)
            cmbSpaceCD_KeyPress();
    } else if (event->type() == QEvent::Shortcut && watched == ui.Label2) {
        // A label clicks a button buddy; the title's access key must only move the focus.
        ui.optCalcBitrate->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void BitratePanel::txtVideoLength_Change() {
    if (const auto value = TypedValue(ui.txtVideoLength)) {
        m_state.VideoLength = *value;
        CalculateBitrate();
    }
}

void BitratePanel::txtSpaceCDCount_Change() {
    if (const auto value = TypedValue(ui.txtSpaceCDCount)) {
        m_state.CDCount = *value;
        CalculateBitrate();
    }
}

void BitratePanel::txtSpaceCustom_Change() {
    if (const auto value = TypedValue(ui.txtSpaceCustom)) {
        m_state.CustomSpace = *value;
        CalculateBitrate();
    }
}

void BitratePanel::txtBitrate_Change() {
    if (const auto value = TypedValue(ui.txtBitrate)) {
        m_state.VideoBitrate = *value;
        CalculateBitrate();
    }
}

void BitratePanel::optCalcBitrate_Click() {
    ui.fraCalcBitrate->setVisible(ui.optCalcBitrate->isChecked());
    ui.fraCalcDiskspace->setVisible(!ui.optCalcBitrate->isChecked());
    CalculateBitrate();
}

void BitratePanel::optCalcDiskspace_Click() {
    ui.fraCalcBitrate->setVisible(!ui.optCalcDiskspace->isChecked());
    ui.fraCalcDiskspace->setVisible(ui.optCalcDiskspace->isChecked());
    CalculateBitrate();
}

void BitratePanel::optSpaceCD_Click() {
    ShowTargetKind(true);
    CalculateBitrate();
}

void BitratePanel::optSpaceCustom_Click() {
    ShowTargetKind(false);
    CalculateBitrate();
}

// The inputs of the selected kind of target are enabled on white, the others disabled on the
// button face.
void BitratePanel::ShowTargetKind(bool cds) {
    const auto show = [](QWidget* input, bool selected) {
        input->setEnabled(selected);
        SetInputBackground(input, selected ? QColor(Qt::white) : ButtonFace());
    };
    show(ui.txtSpaceCustom, !cds);
    show(ui.txtSpaceCDCount, cds);
    show(ui.cmbSpaceCD, cds);
}

void BitratePanel::cmbAudioBitrate_Click() {
    CalculateBitrate();
}
void BitratePanel::cmbAudioCount_Click() {
    CalculateBitrate();
}
void BitratePanel::cmbSpaceCD_Click() {
    CalculateBitrate();
}
void BitratePanel::cmbAudioBitrate_KeyPress() {
    CalculateBitrate();
}
void BitratePanel::cmbAudioCount_KeyPress() {
    CalculateBitrate();
}
void BitratePanel::cmbSpaceCD_KeyPress() {
    CalculateBitrate();
}

void BitratePanel::ShowBitrateError() {
    ui.txtTargetBitrate->setText(kError);
    ui.txtDiskspace->setText(kError);
    ui.lblNeededCDs->clear();
}

void BitratePanel::CalculateBitrate() {
    if (!m_state.LoadComplete)
        return;
    BitrateInput input;
    input.videoLength = m_state.VideoLength;
    input.cdCount = m_state.CDCount;
    input.customSpace = m_state.CustomSpace;
    input.videoBitrate = m_state.VideoBitrate;
    input.audioBitrateEntry = SelectedEntry(ui.cmbAudioBitrate);
    input.audioCountPosition = ui.cmbAudioCount->currentIndex();
    input.cdSizeEntry = SelectedEntry(ui.cmbSpaceCD);
    input.useCDs = ui.optSpaceCD->isChecked();
    input.useCustom = ui.optSpaceCustom->isChecked();

    if (ui.optCalcBitrate->isChecked()) {
        const BitrateResult bitrate = VideoBitrateFor(input);
        if (bitrate.status == BitrateStatus::Failed)
            return ShowBitrateError();
        ui.txtTargetBitrate->setText(
            bitrate.status == BitrateStatus::Ok ? WholeNumberText(bitrate.value) : kError);
    } else if (ui.optCalcDiskspace->isChecked()) {
        const BitrateResult size = FileSizeFor(input);
        if (size.status == BitrateStatus::Failed)
            return ShowBitrateError();
        const bool ok = size.status == BitrateStatus::Ok;
        ui.txtDiskspace->setText(ok ? WholeNumberText(size.value) : kError);
        ui.lblNeededCDs->setText(ok ? SuggestSplitting(size.value) : QString());
    }
}
