#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// An area that shows a picture at one picture pixel per logical pixel, or a picture scaled down
// from a larger one, and keeps what is drawn on it. The canvas is the box's own image: its
// background with the picture at the top left. Drawing goes into the canvas, so it survives
// repaints until the picture is set again. Positions in its signals are in pixels of the
// picture before it was scaled.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setBackground(const QColor& colour);
    QColor background() const { return m_background; }

    // Replaces the picture; drawings on the previous one are gone. The picture may be one of
    // `size` scaled down.
    void setPicture(const QImage& picture, QSize size = QSize());
    const QImage& picture() const;

    // Sets the box's size at once, also while it is hidden; drawings are dropped.
    void resizeBox(QSize size);

    // Box takes the picture's size whenever a picture is set.
    void setAutoSize(bool on) { m_autoSize = on; }
    // The size a picture of `size` fits the box in: its own, or scaled down, its aspect kept.
    QSize fitted(QSize size) const;
    // A coordinate of the picture before it was scaled, where it is on the canvas.
    int shownAt(int coordinate) const;

    // Drops what was drawn; the canvas shows the picture again.
    void clearDrawing();

    // The box's image as shown, for drawing on; it keeps what is drawn until the next picture.
    QImage& canvas();

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    // Whole notches of the mouse wheel, positive when turned towards the user.
    void wheelTurned(int notches);
    // An arrow key while the box has focus: -1 or 1 in one direction.
    void arrowPressed(int columns, int lines);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QColor m_background{Qt::black};
    QImage m_picture;
    QImage m_canvas;
    bool m_autoSize = false;
    double m_scale = 1;     // shown pixels per pixel of the picture before it was scaled
    int m_wheelEighths = 0; // of a degree, not yet a whole notch
};
