#include "report/Reports.h"

#include <cmath>
#include <exception>

#include "foundation/Cp932.h"
#include "foundation/Numeric.h"
#include "report/FigureDrawers.h"

namespace {

constexpr double kStressCheckFloor = 0.1;
constexpr double kConditionsFigureW = 150, kConditionsFigureH = 130;
constexpr double kResultFigureW = 100, kResultFigureH = 100;
constexpr const char* kConditionsFigureLine = "?FG;000;000;";
constexpr const char* kResultFigureLine = "          ?FG;000;000;";

double conditionNumber(const InputModel& model, int slot) {
    const auto v = model.CondData(slot).toNumber();
    if (!v) throw ReportError("condition " + std::to_string(slot) + " is not a number");
    return *v;
}

// One loaded section and the value arrays that live for the whole report.
class SectionPrinter {
  public:
    SectionPrinter(PrintSession& session, std::string_view section, NumberValues& n, TextValues& t)
        : numbers(n), texts(t), m_w(session.writer()) {
        LoadReportTemplate(session.files().FormatFilePath, section, m_t);
    }
    void literal(int n) { m_w.PrintLiteralLine(m_t.codes(n), m_t.texts(n)); }
    void literals(int first, int last) {
        for (int n = first; n <= last; ++n) literal(n);
    }
    void filled(int n) { m_w.PrintTemplateLine(m_t.codes(n), m_t.texts(n), numbers, texts); }
    void filled(int n, double value) {
        numbers(1) = value;
        filled(n);
    }
    void blank(int count) { m_w.PrintBlankLines(count); }

    // A figure line: prefix of code 0, the command and the list file's path.
    template <typename Draw>
    void figure(const char* command, Draw&& draw) {
        m_w.PrintLinePrefix(0);
        const std::string path = draw();
        m_w.WriteText(command);
        m_w.WriteText(cp932::fromUtf8(path));
        m_w.EndLine();
    }

    NumberValues& numbers;
    TextValues& texts;

  private:
    ReportWriter& m_w;
    ReportTemplate m_t;
};

// Runs a report body; a failure closes the file (keeping what was written) and returns false.
template <typename Body>
bool runReport(PrintSession& session, std::string* reason, Body&& body) {
    ReportWriter& w = session.writer();
    try {
        body(w);
        return true;
    } catch (const std::exception& e) {
        try {
            w.CloseReport();
        } catch (const std::exception&) {
        }
        if (reason) *reason = e.what();
        return false;
    }
}

// Rows that fit the rest of the page at `linesPerRow` lines each, rounded half to even.
int RowsThatFit(int lines, int linesPerRow) {
    const auto rows = ToInt32HalfEven(static_cast<double>(lines) / linesPerRow);
    return rows ? *rows : 0;
}

// The conditions both reports print for the embedment and stress check.
struct CheckConditions {
    double zUpper;
    double zLower;
    double factor;
    double allowable;
    bool stress;  // the stress check is printed
};

}  // namespace

bool StressCheckHolds(double zUpper, double zLower, double allowableStress) {
    return zUpper > kStressCheckFloor && zLower > kStressCheckFloor &&
           allowableStress > kStressCheckFloor;
}

namespace {

CheckConditions readCheckConditions(const InputModel& model) {
    const double zUpper = conditionNumber(model, CondZUpper);
    const double zLower = conditionNumber(model, CondZLower);
    const double allowable = conditionNumber(model, CondAllowableStress);
    return {zUpper, zLower, conditionNumber(model, CondSafetyFactor), allowable,
            StressCheckHolds(zUpper, zLower, allowable)};
}

}  // namespace

bool WriteConditionsReport(PrintSession& session, const InputModel& model, const AnalysisResult& r,
                           std::string* reason) {
    return runReport(session, reason, [&](ReportWriter& w) {
        w.LinesPerPage = kLinesPerPage;
        const auto [zUpper, zLower, factor, allowable, stress] = readCheckConditions(model);
        NumberValues numbers{};
        TextValues texts{};
        SectionPrinter p(session, "矢板壁の計算", numbers, texts);
        w.OpenReport();
        w.ReportLineCount = 0;

        p.literal(1);
        p.blank(2);
        texts(1) = r.ResultCaseTitle;
        p.filled(2);
        p.blank(2);
        p.literal(3);
        p.blank(1);
        p.literal(4);
        const struct {
            int line;
            double value;
            bool stressOnly;
        } conditions[] = {{5, r.ResultTopLevel, false},
                          {6, r.ResultTieLevel, false},
                          {7, r.ResultDesignLevel, false},
                          {8, r.ResultYoung, false},
                          {9, r.ResultInertia, false},
                          {10, zUpper, true},
                          {11, zLower, true},
                          {12, factor, false},
                          {13, allowable, true}};
        for (const auto& c : conditions) {
            if (c.stressOnly && !stress) continue;
            p.blank(1);
            p.filled(c.line, c.value);
        }
        p.blank(2);
        p.literal(14);
        p.blank(2);
        p.figure(kConditionsFigureLine, [&] {
            return DrawLoadDistributionFigure(session, r, kConditionsFigureW, kConditionsFigureH);
        });
        w.FormFeed();

        for (int side = 1; side <= 2; ++side) {
            const int n = r.LayerRowCounts(side);
            if (n < 0 || n > kMaxLayerRows) throw ReportError("layer count outside 0..99");
            w.NewPageIfNoRoom(4 * n + 6, 2);
            p.literal(side == 1 ? 15 : 16);
            p.literals(17, 19);
            const auto chunks =
                SplitIntoChunks(n, RowsThatFit(w.LinesPerPage - w.ReportLineCount, 4),
                                RowsThatFit(w.LinesPerPage - 3, 4));
            int row = 1;
            for (std::size_t c = 0; c < chunks.size(); ++c) {
                if (c > 0) {
                    w.FormFeed();
                    p.literals(17, 19);
                }
                for (int k = 0; k < chunks[c]; ++k, ++row) {
                    const LayerRow& L = r.LayerTable(side)(row);
                    numbers(1) = L(1);
                    numbers(2) = L(4);
                    p.filled(20);
                    numbers(1) = row;
                    numbers(2) = L(3);
                    p.filled(21);
                    numbers(1) = L(2);
                    numbers(2) = L(5);
                    p.filled(22);
                    if (k + 1 < chunks[c]) p.literal(23);
                }
                p.literal(24);
            }
        }
        w.CloseReport();
    });
}

