#include "ui/controls/title_picture.h"

#include "ui/controls/fonts.h"
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
    // The text block names the screenshot; a newcomer learns here what else opens.
    painter.setPen(QColor(0xf0, 0xc0, 0x40));
    painter.setFont(UiFont(17));
    painter.drawText(QRect(0, 462, 720, 26), Qt::AlignCenter,
                     QStringLiteral("Videos, DVD folders and disc images open the same way, or "
                                    "drop one here."));
}
