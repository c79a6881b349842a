#pragma once
// What the two figure renderers share (the preview's, onto its page; the Word export's, into a
// picture): the order a data file is drawn in, the points of arcs and arrow heads, the pen and
// font of a style row, where a text lands on a device, and the limits both keep. Plain C++:
// each renderer maps figure millimetres to its device and makes its own drawing calls.
//
// Coordinates: the canvas gets figure mm (x to the right, y upward, FigureFiles.h). A renderer
// places a point (x, y) of a list entry with offsets (dx, dy) on a paper area PaperH high at
// (dx + x, PaperH - (y + dy)) mm from the area's top-left corner, y downward: on a 150 x 130 mm
// area the point (-dx, -dy) is the area's bottom-left corner (0, 130).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/FigureFiles.h"

// Entries of a list that are drawn, and style rows read from each definition file.
inline constexpr std::size_t kFigureListEntries = 20;
inline constexpr std::size_t kFigureStyleRows = kPreviewStyleRows;

// Arrow heads: wing length and half-width, mm. Arcs: straight segments per arc.
inline constexpr double kArrowLength = 1.5;
inline constexpr double kArrowHalfWidth = 0.5;
inline constexpr int kArcSegments = 100;

// A point on a y-down device (twips, pixels).
struct DevicePoint {
    double x = 0, y = 0;
};

// The position on a y-down device of a paper area's point, mm from the area's top-left corner.
DevicePoint FigurePaperMm(const FigPoint& p, double dx, double dy, double paperH);

// The pen of a line-style row: WidthCode 2 a 0.2 mm pen, 3 a 0.3 mm pen, else the thinnest
// (widthMm 0); PatternCode 2 and 3 the two broken kinds, always with the thinnest pen. A row
// the file did not hold draws as row 0 (thinnest, solid).
struct FigurePen {
    double widthMm = 0;
    int pattern = 0;  // 0 solid, 2 or 3 broken
};
FigurePen FigurePenOf(const std::vector<LineStyleDef>& rows, std::int32_t row);

// The font of a text-style row: size Size / 20 points; flags on when 1.
struct FigureFont {
    std::string face;  // UTF-8, as the file gives it
    double points = 0;
    bool bold = false, italic = false, underline = false;
};
FigureFont FigureFontOf(const std::vector<TextStyleDef>& rows, std::int32_t row);

// The kArcSegments + 1 points of an arc, from its start angle counter-clockwise over
// |end - start|.
std::vector<FigPoint> ArcPoints(const FigArc& arc);

// The wing ends of an arrow head at the tip (direction 1 up, 3 right, 5 down, 7 left); none
// for another direction.
std::optional<std::array<FigPoint, 2>> ArrowWings(const FigPoint& tip, std::int32_t direction);

// Where a text of height h (device units) whose anchor lies at (x, y) on a y-down device
// starts: the top-left corner of the unturned text, (x, y - h) for a horizontal text (direction
// 3), (x - h, y) for a vertical one (direction 1, turned a quarter turn counter-clockwise about
// that corner, so its box's bottom-right corner is the anchor); none for another direction.
std::optional<DevicePoint> TextOrigin(double x, double y, double h, std::int32_t direction);

// Whether the segment a-b passes through the inside of the box x0 < x < x1, y0 < y < y1: a
// segment along an edge or through a corner only touches it.
bool SegmentCrossesBox(const FigPoint& a, const FigPoint& b, double x0, double y0, double x1,
                       double y1);

// The drawing calls of a renderer, in figure mm. Rows passed are within 1..kFigureStyleRows.
class FigureCanvas {
  public:
    virtual ~FigureCanvas() = default;
    virtual void selectPen(std::int32_t row) = 0;
    virtual void selectFont(std::int32_t row) = 0;
    virtual void line(const FigPoint& a, const FigPoint& b) = 0;
    virtual void rectangle(const FigPoint& a, const FigPoint& b) = 0;
    virtual void ellipse(const FigPoint& centre, double radius) = 0;
    virtual void text(const FigText& text) = 0;
};

// Draws a data file's lists in the renderers' order: rectangles, lines, circles, arcs, arrows,
// texts. A record that names a point not in the list or a style row outside 1..20 ends the
// drawing there; returns why ("" when all was drawn).
std::string DrawFigureBuffer(const FigureBuffer& figure, FigureCanvas& canvas);
