#include "ui/controls/title_picture.h"

#include "ui/controls/picture_file.h"

#include <QPaintEvent>
#include <QPainter>

void TitlePicture::paintEvent(QPaintEvent* event) {
    if (m_textBlock.isNull())
        m_textBlock = ReadPictureFile(QStringLiteral(":/quarvel/title.png"), "PNG")
                          .convertToFormat(QImage::Format_RGB32);
    QPainter painter(this);
    painter.fillRect(event->rect(), background());
    const QColor band(0x1c, 0x2a, 0x3a);
    painter.fillRect(0, 0, 720, 72, band);
    painter.fillRect(0, 504, 720, 72, band);
    painter.drawImage(75, 200, m_textBlock);
}
