#include "ui/controls/picture_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>

#include <cmath>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setBackground(const QColor& colour) {
    m_background = colour;
    m_canvas = QImage();
    update();
}

void PictureBox::resizeBox(QSize size) {
    resize(size);
    if (!m_canvas.isNull() && m_canvas.size() != this->size())
        m_canvas = QImage();
}

const QImage& PictureBox::picture() const {
    return m_picture;
}

void PictureBox::setPicture(const QImage& picture, QSize size) {
    m_picture = picture;
    m_picture.setDevicePixelRatio(1);
    if (m_autoSize && !m_picture.isNull())
        resize(m_picture.size());
    m_scale = size.isEmpty() || m_picture.isNull() ? 1 : double(m_picture.width()) / size.width();
    clearDrawing();
}

QSize PictureBox::fitted(QSize size) const {
    return size.width() <= width() && size.height() <= height()
               ? size
               : size.scaled(this->size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

int PictureBox::shownAt(int coordinate) const {
    return m_scale == 1 ? coordinate : int(std::lround(coordinate * m_scale));
}

void PictureBox::clearDrawing() {
    m_canvas = QImage();
    update();
}

// Made only when something is drawn, so that boxes that just show a picture hold one copy.
QImage& PictureBox::canvas() {
    if (m_canvas.isNull() || m_canvas.size() != size().expandedTo(QSize(1, 1))) {
        m_canvas = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        m_canvas.fill(m_background);
        if (!m_picture.isNull()) {
            QPainter painter(&m_canvas);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, m_picture);
        }
    }
    return m_canvas;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!m_canvas.isNull()) {
        painter.drawImage(0, 0, m_canvas);
    } else {
        painter.fillRect(event->rect(), m_background);
        if (!m_picture.isNull())
            painter.drawImage(0, 0, m_picture);
    }
    // The arrow keys act on a focused box; the style shows where the focus is.
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void PictureBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void PictureBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->modifiers(), event->position() / m_scale);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(event->button(), event->modifiers(), event->position() / m_scale);
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        emit arrowPressed(-1, 0);
        break;
    case Qt::Key_Right:
        emit arrowPressed(1, 0);
        break;
    case Qt::Key_Up:
        emit arrowPressed(0, -1);
        break;
    case Qt::Key_Down:
        emit arrowPressed(0, 1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PictureBox::wheelEvent(QWheelEvent* event) {
    // Touchpads send small steps; they add up to notches of 15 degrees.
    m_wheelEighths -= event->angleDelta().y();
    const int notches = m_wheelEighths / 120;
    m_wheelEighths -= notches * 120;
    if (notches != 0)
        emit wheelTurned(notches);
    event->accept();
}
