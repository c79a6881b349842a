#pragma once
// Where the view puts the pages for a zoom mode: pure arithmetic over the page sizes (twips),
// the viewport (pixels) and the screen's dots per inch, so it is tested without a widget.
//
// Scale: pixels per twip. At zoom Z % on a 96-dpi screen a twip is Z / 100 x 96 / 1440 pixels,
// so an A4 page (11906 twips wide) at 100 % is 794 pixels wide. The fitting modes choose the
// scale from the viewport and report it back as a zoom percentage (fittedZoom).

#include <QRect>
#include <QSize>
#include <vector>

#include "preview/PreviewControl.h"

namespace preview {

struct PageLayoutInput {
    ZoomMode mode = ZoomMode::Percentage;
    double zoom = 100;  // per cent, for ZoomMode::Percentage
    QSize viewport;     // pixels
    double dpiX = 96, dpiY = 96;
    std::vector<QSize> pages;  // paper sizes, twips
    int previewPage = 1;       // 1-based
};

struct PagePlacement {
    int page = 0;  // 0-based
    QRect rect;    // pixels, in the content area
};

struct PageLayout {
    QSize content;                  // pixels
    double scaleX = 0, scaleY = 0;  // pixels per twip
    double fittedZoom = 100;        // the zoom the scale amounts to, per cent
    std::vector<PagePlacement> placements;
};

// Gap around and between pages, pixels.
inline constexpr int kPageGap = 8;
// Width of a thumbnail, pixels.
inline constexpr int kThumbnailWidth = 120;

PageLayout layoutPages(const PageLayoutInput& input);

}  // namespace preview
