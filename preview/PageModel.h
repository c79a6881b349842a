#pragma once
// The page model: a document of pages, each a list of drawing items recorded in twips.
//
// Coordinates: twips (1440 per inch), origin at the paper's top-left corner, x to the right,
// y downward. Example: on A4 portrait (11906 x 16838 twips) a text run at (1417, 1417) starts
// 25 mm from the left and top edges; a line to (10489, 1417) ends 25 mm from the right edge.
//
// A page holds its format (paper code, orientation, size), its items in drawing order and its
// tags. Text runs keep their characters in the page's text buffer and the x position of every
// UTF-16 unit in a parallel array, so a run of characters placed one by one on a grid is
// still one item. Fonts and pictures are shared by the whole document and referred to by
// index. The model is plain data: PageControl records it, PageRenderer draws it, VdfFormat
// reads and writes it; every reader checks the indices before it trusts them.

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "formats/LoadCache.h"
#include "formats/WorkBudget.h"
#include "preview/PreviewControl.h"

namespace preview {

// Capacities of one document: beyond them the control refuses to record (and a saved file
// is refused), so a hostile input cannot exhaust memory.
struct PageModelLimits {
    static constexpr std::size_t maxPages = 32767;  // the page number is 16-bit
    static constexpr std::size_t maxItems = 8'000'000;       // drawing items, all pages
    static constexpr std::size_t maxTextUnits = 32'000'000;  // UTF-16 units, all pages
    static constexpr std::size_t maxTags = kMaxOutlineEntries;
    static constexpr std::size_t maxFonts = 4096;
    static constexpr std::size_t maxImages = 10000;
    static constexpr std::size_t maxImagePixels = LoadCache::kMaxPixels;  // all pictures together
    static constexpr std::size_t maxNameUnits = 4096;           // font names and tag texts
    // Positions beyond this many twips (about 3 km) are refused outright.
    static constexpr std::int32_t maxCoordinate = 1 << 27;
};

enum PaperCode {
    PaperA3 = 8,
    PaperA4 = 9,
    PaperA5 = 11,
    PaperB4 = 12,
    PaperB5 = 13,
    PaperUser = 256
};

// Paper of one page. width and height are the paper as it lies (landscape swaps them).
struct PageFormat {
    std::int32_t paperCode = PaperA4;
    std::int32_t orientation = 0;  // 0 portrait, 1 landscape
    std::int32_t width = 11906;
    std::int32_t height = 16838;
    friend bool operator==(const PageFormat&, const PageFormat&) = default;
};

// True for the paper codes the control takes: 8 A3, 9 A4, 11 A5, 12 JIS B4, 13 JIS B5, 256.
bool isKnownPaperCode(int paperCode);
// The format of a paper code and orientation; an unknown code or the user size gives A4.
// Example: pageFormatFor(9, 1) is 16838 x 11906 twips.
PageFormat pageFormatFor(int paperCode, int orientation);

// Characters text[first, first + count) of the page, each at its own x (charX, same range);
// (x, y) is the top-left corner of the first character's box, endX the end of the last
// character's advance. The run is turned counter-clockwise by angle tenths of a degree
// about (x, y).
struct TextRun {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t endX = 0;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    std::uint16_t font = 0;  // index into PageDocument::fonts
    std::int16_t angle = 0;
    friend bool operator==(const TextRun&, const TextRun&) = default;
};

enum class ShapeKind : std::uint8_t { Line = 0, Ellipse = 1 };

// A line from (x1, y1) to (x2, y2), or the ellipse inside that box.
struct Shape {
    ShapeKind kind = ShapeKind::Line;
    std::uint8_t penStyle = 0;   // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none
    std::uint8_t fillStyle = 1;  // 0 filled, 1 transparent
    std::int32_t penWidth = 0;   // twips; 0 the thinnest line of the device
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    friend bool operator==(const Shape&, const Shape&) = default;
};

// Picture `image` (index into PageDocument::images) scaled into the box.
struct Picture {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    std::uint32_t image = 0;
    friend bool operator==(const Picture&, const Picture&) = default;
};

using PageItem = std::variant<TextRun, Shape, Picture>;

// A named position on the page (outline headings "%TOC|1|...").
struct PageTag {
    QString text;
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const PageTag&, const PageTag&) = default;
};

struct Page {
    PageFormat format;
    std::vector<PageItem> items;
    std::u16string text;
    std::vector<std::int32_t> charX;
    std::vector<PageTag> tags;
    friend bool operator==(const Page&, const Page&) = default;
};

struct PageDocument {
    std::vector<FontSpec> fonts;
    std::vector<QImage> images;
    std::vector<Page> pages;

    void clear() { *this = PageDocument{}; }
};

// Bounding box of a text box of width x height whose top-left corner is (x, y), turned
// counter-clockwise about that corner by angle tenths of a degree.
QRect turnedTextBox(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                    int angle);
inline QRect textBox(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     int angle) {
    if (angle != 0) return turnedTextBox(x, y, width, height, angle);
    return QRect(x, y, width > 1 ? width : 1, height);
}

// Bounding box of an item in twips (text runs with their font's height).
QRect itemBounds(const PageDocument& document, const Page& page, const PageItem& item);

// Height of a text box in the font: size in points x 20 twips (200 at 10 pt), at least 1.
std::int32_t measuredHeight(double sizePoints);

// True when the box [left, right] x [top, bottom] (twips) lies wholly outside the paper.
inline bool isOutsidePaper(const PageFormat& format, std::int64_t left, std::int64_t top,
                           std::int64_t right, std::int64_t bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return right < 0 || bottom < 0 || left > format.width || top > format.height;
}

}  // namespace preview
