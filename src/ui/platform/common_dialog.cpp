#include "ui/platform/common_dialog.h"

#include <QFileDialog>
#include <QWidget>

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
    QFileDialog dialog(m_owner, DialogTitle);
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
