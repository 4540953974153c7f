// Opening the source, a picture, a video or a DVD, through the dialog or dropped on the window:
// read off the window's thread, then shown.
#include "ui/main/frm_main.h"

#include "ui/platform/common_dialog.h"
#include "ui/platform/message_box.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QProgressDialog>
#include <QShortcut>
#include <QStandardPaths>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

namespace {

// While a source is read, the window takes no input but its Quit; it keeps painting.
class InputHold : public QObject {
public:
    InputHold(QWidget* window, QAbstractButton* quit)
        : QObject(window), m_window(window), m_quit(quit) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_quit)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            if (QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()) ==
                m_quit->shortcut())
                return false;
            [[fallthrough]];
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Drop:
            if (auto* widget = qobject_cast<QWidget*>(watched))
                return widget->window() == m_window;
            return false;
        default:
            return false;
        }
    }

private:
    QWidget* m_window;
    QAbstractButton* m_quit;
};

} // namespace

void frmMain::ConnectBitmapHandlers() {
    connect(cmdOpenBMP, &QPushButton::clicked, this, &frmMain::cmdOpenBMP_Click);
    connect(cmbTitle, &QComboBox::activated, this, &frmMain::cmbTitle_Click);
}

void frmMain::cmbTitle_Click(int index) {
    const int title = cmbTitle->itemData(index).toInt();
    if (title != m_job.source().title)
        OpenSourceFile(m_job.state().SourceFileName, title);
}

void frmMain::ShowTitles(const std::vector<DiscTitle>& titles) {
    cmbTitle->clear();
    for (const DiscTitle& t : titles) {
        cmbTitle->addItem(TitleEntry(t), t.number);
        cmbTitle->setItemData(cmbTitle->count() - 1, TitleDetails(t), Qt::ToolTipRole);
    }
    cmbTitle->setCurrentIndex(cmbTitle->findData(m_job.source().title));
    cmbTitle->setVisible(titles.size() > 1);
}

QString frmMain::StartFolder() const {
    if (!m_lastFolder.isEmpty())
        return m_lastFolder;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

void frmMain::cmdOpenBMP_Click() {
    CommonDialog1->DialogTitle = QStringLiteral("Open Bitmap");
    CommonDialog1->FileName = QString();
    CommonDialog1->Filter = SourcePictureFilter();
    CommonDialog1->InitDir = StartFolder();
    CommonDialog1->ShowOpen();
    if (!CommonDialog1->FileName.isEmpty())
        OpenSourceFile(CommonDialog1->FileName);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    event->acceptProposedAction();
}

// A dropped file or folder opens as if chosen in the dialog; anything else is no picture.
void frmMain::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) {
        MessageBox::warning(this, QStringLiteral("File is not a valid Bitmap."));
        return;
    }
    OpenSourceFile(urls.constFirst().toLocalFile());
}

