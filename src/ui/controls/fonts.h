#pragma once

#include <QFont>

// The window font with its sizes in pixels, so that the pixel layout holds on every screen.
// Liberation Sans has the widths the layout was made for.
QFont UiFont(int pixelSize = 11, bool bold = false);
