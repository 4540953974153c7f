#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes every byte and flushes; false as soon as the device refuses one.
bool WriteAllBytes(QIODevice& device, const QByteArray& bytes);

// Creates or replaces the file with the bytes. An existing file is replaced only by a complete
// new one; on failure nothing is left behind and the reason comes back (empty on success).
QString SaveReportFile(const QString& fileName, const QByteArray& bytes);
