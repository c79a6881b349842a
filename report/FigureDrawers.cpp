#include "report/FigureDrawers.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/NumberFormat.h"
#include "foundation/NumberRoutines.h"
#include "foundation/Numeric.h"
#include "formats/FigureFiles.h"

namespace {

constexpr const char* kMethodTitle = "ぬらけ曲線法";
constexpr const char* kFigureTitle = "荷重分布図";
constexpr const char* kElevationPattern = "+##0.000;-##0.000";
constexpr const char* kPressurePattern = "###0.000";

// Layout values shared by the three figures (mm).
constexpr double kTopMargin = 10.0;  // room above the drawing for the value axis
constexpr double kAxisOffset = 5.0;  // height of the value axis above the top of the wall
constexpr double kTickLength = 2.0;
constexpr double kTextGap = 1.0;  // between a right-hand level line's end and its text
// Texts side by side keep this much room; texts above and below one line may share its edge
// (closer than kShared counts as the same edge: the file keeps six decimals).
constexpr double kTextClearance = 0.3;
constexpr double kShared = 1e-4;

// Line styles and the one text style of the figures.
constexpr std::int32_t kDrawingLine = 1;
constexpr std::int32_t kMainLine = 3;
constexpr std::int32_t kTieLine = 4;
constexpr std::int32_t kTextStyle = 2;

double checkedDivide(double a, double b, const char* what) {
    if (b == 0.0) throw ReportError(std::string("figure: division by zero (") + what + ")");
    const double q = a / b;
    if (!std::isfinite(q))
        throw ReportError(std::string("figure: value out of range (") + what + ")");
    return q;
}

double finite(double v, const char* what) {
    if (!std::isfinite(v))
        throw ReportError(std::string("figure: value not finite (") + what + ")");
    return v;
}

// A text's box in figure mm: anchored at its bottom-left corner, MeasureTextWidth wide and the
// style's size high.
struct TextBox {
    double x0, y0, x1, y1;
    bool meets(const TextBox& o) const {
        return y0 < o.y1 - kShared && o.y0 < y1 - kShared && x0 < o.x1 + kTextClearance &&
               o.x0 < x1 + kTextClearance;
    }
};

struct Anchor {
    double x, y;
};

// The frame of a figure drawer: its buffer, the drawing definitions, texts in style 2 and the
// two files it ends with. A text is only ever added where it meets no text added before it.
class FigureFrame {
  public:
    FigureFrame(PrintSession& session, double paperW, double paperH)
        : m_session(session), m_paperW(paperW), m_paperH(paperH) {
        const FigureReadResult lines =
            LoadLineStyleDefs(session.files().LineStyleDefPath, m_lineStyles, kMainLineStyleRows);
        if (!lines.ok()) throw ReportError("LINE_PRN.DEF: " + lines.reason);
        const FigureReadResult texts =
            LoadTextStyleDefs(session.files().TextStyleDefPath, m_textStyles, kMainTextStyleRows);
        if (!texts.ok()) throw ReportError("STR_PRN.DEF: " + texts.reason);
        if (m_textStyles.size() < static_cast<std::size_t>(kTextStyle)) {
            throw ReportError("STR_PRN.DEF: text style 2 is missing");
        }
        m_textHeight = TwipsToMm(m_textStyles[kTextStyle - 1].Size);
        finite(paperW, "paper width");
        finite(paperH, "paper height");
    }

    double paperW() const { return m_paperW; }
    double paperH() const { return m_paperH; }
    double textHeight() const { return m_textHeight; }
    double width(const std::string& text) const {
        return MeasureTextWidth(m_textStyles, kTextStyle, text);
    }

