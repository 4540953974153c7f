#pragma once

#include "engine/job.h"
#include "ui_frm_main.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class BitratePanel;
class CommonDialog;
class frmHelp;
class frmPreview;

// The main window: a view of a Job, the crop/resize calculator on the source picture, beside the
// bitrate calculator (BitratePanel). Its controls come from frm_main.ui; each file frm_main_*.cpp
// holds one group of handlers and connects them.
class frmMain : public QWidget, private Ui::frmMain {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    const MainWindowState& state() const { return m_job.state(); }
    bool opening() const { return m_opening; }     // a source is being read
    bool searching() const { return m_searching; } // a video's bars are being searched

signals:
    // A source chosen or dropped was read and shown, or refused.
    void sourceShown();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectWindowHandlers();
    void ConnectBitmapHandlers();
    void ConnectCropHandlers();
    void ConnectEncoderHandlers();
    void ConnectReportHandlers();
    void ConnectVideoHandlers();

    // A short note over the picture's lower left corner that says what an action did, or why it
    // did nothing; it goes after a few seconds. Screen readers get its text as the label's name.
    void ShowNote(const QString& text);

    void Form_Load();
    void ResetValues();
    void cmdReset_Click();
    void cmdQuit_Click();
    void cmdHelp_Click();

    void cmdOpenBMP_Click();
    // Reads the open dialog's choice, a picture, a video or a DVD (its main title or the one
    // asked for), off the window's thread, then shows it.
    void OpenSourceFile(const QString& fileName, int title = kMainTitle);
    void ShowSource(const QString& fileName, Source source);
    // Gives the reading up: at once when it has ended, else after a moment's wait for it to see
    // Cancel; one that does not stop is left to end by itself, its result unused.
    void StopOpening(int waitMs = 1500);
    // A DVD's titles, the opened one selected; hidden for every other source.
    void ShowTitles(const std::vector<DiscTitle>& titles);
    void cmbTitle_Click(int index);

    // A video's sampled frames stand in for the picture, one at a time.
    void ShowFrame(int index);
    void StepVideoFrame(int steps);
    void ForgetVideo();
    // The shown frame at its full size: picDVD's picture, or a large frame converted.
    QImage SourcePicture() const;
    // Where the file dialogs start: the folder of the last file chosen in this run.
    QString StartFolder() const;

    void picDraw_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF pos);
    void picDraw_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF pos);
    // The arrow keys move the last placed edge of their direction by one source line.
    void picDraw_KeyDown(int columns, int lines);
    void optStretch169_Click();
    void optStretch43_Click();
    void txtPixelCount_Change();
    void CalculateCropResize();
    // Offsets "0", both sizes sizeText, aspect ratio and pixel count empty.
    void ClearCropOutputs(const QString& sizeText);
    void DrawCropFrame(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
                       std::int16_t drawMode, std::int16_t drawStyle, std::uint32_t colour);

    void DetectBars();
    // Shows the bars searched, once found; at once, waiting for them, when called before.
    void FinishSearch();
    void ShowBars(const BarsFound& found);
    void CopyForEncoder();
    void CropOutput_ContextMenu(QLineEdit* box, QPoint position);

    void cmdPreview_Click();
    void cmdSaveInfo_Click();
    void WriteInfoFile(const QString& fileName);

    Job m_job; // the source and what is worked out from it
    BitratePanel* m_bitrate = nullptr;
    CommonDialog* CommonDialog1 = nullptr;
    QString m_lastFolder;
    QTimer m_noteTimer;
    QFutureWatcher<Source>* m_opening = nullptr;
    std::shared_ptr<VideoProgress> m_progress;
    QPointer<QWidget> m_progressDialog;
    QPointer<QObject> m_inputHold;
    QFutureWatcher<BarsFound>* m_searching = nullptr;
    QPointer<QObject> m_searchFirst;
    QPointer<frmHelp> m_help;
    QPointer<frmPreview> m_preview;
};
