#pragma once

#include <QByteArray>
#include <QString>

// Creates or replaces the file with the bytes; false on failure, with the system's reason in
// *reason. An existing file is replaced only by a complete new one wherever the folder allows
// a new file beside it; otherwise an existing, writable file is written in place.
bool SaveReportFile(const QString& fileName, const QByteArray& bytes, QString* reason = nullptr);
