#pragma once

#include "main_window_state.h"

#include <QPointer>
#include <QWidget>

class CommonDialog;
class PictureBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class frmHelp;
class frmPreview;

// The main window: the crop/resize calculator on the source picture and the bitrate calculator.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    const MainWindowState& state() const { return m_state; }

    void CalculateBitrate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window (frm_main_layout.cpp).
    void createControls();
    void createCropResizePanel();
    void createBitratePanel();
    void setKeyboardOrder();
    void connectHandlers();

    // Start-up, reset and quit (frm_main.cpp).
    void Form_Load();
    void ResetValues();
    void cmdReset_Click();
    void cmdQuit_Click();
    void cmdHelp_Click();

    // Source bitmap (frm_main_bitmap.cpp).
    void cmdOpenBMP_Click();

    // Crop edges and resize (frm_main_crop.cpp).
    void picDraw_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF pos);
    void picDraw_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF pos);
    void optStretch169_Click();
    void optStretch43_Click();
    void txtPixelCount_Change();
    void CalculateCropResize();
    void DrawCropFrame(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
                       std::int16_t drawMode, std::int16_t drawStyle, std::uint32_t colour);

    // Preview and report (frm_main_report.cpp).
    void cmdPreview_Click();
    void cmdSaveInfo_Click();
    void WriteInfoFile(const QString& fileName);

    // Bitrate calculator inputs (frm_main_bitrate.cpp).
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

    // A bitmap, four placed edges and a positive target: what the resize, the preview and the
    // report need.
    bool cropReady() const;

    MainWindowState m_state;

    // Window level
    PictureBox* picVARN = nullptr;
    PictureBox* picDraw = nullptr;
    PictureBox* picDVD = nullptr;
    QPushButton* cmdOpenBMP = nullptr;
    QPushButton* cmdPreview = nullptr;
    QPushButton* cmdSaveInfo = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdQuit = nullptr;
    CommonDialog* CommonDialog1 = nullptr;
    QWidget* fraCropResize = nullptr;
    QWidget* fraBitrate = nullptr;

    // Crop / Resize panel
    QLabel* Label1 = nullptr;
    QLineEdit* txtPixelCount = nullptr;
    QRadioButton* optStretch43 = nullptr;
    QRadioButton* optStretch169 = nullptr;
    QLineEdit* txtX1 = nullptr;
    QLineEdit* txtX2 = nullptr;
    QLineEdit* txtY1 = nullptr;
    QLineEdit* txtY2 = nullptr;
    QLineEdit* txtNewWidth = nullptr;
    QLineEdit* txtNewHeight = nullptr;
    QLabel* lblNewAR = nullptr;
    QLabel* lblNewPixel = nullptr;

    // Bitrate panel
    QLabel* Label2 = nullptr;
    QRadioButton* optCalcBitrate = nullptr;
    QRadioButton* optCalcDiskspace = nullptr;
    QLineEdit* txtVideoLength = nullptr;
    QComboBox* cmbAudioCount = nullptr;
    QComboBox* cmbAudioBitrate = nullptr;
    QWidget* fraCalcBitrate = nullptr;
    QWidget* fraCalcDiskspace = nullptr;
    QRadioButton* optSpaceCD = nullptr;
    QLineEdit* txtSpaceCDCount = nullptr;
    QComboBox* cmbSpaceCD = nullptr;
    QRadioButton* optSpaceCustom = nullptr;
    QLineEdit* txtSpaceCustom = nullptr;
    QLineEdit* txtTargetBitrate = nullptr;
    QLineEdit* txtBitrate = nullptr;
    QLineEdit* txtDiskspace = nullptr;
    QLabel* lblNeededCDs = nullptr;

    QPointer<frmHelp> m_help;
    QPointer<frmPreview> m_preview;
};
