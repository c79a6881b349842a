#include "preview/PageRenderer.h"

#include <QGlyphRun>
#include <QPainter>
#include <cmath>

#include "preview/FontFactory.h"
#include "preview/PageModel.h"

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

QPen penFor(const Shape& shape, double deviceScale) {
    if (shape.penStyle == 5) return QPen(Qt::NoPen);
    QPen pen(Qt::black);
    pen.setWidthF(shape.penWidth > 0 ? shape.penWidth : 0.0);
    pen.setCapStyle(Qt::FlatCap);
    if (shape.penStyle == 0 || shape.penStyle > 4) return pen;
    // Dash patterns are in pen widths; a thinnest (cosmetic) pen counts one device pixel.
    const double unit = shape.penWidth > 0 ? shape.penWidth : 1.0 / std::max(deviceScale, 1e-6);
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
    pen.setDashPattern(pattern);
    return pen;
}

void drawGlyphs(QPainter& painter, const QRawFont& raw, const QList<quint32>& glyphs,
                const QList<QPointF>& positions, bool bold, double em, int boldPassAlpha) {
    if (glyphs.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(0, 0), run);
    if (!bold) return;
    const QPen pen = painter.pen();
    if (boldPassAlpha != 255) painter.setPen(QColor(0, 0, 0, boldPassAlpha));
    painter.drawGlyphRun(QPointF(em * kBoldOffset, 0), run);
    painter.setPen(pen);
}

void drawRun(QPainter& painter, const PageDocument& document, const Page& page, const TextRun& run,
             FontFactory& fonts, GlyphBuffers& buffers, int boldPassAlpha) {
    if (run.font >= document.fonts.size()) return;
    const std::size_t end = std::size_t(run.first) + run.count;
    if (end > page.text.size() || end > page.charX.size()) return;
    const FontSpec& spec = document.fonts[run.font];
    FontMetrics& metrics = fonts.metrics(spec);
    const bool transformed = run.angle != 0 || metrics.syntheticItalic();
    // Positions relative to the run's corner when the run is turned or slanted.
    const double ox = transformed ? run.x : 0.0;
    const double oy = transformed ? run.y : 0.0;
    const double baseline = run.y + metrics.baseline() - oy;
    buffers.clear();
    const char16_t* text = page.text.data();
    for (std::size_t i = run.first; i < end; ++i) {
        // Blanks draw nothing; nearly half the characters of a report are blanks.
        if (QChar::isLowSurrogate(text[i]) || text[i] == u' ' || text[i] == u'\u3000') continue;
        const int units = QChar::isHighSurrogate(text[i]) && i + 1 < end ? 2 : 1;
        const FontMetrics::Glyph glyph =
            metrics.glyphOf(reinterpret_cast<const QChar*>(text + i), units);
        const int slot = glyph.fallback ? 1 : 0;
        buffers.glyphs[slot].append(glyph.index);
        buffers.positions[slot].append(QPointF(page.charX[i] - ox, baseline));
    }
    const QTransform base = painter.transform();
    if (transformed) {
        QTransform local;
        local.translate(run.x, run.y);
        local.rotate(-run.angle / 10.0);
        if (metrics.syntheticItalic()) {
            local.translate(0, baseline);
            local.shear(kItalicShear, 0);
            local.translate(0, -baseline);
        }
        painter.setTransform(local * base);
    }
    drawGlyphs(painter, metrics.rawFont(), buffers.glyphs[0], buffers.positions[0],
               metrics.syntheticBold(), metrics.emTwips(), boldPassAlpha);
    drawGlyphs(painter, metrics.fallbackFont(), buffers.glyphs[1], buffers.positions[1],
               metrics.syntheticBold(), metrics.emTwips(), boldPassAlpha);
    if (spec.underline && run.endX > run.x) {
        const QRectF line(run.x - ox,
                          baseline + metrics.underlineOffset() - metrics.lineThickness() / 2,
                          run.endX - run.x, metrics.lineThickness());
        painter.fillRect(line, Qt::black);
    }
    if (transformed) painter.setTransform(base);
}

}  // namespace

QTransform twipsToDevice(double dpiX, double dpiY, QPointF origin) {
    return QTransform(dpiX / 1440.0, 0, 0, dpiY / 1440.0, origin.x(), origin.y());
}

void drawPage(QPainter& painter, const PageDocument& document, std::size_t pageIndex,
              FontFactory& fonts, const QTransform& toDevice, const QRectF& visibleTwips,
              int boldPassAlpha) {
    if (pageIndex >= document.pages.size()) return;
    const Page& page = document.pages[pageIndex];
    painter.save();
    painter.setTransform(toDevice);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    const double deviceScale = std::sqrt(std::abs(toDevice.determinant()));
    GlyphBuffers buffers;
    for (const PageItem& item : page.items) {
        if (visibleTwips.isValid() &&
            !QRectF(itemBounds(document, page, item)).intersects(visibleTwips)) {
            continue;
        }
        if (const auto* run = std::get_if<TextRun>(&item)) {
            painter.setPen(Qt::black);
            drawRun(painter, document, page, *run, fonts, buffers, boldPassAlpha);
        } else if (const auto* shape = std::get_if<Shape>(&item)) {
            painter.setPen(penFor(*shape, deviceScale));
            if (shape->kind == ShapeKind::Line) {
                painter.drawLine(QPointF(shape->x1, shape->y1), QPointF(shape->x2, shape->y2));
            } else {
                painter.setBrush(shape->fillStyle == 0 ? QBrush(Qt::black) : QBrush(Qt::NoBrush));
                painter.drawEllipse(
                    QRectF(QPointF(shape->x1, shape->y1), QPointF(shape->x2, shape->y2))
                        .normalized());
                painter.setBrush(Qt::NoBrush);
            }
        } else {
            const auto& picture = std::get<Picture>(item);
            if (picture.image < document.images.size()) {
                painter.drawImage(QRectF(picture.x, picture.y, picture.width, picture.height),
                                  document.images[picture.image]);
            }
        }
    }
    painter.restore();
}

}  // namespace preview
