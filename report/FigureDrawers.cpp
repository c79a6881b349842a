#include "report/FigureDrawers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "formats/FigureFiles.h"
#include "formats/FigureGeometry.h"
#include "foundation/NumberFormat.h"
#include "foundation/NumberRoutines.h"
#include "foundation/Numeric.h"

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
// Texts side by side keep this much room, and so do a text and a line beside it; texts above
// and below one line may share its edge, and a text may stand on a line or hang from it (closer
// than kShared counts as the same edge: the file keeps six decimals).
constexpr double kTextClearance = 0.3;
constexpr double kShared = 1e-4;
// The ink of a number in the figures' face (IPA Mincho, 2048 units to the em, drawn with its
// ascent 1802 and descent 455 below the anchor's text top): digits reach from 74 units above
// the baseline ('.' from 2 below) to 1586 above, so from 0.221 em over the text box's bottom to
// the box's top. Between that ink and a line's edge (half the pen width off its centre; the
// thinnest pen counted as kThinPen) stays kInkClearance of white.
constexpr double kInkBottom = 0.221;
constexpr double kInkClearance = 0.15;
constexpr double kThinPen = 0.1;

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
// two files it ends with. Lines come first; a text is only ever added where it meets no text
// added before it and no line passes through it or close beside it.
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
    TextBox box(const std::string& s, const Anchor& a) const {
        const double x = finite(a.x, "text x"), y = finite(a.y, "text y");
        return {x, y, x + width(s), y + m_textHeight};
    }
    bool clearOfTexts(const TextBox& b) const {
        return std::none_of(m_boxes.begin(), m_boxes.end(),
                            [&b](const TextBox& placed) { return b.meets(placed); });
    }
    // No line passes through the box or within kTextClearance beside it, and none comes
    // closer to the glyphs' ink than kInkClearance from its edge.
    bool clearOfLines(const TextBox& b) const {
        const double side = kTextClearance - kShared;
        const double inkBottom = b.y0 + kInkBottom * m_textHeight;
        const std::vector<FigPoint>& p = m_buffer.points;
        return std::none_of(m_buffer.lines.begin(), m_buffer.lines.end(), [&](const FigLine& l) {
            const FigPoint& from = p[static_cast<std::size_t>(l.from - 1)];
            const FigPoint& to = p[static_cast<std::size_t>(l.to - 1)];
            const double pen = FigurePenOf(m_lineStyles, l.style).widthMm;
            const double ink = kInkClearance + std::max(pen, kThinPen) / 2;
            return SegmentCrossesBox(from, to, b.x0 - side, b.y0 + kShared, b.x1 + side,
                                     b.y1 - kShared) ||
                   SegmentCrossesBox(from, to, b.x0 - ink, inkBottom - ink, b.x1 + ink, b.y1 + ink);
        });
    }
    void add(const std::string& s, const TextBox& b) {
        m_buffer.addText(s, kTextStyle, 3, b.x0, b.y0);
        m_boxes.push_back(b);
    }
    // Adds the text at the first anchor where it is clear; false when none is (the text is
    // left out).
    bool place(const std::string& s, const std::vector<Anchor>& anchors) {
        for (const Anchor& a : anchors) {
            const TextBox b = box(s, a);
            if (!clearOfTexts(b) || !clearOfLines(b)) continue;
            add(s, b);
            return true;
        }
        return false;
    }
    // As place, but a text that no anchor holds goes under its first anchor into the first
    // row below the lowest point of the figure that meets no text: it is never left out.
    void placeAlways(const std::string& s, const std::vector<Anchor>& anchors) {
        if (place(s, anchors)) return;
        double low = 0;
        for (const FigPoint& p : m_buffer.points) low = std::min(low, p.y);
        TextBox b{};
        for (std::size_t row = 1; row <= 2 * m_boxes.size() + 1; ++row) {
            b = box(s,
                    {anchors.front().x, low - row * m_textHeight - kInkClearance - kTextClearance});
            if (clearOfTexts(b)) break;
        }
        add(s, b);
    }

    // A level line from the outer end (x = +-PaperW / 2) to the wall line at height y.
    void levelLine(bool right, double y, std::int32_t style) {
        line(right ? m_paperW / 2 : -m_paperW / 2, y, 0, y, style);
    }
    // Where the elevation text of a level line may stand: at the line's outer end (ending
    // there, less the gap, on the right; starting there on the left), above the line, else
    // below it.
    std::vector<Anchor> levelAnchors(bool right, double y, const std::string& label,
                                     double gap) const {
        const double x = right ? m_paperW / 2 - width(label) - gap : -m_paperW / 2;
        return {{x, y}, {x, y - m_textHeight}};
    }
    static std::string elevation(double value) {
        return FormatNumber(finite(value, "elevation"), kElevationPattern);
    }
    // The elevation text of a level line where it is clear, else left out (it repeats a
    // level already shown, or the report's tables give it).
    void levelText(bool right, double y, double value, double gap) {
        const std::string label = elevation(value);
        place(label, levelAnchors(right, y, label, gap));
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

// A text and where it may stand; an empty text holds the place of one shown already.
struct Label {
    std::string text;
    std::vector<Anchor> anchors;
};

// Places a regular subset of a row of labels: every stride-th counted from label `origin`,
// with the smallest stride of 1, 2, 5, 10, 20, 50, ... at which each label of the subset finds
// a place clear of the texts. A label with no anchor clear of the lines is left out at any
// stride: the lines stay as they are.
void PlaceThinned(FigureFrame& f, const std::vector<Label>& labels, std::size_t origin) {
    std::vector<std::vector<TextBox>> spots(labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (labels[i].text.empty()) continue;
        for (const Anchor& a : labels[i].anchors) {
            const TextBox b = f.box(labels[i].text, a);
            if (f.clearOfLines(b)) spots[i].push_back(b);
        }
    }
    for (std::size_t base = 1;; base *= 10) {
        for (const std::size_t stride : {base, 2 * base, 5 * base}) {
            std::vector<std::pair<std::size_t, TextBox>> chosen;
            bool fits = true;
            for (std::size_t j = origin % stride; j < labels.size() && fits; j += stride) {
                const auto clear = std::find_if(spots[j].begin(), spots[j].end(), [&](auto& b) {
                    return f.clearOfTexts(b) &&
                           std::none_of(chosen.begin(), chosen.end(),
                                        [&b](const auto& c) { return b.meets(c.second); });
                });
                if (clear != spots[j].end()) chosen.emplace_back(j, *clear);
                fits = spots[j].empty() || clear != spots[j].end();
            }
            if (fits || stride >= labels.size()) {
                for (const auto& [j, b] : chosen) f.add(labels[j].text, b);
                return;
            }
        }
    }
}

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

// Labels a regular subset of the axis ticks, counted from the tick at 0 (PlaceThinned). A
// step rounded to 0 puts all ticks on one place: it gets the one label "0".
void LabelAxis(FigureFrame& f, int k, double s0, double d, double sx) {
    const auto label = [&f, sx](double value, std::string text) {
        const Anchor at{-value * sx - f.width(text) / 2, kAxisOffset + kTickLength};
        return Label{std::move(text), {at}};
    };
    if (!(d > 0)) {
        PlaceThinned(f, {label(0, "0")}, 0);
        return;
    }
    const int zero = static_cast<int>(std::clamp(std::round(-s0 / d), 0.0, double(k)));
    std::vector<Label> labels;
    for (int j = 0; j <= k; ++j) {
        const double t = j == zero ? 0.0 : s0 + j * d;
        labels.push_back(label(t, AxisLabel(t, d)));
    }
    PlaceThinned(f, labels, static_cast<std::size_t>(zero));
}

// One side of the load figure: its pressure lines B-C and, in layer order, each layer's top
// pressure (hanging from the layer's top edge at B) and bottom pressure (standing on its level
// line at C).
struct LoadSide {
    struct Pressure {
        std::string text;
        double y;
        bool top;
    };
    double dir;  // land to the right (+1), sea to the left (-1)
    int count;
    std::vector<std::array<FigPoint, 2>> pressureLines;
    std::vector<Pressure> pressures;
    std::vector<double> levels;  // y of each layer's bottom level line
    std::size_t largest = 0;     // index into pressures

    // How far the pressure lines reach from the wall (dir * x, at least 0) between heights y0
    // and y1, lines that end on either height included.
    double reach(double y0, double y1) const {
        double far = 0;
        for (const auto& [p, q] : pressureLines) {
            if (std::max(p.y, q.y) < y0 || std::min(p.y, q.y) > y1) continue;
            if (p.y == q.y) {
                far = std::max({far, dir * p.x, dir * q.x});
                continue;
            }
            for (const double y : {std::clamp(p.y, y0, y1), std::clamp(q.y, y0, y1)})
                far = std::max(far, dir * (p.x + (q.x - p.x) * (y - p.y) / (q.y - p.y)));
        }
        return far;
    }
};

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
    const double yDesign = -(top - r.ResultDesignLevel) * sy;
    const double yTie = -(top - r.ResultTieLevel) * sy;
    f.levelLine(true, 0, kMainLine);
    f.levelLine(false, yDesign, kMainLine);
    f.levelLine(true, yTie, kTieLine);

    std::int32_t previous = f.point(-v[0] * sx, 0);
    for (std::size_t i = 1; i < v.size(); ++i) {
        const std::int32_t p = f.point(-v[i] * sx, -(top - e[i]) * sy);
        f.buffer().addLine(previous, p, kDrawingLine);
        previous = p;
    }

    f.levelLine(false, -depth * sy, kDrawingLine);

    LabelAxis(f, k, s0, d, sx);
    f.levelText(true, 0, top, kTextGap);
    f.levelText(false, yDesign, r.ResultDesignLevel, 0);
    f.levelText(true, yTie, r.ResultTieLevel, kTextGap);
    f.levelText(false, -depth * sy, r.ComputedTipLevel, 0);
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
    const double yDesign = -(landTop - seaTop) * sy;

    f.point(0, 0);
    f.point(0, -depth * sy);
    f.buffer().addLine(1, 2, kMainLine);
    f.levelLine(true, 0, kMainLine);
    f.levelLine(false, yDesign, kMainLine);

    std::array<LoadSide, 2> sides{LoadSide{1.0, landCount, {}, {}, {}},
                                  LoadSide{-1.0, seaCount, {}, {}, {}}};
    for (int s = 1; s <= 2; ++s) {
        LoadSide& side = sides[static_cast<std::size_t>(s - 1)];
        double best = 0;
        for (int i = 1; i <= side.count; ++i) {
            const LayerRow& L = layer(s, i);
            const double t = (landTop - L(1)) * sy;
            const double pt = finite(L(4), "pressure"), pb = finite(L(5), "pressure");
            const double xB = side.dir * pt * sx, yB = -t;
            const double xC = side.dir * pb * sx, yC = -t - L(3) * sy;
            const std::int32_t a = f.point(0, -t);
            const std::int32_t b = f.point(xB, yB);
            const std::int32_t c = f.point(xC, yC);
            const std::int32_t dPt = f.point(0, yC);
            const std::int32_t ePt = f.point(side.dir * halfW, yC);
            f.buffer().addLine(a, b, kDrawingLine);
            f.buffer().addLine(b, c, kDrawingLine);
            f.buffer().addLine(dPt, ePt, kDrawingLine);
            side.pressureLines.push_back({FigPoint{xB, yB}, FigPoint{xC, yC}});
            for (const bool top : {true, false}) {
                const double p = top ? pt : pb;
                if (side.pressures.empty() || p >= best) {
                    side.largest = side.pressures.size();
                    best = p;
                }
                side.pressures.push_back({FormatNumber(p, kPressurePattern), top ? yB : yC, top});
            }
            side.levels.push_back(yC);
        }
    }

    // A pressure value stands beside its boundary beyond the pressure lines of its side, at
    // least kTextClearance off them and off the wall line: below the top edge (a top pressure)
    // or above the level line (a bottom pressure), else on the other side of that line; else
    // likewise at the wall end.
    const auto pressureLabel = [&](const LoadSide& side, const LoadSide::Pressure& p) {
        const double w = f.width(p.text);
        const double ys[] = {p.top ? p.y - h : p.y, p.top ? p.y : p.y - h};
        Label label{p.text, {}};
        for (const bool atWall : {false, true}) {
            for (const double y : ys) {
                const double reach = atWall ? 0 : side.reach(y, y + h);
                const double inner = reach + kTextClearance;
                label.anchors.push_back({side.dir > 0 ? inner : -inner - w, y});
            }
        }
        return label;
    };
    const auto levelLabel = [&](const LoadSide& side, std::size_t i) {
        const bool land = side.dir > 0;
        const std::string text = FigureFrame::elevation(layer(land ? 1 : 2, int(i) + 1)(2));
        return Label{text, f.levelAnchors(land, side.levels[i], text, land ? kTextGap : 0)};
    };

    // The extremes first, never left out: the top of the wall, each side's bottom elevation
    // and its largest pressure (the deepest where several are equal).
    const std::string topText = FigureFrame::elevation(landTop);
    f.placeAlways(topText, f.levelAnchors(true, 0, topText, 0));
    for (const LoadSide& side : sides) {
        if (side.count == 0) continue;
        const Label bottom = levelLabel(side, side.levels.size() - 1);
        f.placeAlways(bottom.text, bottom.anchors);
        const Label largest = pressureLabel(side, side.pressures[side.largest]);
        f.placeAlways(largest.text, largest.anchors);
    }
    f.levelText(false, yDesign, seaTop, 0);
    // Then the other levels and pressures where they are clear, thinned to a regular subset
    // counted from the extreme where the layers are too thin for all: the load tables of the
    // report give every value.
    for (const LoadSide& side : sides) {
        std::vector<Label> labels;
        for (std::size_t i = 0; i + 1 < side.levels.size(); ++i)
            labels.push_back(levelLabel(side, i));
        labels.emplace_back();
        PlaceThinned(f, labels, labels.size() - 1);
    }
    for (const LoadSide& side : sides) {
        std::vector<Label> labels;
        for (std::size_t i = 0; i < side.pressures.size(); ++i)
            labels.push_back(i == side.largest ? Label{} : pressureLabel(side, side.pressures[i]));
        PlaceThinned(f, labels, side.largest);
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
