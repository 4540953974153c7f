#include "ui/controls/picture_file.h"

#include <QImageReader>

QImage ReadPictureFile(const QString& path, const QByteArray& format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
