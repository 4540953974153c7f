#include "state/report_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Writes every byte and flushes; false as soon as the device refuses one.
bool WriteAllBytes(QFileDevice& device, const QByteArray& bytes) {
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return device.flush();
}

// A device or pipe cannot be replaced by renaming a new file over it; it is written in place.
bool WriteInPlace(const QString& fileName, const QByteArray& bytes, QString* reason) {
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && WriteAllBytes(file, bytes))
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

} // namespace

bool SaveReportFile(const QString& fileName, const QByteArray& bytes, QString* reason) {
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile() && !info.isDir())
        return WriteInPlace(fileName, bytes, reason);

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) && info.isFile() && info.isWritable()) {
        // No new file beside it (a folder without write access, or an immutable one): an
        // existing, writable report is still replaced, in place.
        return WriteInPlace(fileName, bytes, reason);
    }
    if (file.isOpen() && WriteAllBytes(file, bytes) && file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    file.cancelWriting();
    return false;
}
