#include "ui/controls/colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <cmath>

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

double ContrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
