#include "pagesetup/WordFigure.h"

#include <QFont>
#include <QPainter>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "foundation/Cp932.h"
#include "foundation/Numeric.h"
#include "pagesetup/WordDocument.h"
#include "formats/FigureFiles.h"

namespace word {

namespace {

// The preview's limits, so that both programs draw the same figures.
constexpr std::size_t kListEntries = 20;
constexpr std::size_t kPointsPerFile = 1000;
constexpr std::int32_t kStyleRows = 20;
constexpr double kLargestPaperMm = 1000;
constexpr double kDotsPerMm = 96 / 25.4;
constexpr double kArrowLength = 1.5;  // mm
constexpr double kArrowHalfWidth = 0.5;
constexpr int kArcSegments = 100;
constexpr std::size_t kFaceNameBytes = 31;  // the face name field holds 32 bytes with its NUL

struct FigureFault {
    QString reason;
};

class Painter {
  public:
    Painter(QImage& image, double paperH, std::vector<LineStyleDef> lineStyles,
            std::vector<TextStyleDef> textStyles)
        : m_painter(&image),
          m_paperH(paperH),
          m_lineStyles(std::move(lineStyles)),
          m_textStyles(std::move(textStyles)) {
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::TextAntialiasing, false);
        m_painter.setBrush(Qt::NoBrush);
        selectPen(1);
        selectFont(1);
    }

    // Draws one data file; returns the fault that ended it, if any.
    std::optional<QString> draw(const FigureData& data, double dx, double dy) {
        m_dx = dx;
        m_dy = dy;
        const FigureBuffer& b = data.buffer;
        try {
            for (const FigRect& r : b.rects) {
                selectPen(r.style);
                const QPoint p = pixel(point(b, r.from)), q = pixel(point(b, r.to));
                m_painter.drawRect(QRect(p, q).normalized().adjusted(0, 0, -1, -1));
            }
            for (const FigLine& l : b.lines) {
                selectPen(l.style);
                m_painter.drawLine(pixel(point(b, l.from)), pixel(point(b, l.to)));
            }
            for (const FigCircle& c : b.circles) {
                selectPen(c.style);
                const FigPoint o = point(b, c.centre);
                m_painter.drawEllipse(QRect(pixel({o.x - c.radius, o.y + c.radius}),
                                            pixel({o.x + c.radius, o.y - c.radius})));
            }
            for (const FigArc& a : b.arcs) {
                selectPen(a.style);
                const double sweep = std::abs(a.end - a.start);
                QPoint from = pixel(
                    {a.cx + a.radius * std::cos(a.start), a.cy + a.radius * std::sin(a.start)});
                for (int k = 1; k <= kArcSegments; ++k) {
                    const double t = a.start + sweep / kArcSegments * k;
                    const QPoint to =
                        pixel({a.cx + a.radius * std::cos(t), a.cy + a.radius * std::sin(t)});
                    m_painter.drawLine(from, to);
                    from = to;
                }
            }
            for (const FigArrow& a : b.arrows) {
                selectPen(a.style);
                const FigPoint t = point(b, a.point);
                const double L = kArrowLength, W = kArrowHalfWidth;
                FigPoint w1, w2;
                switch (a.direction) {
                    case 1:
                        w1 = {t.x - W, t.y - L}, w2 = {t.x + W, t.y - L};
                        break;
                    case 3:
                        w1 = {t.x - L, t.y - W}, w2 = {t.x - L, t.y + W};
                        break;
                    case 5:
                        w1 = {t.x - W, t.y + L}, w2 = {t.x + W, t.y + L};
                        break;
                    case 7:
                        w1 = {t.x + L, t.y - W}, w2 = {t.x + L, t.y + W};
                        break;
                    default:
                        continue;
                }
                const QPoint tip = pixel(t);
                m_painter.drawLine(tip, pixel(w1));
                m_painter.drawLine(tip, pixel(w2));
            }
            for (const FigText& t : b.texts) text(t);
        } catch (const FigureFault& fault) {
            return fault.reason;
        }
        return std::nullopt;
    }

  private:
    static int whole(double value) {
        const auto v = ToInt32HalfEven(value);
        if (!v) throw FigureFault{QStringLiteral("a coordinate is out of range")};
        return *v;
    }
    QPoint pixel(const FigPoint& p) const {
        return QPoint(whole((m_dx + p.x) * kDotsPerMm),
                      whole((m_paperH - (p.y + m_dy)) * kDotsPerMm));
    }
    static const FigPoint& point(const FigureBuffer& b, std::int32_t n) {
        if (n < 1 || static_cast<std::size_t>(n) > std::min(b.points.size(), kPointsPerFile))
            throw FigureFault{QStringLiteral("point %1 is not among the points drawn").arg(n)};
        return b.points[static_cast<std::size_t>(n) - 1];
    }
    static void checkRow(std::int32_t row) {
        if (row < 1 || row > kStyleRows)
            throw FigureFault{QStringLiteral("style row %1 does not exist").arg(row)};
    }

