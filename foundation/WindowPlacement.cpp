#include "foundation/WindowPlacement.h"

#include <cmath>
#include <limits>

namespace {

double usableDpi(double dpi) {
    return (std::isfinite(dpi) && dpi > 0) ? dpi : 96.0;
}

std::int32_t clampToInt32(double v) {
    if (!(v > std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (!(v < std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::llround(v));
}

std::int32_t centred(std::int32_t screenTwips, std::int32_t windowTwips) {
    const std::int64_t free = std::int64_t{screenTwips} - std::int64_t{windowTwips};
    return free > 0 ? static_cast<std::int32_t>(free / 2) : 0;
}

}  // namespace

std::int32_t PixelsToTwips(std::int32_t pixels, double dpi) {
    return clampToInt32(static_cast<double>(pixels) * 1440.0 / usableDpi(dpi));
}

std::int32_t TwipsToPixels(std::int32_t twips, double dpi) {
    return clampToInt32(static_cast<double>(twips) * usableDpi(dpi) / 1440.0);
}

std::int32_t PlaceOnAxis(std::int32_t stored, std::int32_t screenTwips, std::int32_t windowTwips) {
    return stored < 1 ? centred(screenTwips, windowTwips) : stored;
}

std::int32_t PlaceMainWindowOnAxis(std::int32_t stored, std::int32_t screenTwips,
                                   std::int32_t windowTwips) {
    return (stored < 1 || stored >= screenTwips) ? centred(screenTwips, windowTwips) : stored;
}
