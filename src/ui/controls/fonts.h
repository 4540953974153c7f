#pragma once

#include <QFont>

// The window font with its sizes in pixels, so that the pixel layout holds on every screen.
// Sans fonts of similar width stand in where "MS Sans Serif" is missing.
QFont UiFont(int pixelSize = 11, bool bold = false);