    // Pens are whole pixels: 2 for the 0.2 mm code, 3 for 0.3 mm, else 1.
    void selectPen(std::int32_t row) {
        if (row == m_penRow) return;
        checkRow(row);
        m_penRow = row;
        const LineStyleDef def = static_cast<std::size_t>(row) <= m_lineStyles.size()
                                     ? m_lineStyles[static_cast<std::size_t>(row) - 1]
                                     : LineStyleDef{};
        QPen pen(Qt::black);
        pen.setWidth(def.WidthCode == 2 ? 2 : def.WidthCode == 3 ? 3 : 1);
        pen.setStyle(def.PatternCode == 2   ? Qt::DotLine
                     : def.PatternCode == 3 ? Qt::DashDotLine
                                            : Qt::SolidLine);
        pen.setCapStyle(Qt::FlatCap);
        m_painter.setPen(pen);
    }

    void selectFont(std::int32_t row) {
        if (row == m_fontRow) return;
        checkRow(row);
        m_fontRow = row;
        const TextStyleDef def = static_cast<std::size_t>(row) <= m_textStyles.size()
                                     ? m_textStyles[static_cast<std::size_t>(row) - 1]
                                     : TextStyleDef{0, "", 160, 0, 0, 0};
        std::string face = def.FontName.empty() ? std::string("ＭＳ 明朝") : def.FontName;
        face = cp932::toUtf8(cp932::cutAtBoundary(cp932::fromUtf8(face), kFaceNameBytes));
        const int points = ToInt32HalfEven(def.Size / 20.0).value_or(0);
        // The text height in pixels: the size in points through millimetres at 96 dpi.
        m_textHeight =
            std::max(1, whole(PointsToMillimeters(static_cast<float>(points)) * kDotsPerMm));
        QFont font(QString::fromStdString(face));
        font.setPixelSize(m_textHeight);
        font.setBold(def.Bold == 1);
        font.setItalic(def.Italic == 1);
        font.setUnderline(def.Underline == 1);
        font.setStyleStrategy(QFont::NoAntialias);
        m_painter.setFont(font);
    }

    void text(const FigText& t) {
        selectFont(t.style);
        if (t.direction != 1 && t.direction != 3) return;
        const QPoint anchor = pixel({t.x, t.y});
        const QString s = QString::fromStdString(t.text);
        const int ascent = m_painter.fontMetrics().ascent();
        m_painter.save();
        if (t.direction == 3) {
            m_painter.translate(anchor.x(), anchor.y() - m_textHeight);
        } else {
            // Turned a quarter turn counter-clockwise about its top-left corner.
            m_painter.translate(anchor.x() - m_textHeight, anchor.y());
            m_painter.rotate(-90);
        }
        m_painter.setPen(QPen(Qt::black));
        m_painter.drawText(QPoint(0, ascent), s);
        m_painter.restore();
    }

    QPainter m_painter;
    double m_paperH;
    double m_dx = 0, m_dy = 0;
    std::vector<LineStyleDef> m_lineStyles;
    std::vector<TextStyleDef> m_textStyles;
    std::int32_t m_penRow = 0;
    std::int32_t m_fontRow = 0;
    int m_textHeight = 1;
};

QString Describe(const QString& file, const FigureReadResult& r) {
    return QStringLiteral("%1, line %2: %3")
        .arg(file)
        .arg(r.line)
        .arg(QString::fromStdString(r.reason));
}

}  // namespace

FigureBitmap DrawFigureBitmap(const QString& listPath, const QString& definitionFolder) {
    FigureBitmap out;
    FigureList list;
    if (const auto r = ReadFigureListFile(listPath.toStdString(), list, kListEntries); !r.ok()) {
        out.fault = Describe(listPath, r);
        return out;
    }
    if (!(list.PaperW > 0 && list.PaperW <= kLargestPaperMm && list.PaperH > 0 &&
          list.PaperH <= kLargestPaperMm)) {
        out.fault = QStringLiteral("%1: the paper size is outside 0 to 1000 mm").arg(listPath);
        return out;
    }
    const int width = std::max(1, ToInt32HalfEven(list.PaperW * kDotsPerMm).value_or(1));
    const int height = std::max(1, ToInt32HalfEven(list.PaperH * kDotsPerMm).value_or(1));
    out.image = QImage(width, height, QImage::Format_RGB32);
    if (out.image.isNull()) {
        out.fault = QStringLiteral("no memory for the figure");
        return out;
    }
    out.image.fill(Qt::white);

    const QString folder = definitionFolder.isEmpty() ? QStringLiteral(".") : definitionFolder;
    std::vector<LineStyleDef> lineStyles;
    std::vector<TextStyleDef> textStyles;
    const QString linePath = folder + "/" + kLineStyleDefFileName;
    const QString textPath = folder + "/" + kTextStyleDefFileName;
    if (const auto r = LoadLineStyleDefs(linePath.toStdString(), lineStyles, kStyleRows); !r.ok()) {
        out.fault = Describe(linePath, r);
        return out;
    }
    if (const auto r = LoadTextStyleDefs(textPath.toStdString(), textStyles, kStyleRows); !r.ok()) {
        out.fault = Describe(textPath, r);
        return out;
    }

    Painter painter(out.image, list.PaperH, std::move(lineStyles), std::move(textStyles));
    for (const FigureListEntry& entry : list.entries) {
        FigureData data;
        const auto read = ReadFigureDataFile(entry.FileName, data);
        // What was read before a fault is drawn; the fault then ends the figure.
        const auto drawn = painter.draw(data, entry.OffsetX, entry.OffsetY);
        const QString file = QString::fromStdString(entry.FileName);
        if (drawn) {
            out.fault = file + ": " + *drawn;
            return out;
        }
        if (!read.ok()) {
            out.fault = Describe(file, read);
            return out;
        }
    }
    return out;
}

}  // namespace word
