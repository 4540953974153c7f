#include "ui/controls/colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor ButtonFace() {
    return QApplication::palette().color(QPalette::Button);
}

void SetInputBackground(QWidget* input, const QColor& colour) {
    const QPalette desktop = QApplication::palette(input);
    QPalette palette = input->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, colour);
        palette.setColor(group, QPalette::Button, colour);
        const bool black = colour == Qt::white && group != QPalette::Disabled;
        for (auto role : {QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, black ? QColor(Qt::black) : desktop.color(group, role));
    }
    input->setPalette(palette);
}

void KeepForcedColourReadable(QWidget* label) {
    if (QApplication::palette(label).color(QPalette::Window).lightness() >= 128)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::white);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}
