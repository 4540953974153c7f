#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// An area that shows a picture at one picture pixel per logical pixel, or scaled down to fit
// when it is larger than the box and the box fits pictures, and keeps what is drawn on it. The
// canvas is the box's own image: its background with the picture as shown at the top left.
// Drawing goes into the canvas, so it survives repaints until the picture is set again.
// Positions in its signals are in picture pixels.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setBackground(const QColor& colour);
    QColor background() const { return m_background; }

    // Replaces the picture; drawings on the previous one are gone.
    void setPicture(const QImage& picture);
    const QImage& picture() const;

    // Sets the box's size at once, also while it is hidden; drawings are dropped.
    void resizeBox(QSize size);

    // Box takes the picture's size whenever a picture is set.
    void setAutoSize(bool on) { m_autoSize = on; }
    // A picture larger than the box is shown scaled down to fit, its aspect kept.
    void setFitToBox(bool on) { m_fitToBox = on; }
    // Shown pixels per picture pixel, 1 or less.
    double scale() const { return m_scale; }
    // A picture coordinate where it is shown on the canvas.
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

private:
    QColor m_background{Qt::black};
    QImage m_picture;
    QImage m_shown; // the picture, or its scaled copy
    QImage m_canvas;
    bool m_autoSize = false;
    bool m_fitToBox = false;
    double m_scale = 1;
    int m_wheelEighths = 0; // of a degree, not yet a whole notch
};
