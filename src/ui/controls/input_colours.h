#pragma once

#include <QColor>

class QWidget;

// The platform's colour for the face of buttons, following the desktop's colour scheme.
QColor buttonFace();

// Background of a text box or list, the same whether it is enabled or not.
void setInputBackground(QWidget* input, const QColor& colour);
