#include "preview/PageLayout.h"

#include <algorithm>
#include <cmath>

namespace preview {

namespace {

QSize scaled(const QSize& twips, double sx, double sy) {
    return QSize(std::max(1, int(std::lround(twips.width() * sx))),
                 std::max(1, int(std::lround(twips.height() * sy))));
}

}  // namespace

PageLayout layoutPages(const PageLayoutInput& in) {
    PageLayout out;
    const double dpiRatioY = in.dpiY / in.dpiX;  // screens with non-square pixels
    const double zoomScale = in.dpiX / 1440.0 / 100.0;
    if (in.pages.empty()) {
        out.scaleX = in.zoom * zoomScale, out.scaleY = out.scaleX * dpiRatioY;
        out.fittedZoom = in.zoom;
        return out;
    }
    const int count = int(in.pages.size());
    const int first = std::clamp(in.previewPage, 1, count) - 1;
    const int vw = std::max(1, in.viewport.width() - 2 * kPageGap);
    const int vh = std::max(1, in.viewport.height() - 2 * kPageGap);
    double sx = in.zoom * zoomScale;

    std::vector<int> shown{first};
    switch (in.mode) {
        case ZoomMode::Percentage:
            break;
        case ZoomMode::PageWidth:
            sx = double(vw) / in.pages[first].width();
            break;
        case ZoomMode::WholePage:
            sx = std::min(double(vw) / in.pages[first].width(),
                          double(vh) / (in.pages[first].height() * dpiRatioY));
            break;
        case ZoomMode::TwoPages: {
            if (first + 1 < count) shown.push_back(first + 1);
            int width = 0, height = 0;
            for (int p : shown) {
                width += in.pages[p].width();
                height = std::max(height, in.pages[p].height());
            }
            const int gaps = (int(shown.size()) - 1) * kPageGap;
            sx =
                std::min(double(std::max(1, vw - gaps)) / width, double(vh) / (height * dpiRatioY));
            break;
        }
        case ZoomMode::Thumbnail: {
            int widest = 1;
            for (const QSize& page : in.pages) widest = std::max(widest, page.width());
            sx = double(kThumbnailWidth) / widest;
            shown.clear();
            for (int p = 0; p < count; ++p) shown.push_back(p);
            break;
        }
    }
    out.scaleX = sx;
    out.scaleY = sx * dpiRatioY;
    out.fittedZoom = sx / zoomScale;

    if (in.mode == ZoomMode::Thumbnail) {
        int cellW = 1, cellH = 1;
        for (const QSize& page : in.pages) {
            const QSize size = scaled(page, out.scaleX, out.scaleY);
            cellW = std::max(cellW, size.width());
            cellH = std::max(cellH, size.height());
        }
        const int columns = std::max(1, (in.viewport.width() - kPageGap) / (cellW + kPageGap));
        for (int p = 0; p < count; ++p) {
            const QPoint corner(kPageGap + (p % columns) * (cellW + kPageGap),
                                kPageGap + (p / columns) * (cellH + kPageGap));
            out.placements.push_back(
                {p, QRect(corner, scaled(in.pages[p], out.scaleX, out.scaleY))});
        }
        const int rows = (count + columns - 1) / columns;
        out.content =
            QSize(kPageGap + columns * (cellW + kPageGap), kPageGap + rows * (cellH + kPageGap));
        return out;
    }

    int x = kPageGap, height = 0;
    for (int p : shown) {
        const QSize size = scaled(in.pages[p], out.scaleX, out.scaleY);
        out.placements.push_back({p, QRect(QPoint(x, kPageGap), size)});
        x += size.width() + kPageGap;
        height = std::max(height, size.height());
    }
    out.content = QSize(x, height + 2 * kPageGap);
    // Centred in a wider or taller viewport.
    const int dx = std::max(0, (in.viewport.width() - out.content.width()) / 2);
    const int dy = std::max(0, (in.viewport.height() - out.content.height()) / 2);
    for (PagePlacement& placement : out.placements) placement.rect.translate(dx, dy);
    out.content = out.content.expandedTo(in.viewport);
    return out;
}

}  // namespace preview