bool WriteResultReport(PrintSession& session, const InputModel& model, const AnalysisResult& r,
                       std::string* reason) {
    return runReport(session, reason, [&](ReportWriter& w) {
        w.LinesPerPage = kLinesPerPage;
        const double design = conditionNumber(model, CondDesignLevel);
        const auto [zUpper, zLower, factor, allowable, stress] = readCheckConditions(model);
        NumberValues numbers{};
        TextValues texts{};

        {
            SectionPrinter p(session, "検討結果", numbers, texts);
            w.OpenReport();
            w.ReportLineCount = 0;
            p.literal(1);
            p.blank(1);
            p.filled(2, r.ComputedTipLevel);
            p.blank(1);
            p.filled(3, r.MmaxValue);
            p.filled(4, r.MmaxLevel);
            p.blank(1);
            p.filled(5, r.MminValue);
            p.filled(6, r.MminLevel);
            p.blank(1);
            p.filled(7, r.ZeroMomentLevel);
            p.blank(1);
            p.filled(8, r.TieReaction);
            p.blank(1);
            p.filled(9, r.TipReaction);
            p.blank(1);
            p.literal(10);
            p.blank(1);
            numbers(1) = design;
            numbers(2) = r.ComputedTipLevel;
            numbers(3) = r.ComputedEmbedment;
            p.filled(11);
            p.blank(1);
            numbers(1) = factor;
            numbers(2) = r.ComputedEmbedment;
            numbers(3) = r.RequiredEmbedment;
            p.filled(12);
            p.blank(1);
            p.filled(13, r.RequiredTipLevel);
            w.CloseReport();
        }
        {
            SectionPrinter p(session, "断面力", numbers, texts);
            w.OpenReport();
            const int n = r.SectionRowCount;
            if (n < 0 || n > kMaxSectionRows) throw ReportError("section rows outside 0..9999");
            w.NewPageIfNoRoom(n + 10, 2);
            p.literal(1);
            p.literals(2, 6);
            const auto chunks =
                SplitIntoChunks(n, w.LinesPerPage - w.ReportLineCount, w.LinesPerPage - 5);
            int row = 1;
            for (std::size_t c = 0; c < chunks.size(); ++c) {
                if (c > 0) {
                    w.FormFeed();
                    p.literals(2, 6);
                }
                for (int k = 0; k < chunks[c]; ++k, ++row) {
                    const SectionRow& s = r.SectionTable(row);
                    numbers(1) = s(1);
                    numbers(2) = s(2) * 1000;
                    numbers(3) = s(3);
                    numbers(4) = s(4);
                    numbers(5) = s(5);
                    p.filled(7);
                    if (row == r.UpperRowCount) p.literal(8);
                }
                p.literal(10);
            }
            w.FormFeed();
            p.literal(11);
            p.blank(2);
            p.figure(kResultFigureLine,
                     [&] { return DrawMomentFigure(session, r, kResultFigureW, kResultFigureH); });
            p.blank(5);
            p.literal(12);
            p.blank(2);
            p.figure(kResultFigureLine, [&] {
                return DrawDeflectionFigure(session, r, kResultFigureW, kResultFigureH);
            });
            w.CloseReport();
        }
        if (stress) {
            SectionPrinter p(session, "応力度", numbers, texts);
            w.OpenReport();
            w.FormFeed();
            p.literal(1);
            p.blank(1);
            p.literal(2);
            p.blank(1);
            p.literals(3, 5);
            for (int line = 6; line <= 9; ++line) {
                p.blank(1);
                p.literal(line);
            }
            const struct {
                int heading;
                double moment, sigma, z;
            } checks[] = {{10, r.MmaxValue, r.ResultSummary(SummaryStressAtMmax), zUpper},
                          {11, r.MminValue, r.ResultSummary(SummaryStressAtMmin), zLower}};
            for (const auto& c : checks) {
                p.blank(2);
                p.literal(c.heading);
                p.blank(1);
                p.filled(12, std::fabs(c.moment));
                numbers(1) = c.sigma;
                numbers(2) = allowable;
                const bool out = c.sigma > allowable;
                texts(1) = out ? "＞" : "≦";
                texts(2) = out ? "OUT" : "OK";
                p.filled(13);
                p.filled(14, c.z);
            }
            w.CloseReport();
        }
    });
}
