#pragma once

#include <QSize>
#include <QString>
#include <optional>

// The preview's size from the new width and height as the main window's boxes show them, or
// nothing when it cannot be shown: a size outside 1 to 32767, or an area beyond 4096 x 4096.
std::optional<QSize> PreviewSize(const QString& newWidth, const QString& newHeight);
