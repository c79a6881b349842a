#include "preview/FigureRenderer.h"

#include "preview/PreviewSettings.h"

namespace preview {

namespace {

// Style rows the preview reads from each definition file.
constexpr int kStyleRows = static_cast<int>(kFigureStyleRows);

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
    return MmToTwips(m_x0 + FigurePaperMm({x, 0}, m_dx, m_dy, m_paperH).x);
}

int FigureRenderer::FigToPageY(double y) const {
    return MmToTwips(m_y0 + FigurePaperMm({0, y}, m_dx, m_dy, m_paperH).y);
}

FigureDrawResult FigureRenderer::DrawFigure(double x0, double y0, const QString& listPath) {
    m_failure.clear();
    if (m_control.capacityExceeded()) return {};  // the page model takes no more
    const FontGuard guard(m_control);
    m_x0 = x0;
    m_y0 = y0;
    FigureList list;
    const std::string listFile = listPath.toStdString();
    const FigureReadResult listRead =
        m_files.ReadFigureListFile(listFile, list, kFigureListEntries);
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
    const FigurePen pen = FigurePenOf(m_lineStyles, row);
    m_control.setPenWidth(pen.widthMm > 0 ? MmToTwips(pen.widthMm) : 0);
    m_control.setPenStyle(pen.pattern);
    return true;
}

bool FigureRenderer::SelectFigFont(int row) {
    if (row == m_currentFont) return true;
    if (row < 1 || row > kStyleRows) {
        m_failure = QStringLiteral("text style %1 outside 1..%2").arg(row).arg(kStyleRows);
        return false;
    }
    m_currentFont = row;
    const FigureFont style = FigureFontOf(m_textStyles, row);
    FontSpec font;
    font.name = QString::fromStdString(style.face);
    font.size = style.points;
    font.bold = style.bold;
    font.italic = style.italic;
    font.underline = style.underline;
    m_control.setFont(font);
    return true;
}

void FigureRenderer::line(const FigPoint& a, const FigPoint& b) {
    m_control.drawLine(FigToPageX(a.x), FigToPageY(a.y), FigToPageX(b.x), FigToPageY(b.y));
}

void FigureRenderer::rectangle(const FigPoint& p, const FigPoint& q) {
    const int x1 = FigToPageX(p.x), y1 = FigToPageY(p.y);
    const int x2 = FigToPageX(q.x), y2 = FigToPageY(q.y);
    m_control.drawLine(x1, y1, x1, y2);
    m_control.drawLine(x1, y2, x2, y2);
    m_control.drawLine(x2, y2, x2, y1);
    m_control.drawLine(x2, y1, x1, y1);
}

void FigureRenderer::ellipse(const FigPoint& c, double r) {
    if (!m_fillSet) m_control.setFillStyle(1);
    m_fillSet = true;
    m_control.drawEllipse(FigToPageX(c.x - r), FigToPageY(c.y + r), FigToPageX(c.x + r),
                          FigToPageY(c.y - r));
}

void FigureRenderer::text(const FigText& t) {
    if (t.direction != m_currentDirection) {
        m_currentDirection = t.direction;
        m_control.setTextAngle(t.direction == 1 ? 900 : 0);
    }
    const QString text = QString::fromStdString(t.text);
    // Every character of a text is as high as its font: one is measured.
    const int h = m_control.measureText(text.left(1)).height;
    const auto origin = TextOrigin(FigToPageX(t.x), FigToPageY(t.y), h, t.direction);
    if (!origin) return;
    m_control.setCurrentX(static_cast<int>(origin->x));
    m_control.setCurrentY(static_cast<int>(origin->y));
    m_control.printText(text);
}

bool FigureRenderer::drawData(const FigureData& data) {
    m_fillSet = false;
    // Drawn as often as a print file names it: each drawing is charged.
    const FigureBuffer& b = data.buffer;
    std::size_t units = 0;
    for (const FigText& t : b.texts) units += t.text.size();
    WorkBudget& budget = m_files.budget();
    if (!budget.charge(Work::FigureItem, b.lines.size() + b.rects.size() + b.circles.size() +
                                             b.arcs.size() + b.arrows.size()) ||
        !budget.charge(Work::FigureText, b.texts.size()) || !budget.charge(Work::Glyph, units)) {
        budget.exhaust();
        m_failure = QStringLiteral("the work budget of the load is spent");
        return false;
    }
    const std::string fault = DrawFigureBuffer(data.buffer, *this);
    if (!fault.empty() && m_failure.isEmpty()) m_failure = QString::fromStdString(fault);
    return fault.empty();
}

}  // namespace preview
