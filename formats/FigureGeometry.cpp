#include "formats/FigureGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

DevicePoint FigurePaperMm(const FigPoint& p, double dx, double dy, double paperH) {
    return {dx + p.x, paperH - (p.y + dy)};
}

FigurePen FigurePenOf(const std::vector<LineStyleDef>& rows, std::int32_t row) {
    const LineStyleDef def = row >= 1 && static_cast<std::size_t>(row) <= rows.size()
                                 ? rows[static_cast<std::size_t>(row) - 1]
                                 : LineStyleDef{};
    if (def.PatternCode == 2 || def.PatternCode == 3) return {0, def.PatternCode};
    return {def.WidthCode == 2 ? 0.2 : def.WidthCode == 3 ? 0.3 : 0.0, 0};
}

FigureFont FigureFontOf(const std::vector<TextStyleDef>& rows, std::int32_t row) {
    const TextStyleDef def = row >= 1 && static_cast<std::size_t>(row) <= rows.size()
                                 ? rows[static_cast<std::size_t>(row) - 1]
                                 : TextStyleDef{};
    return {def.FontName, def.Size / 20.0, def.Bold == 1, def.Italic == 1, def.Underline == 1};
}

std::vector<FigPoint> ArcPoints(const FigArc& a) {
    std::vector<FigPoint> points;
    points.reserve(kArcSegments + 1);
    const double sweep = std::abs(a.end - a.start);
    for (int i = 0; i <= kArcSegments; ++i) {
        const double angle = a.start + sweep / kArcSegments * i;
        points.push_back({a.cx + a.radius * std::cos(angle), a.cy + a.radius * std::sin(angle)});
    }
    return points;
}

std::optional<std::array<FigPoint, 2>> ArrowWings(const FigPoint& tip, std::int32_t direction) {
    const double x = tip.x, y = tip.y, L = kArrowLength, W = kArrowHalfWidth;
    switch (direction) {
        case 1:
            return std::array{FigPoint{x - W, y - L}, FigPoint{x + W, y - L}};
        case 3:
            return std::array{FigPoint{x - L, y - W}, FigPoint{x - L, y + W}};
        case 5:
            return std::array{FigPoint{x - W, y + L}, FigPoint{x + W, y + L}};
        case 7:
            return std::array{FigPoint{x + L, y - W}, FigPoint{x + L, y + W}};
        default:
            return std::nullopt;
    }
}

std::optional<DevicePoint> TextOrigin(double x, double y, double h, std::int32_t direction) {
    if (direction == 1) return DevicePoint{x - h, y};
    if (direction == 3) return DevicePoint{x, y - h};
    return std::nullopt;
}

bool SegmentCrossesBox(const FigPoint& a, const FigPoint& b, double x0, double y0, double x1,
                       double y1) {
    // Clips the segment's parameter range [0, 1] to the open slab of each axis.
    double enter = 0, leave = 1;
    const auto clip = [&](double from, double delta, double lo, double hi) {
        if (delta == 0) return lo < from && from < hi;
        double t0 = (lo - from) / delta, t1 = (hi - from) / delta;
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        return enter < leave;
    };
    return clip(a.x, b.x - a.x, x0, x1) && clip(a.y, b.y - a.y, y0, y1);
}

namespace {

struct Fault {
    std::string reason;
};

}  // namespace

std::string DrawFigureBuffer(const FigureBuffer& f, FigureCanvas& canvas) {
    const auto point = [&f](std::int32_t n) -> const FigPoint& {
        if (n < 1 || static_cast<std::size_t>(n) > f.points.size())
            throw Fault{"point " + std::to_string(n) + " is not among the points"};
        return f.points[static_cast<std::size_t>(n) - 1];
    };
    const auto inRange = [](std::int32_t row, const char* what) {
        if (row < 1 || static_cast<std::size_t>(row) > kFigureStyleRows) {
            throw Fault{std::string(what) + " " + std::to_string(row) + " outside 1.." +
                        std::to_string(kFigureStyleRows)};
        }
        return row;
    };
    const auto pen = [&](std::int32_t row) { canvas.selectPen(inRange(row, "line style")); };
    try {
        for (const FigRect& r : f.rects) {
            const FigPoint &p = point(r.from), &q = point(r.to);
            pen(r.style);
            canvas.rectangle(p, q);
        }
        for (const FigLine& l : f.lines) {
            const FigPoint &a = point(l.from), &b = point(l.to);
            pen(l.style);
            canvas.line(a, b);
        }
        for (const FigCircle& c : f.circles) {
            const FigPoint& centre = point(c.centre);
            pen(c.style);
            canvas.ellipse(centre, c.radius);
        }
        for (const FigArc& a : f.arcs) {
            pen(a.style);
            const std::vector<FigPoint> points = ArcPoints(a);
            for (std::size_t i = 1; i < points.size(); ++i) canvas.line(points[i - 1], points[i]);
        }
        for (const FigArrow& a : f.arrows) {
            const FigPoint& tip = point(a.point);
            pen(a.style);
            if (const auto wings = ArrowWings(tip, a.direction)) {
                canvas.line(tip, (*wings)[0]);
                canvas.line(tip, (*wings)[1]);
            }
        }
        for (const FigText& t : f.texts) {
            canvas.selectFont(inRange(t.style, "text style"));
            canvas.text(t);
        }
    } catch (const Fault& fault) {
        return fault.reason;
    }
    return {};
}
