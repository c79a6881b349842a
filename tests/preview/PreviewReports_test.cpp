// End to end: both reports of a bench case written by the report writer, laid out by the
// preview's loader on the real control, checked for overlaps, figures and outline; a small
// print file with a figure drawn to an image and compared with its golden picture.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <filesystem>

#include "PageControlFixture.h"
#include "engine/WallAnalysis.h"
#include "foundation/Cp932.h"
#include "foundation/FileRoutines.h"
#include "preview/PageControl.h"
#include "preview/PreviewDocument.h"
#include "preview/StartUp.h"
#include "formats/FigureFiles.h"
#include "report/Reports.h"
#include "tests/foundation/ScratchFolder.h"
#include "workspace/InputFile.h"

namespace preview {
namespace {

std::string programFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

class FixedClock final : public Clock {
  public:
    QDateTime now() const override { return QDateTime(QDate(2026, 1, 1), QTime(9, 0, 0)); }
};

class PreviewReports : public ::testing::Test {
  protected:
    PreviewReports() {
        CreateDefaultIniFile(dir.file("Preview.ini"));
        context.iniPath = dir.file("Preview.ini");
        context.programFolder = QString::fromStdString(programFolder());
        context.printFileFolder = QString::fromStdString(dir.path());
        context.clock = &clock;
    }

    ScratchFolder dir;
    FixedClock clock;
    DocumentContext context;
};

// Body text runs (10 pt, horizontal) of a page.
std::vector<QRect> bodyRuns(const PageDocument& doc, const Page& page) {
    std::vector<QRect> out;
    for (const PageItem& item : page.items) {
        const auto* run = std::get_if<TextRun>(&item);
        if (run && run->angle == 0 && doc.fonts[run->font].size == 10.0) {
            out.push_back(itemBounds(doc, page, item));
        }
    }
    return out;
}

TEST_F(PreviewReports, BothReportsLayOutWithoutOverlapsAndWithTheirFigures) {
    InputModel model;
    ClearInputData(model);
    int err = 0;
    ASSERT_TRUE(LoadInputFile(model, MIBROX_SOURCE_DIR "/bench/cases/quay.mbw", err));
    auto result = std::make_unique<AnalysisResult>();
    ASSERT_TRUE(RunWallAnalysis(model, *result));
    PrintSession session(ReportDataFiles::InFolder(programFolder()));
    session.BeginBuild(ReadNumberingSettings(dir.file("Mibrox.ini")));
    const std::string conditions = dir.file("c.prn"), results = dir.file("r.prn");
    std::string reason;
    ASSERT_TRUE(CreateEmptyFile(conditions) && CreateEmptyFile(results));
    session.writer().SetCurrentReportFile(conditions);
    ASSERT_TRUE(WriteConditionsReport(session, model, *result, &reason)) << reason;
    session.writer().SetCurrentReportFile(results);
    ASSERT_TRUE(WriteResultReport(session, model, *result, &reason)) << reason;

    for (const std::string& file : {conditions, results}) {
        SCOPED_TRACE(file);
        PageControl control;
        PreviewDocument document(control, context);
        ASSERT_TRUE(document.LoadDocument(QString::fromStdString(file)).ok);
        const std::string bytes = ScratchFolder::read(file);
        EXPECT_EQ(control.pageCount(), std::count(bytes.begin(), bytes.end(), '\f') + 1);
        EXPECT_FALSE(document.outline().empty());
        const PageDocument& doc = control.document();
        int shapes = 0;
        for (const Page& page : doc.pages) {
            const std::vector<QRect> runs = bodyRuns(doc, page);
            for (std::size_t i = 0; i < runs.size(); ++i) {
                for (std::size_t j = i + 1; j < runs.size(); ++j) {
                    EXPECT_FALSE(runs[i].intersects(runs[j])) << "runs " << i << " and " << j;
                }
            }
            // Figures keep clear of the body text around them.
            for (const PageItem& item : page.items) {
                if (!std::holds_alternative<Shape>(item)) continue;
                ++shapes;
                const QRect box = itemBounds(doc, page, item);
                for (const QRect& run : runs) EXPECT_FALSE(box.intersects(run));
            }
        }
        EXPECT_GT(shapes, 10);
    }
    session.RemoveAllFiles();
}

}  // namespace
}  // namespace preview

