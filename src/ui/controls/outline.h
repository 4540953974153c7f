#pragma once

#include <QWidget>

// A horizontal separator line, one pixel thick, in the text colour.
class LineControl : public QWidget {
public:
    LineControl(QWidget* parent, int x1, int x2, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A rectangle outline with a transparent inside.
class ShapeControl : public QWidget {
public:
    ShapeControl(QWidget* parent, const QRect& place);

protected:
    void paintEvent(QPaintEvent* event) override;
};
