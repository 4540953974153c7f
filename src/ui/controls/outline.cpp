#include "outline.h"

#include <QPainter>

LineControl::LineControl(QWidget* parent, int x1, int x2, int y) : QWidget(parent) {
    setGeometry(x1, y, x2 - x1 + 1, 1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::WindowText));
}

ShapeControl::ShapeControl(QWidget* parent, const QRect& place) : QWidget(parent) {
    setGeometry(place);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
