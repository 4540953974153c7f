#pragma once

#include "state/main_window_state.h"
#include "ui_frm_main.h"

#include <QObject>

// The bitrate calculator of the main window's form: its inputs, its two modes and the
// recalculation as the user types. Its values live in the window's state record.
class BitratePanel : public QObject {
public:
    BitratePanel(Ui::frmMain& ui, MainWindowState& state, QObject* parent);

    void CalculateBitrate();
    // The inputs of the selected kind of target are enabled on white, the others disabled on
    // the button face.
    void ShowTargetKind(bool cds);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void txtVideoLength_Change();
    void txtSpaceCDCount_Change();
    void txtSpaceCustom_Change();
    void txtBitrate_Change();
    void optCalcBitrate_Click();
    void optCalcDiskspace_Click();
    void optSpaceCD_Click();
    void optSpaceCustom_Click();
    void cmbAudioBitrate_Click();
    void cmbAudioCount_Click();
    void cmbSpaceCD_Click();
    void cmbAudioBitrate_KeyPress();
    void cmbAudioCount_KeyPress();
    void cmbSpaceCD_KeyPress();
    void ShowBitrateError();

    Ui::frmMain& ui;
    MainWindowState& m_state;
};
