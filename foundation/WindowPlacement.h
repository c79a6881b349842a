#pragma once
// Window positions as the programs store them: twips (1440 per inch) in the INI files,
// pixels on the screen. One pixel is 1440 / dpi twips: 15 twips at 96 dpi, so a window at
// x = 100 px is stored as Left=1500.

#include <cstdint>

// pixels x 1440 / dpi, to the nearest twip; a dpi that is not positive counts as 96.
std::int32_t PixelsToTwips(std::int32_t pixels, double dpi);
// twips x dpi / 1440, to the nearest pixel; a dpi that is not positive counts as 96.
std::int32_t TwipsToPixels(std::int32_t twips, double dpi);

// The position to use on one axis for a stored value (0 when missing): below 1 it is
// replaced by the centred position (screen - window) \ 2 in whole twips, not below 0.
std::int32_t PlaceOnAxis(std::int32_t stored, std::int32_t screenTwips, std::int32_t windowTwips);

// The main window's rule: also centred when the stored value is at or beyond the screen size.
std::int32_t PlaceMainWindowOnAxis(std::int32_t stored, std::int32_t screenTwips,
                                   std::int32_t windowTwips);