// Short work shows nothing; after half a second a progress dialog offers Cancel.
void frmMain::OpenSourceFile(const QString& fileName, int title) {
    if (m_opening)
        return; // input is held meanwhile; a second drop waits for nothing
    m_lastFolder = QFileInfo(fileName).absolutePath();
    m_progress = std::make_shared<VideoProgress>();
    m_opening = new QFutureWatcher<Source>(this);
    m_inputHold = new InputHold(this, cmdQuit);
    connect(m_opening, &QFutureWatcherBase::finished, this, [this, fileName] {
        const Source source = m_opening->result();
        const bool dialog = m_progressDialog;
        StopOpening();
        if (dialog)
            activateWindow(); // the window's shortcuts work again at once
        ShowSource(fileName, source);
        // A title that failed leaves the one shown selected.
        cmbTitle->setCurrentIndex(cmbTitle->findData(m_job.source().title));
        emit sourceShown();
    });
    QTimer::singleShot(500, m_opening, [this, fileName, watcher = m_opening] {
        if (m_opening != watcher)
            return; // read meanwhile; the watcher only waits to be deleted
        auto* dialog = new QProgressDialog(
            QStringLiteral("Reading frames of %1 ...").arg(QFileInfo(fileName).fileName()),
            QStringLiteral("Cancel"), 0, kSampledFrames, this);
        dialog->setWindowTitle(QStringLiteral("Quarvel"));
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setAutoReset(false);
        dialog->setMinimumDuration(0);
        auto* poll = new QTimer(dialog);
        const std::shared_ptr<VideoProgress> progress = m_progress;
        connect(poll, &QTimer::timeout, dialog, [dialog, progress] {
            dialog->setValue(std::min(progress->framesDone(), kSampledFrames));
        });
        poll->start(100);
        connect(dialog, &QProgressDialog::canceled, this, [this, progress] {
            progress->Cancel();
            // The window is the user's again within a second, whatever the reading does.
            QTimer::singleShot(1000, m_opening, [this] {
                StopOpening(0);
                ShowNote(QStringLiteral("Opening cancelled."));
            });
        });
        // The dialog holds the window; the window's Quit still quits.
        connect(new QShortcut(cmdQuit->shortcut(), dialog), &QShortcut::activated, this,
                &frmMain::cmdQuit_Click);
        m_progressDialog = dialog;
        dialog->show();
    });
    m_opening->setFuture(QtConcurrent::run([fileName, title, progress = m_progress] {
        return OpenSource(fileName, *progress, title);
    }));
}

void frmMain::StopOpening(int waitMs) {
    if (!m_opening)
        return;
    m_progress->Cancel();
    const QDeadlineTimer limit(waitMs);
    while (!m_opening->isFinished() && !limit.hasExpired())
        QThread::msleep(5);
    disconnect(m_opening, nullptr, this, nullptr);
    if (m_opening->isFinished())
        m_opening->deleteLater(); // this may run in its own signal
    else
        connect(m_opening, &QFutureWatcherBase::finished, m_opening, &QObject::deleteLater);
    m_opening = nullptr;
    delete m_progressDialog;
    delete m_inputHold;
}

void frmMain::ShowSource(const QString& fileName, Source source) {
    switch (source.outcome) {
    case SourceOutcome::Accepted:
        break;
    case SourceOutcome::NotAPicture:
        ForgetVideo();
        m_job.Refuse(fileName);
        MessageBox::warning(this, RefusalText(source));
        picVARN->show();
        cmdPreview->setEnabled(false);
        cmdSaveInfo->setEnabled(false);
        return;
    // A video or a DVD that fails keeps what was open, as does a picture too large, so that
    // later previews and reports match.
    case SourceOutcome::Cancelled:
    case SourceOutcome::NoDvdInFolder:
        ShowNote(RefusalText(source));
        return;
    default:
        MessageBox::warning(this, RefusalText(source));
        return;
    }

    m_job.Take(fileName, std::move(source));
    ShowTitles(m_job.source().titles);
    ShowFrame(m_job.firstFrame());
    if (!m_job.video())
        return;
    // The bitrate calculator hears the running time, in whole minutes rounded up, as if typed.
    if (const long seconds = std::lround(m_job.source().seconds); seconds > 0)
        txtVideoLength->setText(QString::number((seconds + 59) / 60));
    // A video's display aspect comes from its stream or its DVD's title set.
    const SourceAspect aspect = m_job.streamAspect();
    QRadioButton* option = aspect == SourceAspect::Ratio4x3    ? optStretch43
                           : aspect == SourceAspect::Ratio16x9 ? optStretch169
                                                               : nullptr;
    if (const QStringList notes = m_job.OpenNotes(QLocale().decimalPoint().at(0)); !notes.isEmpty())
        ShowNote(notes.join(u' '));
    if (option && option->isChecked())
        CalculateCropResize();
    else if (option)
        option->setChecked(true); // recalculates, as a selection by the program does
}
