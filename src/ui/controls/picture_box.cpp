#include "picture_box.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    rebuildCanvas();
}

void PictureBox::setBackground(const QColor& colour) {
    m_background = colour;
    rebuildCanvas();
}

void PictureBox::resizeBox(QSize size) {
    resize(size);
    if (m_canvas.size() != this->size())
        rebuildCanvas();
}

void PictureBox::setPicture(const QImage& picture) {
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
    m_picture.setDevicePixelRatio(1);
    if (m_autoSize && !m_picture.isNull())
        resize(m_picture.size());
    rebuildCanvas();
}

void PictureBox::rebuildCanvas() {
    const QSize size = this->size().expandedTo(QSize(1, 1));
    m_canvas = QImage(size, QImage::Format_RGB32);
    m_canvas.fill(m_background);
    if (!m_picture.isNull()) {
        QPainter painter(&m_canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, m_picture);
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas);
}

void PictureBox::resizeEvent(QResizeEvent*) {
    if (m_canvas.size() != size())
        rebuildCanvas();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->modifiers(), event->position());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(event->button(), event->modifiers(), event->position());
}
