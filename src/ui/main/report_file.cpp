#include "report_file.h"

#include <QFileDevice>
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

QString SaveReportFile(const QString& fileName, const QByteArray& bytes) {
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
