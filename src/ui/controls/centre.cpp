#include "ui/controls/centre.h"

#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget* window) {
    if (const QScreen* screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
}
