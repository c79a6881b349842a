#include "preview/PageModel.h"

#include <algorithm>
#include <cmath>

namespace preview {

namespace {

// Paper sizes in millimetres (portrait); JIS B sizes for codes 12 and 13.
struct PaperMm {
    int code;
    int width;
    int height;
};
constexpr PaperMm kPapers[] = {
    {PaperA3, 297, 420}, {PaperA4, 210, 297}, {PaperA5, 148, 210},
    {PaperB4, 257, 364}, {PaperB5, 182, 257},
};

std::int32_t mmToTwips(int mm) {
    return static_cast<std::int32_t>(std::lround(mm * 1440.0 / 25.4));
}

}  // namespace

bool isKnownPaperCode(int paperCode) {
    return paperCode == PaperUser ||
           std::any_of(std::begin(kPapers), std::end(kPapers),
                       [paperCode](const PaperMm& p) { return p.code == paperCode; });
}

PageFormat pageFormatFor(int paperCode, int orientation) {
    PaperMm paper = kPapers[1];
    for (const PaperMm& p : kPapers) {
        if (p.code == paperCode) paper = p;
    }
    PageFormat format;
    format.paperCode = isKnownPaperCode(paperCode) ? paperCode : PaperA4;
    format.orientation = orientation == 1 ? 1 : 0;
    format.width = mmToTwips(paper.width);
    format.height = mmToTwips(paper.height);
    if (format.orientation == 1) std::swap(format.width, format.height);
    return format;
}

std::int32_t measuredHeight(double sizePoints) {
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(sizePoints * 20.0)));
}

QRect turnedTextBox(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                    int angle) {
    // Turned about the top-left corner (counter-clockwise on the page, y down).
    const double a = angle / 10.0 * M_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const double xs[] = {0, double(width), 0, double(width)};
    const double ys[] = {0, 0, double(height), double(height)};
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        const double px = xs[i] * c + ys[i] * s;
        const double py = -xs[i] * s + ys[i] * c;
        minX = std::min(minX, px), maxX = std::max(maxX, px);
        minY = std::min(minY, py), maxY = std::max(maxY, py);
    }
    return QRect(QPoint(x + int(std::floor(minX)), y + int(std::floor(minY))),
                 QPoint(x + int(std::ceil(maxX)), y + int(std::ceil(maxY))));
}

QRect itemBounds(const PageDocument& document, const Page& /*page*/, const PageItem& item) {
    if (const auto* run = std::get_if<TextRun>(&item)) {
        const double size = run->font < document.fonts.size() ? document.fonts[run->font].size : 10;
        return textBox(run->x, run->y, std::max(0, run->endX - run->x), measuredHeight(size),
                       run->angle);
    }
    if (const auto* shape = std::get_if<Shape>(&item)) {
        const int grow = shape->penWidth / 2 + 1;
        return QRect(QPoint(std::min(shape->x1, shape->x2), std::min(shape->y1, shape->y2)),
                     QPoint(std::max(shape->x1, shape->x2), std::max(shape->y1, shape->y2)))
            .adjusted(-grow, -grow, grow, grow);
    }
    const auto& picture = std::get<Picture>(item);
    return QRect(picture.x, picture.y, picture.width, picture.height);
}

}  // namespace preview
