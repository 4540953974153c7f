#pragma once

#include <QColor>

class QWidget;

// The platform's colour for the face of buttons, following the desktop's colour scheme.
QColor ButtonFace();

// Background of a text box or list, the same whether it is enabled or not. On white the text
// is black, so that it stays readable where the desktop's text colour is light.
void SetInputBackground(QWidget* input, const QColor& colour);

// A label whose text colour is forced (red, blue) gets a white background where the desktop's
// background is dark, as the output boxes have.
void KeepForcedColourReadable(QWidget* label);
