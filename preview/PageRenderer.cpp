#include "preview/PageRenderer.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

#include "formats/WorkBudget.h"
#include "preview/FontFactory.h"
#include "preview/PageModel.h"
#include "preview/PreviewTexts.h"

namespace preview {

namespace {

// Lengths of the broken pen styles, twips.
constexpr double kDash = 90.0;
constexpr double kDot = 15.0;
constexpr double kGap = 45.0;
// Slant of a synthetic italic and offset of a synthetic bold (fractions of the em).
constexpr double kItalicShear = -0.2;
constexpr double kBoldOffset = 0.03;

// Glyphs of one run, split by the raw font that holds them.
struct GlyphBuffers {
    QList<quint32> glyphs[2];
    QList<QPointF> positions[2];
    void clear() {
        for (int i = 0; i < 2; ++i) glyphs[i].clear(), positions[i].clear();
    }
};

// A pen with what its stroke costs: `unit` is the length (twips) of one unit of its dash
// pattern, `period` the length of one repeat of the pattern (0 when solid).
struct StrokePen {
    QPen pen;
    double width = 0;  // twips; 0 the thinnest line of the device
    double unit = 1;
    double period = 0;
};

StrokePen penFor(const Shape& shape, double deviceScale, double widestPen) {
    StrokePen stroke;
    if (shape.penStyle == 5) {
        stroke.pen = QPen(Qt::NoPen);
        return stroke;
    }
    stroke.width = std::min<double>(std::max(shape.penWidth, 0), widestPen);
    QPen pen(Qt::black);
    pen.setWidthF(stroke.width);
    pen.setCapStyle(Qt::FlatCap);
    stroke.pen = pen;
    if (shape.penStyle == 0 || shape.penStyle > 4) return stroke;
    // Dash patterns are in pen widths; a thinnest (cosmetic) pen counts one device pixel.
    const double unit = stroke.width > 0 ? stroke.width : 1.0 / std::max(deviceScale, 1e-6);
    auto len = [unit](double twips) { return std::max(twips / unit, 0.5); };
    QList<qreal> pattern;
    switch (shape.penStyle) {
        case 1:
            pattern = {len(kDash), len(kGap)};
            break;
        case 2:
            pattern = {len(kDot), len(kGap)};
            break;
        case 3:
            pattern = {len(kDash), len(kGap), len(kDot), len(kGap)};
            break;
        default:
            pattern = {len(kDash), len(kGap), len(kDot), len(kGap), len(kDot), len(kGap)};
    }
    stroke.pen.setDashPattern(pattern);
    stroke.unit = unit;
    for (qreal part : pattern) stroke.period += part * unit;
    return stroke;
}

// The part of the segment p + t (q - p), t in [0, 1], that lies in `rect` (Liang-Barsky), as
// [t0, t1]; false when none does.
bool clipSegment(QPointF p, QPointF q, const QRectF& rect, double& t0, double& t1) {
    const double dx = q.x() - p.x(), dy = q.y() - p.y();
    const double edges[4][2] = {{-dx, p.x() - rect.left()},
                                {dx, rect.right() - p.x()},
                                {-dy, p.y() - rect.top()},
                                {dy, rect.bottom() - p.y()}};
    t0 = 0, t1 = 1;
    for (const auto& [towards, room] : edges) {
        if (towards == 0) {
            if (room < 0) return false;
            continue;
        }
        const double t = room / towards;
        if (towards < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

// The parameter ranges [from, to] (radians, to > from) over which the ellipse of centre c and
// semi-axes a, b (both > 0), point (c.x + a cos t, c.y + b sin t), lies in `rect`.
std::vector<std::pair<double, double>> visibleArcs(QPointF c, double a, double b,
                                                   const QRectF& rect) {
    const double u0 = (rect.left() - c.x()) / a, u1 = (rect.right() - c.x()) / a;
    const double v0 = (rect.top() - c.y()) / b, v1 = (rect.bottom() - c.y()) / b;
    std::vector<double> cuts;
    for (double u : {u0, u1}) {
        if (std::abs(u) > 1) continue;
        const double v = std::sqrt(1 - u * u);
        cuts.insert(cuts.end(), {std::atan2(v, u), std::atan2(-v, u)});
    }
    for (double v : {v0, v1}) {
        if (std::abs(v) > 1) continue;
        const double u = std::sqrt(1 - v * v);
        cuts.insert(cuts.end(), {std::atan2(v, u), std::atan2(v, -u)});
    }
    auto inside = [&](double t) {
        const double u = std::cos(t), v = std::sin(t);
        return u >= u0 && u <= u1 && v >= v0 && v <= v1;
    };
    constexpr double kTurn = 2 * M_PI;
    if (cuts.empty())
        return inside(0) ? std::vector{std::pair{0.0, kTurn}}
                         : std::vector<std::pair<double, double>>{};
    for (double& t : cuts) t = t < 0 ? t + kTurn : t;
    std::sort(cuts.begin(), cuts.end());
    std::vector<std::pair<double, double>> arcs;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const double from = cuts[i], to = i + 1 < cuts.size() ? cuts[i + 1] : cuts[0] + kTurn;
        if (to - from > 1e-12 && inside((from + to) / 2)) arcs.emplace_back(from, to);
    }
    return arcs;
}

// Draws the items of one page within `clip` (twips), charging `budget`; false when the budget
// ran out before an item, which is then left undrawn.
class PageDrawer {
  public:
    PageDrawer(QPainter& painter, const PageDocument& document, const Page& page,
               FontFactory& fonts, WorkBudget& budget, const QRectF& clip, double deviceScale,
               int boldPassAlpha)
        : m_painter(painter),
          m_document(document),
          m_page(page),
          m_fonts(fonts),
          m_budget(budget),
          m_clip(clip),
          m_deviceScale(deviceScale),
          m_boldPassAlpha(boldPassAlpha) {
        // A raster device costs its own pixels; a vector device (PDF, printer) is charged its
        // strokes and fills as the screen shows them, and its glyphs by count: it writes them.
        const QPaintEngine* engine = painter.paintEngine();
        m_raster = engine && engine->type() == QPaintEngine::Raster;
        m_areaScale = m_raster ? deviceScale : std::min(deviceScale, kVectorAreaDpi / 1440.0);
        m_clipArea = pixels(clip.width()) * pixels(clip.height());
        // A pen wider than twice the paper's diagonal covers the paper wherever it passes; a
        // glyph taller than the paper cannot be seen whole.
        m_widestPen = 2 * std::hypot(page.format.width, page.format.height);
        m_largestEm = std::max(page.format.width, page.format.height);
    }

    bool draw(const PageItem& item) {
        if (const auto* run = std::get_if<TextRun>(&item)) {
            m_painter.setPen(Qt::black);
            return drawRun(*run);
        }
        if (const auto* shape = std::get_if<Shape>(&item)) {
            const StrokePen stroke = penFor(*shape, m_deviceScale, m_widestPen);
            m_painter.setPen(stroke.pen);
            return shape->kind == ShapeKind::Line ? drawLine(*shape, stroke)
                                                  : drawEllipse(*shape, stroke);
        }
        return drawPicture(std::get<Picture>(item));
    }

  private:
    static constexpr double kVectorAreaDpi = 96.0;
    // Glyphs of an em of this many device pixels and more are filled as outlines, not taken
    // from the glyph cache (the raster engine's limit): they cost their area.
    static constexpr double kCachedGlyphPixels = 64;
    // Sagitta of the chords of a clipped ellipse, device pixels; and their most per arc.
    static constexpr double kArcTolerance = 0.25;
    static constexpr int kMaxArcChords = 4096;

    double pixels(double twips) const { return twips * m_areaScale; }
    // A count for the budget: what was touched counts at least one, and nothing overflows.
    static std::uint64_t units(double value) {
        if (!(value > 0)) return 0;
        return value < 1 ? 1 : value > 1e18 ? std::uint64_t(1e18) : std::uint64_t(value);
    }

    // Charges a stroke of `length` twips made of `segments` pieces: its dashes and its area.
    bool chargeStroke(const StrokePen& stroke, double length, std::uint64_t segments) {
        if (stroke.pen.style() == Qt::NoPen) return true;
        if (stroke.period > 0) segments += units(length / stroke.period);
        const double width = std::max(pixels(stroke.width), 1.0);
        return m_budget.charge(Work::PathSegment, segments) &&
               m_budget.charge(Work::PathArea, units(pixels(length) * width));
    }
    // The clip grown by what a stroke of the pen reaches beyond its path.
    QRectF reach(const StrokePen& stroke) const {
        const double grow = stroke.width / 2 + 2 / std::max(m_deviceScale, 1e-6);
        return m_clip.adjusted(-grow, -grow, grow, grow);
    }

    bool drawLine(const Shape& shape, StrokePen stroke) {
        const QPointF p(shape.x1, shape.y1), q(shape.x2, shape.y2);
        double t0 = 0, t1 = 1;
        if (stroke.pen.style() == Qt::NoPen || !clipSegment(p, q, reach(stroke), t0, t1)) {
            return true;
        }
        const double length = std::hypot(q.x() - p.x(), q.y() - p.y());
        if (!chargeStroke(stroke, length * (t1 - t0), 1)) return false;
        if (t0 > 0 && stroke.period > 0) {
            stroke.pen.setDashOffset(t0 * length / stroke.unit);  // the dashes stay in place
            m_painter.setPen(stroke.pen);
        }
        m_painter.drawLine(p + t0 * (q - p), p + t1 * (q - p));
        return true;
    }

    bool drawEllipse(const Shape& shape, const StrokePen& stroke) {
        const QRectF box =
            QRectF(QPointF(shape.x1, shape.y1), QPointF(shape.x2, shape.y2)).normalized();
        const bool filled = shape.fillStyle == 0;
        const QRectF reached = reach(stroke);
        if (!box.adjusted(-1, -1, 1, 1).intersects(reached)) return true;
        const double a = box.width() / 2, b = box.height() / 2;
        const double fill = filled ? pixels(box.intersected(m_clip).width()) *
                                         pixels(box.intersected(m_clip).height())
                                   : 0;
        const double side = std::max(m_page.format.width, m_page.format.height);
        const QRectF near = QRectF(0, 0, m_page.format.width, m_page.format.height)
                                .adjusted(-side, -side, side, side);
        if (near.contains(box)) {
            const double around = M_PI * (3 * (a + b) - std::sqrt((3 * a + b) * (a + 3 * b)));
            if (!chargeStroke(stroke, around, 4) || !m_budget.charge(Work::PathArea, units(fill))) {
                return false;
            }
            m_painter.setBrush(filled ? QBrush(Qt::black) : QBrush(Qt::NoBrush));
            m_painter.drawEllipse(box);
            m_painter.setBrush(Qt::NoBrush);
            return true;
        }
        // Far larger than the paper: only its arcs that can show are stroked (as chords within
        // a quarter pixel; the dashes of each arc start at its end).
        if (filled) {
            if (!m_budget.charge(Work::PathArea, units(fill))) return false;
            auto within = [&](QPointF corner) {
                const double u = (corner.x() - box.center().x()) / a;
                const double v = (corner.y() - box.center().y()) / b;
                return u * u + v * v <= 1;
            };
            if (within(m_clip.topLeft()) && within(m_clip.topRight()) &&
                within(m_clip.bottomLeft()) && within(m_clip.bottomRight())) {
                m_painter.fillRect(m_clip, Qt::black);
            } else if (a > 0 && b > 0) {
                m_painter.setPen(Qt::NoPen);
                m_painter.setBrush(Qt::black);
                m_painter.drawEllipse(box);
                m_painter.setBrush(Qt::NoBrush);
                m_painter.setPen(stroke.pen);
            }
        }
        if (stroke.pen.style() == Qt::NoPen) return true;
        if (a < 1 || b < 1) {  // flat: a line across its box
            Shape line = shape;
            line.x1 = int(box.left());
            line.y1 = int(box.top());
            line.x2 = int(box.right());
            line.y2 = int(box.bottom());
            return drawLine(line, stroke);
        }
        const double radius = std::max(a, b);
        const double tolerance = kArcTolerance / std::max(m_deviceScale, 1e-6);
        const double step =
            std::min(2 * std::acos(std::max(1 - tolerance / radius, -1.0)), M_PI / 8);
        for (const auto& [from, to] : visibleArcs(box.center(), a, b, reached)) {
            const int chords = std::clamp(int(std::ceil((to - from) / step)), 1, kMaxArcChords);
            QPainterPath path;
            auto at = [&](double t) {
                return QPointF(box.center().x() + a * std::cos(t),
                               box.center().y() + b * std::sin(t));
            };
            path.moveTo(at(from));
            double length = 0;
            for (int i = 1; i <= chords; ++i) {
                const QPointF last = path.currentPosition(),
                              next = at(from + (to - from) * i / chords);
                length += std::hypot(next.x() - last.x(), next.y() - last.y());
                path.lineTo(next);
            }
            if (!chargeStroke(stroke, length, std::uint64_t(chords))) return false;
            m_painter.strokePath(path, stroke.pen);
        }
        return true;
    }

    bool drawPicture(const Picture& picture) {
        if (picture.image >= m_document.images.size()) return true;
        const QRectF box(picture.x, picture.y, picture.width, picture.height);
        const QRectF seen = box.intersected(m_clip);
        if (seen.isEmpty()) return true;
        if (!m_budget.charge(Work::PathArea, units(pixels(seen.width()) * pixels(seen.height())))) {
            return false;
        }
        m_painter.drawImage(box, m_document.images[picture.image]);
        return true;
    }

    void drawGlyphs(const QRawFont& raw, const QList<quint32>& glyphs,
                    const QList<QPointF>& positions, bool bold, double em) {
        if (glyphs.isEmpty()) return;
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        m_painter.drawGlyphRun(QPointF(0, 0), run);
        if (!bold) return;
        const QPen pen = m_painter.pen();
        if (m_boldPassAlpha != 255) m_painter.setPen(QColor(0, 0, 0, m_boldPassAlpha));
        m_painter.drawGlyphRun(QPointF(em * kBoldOffset, 0), run);
        m_painter.setPen(pen);
    }

    bool drawRun(const TextRun& run) {
        if (run.font >= m_document.fonts.size()) return true;
        const std::size_t end = std::size_t(run.first) + run.count;
        if (end > m_page.text.size() || end > m_page.charX.size()) return true;
        const FontSpec& spec = m_document.fonts[run.font];
        FontMetrics& metrics = m_fonts.metrics(spec);
        const double em = metrics.emTwips();
        const double scale = em > m_largestEm ? m_largestEm / em : 1.0;
        const bool transformed = run.angle != 0 || metrics.syntheticItalic() || scale < 1;
        // Positions relative to the run's corner when the run is turned, slanted or scaled.
        const double ox = transformed ? run.x : 0.0;
        const double oy = transformed ? run.y : 0.0;
        const double baseline = run.y + metrics.baseline() - oy;
        QTransform local;
        if (transformed) {
            local.translate(run.x, run.y);
            local.rotate(-run.angle / 10.0);
            local.scale(scale, scale);
            if (metrics.syntheticItalic()) {
                local.translate(0, baseline);
                local.shear(kItalicShear, 0);
                local.translate(0, -baseline);
            }
        }
        // The clip in the run's own coordinates; a glyph is drawn when its em box, with room
        // for overhangs, meets it.
        const QRectF seen = transformed ? local.inverted().mapRect(m_clip) : m_clip;
        const double passes = metrics.syntheticBold() ? 2 : 1;
        const double emPixels = em * scale * m_deviceScale;
        const std::uint64_t area = m_raster && emPixels >= kCachedGlyphPixels
                                       ? units(std::min(emPixels * emPixels, m_clipArea) * passes)
                                       : 0;
        bool whole = true;
        m_buffers.clear();
        const char16_t* text = m_page.text.data();
        for (std::size_t i = run.first; i < end; ++i) {
            // Blanks draw nothing; nearly half the characters of a report are blanks.
            if (QChar::isLowSurrogate(text[i]) || text[i] == u' ' || text[i] == u'\u3000') {
                continue;
            }
            const double x = m_page.charX[i] - ox;
            if (x + 2 * em < seen.left() || x - em > seen.right() || baseline + em < seen.top() ||
                baseline - 2 * em > seen.bottom()) {
                continue;
            }
            if (!m_budget.charge(Work::Glyph, std::uint64_t(passes)) ||
                !m_budget.charge(Work::GlyphArea, area)) {
                whole = false;
                break;
            }
            const int units16 = QChar::isHighSurrogate(text[i]) && i + 1 < end ? 2 : 1;
            const FontMetrics::Glyph glyph =
                metrics.glyphOf(reinterpret_cast<const QChar*>(text + i), units16);
            const int slot = glyph.fallback ? 1 : 0;
            m_buffers.glyphs[slot].append(glyph.index);
            m_buffers.positions[slot].append(QPointF(x, baseline));
        }
        const QTransform base = m_painter.transform();
        if (transformed) m_painter.setTransform(local * base);
        drawGlyphs(metrics.rawFont(), m_buffers.glyphs[0], m_buffers.positions[0],
                   metrics.syntheticBold(), em);
        drawGlyphs(metrics.fallbackFont(), m_buffers.glyphs[1], m_buffers.positions[1],
                   metrics.syntheticBold(), em);
        if (whole && spec.underline && run.endX > run.x) {
            const QRectF line(run.x - ox,
                              baseline + metrics.underlineOffset() - metrics.lineThickness() / 2,
                              run.endX - run.x, metrics.lineThickness());
            m_painter.fillRect(line, Qt::black);
        }
        if (transformed) m_painter.setTransform(base);
        return whole;
    }

    QPainter& m_painter;
    const PageDocument& m_document;
    const Page& m_page;
    FontFactory& m_fonts;
    WorkBudget& m_budget;
    // Geometry
    QRectF m_clip;
    double m_deviceScale;
    bool m_raster = true;
    double m_areaScale = 1;
    double m_clipArea = 0;
    double m_widestPen = 0;
    double m_largestEm = 0;
    // Drawing
    int m_boldPassAlpha;
    GlyphBuffers m_buffers;
};

// The note of a page drawn only in part, in its top-left corner.
void markCut(QPainter& painter) {
    constexpr double kSize = 180;  // twips: 9 points
    QFont font;
    font.setPixelSize(int(kSize));
    const QString note = QString::fromUtf8(texts::PageDrawCut);
    const QFontMetricsF metrics(font);
    const QRectF box(kSize, kSize, metrics.horizontalAdvance(note) + kSize,
                     metrics.height() + kSize / 2);
    painter.setFont(font);
    painter.fillRect(box, QColor(255, 255, 200));
    painter.setPen(Qt::red);
    painter.drawText(box, Qt::AlignCenter, note);
}

}  // namespace

QTransform twipsToDevice(double dpiX, double dpiY, QPointF origin) {
    return QTransform(dpiX / 1440.0, 0, 0, dpiY / 1440.0, origin.x(), origin.y());
}

bool drawPage(QPainter& painter, const PageDocument& document, std::size_t pageIndex,
              FontFactory& fonts, const QTransform& toDevice, const QRectF& visibleTwips,
              int boldPassAlpha, WorkBudget* budget) {
    if (pageIndex >= document.pages.size()) return true;
    WorkBudget own(WorkBudget::kPageDraw);
    WorkBudget& work = budget ? *budget : own;
    const Page& page = document.pages[pageIndex];
    QRectF clip(0, 0, page.format.width, page.format.height);
    if (visibleTwips.isValid()) clip = clip.intersected(visibleTwips);
    if (clip.isEmpty()) return true;
    painter.save();
    painter.setTransform(toDevice);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    const double deviceScale = std::sqrt(std::abs(toDevice.determinant()));
    PageDrawer drawer(painter, document, page, fonts, work, clip, deviceScale, boldPassAlpha);
    bool whole = true;
    for (const PageItem& item : page.items) {
        if (!drawer.draw(item)) {
            whole = false;
            break;
        }
    }
    if (!whole) markCut(painter);
    painter.restore();
    return whole;
}

}  // namespace preview
