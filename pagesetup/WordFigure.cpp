#include "pagesetup/WordFigure.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "formats/FigureFiles.h"
#include "formats/FigureGeometry.h"
#include "foundation/Cp932.h"
#include "foundation/Numeric.h"

namespace word {

namespace {

constexpr double kLargestPaperMm = 1000;
constexpr double kDotsPerInch = 300;
// The thinnest pen, mm: a hairline that stays visible when the document scales the picture.
constexpr double kThinnestMm = 0.1;
// Farther than this from the picture a coordinate is a fault (pixels).
constexpr double kFarthestPixel = 1e6;
// The broken pens as the preview draws them: dash, dot and gap (90, 15 and 45 twips), mm.
constexpr double kDashMm = 90 / 1440.0 * 25.4;
constexpr double kDotMm = 15 / 1440.0 * 25.4;
constexpr double kGapMm = 45 / 1440.0 * 25.4;
constexpr std::size_t kFaceNameBytes = 31;  // the face name field holds 32 bytes with its NUL
constexpr const char* kDefaultFace = "ＭＳ 明朝";

struct FigureFault {
    QString reason;
};

const QString kBudgetSpent = QStringLiteral("the export's budget of work is spent");

class PictureCanvas final : public FigureCanvas {
  public:
    PictureCanvas(QImage& image, double dotsPerMm, double paperH,
                  std::vector<LineStyleDef> lineStyles, std::vector<TextStyleDef> textStyles,
                  preview::WorkBudget* budget)
        : m_budget(budget),
          m_painter(&image),
          m_size(image.size()),
          m_dotsPerMm(dotsPerMm),
          m_paperH(paperH),
          m_lineStyles(std::move(lineStyles)),
          m_textStyles(std::move(textStyles)) {
        m_painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        m_painter.setBrush(Qt::NoBrush);
        selectPen(1);
        selectFont(1);
    }

    // Draws one data file; returns the fault that ended it ("" when none).
    QString draw(const FigureBuffer& figure, double dx, double dy) {
        m_dx = dx;
        m_dy = dy;
        try {
            return QString::fromStdString(DrawFigureBuffer(figure, *this));
        } catch (const FigureFault& fault) {
            return fault.reason;
        }
    }

    void selectPen(std::int32_t row) override {
        if (row == m_penRow) return;
        m_penRow = row;
        const FigurePen style = FigurePenOf(m_lineStyles, row);
        QPen pen(Qt::black);
        const double width =
            std::max(1.0, (style.widthMm > 0 ? style.widthMm : kThinnestMm) * m_dotsPerMm);
        pen.setWidthF(width);
        pen.setCapStyle(Qt::FlatCap);
        m_dashPeriod = 0;
        if (style.pattern != 0) {
            m_dashPeriod =
                ((style.pattern == 2 ? kDotMm : kDashMm + kDotMm + kGapMm) + kGapMm) * m_dotsPerMm;
            // Dash patterns are in pen widths.
            const double dash = kDashMm * m_dotsPerMm / width, dot = kDotMm * m_dotsPerMm / width;
            const double gap = kGapMm * m_dotsPerMm / width;
            pen.setDashPattern(style.pattern == 2 ? QList<qreal>{dot, gap}
                                                  : QList<qreal>{dash, gap, dot, gap});
        }
        m_painter.setPen(pen);
    }

    void selectFont(std::int32_t row) override {
        if (row == m_fontRow) return;
        m_fontRow = row;
        const FigureFont style = FigureFontOf(m_textStyles, row);
        const std::string face = style.face.empty() ? std::string(kDefaultFace) : style.face;
        QFont font(QString::fromStdString(
            cp932::toUtf8(cp932::cutAtBoundary(cp932::fromUtf8(face), kFaceNameBytes))));
        m_textHeight = std::max(1.0, style.points / 72 * 25.4 * m_dotsPerMm);
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(m_textHeight))));
        font.setBold(style.bold);
        font.setItalic(style.italic);
        font.setUnderline(style.underline);
        m_painter.setFont(font);
    }

    void line(const FigPoint& a, const FigPoint& b) override {
        const QPointF from = pixel(a), to = pixel(b);
        stroke(QLineF(from, to).length());
        m_painter.drawLine(from, to);
    }
    void rectangle(const FigPoint& a, const FigPoint& b) override {
        const QRectF box = QRectF(pixel(a), pixel(b)).normalized();
        stroke(2 * (box.width() + box.height()));
        m_painter.drawRect(box);
    }
    void ellipse(const FigPoint& c, double r) override {
        const QRectF box(pixel({c.x - r, c.y + r}), pixel({c.x + r, c.y - r}));
        stroke(std::numbers::pi * std::max(std::fabs(box.width()), std::fabs(box.height())));
        m_painter.drawEllipse(box);
    }

    // A text runs from TextOrigin; one that would pass the picture's edge is moved inside it.
    void text(const FigText& t) override {
        const QPointF anchor = pixel({t.x, t.y});
        const auto origin = TextOrigin(anchor.x(), anchor.y(), m_textHeight, t.direction);
        if (!origin) return;
        const QString s = QString::fromStdString(t.text);
        const QFontMetricsF metrics(m_painter.font());
        const double w = metrics.horizontalAdvance(s), h = m_textHeight;
        const bool vertical = t.direction == 1;
        // Glyphs past the picture's edge are laid out but not rasterised.
        const double shown = std::min(w, 1.0 * (vertical ? m_size.height() : m_size.width()));
        charge(preview::Work::FigureText);
        charge(preview::Work::Glyph, static_cast<std::uint64_t>(s.size()));
        charge(preview::Work::GlyphArea, static_cast<std::uint64_t>(shown * h));
        // The box of the (turned) text: w x h from the origin, w upward when turned.
        const double left =
            std::clamp(origin->x, 0.0, std::max(0.0, m_size.width() - (vertical ? h : w)));
        const double top =
            vertical
                ? std::clamp(origin->y, std::min(w, 1.0 * m_size.height()), 1.0 * m_size.height())
                : std::clamp(origin->y, 0.0, std::max(0.0, m_size.height() - h));
        m_painter.save();
        m_painter.translate(left, top);
        if (vertical) m_painter.rotate(-90);
        m_painter.setPen(QPen(Qt::black));
        m_painter.drawText(QPointF(0, metrics.ascent() * h / metrics.height()), s);
        m_painter.restore();
    }

  private:
    void charge(preview::Work kind, std::uint64_t count = 1) {
        if (m_budget != nullptr && !m_budget->charge(kind, count)) throw FigureFault{kBudgetSpent};
    }
    // An outline of `length` pixels: one item, and one segment per dash of a broken pen.
    void stroke(double length) {
        charge(preview::Work::FigureItem);
        const double dashes = m_dashPeriod > 0 ? std::ceil(length / m_dashPeriod) : 1;
        charge(preview::Work::PathSegment, static_cast<std::uint64_t>(std::max(1.0, dashes)));
    }

    QPointF pixel(const FigPoint& p) const {
        const DevicePoint mm = FigurePaperMm(p, m_dx, m_dy, m_paperH);
        const QPointF px(mm.x * m_dotsPerMm, mm.y * m_dotsPerMm);
        if (!(std::fabs(px.x()) <= kFarthestPixel && std::fabs(px.y()) <= kFarthestPixel))
            throw FigureFault{QStringLiteral("a coordinate is out of range")};
        return px;
    }

    preview::WorkBudget* m_budget;
    QPainter m_painter;
    QSize m_size;
    double m_dotsPerMm;
    double m_paperH;
    double m_dx = 0, m_dy = 0;
    std::vector<LineStyleDef> m_lineStyles;
    std::vector<TextStyleDef> m_textStyles;
    std::int32_t m_penRow = 0;
    std::int32_t m_fontRow = 0;
    double m_textHeight = 1;
    double m_dashPeriod = 0;  // pixels of one dash pattern; 0 for a solid pen
};

