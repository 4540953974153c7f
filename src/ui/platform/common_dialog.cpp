#include "ui/platform/common_dialog.h"

#include "ui/platform/name_only_icons.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QWidget>

namespace {

// Qt's own dialog, where a full path typed or pasted into the name field always means that file.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

protected:
    void accept() override {
        // As the path is typed, the dialog selects the folders it passes through in its list;
        // with short folder names a folder can stay selected, and the dialog would open it
        // instead of the file. The name field alone must decide.
        const auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name && QDir::isAbsolutePath(name->text()))
            for (auto* view : findChildren<QAbstractItemView*>())
                if (view->selectionModel())
                    view->selectionModel()->clearSelection();
        QFileDialog::accept();
    }
};

} // namespace

CommonDialog::CommonDialog(QWidget* owner) : QObject(owner), m_owner(owner) {}

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
    FileDialog dialog(m_owner, DialogTitle);
    // Qt's file dialog only: the desktop's own would bring back the faults mended above.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    NameOnlyIconProvider icons;
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(kind == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(kind == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(qtNameFilters(Filter));
    if (kind == Kind::Save)
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (!InitDir.isEmpty())
        dialog.setDirectory(InitDir);
    dialog.selectFile(FileName);
    FileName.clear();
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        FileName = dialog.selectedFiles().constFirst();
}
