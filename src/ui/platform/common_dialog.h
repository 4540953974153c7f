#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class FileDialog;
class QFileIconProvider;
class QWidget;

// The open/save file dialog component of a window. Filter takes "description|pattern" pairs.
// FileName holds the chosen full path after a Show call, or is empty when the user cancelled.
// InitDir is the folder the dialog starts in.
class CommonDialog : public QObject {
    Q_OBJECT
public:
    enum class Kind { Open, Save };
    // Lets tests answer a dialog without a modal window: gets the dialog as set up, returns
    // the chosen path or an empty text for cancel.
    using Responder = std::function<QString(const CommonDialog&, Kind)>;

    explicit CommonDialog(QWidget* owner);
    ~CommonDialog() override;

    QString DialogTitle;
    QString FileName;
    QString Filter;
    QString InitDir;
    // Folders that the open dialog takes as the choice when typed as a full path (a DVD), where
    // it would otherwise only open them.
    std::function<bool(const QString&)> FolderChoice;

    void ShowOpen();
    void ShowSave();

    void setResponder(Responder responder) { m_responder = std::move(responder); }

    // "Windows Bitmap (*.bmp)|*.bmp" becomes "Windows Bitmap (*.bmp)", one entry per pair.
    static QStringList qtNameFilters(const QString& filter);

private:
    void show(Kind kind);
    FileDialog& dialog(Kind kind);

    QWidget* m_owner;
    std::unique_ptr<QFileIconProvider> m_icons;
    QPointer<FileDialog> m_dialogs[2];
    Responder m_responder;
};