QString Describe(const QString& file, const FigureReadResult& r) {
    return QStringLiteral("%1, line %2: %3")
        .arg(file)
        .arg(r.line)
        .arg(QString::fromStdString(r.reason));
}

}  // namespace

FigureBitmap DrawFigureBitmap(const QString& listPath, const QString& definitionFolder,
                              const FigureAllowance& allowance) {
    FigureBitmap out;
    FigureList list;
    if (const auto r = ReadFigureListFile(listPath.toStdString(), list, kFigureListEntries);
        !r.ok()) {
        out.fault = Describe(listPath, r);
        return out;
    }
    if (!(list.PaperW > 0 && list.PaperW <= kLargestPaperMm && list.PaperH > 0 &&
          list.PaperH <= kLargestPaperMm)) {
        out.fault = QStringLiteral("%1: the paper size is outside 0 to 1000 mm").arg(listPath);
        return out;
    }
    const double pixels =
        static_cast<double>(std::min(allowance.maxPixels, FigureAllowance::kLargestPicture));
    const double dpi =
        std::min(kDotsPerInch, std::sqrt(pixels / (list.PaperW * list.PaperH)) * 25.4);
    const double dotsPerMm = dpi / 25.4;
    const int width = std::max(1, ToInt32HalfEven(list.PaperW * dotsPerMm).value_or(1));
    const int height = std::max(1, ToInt32HalfEven(list.PaperH * dotsPerMm).value_or(1));
    // The picture is held and encoded for the document: four bytes a pixel.
    if (allowance.budget != nullptr &&
        !allowance.budget->charge(preview::Work::PictureByte, 4ull * width * height)) {
        out.fault = kBudgetSpent;
        return out;
    }
    out.image = QImage(width, height, QImage::Format_RGB32);
    if (out.image.isNull()) {
        out.fault = QStringLiteral("no memory for the figure");
        return out;
    }
    out.image.fill(Qt::white);
    out.image.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMm * 1000)));
    out.image.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMm * 1000)));
    out.points = QSizeF(list.PaperW / 25.4 * 72, list.PaperH / 25.4 * 72);

    const QString folder = definitionFolder.isEmpty() ? QStringLiteral(".") : definitionFolder;
    std::vector<LineStyleDef> lineStyles;
    std::vector<TextStyleDef> textStyles;
    const QString linePath = folder + "/" + kLineStyleDefFileName;
    const QString textPath = folder + "/" + kTextStyleDefFileName;
    if (const auto r = LoadLineStyleDefs(linePath.toStdString(), lineStyles, kFigureStyleRows);
        !r.ok()) {
        out.fault = Describe(linePath, r);
        return out;
    }
    if (const auto r = LoadTextStyleDefs(textPath.toStdString(), textStyles, kFigureStyleRows);
        !r.ok()) {
        out.fault = Describe(textPath, r);
        return out;
    }

    PictureCanvas canvas(out.image, dotsPerMm, list.PaperH, std::move(lineStyles),
                         std::move(textStyles), allowance.budget);
    for (const FigureListEntry& entry : list.entries) {
        FigureData data;
        const auto read = ReadFigureDataFile(entry.FileName, data);
        // What was read before a fault is drawn; the fault then ends the figure.
        const QString drawn = canvas.draw(data.buffer, entry.OffsetX, entry.OffsetY);
        const QString file = QString::fromStdString(entry.FileName);
        if (!drawn.isEmpty()) {
            out.fault = file + ": " + drawn;
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