    std::int32_t point(double x, double y) {
        return m_buffer.addPoint(finite(x, "x"), finite(y, "y"));
    }
    void line(double x1, double y1, double x2, double y2, std::int32_t style) {
        const std::int32_t a = point(x1, y1);
        const std::int32_t b = point(x2, y2);
        m_buffer.addLine(a, b, style);
    }
    TextBox box(const std::string& s, double x, double y) const {
        return {x, y, x + width(s), y + m_textHeight};
    }
    bool isClear(const TextBox& b) const {
        return std::none_of(m_boxes.begin(), m_boxes.end(),
                            [&b](const TextBox& placed) { return b.meets(placed); });
    }
    // Adds the text at the first anchor where it meets no placed text; false when none is
    // clear (the text is left out).
    bool place(const std::string& s, std::initializer_list<Anchor> anchors) {
        for (const Anchor& a : anchors) {
            const TextBox b = box(s, finite(a.x, "text x"), finite(a.y, "text y"));
            if (!isClear(b)) continue;
            m_buffer.addText(s, kTextStyle, 3, a.x, a.y);
            m_boxes.push_back(b);
            return true;
        }
        return false;
    }

    // A level line from the outer end (x = +-PaperW / 2) to the wall line at height y, with
    // the elevation text at its outer end (ending there on the right, starting there on the
    // left): above the line, below it where that meets a text, else left out (it repeats a
    // level already shown, or the report's tables give it).
    void levelLine(bool right, double y, double elevation, std::int32_t style, double gap) {
        line(right ? m_paperW / 2 : -m_paperW / 2, y, 0, y, style);
        levelText(right, y, elevation, gap);
    }
    void levelText(bool right, double y, double elevation, double gap) {
        const double outer = right ? m_paperW / 2 : -m_paperW / 2;
        const std::string label = FormatNumber(finite(elevation, "elevation"), kElevationPattern);
        const double x = right ? outer - width(label) - gap : outer;
        place(label, {{x, y}, {x, y - m_textHeight}});
    }

    FigureBuffer& buffer() { return m_buffer; }

    // Writes the data file and the list file; returns the list file's path.
    std::string finish() {
        std::vector<FigureListEntry> entries(1);
        entries[0].FileName = m_session.NewFigureFileName();
        WriteFigureDataFile(entries[0].FileName, kMethodTitle, kFigureTitle, m_buffer,
                            m_textStyles);
        const std::string listPath = m_session.NewFigureFileName();
        LayoutFigures(listPath, kMethodTitle, m_paperW, m_paperH, entries);
        return listPath;
    }