namespace preview {
namespace {

// Share of pixels whose grey level differs by more than 64 (images of one size).
double differingShare(const QImage& a, const QImage& b) {
    const QImage ga = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage gb = b.convertToFormat(QImage::Format_Grayscale8);
    long long differing = 0;
    for (int y = 0; y < ga.height(); ++y) {
        const uchar* la = ga.constScanLine(y);
        const uchar* lb = gb.constScanLine(y);
        for (int x = 0; x < ga.width(); ++x) differing += std::abs(la[x] - lb[x]) > 64;
    }
    return static_cast<double>(differing) / (static_cast<double>(ga.width()) * ga.height());
}

// The golden picture is written again on purpose with MIBROX_REGENERATE_GOLDEN=1.
TEST_F(PreviewReports, SmallPrintFileMatchesItsGoldenPageAndItsPdfHoldsBoldTextOnce) {
    FigureBuffer figure;
    const int a = figure.addPoint(0, 0), b = figure.addPoint(0, -60), c = figure.addPoint(40, -60);
    figure.addLine(a, b, 3);
    figure.addLine(b, c, 4);
    figure.addText("+3.000", 2, 3, 2, -10);
    const std::vector<TextStyleDef> styles = {{0, "ＭＳ 明朝", 200, 0, 0, 0},
                                              {0, "ＭＳ 明朝", 160, 0, 0, 0}};
    WriteFigureDataFile(dir.file("f.dat"), "ぬらけ曲線法", "図", figure, styles);
    std::vector<FigureListEntry> entries = {{dir.file("f.dat")}};
    LayoutFigures(dir.file("f.lst"), "ぬらけ曲線法", 100, 100, entries);
    const std::string print = "?R11. 図の頁\r\n  本文の行\r\n  ?FG;000;000;" + dir.file("f.lst") +
                              "\r\n  ?!1太字?!0と?EX倍角?E0の行\r\n";
    ScratchFolder::write(dir.file("g.prn"), cp932::fromUtf8(print));

    PageControl control;
    PreviewDocument document(control, context);
    ASSERT_TRUE(document.LoadDocument(QString::fromStdString(dir.file("g.prn"))).ok);
    const QImage page = control.renderPage(1, 40);
    ASSERT_FALSE(page.isNull());
    const QString golden = QStringLiteral(MIBROX_TEST_DATA_DIR "/golden/figure_page.png");
    if (qEnvironmentVariableIntValue("MIBROX_REGENERATE_GOLDEN") == 1) {
        ASSERT_TRUE(page.save(golden));
    }
    const QImage expected(golden);
    ASSERT_EQ(page.size(), expected.size());
    EXPECT_LT(differingShare(page, expected), 0.002);

    // The PDF shows the same page, and its text layer holds the bold text once.
    const QString pdf = QString::fromStdString(dir.file("g.pdf"));
    QString error;
    ASSERT_TRUE(control.exportPdf(pdf, PdfOptions(), &error)) << error.toStdString();
    bool found = false;
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, QString::fromStdString(dir.file("g"))},
            &found);
    if (!found) GTEST_SKIP() << "pdftoppm is not installed";
    const QImage drawn(QString::fromStdString(dir.file("g.png")));
    ASSERT_EQ(drawn.size(), expected.size());
    EXPECT_LT(differingShare(drawn, expected), 0.002);
    const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}, &found);
    EXPECT_EQ(text.count(QStringLiteral("太字")), 1) << text.toStdString();
}

}  // namespace
}  // namespace preview

namespace preview {
namespace {

TEST_F(PreviewReports, SavedDocumentsLoadBackAndABadFileKeepsTheShownOne) {
    ScratchFolder::write(dir.file("p.prn"), cp932::fromUtf8("?R1見出し\r\n\fページ2\r\n"));
    PageControl control;
    PreviewDocument document(control, context);
    ASSERT_TRUE(document.LoadDocument(QString::fromStdString(dir.file("p.prn"))).ok);
    QString error;
    ASSERT_TRUE(control.saveDocument(QString::fromStdString(dir.file("p.vdf")), &error))
        << error.toStdString();

    ScratchFolder::write(dir.file("bad.VDF"), "not a saved document");
    const LoadOutcome bad = document.LoadDocument(QString::fromStdString(dir.file("bad.VDF")));
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.reason.isEmpty());
    EXPECT_EQ(control.pageCount(), 2);
    EXPECT_EQ(document.outline().size(), 1u);

    control.reset();
    ASSERT_TRUE(document.LoadDocument(QString::fromStdString(dir.file("p.vdf"))).ok);
    EXPECT_EQ(control.pageCount(), 2);
    EXPECT_TRUE(document.outline().empty());
}

}  // namespace
}  // namespace preview
