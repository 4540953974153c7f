// From the screenshot to encoder settings: finding the black bars, and the calculation's
// values copied in the syntax of common encoders.
#include "ui/main/frm_main.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QShortcut>
#include <QtConcurrent/QtConcurrentRun>

#include <functional>
#include <memory>
#include <utility>

namespace {

const QKeySequence kCopyForEncoder(Qt::CTRL | Qt::SHIFT | Qt::Key_C);

// While a video's bars are searched, a key or a click on the window first waits for the result,
// so that what the user does next (a copy, an arrow key) acts on the edges found.
class SearchFirst : public QObject {
public:
    SearchFirst(QWidget* window, std::function<void()> finish)
        : QObject(window), m_window(window), m_finish(std::move(finish)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::Drop:
            if (auto* widget = qobject_cast<QWidget*>(watched);
                widget && widget->window() == m_window)
                m_finish();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget* m_window;
    std::function<void()> m_finish;
};

} // namespace

void frmMain::ConnectEncoderHandlers() {
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this), &QShortcut::activated, this,
            &frmMain::DetectBars);
    connect(new QShortcut(kCopyForEncoder, this), &QShortcut::activated, this,
            &frmMain::CopyForEncoder);
    for (QLineEdit* box : {txtX1, txtX2, txtY1, txtY2, txtNewWidth, txtNewHeight}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, box](QPoint position) { CropOutput_ContextMenu(box, position); });
    }
}

// Places the four edges as two clicks on the bars' inner corners would, then calculates as the
// release of the second click does. A video's frames are searched off the window's thread.
void frmMain::DetectBars() {
    FinishSearch();
    BarsSearch search = m_job.BarsToFind();
    if (!search.video) {
        ShowBars(m_job.PlaceBars(FindBars(search)));
        return;
    }
    m_searching = new QFutureWatcher<BarsFound>(this);
    m_searchFirst = new SearchFirst(this, [this] { FinishSearch(); });
    connect(m_searching, &QFutureWatcherBase::finished, this, &frmMain::FinishSearch);
    m_searching->setFuture(QtConcurrent::run(FindBars, std::move(search)));
}

void frmMain::FinishSearch() {
    if (!m_searching)
        return;
    QFutureWatcher<BarsFound>* watcher = std::exchange(m_searching, nullptr);
    qApp->removeEventFilter(m_searchFirst);
    m_searchFirst->deleteLater(); // this may run in its filter
    watcher->waitForFinished();
    const BarsFound found = watcher->result();
    watcher->disconnect(this);
    watcher->deleteLater();
    ShowBars(m_job.PlaceBars(found));
}

void frmMain::ShowBars(const BarsFound& found) {
    if (found.note.isEmpty())
        lblNote->hide(); // the frames show what happened
    else
        ShowNote(found.note);
    if (found.edges)
        CalculateCropResize();
}

void frmMain::CopyForEncoder() {
    // Only what a successful calculation shows.
    const QString text = m_job.CropReady() ? m_job.EncoderText() : QString();
    if (text.isEmpty()) {
        ShowNote(QStringLiteral("Nothing to copy yet: mark the picture first."));
        return;
    }
    QGuiApplication::clipboard()->setText(text);
    ShowNote(QStringLiteral("Copied for ffmpeg, HandBrake, AviSynth and VapourSynth."));
}

void frmMain::CropOutput_ContextMenu(QLineEdit* box, QPoint position) {
    const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    menu->addSeparator();
    QAction* copy = menu->addAction(QStringLiteral("Copy for encoder"));
    copy->setShortcut(kCopyForEncoder);
    copy->setEnabled(m_job.CropReady() && m_job.result());
    connect(copy, &QAction::triggered, this, &frmMain::CopyForEncoder);
    menu->exec(box->mapToGlobal(position));
}