  private:
    PrintSession& m_session;
    double m_paperW, m_paperH;
    double m_textHeight = 0;
    std::vector<LineStyleDef> m_lineStyles;
    std::vector<TextStyleDef> m_textStyles;
    FigureBuffer m_buffer;
    std::vector<TextBox> m_boxes;
};

// Decimals an axis label needs for its step: none for steps of 1 or more, else as many as
// make the step a whole number of units (the step carries at most two decimals).
int AxisLabelDecimals(double step) {
    if (step >= 1.0 || step <= 0.0) return 0;
    for (int d = 1; d <= 2; ++d) {
        const double scaled = step * PowerOfTen(d);
        if (std::fabs(scaled - std::round(scaled)) < 1e-9) return d;
    }
    return 2;
}

std::string AxisLabel(double value, double step) {
    const int decimals = AxisLabelDecimals(step);
    std::string pattern = "#####0";
    if (decimals > 0) pattern += "." + std::string(static_cast<std::size_t>(decimals), '0');
    return FormatNumber(value, pattern);
}

// Labels a regular subset of the axis ticks: every stride-th tick counted from the tick at 0,
// with the smallest stride of 1, 2, 5, 10, 20, 50, ... whose labels keep clear of each other.
// A step rounded to 0 puts all ticks on one place: it gets the one label "0".
void LabelAxis(FigureFrame& f, int k, double s0, double d, double sx) {
    const auto anchor = [&f](const std::string& label, double value, double scale) {
        return Anchor{-value * scale - f.width(label) / 2, kAxisOffset + kTickLength};
    };
    if (!(d > 0)) {
        f.place("0", {anchor("0", 0, sx)});
        return;
    }
    const int zero = static_cast<int>(std::clamp(std::round(-s0 / d), 0.0, double(k)));
    for (long base = 1;; base *= 10) {
        for (const long stride : {base, 2 * base, 5 * base}) {
            std::vector<std::pair<std::string, Anchor>> labels;
            for (long j = zero % stride; j <= k; j += stride) {
                const double t = j == zero ? 0.0 : s0 + static_cast<double>(j) * d;
                std::string label = AxisLabel(t, d);
                labels.emplace_back(label, anchor(label, t, sx));
            }
            bool clear = true;
            for (std::size_t i = 0; i < labels.size() && clear; ++i) {
                const auto& [text, at] = labels[i];
                const TextBox b = f.box(text, at.x, at.y);
                clear = f.isClear(b);
                for (std::size_t o = i + 1; o < labels.size() && clear; ++o)
                    clear =
                        !b.meets(f.box(labels[o].first, labels[o].second.x, labels[o].second.y));
            }
            if (clear || stride > k) {
                for (const auto& [text, at] : labels) f.place(text, {at});
                return;
            }
        }
    }
}

// A curve over the depth: SectionTable column `column` times `factor`, horizontal scale
// (PaperW / widthDivisor - 5) / largest |value|.
std::string DrawCurveFigure(PrintSession& session, const AnalysisResult& r, double paperW,
                            double paperH, int column, double factor, double widthDivisor) {
    FigureFrame f(session, paperW, paperH);
    const int n = r.SectionRowCount;
    if (n < 1 || n > kMaxSectionRows) throw ReportError("figure: no section-force rows");
    std::vector<double> e(static_cast<std::size_t>(n)), v(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        e[static_cast<std::size_t>(i - 1)] = finite(r.SectionTable(i)(1), "elevation");
        v[static_cast<std::size_t>(i - 1)] = finite(r.SectionTable(i)(column) * factor, "value");
    }
    const double top = r.ResultTopLevel;
    const double depth = e.front() - e.back();
    const double vmax = std::max(0.0, *std::max_element(v.begin(), v.end()));
    const double vmin = std::min(0.0, *std::min_element(v.begin(), v.end()));
    const double largest = std::max(std::fabs(vmax), std::fabs(vmin));

    std::int16_t k = 0;
    double s0 = 0, d = 0;
    if (!CalcAxisScale(vmin, vmax, k, s0, d)) throw ReportError("figure: no value axis");
    const double sx = checkedDivide(paperW / widthDivisor - 5, largest, "largest value");
    const double sy = checkedDivide(paperH - kTopMargin - 5, depth, "depth");

    f.point(0, 0);
    f.point(0, -depth * sy);
    f.buffer().addLine(1, 2, kMainLine);

    f.line(-(s0 + k * d) * sx, kAxisOffset, -s0 * sx, kAxisOffset, kDrawingLine);
    for (int j = 0; j <= k; ++j) {
        const double x = -(s0 + j * d) * sx;
        f.line(x, kAxisOffset, x, kAxisOffset + kTickLength, kDrawingLine);
    }
    LabelAxis(f, k, s0, d, sx);

    f.levelLine(true, 0, top, kMainLine, kTextGap);
    f.levelLine(false, -(top - r.ResultDesignLevel) * sy, r.ResultDesignLevel, kMainLine, 0);
    f.levelLine(true, -(top - r.ResultTieLevel) * sy, r.ResultTieLevel, kTieLine, kTextGap);

    std::int32_t previous = f.point(-v[0] * sx, 0);
    for (std::size_t i = 1; i < v.size(); ++i) {
        const std::int32_t p = f.point(-v[i] * sx, -(top - e[i]) * sy);
        f.buffer().addLine(previous, p, kDrawingLine);
        previous = p;
    }

    f.levelLine(false, -depth * sy, r.ComputedTipLevel, kDrawingLine, 0);
    return f.finish();
}

}  // namespace

