#pragma once

#include <QSize>
#include <cstdint>
#include <optional>

// The preview's size from the calculated width and height, or nothing when it cannot be shown: a
// size outside 1 to 32767, or an area beyond 4096 x 4096.
std::optional<QSize> PreviewSize(std::int32_t width, std::int32_t height);
