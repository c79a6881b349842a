#include "preview/FigureRenderer.h"

#include <cmath>
#include <numbers>

#include "preview/PreviewSettings.h"

namespace preview {

namespace {

// Arrow heads: wing length and half-width, mm.
constexpr double kArrowLength = 1.5;
constexpr double kArrowHalfWidth = 0.5;
// Style rows the preview reads from each definition file.
constexpr int kStyleRows = static_cast<int>(kPreviewStyleRows);
constexpr int kArcSegments = 100;

// Puts the control's text font and angle back however the drawing ends.
class FontGuard {
  public:
    explicit FontGuard(PreviewControl& control) : m_control(control), m_font(control.font()) {}
    ~FontGuard() {
        m_control.setFont(m_font);
        m_control.setTextAngle(0);
    }
    FontGuard(const FontGuard&) = delete;
    FontGuard& operator=(const FontGuard&) = delete;

  private:
    PreviewControl& m_control;
    FontSpec m_font;
};

QString describe(const FigureReadResult& result, const std::string& path) {
    return QString::fromStdString(path + ": " + result.reason);
}

}  // namespace

FigureRenderer::FigureRenderer(PreviewControl& control, QString programFolder, LoadCache& files)
    : m_control(control), m_programFolder(std::move(programFolder)), m_files(files) {}

int FigureRenderer::FigToPageX(double x) const {
    return MmToTwips(m_x0 + m_dx + x);
}

int FigureRenderer::FigToPageY(double y) const {
    return MmToTwips(m_y0 + m_paperH - (y + m_dy));
}

FigureDrawResult FigureRenderer::DrawFigure(double x0, double y0, const QString& listPath) {
    m_failure.clear();
    if (m_control.capacityExceeded()) return {};  // the page model takes no more
    const FontGuard guard(m_control);
    m_x0 = x0;
    m_y0 = y0;
    FigureList list;
    const std::string listFile = listPath.toStdString();
    const FigureReadResult listRead = m_files.ReadFigureListFile(listFile, list, 20);
    if (!listRead.ok()) {
        m_failure = describe(listRead, listFile);
        return {};
    }
    m_paperH = list.PaperH;
    const FigureDrawResult result{true, list.PaperH};

    const std::string folder = m_programFolder.toStdString() + "/";
    const std::string lineDefs = folder + kLineStyleDefFileName;
    const std::string textDefs = folder + kTextStyleDefFileName;
    for (const auto& [path, isLines] : {std::pair{lineDefs, true}, std::pair{textDefs, false}}) {
        const FigureReadResult read =
            isLines ? m_files.LoadLineStyleDefs(path, m_lineStyles, kPreviewStyleRows)
                    : m_files.LoadTextStyleDefs(path, m_textStyles, kPreviewStyleRows);
        if (!read.ok()) {
            m_failure = describe(read, path);
            return result;
        }
    }

    m_currentPen = 0;
    m_currentFont = 0;
    if (!SelectFigPen(1) || !SelectFigFont(1)) return result;
    m_currentDirection = 3;
    m_control.setTextAngle(0);

    for (const FigureListEntry& entry : list.entries) {
        m_dx = entry.OffsetX;
        m_dy = entry.OffsetY;
        FigureData data;
        const FigureReadResult dataRead = m_files.ReadFigureDataFile(entry.FileName, data);
        const bool drawn = drawData(data);
        if (!dataRead.ok()) {
            m_failure = describe(dataRead, entry.FileName);
            break;
        }
        if (!drawn) break;
    }
    return result;
}

bool FigureRenderer::SelectFigPen(int row) {
    if (row == m_currentPen) return true;
    if (row < 1 || row > kStyleRows) {
        m_failure = QStringLiteral("line style %1 outside 1..%2").arg(row).arg(kStyleRows);
        return false;
    }
    m_currentPen = row;
    const LineStyleDef style = static_cast<std::size_t>(row) <= m_lineStyles.size()
                                   ? m_lineStyles[static_cast<std::size_t>(row - 1)]
                                   : LineStyleDef{};
    const int width = style.WidthCode == 2   ? MmToTwips(0.2)
                      : style.WidthCode == 3 ? MmToTwips(0.3)
                                             : 0;
    if (style.PatternCode == 2 || style.PatternCode == 3) {
        // A broken line is always drawn with the thinnest pen.
        m_control.setPenWidth(0);
        m_control.setPenStyle(style.PatternCode);
    } else {
        m_control.setPenWidth(width);
        m_control.setPenStyle(0);
    }
    return true;
}

bool FigureRenderer::SelectFigFont(int row) {
    if (row == m_currentFont) return true;
    if (row < 1 || row > kStyleRows) {
        m_failure = QStringLiteral("text style %1 outside 1..%2").arg(row).arg(kStyleRows);
        return false;
    }
    m_currentFont = row;
    const TextStyleDef style = static_cast<std::size_t>(row) <= m_textStyles.size()
                                   ? m_textStyles[static_cast<std::size_t>(row - 1)]
                                   : TextStyleDef{};
    FontSpec font;
    font.name = QString::fromStdString(style.FontName);
    font.size = style.Size / 20.0;
    font.bold = style.Bold == 1;
    font.italic = style.Italic == 1;
    font.underline = style.Underline == 1;
    m_control.setFont(font);
    return true;
}

void FigureRenderer::line(const FigPoint& a, const FigPoint& b) {
    m_control.drawLine(FigToPageX(a.x), FigToPageY(a.y), FigToPageX(b.x), FigToPageY(b.y));
}

bool FigureRenderer::drawData(const FigureData& data) {
    const FigureBuffer& f = data.buffer;
    // Point numbers are 1-based; the reader keeps only records whose points it read.
    const auto point = [&f](std::int32_t n) -> const FigPoint* {
        if (n < 1 || static_cast<std::size_t>(n) > f.points.size()) return nullptr;
        return &f.points[static_cast<std::size_t>(n - 1)];
    };
    for (const FigRect& r : f.rects) {
        const FigPoint* p = point(r.from);
        const FigPoint* q = point(r.to);
        if (!p || !q || !SelectFigPen(r.style)) return false;
        const int x1 = FigToPageX(p->x), y1 = FigToPageY(p->y);
        const int x2 = FigToPageX(q->x), y2 = FigToPageY(q->y);
        m_control.drawLine(x1, y1, x1, y2);
        m_control.drawLine(x1, y2, x2, y2);
        m_control.drawLine(x2, y2, x2, y1);
        m_control.drawLine(x2, y1, x1, y1);
    }
    for (const FigLine& l : f.lines) {
        const FigPoint* a = point(l.from);
        const FigPoint* b = point(l.to);
        if (!a || !b || !SelectFigPen(l.style)) return false;
        line(*a, *b);
    }
    if (!f.circles.empty()) m_control.setFillStyle(1);
    for (const FigCircle& c : f.circles) {
        const FigPoint* centre = point(c.centre);
        if (!centre || !SelectFigPen(c.style)) return false;
        m_control.drawEllipse(FigToPageX(centre->x - c.radius), FigToPageY(centre->y + c.radius),
                              FigToPageX(centre->x + c.radius), FigToPageY(centre->y - c.radius));
    }
    for (const FigArc& a : f.arcs) {
        if (!SelectFigPen(a.style)) return false;
        const double sweep = std::abs(a.end - a.start);
        FigPoint from{a.cx + a.radius * std::cos(a.start), a.cy + a.radius * std::sin(a.start)};
        for (int i = 1; i <= kArcSegments; ++i) {
            const double angle = a.start + sweep / kArcSegments * i;
            const FigPoint to{a.cx + a.radius * std::cos(angle), a.cy + a.radius * std::sin(angle)};
            line(from, to);
            from = to;
        }
    }
    for (const FigArrow& a : f.arrows) {
        const FigPoint* tip = point(a.point);
        if (!tip || !SelectFigPen(a.style)) return false;
        const double x = tip->x, y = tip->y, L = kArrowLength, W = kArrowHalfWidth;
        FigPoint wing1, wing2;
        switch (a.direction) {
            case 1:
                wing1 = {x - W, y - L};
                wing2 = {x + W, y - L};
                break;
            case 3:
                wing1 = {x - L, y - W};
                wing2 = {x - L, y + W};
                break;
            case 5:
                wing1 = {x - W, y + L};
                wing2 = {x + W, y + L};
                break;
            case 7:
                wing1 = {x + L, y - W};
                wing2 = {x + L, y + W};
                break;
            default:
                continue;
        }
        line(*tip, wing1);
        line(*tip, wing2);
    }
    return drawTexts(f);
}

bool FigureRenderer::drawTexts(const FigureBuffer& f) {
    for (const FigText& t : f.texts) {
        if (!SelectFigFont(t.style)) return false;
        if (t.direction != m_currentDirection) {
            m_currentDirection = t.direction;
            m_control.setTextAngle(t.direction == 1 ? 900 : 0);
        }
        const QString text = QString::fromStdString(t.text);
        const int h = m_control.measureText(text).height;
        int x = 0, y = 0;
        if (t.direction == 1) {
            x = FigToPageX(t.x) - h;
            y = FigToPageY(t.y);
        } else if (t.direction == 3) {
            x = FigToPageX(t.x);
            y = FigToPageY(t.y) - h;
        } else {
            continue;
        }
        m_control.setCurrentX(x);
        m_control.setCurrentY(y);
        m_control.printText(text);
    }
    return true;
}

}  // namespace preview
