#pragma once

class QWidget;

// Moves a top-level window to the middle of its screen's available area.
void CentreOnScreen(QWidget* window);
