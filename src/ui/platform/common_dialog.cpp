#include "ui/platform/common_dialog.h"

#include "ui/platform/name_only_icons.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QWidget>

// Qt's own dialog, where a full path typed or pasted into the name field always means that file.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    std::function<bool(const QString&)> folderChoice;
    QString chosenFolder;

    // Shown again: nothing of the last time selected, the given name in the name field.
    void startWith(const QString& fileName) {
        chosenFolder.clear();
        clearSelection();
        if (auto* name = nameField())
            name->setText(fileName);
    }

protected:
    void accept() override {
        // As the path is typed, the dialog selects the folders it passes through in its list;
        // with short folder names a folder can stay selected, and the dialog would open it
        // instead of the file. The name field alone must decide.
        if (const auto* name = nameField(); name && QDir::isAbsolutePath(name->text())) {
            clearSelection();
            if (acceptMode() == AcceptOpen && folderChoice && folderChoice(name->text())) {
                chosenFolder = name->text();
                QDialog::accept();
                return;
            }
        }
        QFileDialog::accept();
    }

    void done(int result) override {
        // The name's completion list would outlive the kept dialog and hold the keyboard.
        if (const auto* name = nameField(); name && name->completer())
            name->completer()->popup()->hide();
        QFileDialog::done(result);
    }

private:
    QLineEdit* nameField() const { return findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }
    void clearSelection() {
        for (auto* view : findChildren<QAbstractItemView*>())
            if (view->selectionModel())
                view->selectionModel()->clearSelection();
    }
};

CommonDialog::CommonDialog(QWidget* owner)
    : QObject(owner), m_owner(owner), m_icons(std::make_unique<NameOnlyIconProvider>()) {}

CommonDialog::~CommonDialog() {
    // Before the icon provider that they use.
    for (const QPointer<FileDialog>& dialog : m_dialogs)
        delete dialog;
}

void CommonDialog::ShowOpen() {
    show(Kind::Open);
}
void CommonDialog::ShowSave() {
    show(Kind::Save);
}

QStringList CommonDialog::qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the parentheses; make sure they are the given ones.
        QString description = parts[i];
        const QString pattern = parts[i + 1];
        if (!description.contains(u'(' + pattern + u')'))
            description += QStringLiteral(" (") + pattern + u')';
        filters << description;
    }
    return filters;
}

void CommonDialog::show(Kind kind) {
    if (m_responder) {
        FileName = m_responder(*this, kind);
        return;
    }
    FileDialog& dialog = this->dialog(kind);
    dialog.setWindowTitle(DialogTitle);
    if (const QStringList filters = qtNameFilters(Filter); filters != dialog.nameFilters())
        dialog.setNameFilters(filters);
    if (!InitDir.isEmpty())
        dialog.setDirectory(InitDir);
    dialog.startWith(FileName);
    dialog.folderChoice = FolderChoice;
    FileName.clear();
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!dialog.chosenFolder.isEmpty())
        FileName = dialog.chosenFolder;
    else if (!dialog.selectedFiles().isEmpty())
        FileName = dialog.selectedFiles().constFirst();
}

// Made once and shown again each time, which is much cheaper than a new one.
FileDialog& CommonDialog::dialog(Kind kind) {
    QPointer<FileDialog>& dialog = m_dialogs[kind == Kind::Open ? 0 : 1];
    if (!dialog) {
        dialog = new FileDialog(m_owner);
        // Qt's file dialog only: the desktop's own would bring back the faults mended above.
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setIconProvider(m_icons.get());
        dialog->setAcceptMode(kind == Kind::Open ? QFileDialog::AcceptOpen
                                                 : QFileDialog::AcceptSave);
        dialog->setFileMode(kind == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        if (kind == Kind::Save)
            dialog->setDefaultSuffix(QStringLiteral("txt"));
    }
    return *dialog;
}
