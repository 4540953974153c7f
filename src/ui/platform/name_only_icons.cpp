#include "ui/platform/name_only_icons.h"

#include <QFileInfo>

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const {
    if (info.isDir())
        return QFileIconProvider::icon(Folder);
    const QMimeType mime =
        m_mimeTypes.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    for (const QString& name : {mime.iconName(), mime.genericIconName()})
        if (const QIcon themed = QIcon::fromTheme(name); !themed.isNull())
            return themed;
    return QFileIconProvider::icon(File);
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const {
    if (info.isDir())
        return QFileIconProvider::type(info);
    return m_mimeTypes.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension).comment();
}