std::string DrawLoadDistributionFigure(PrintSession& session, const AnalysisResult& r,
                                       double paperW, double paperH) {
    FigureFrame f(session, paperW, paperH);
    const int landCount = r.LayerRowCounts(1);
    const int seaCount = r.LayerRowCounts(2);
    if (landCount < 0 || landCount > kMaxLayerRows || seaCount < 0 || seaCount > kMaxLayerRows) {
        throw ReportError("figure: layer count outside 0..99");
    }
    auto layer = [&](int side, int i) -> const LayerRow& { return r.LayerTable(side)(i); };
    // The top of the wall and the design level; without sea layers the design level of the
    // conditions stands in for the sea side's first top.
    const double landTop = landCount > 0 ? layer(1, 1)(1) : r.ResultTopLevel;
    const double seaTop = seaCount > 0 ? layer(2, 1)(1) : r.ResultDesignLevel;

    double landDepth = 0, seaDepth = landTop - seaTop, pmax = 0;
    for (int i = 1; i <= landCount; ++i) landDepth += layer(1, i)(3);
    for (int i = 1; i <= seaCount; ++i) seaDepth += layer(2, i)(3);
    for (int side = 1; side <= 2; ++side) {
        for (int i = 1; i <= r.LayerRowCounts(side); ++i) {
            pmax = std::max({pmax, layer(side, i)(4), layer(side, i)(5)});
        }
    }
    const double depth = finite(std::max(landDepth, seaDepth), "depth");
    if (depth <= 0) throw ReportError("figure: the wall has no depth");
    // Without positive pressure every pressure line lies on the wall line.
    if (!(pmax > 0)) pmax = 1;
    const double sx = checkedDivide(paperW / 2 - 30 - 5, finite(pmax, "pressure"), "pressure");
    const double sy = checkedDivide(paperH - 5, depth, "depth");
    const double h = f.textHeight();
    const double halfW = paperW / 2;

    f.point(0, 0);
    f.point(0, -depth * sy);
    f.buffer().addLine(1, 2, kMainLine);
    f.levelLine(true, 0, landTop, kMainLine, 0);
    f.levelLine(false, -(landTop - seaTop) * sy, seaTop, kMainLine, 0);

    for (int side = 1; side <= 2; ++side) {
        const double dir = side == 1 ? 1.0 : -1.0;  // land to the right, sea to the left
        for (int i = 1; i <= r.LayerRowCounts(side); ++i) {
            const LayerRow& L = layer(side, i);
            const double t = (landTop - L(1)) * sy;
            const double pt = L(4), pb = L(5);
            const double xB = dir * pt * sx, yB = -t;
            const double xC = dir * pb * sx, yC = -t - L(3) * sy;
            const std::int32_t a = f.point(0, -t);
            const std::int32_t b = f.point(xB, yB);
            const std::int32_t c = f.point(xC, yC);
            const std::int32_t dPt = f.point(0, yC);
            const std::int32_t ePt = f.point(dir * halfW, yC);
            f.buffer().addLine(a, b, kDrawingLine);
            f.buffer().addLine(b, c, kDrawingLine);
            f.buffer().addLine(dPt, ePt, kDrawingLine);
            // A boundary value stands at the pressure end of its line (the top edge A-B, the
            // level line D-E), else at the wall end, else it is left out: the load tables of
            // the report give every value.
            const std::string top = FormatNumber(finite(pt, "pressure"), kPressurePattern);
            const std::string bottom = FormatNumber(finite(pb, "pressure"), kPressurePattern);
            const auto along = [&](const std::string& s, double x) {
                return side == 1 ? x : x - f.width(s);
            };
            f.place(top, {{along(top, xB), yB - h}, {along(top, 0), yB - h}});
            f.place(bottom, {{along(bottom, xC), yC}, {along(bottom, 0), yC}});
            f.levelText(side == 1, yC, L(2), side == 1 ? kTextGap : 0);
        }
    }
    return f.finish();
}

std::string DrawMomentFigure(PrintSession& session, const AnalysisResult& result, double paperW,
                             double paperH) {
    return DrawCurveFigure(session, result, paperW, paperH, 4, 1.0, 3.0);
}

std::string DrawDeflectionFigure(PrintSession& session, const AnalysisResult& result, double paperW,
                                 double paperH) {
    return DrawCurveFigure(session, result, paperW, paperH, 2, 1000.0, 4.0);
}
