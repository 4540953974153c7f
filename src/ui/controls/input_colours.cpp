#include "input_colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor buttonFace() {
    return QApplication::palette().color(QPalette::Button);
}

void setInputBackground(QWidget* input, const QColor& colour) {
    QPalette palette = input->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, colour);
        palette.setColor(group, QPalette::Button, colour);
    }
    input->setPalette(palette);
}
