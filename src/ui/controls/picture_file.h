#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Reads a picture of a known format with Qt's own reader, without loading every image plug-in
// to ask whether it reads the file better.
QImage ReadPictureFile(const QString& path, const QByteArray& format);
