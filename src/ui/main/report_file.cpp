#include "report_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool WriteAllBytes(QIODevice& device, const QByteArray& bytes) {
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    if (auto* file = qobject_cast<QFileDevice*>(&device))
        return file->flush();
    return true;
}

namespace {

// A device or pipe cannot be replaced by renaming a new file over it; it is written in place.
QString writeInPlace(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (!WriteAllBytes(file, bytes))
        return file.errorString();
    return {};
}

} // namespace

QString SaveReportFile(const QString& fileName, const QByteArray& bytes) {
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile() && !info.isDir())
        return writeInPlace(fileName, bytes);

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (!WriteAllBytes(file, bytes)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
