#pragma once

#include <QFileIconProvider>
#include <QMimeDatabase>

// File icons and types judged by the file's name alone. Qt's own provider reads the first bytes
// of each file to tell its type, which blocks for good on files such as /proc/kmsg and slows
// large folders down.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

private:
    QMimeDatabase m_mimeTypes;
};
