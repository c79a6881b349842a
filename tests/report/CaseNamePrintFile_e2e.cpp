// End to end: a case name made of print-file commands, written by the report writer into the
// conditions report, then read by Preview's loader and by the Word export, must give exactly
// what a plain name gives (outline, pages, figure, no picture) and print the name itself.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "engine/WallAnalysis.h"
#include "foundation/Cp932.h"
#include "foundation/FileRoutines.h"
#include "pagesetup/CWordReport.h"
#include "preview/PageControl.h"
#include "preview/PreviewDocument.h"
#include "preview/StartUp.h"
#include "report/Reports.h"
#include "tests/foundation/ScratchFolder.h"
#include "tests/pagesetup/RecordingWordDocument.h"
#include "tests/support/FakeUiServices.h"
#include "workspace/InputFile.h"

namespace {

std::string programFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

struct Laid {
    int pages = 0;
    QStringList outline;
    int shapes = 0;
    std::size_t images = 0;
    QString firstPageText;
    QStringList wordCalls;  // every call of the Word export but the typed texts
    QString wordText;
};

class CaseNamePrintFile : public ::testing::Test {
  protected:
    CaseNamePrintFile() {
        preview::CreateDefaultIniFile(dir.file("Preview.ini"));
        int err = 0;
        EXPECT_TRUE(LoadInputFile(model, MIBROX_SOURCE_DIR "/bench/cases/quay.mbw", err));
    }

    // Writes the conditions report of quay.mbw under `name` and reads it back both ways.
    Laid run(const std::string& name) {
        Laid out;
        model.CondData(CondTitle) = Slot::text(name);
        auto result = std::make_unique<AnalysisResult>();
        EXPECT_TRUE(RunWallAnalysis(model, *result));
        PrintSession session(ReportDataFiles::InFolder(programFolder()));
        session.BeginBuild(NumberingSettings{1, {1, 1, 1, 1}, {}});
        const std::string file = dir.file("c.prn");
        std::string reason;
        EXPECT_TRUE(CreateEmptyFile(file));
        session.writer().SetCurrentReportFile(file);
        EXPECT_TRUE(WriteConditionsReport(session, model, *result, &reason)) << reason;

        preview::PageControl control;
        preview::DocumentContext context;
        context.iniPath = dir.file("Preview.ini");
        context.programFolder = QString::fromStdString(programFolder());
        context.printFileFolder = QString::fromStdString(dir.path());
        preview::PreviewDocument document(control, context);
        EXPECT_TRUE(document.LoadDocument(QString::fromStdString(file)).ok);
        const preview::PageDocument& doc = control.document();
        out.pages = control.pageCount();
        for (const preview::OutlineHeading& h : document.outline()) out.outline << h.text;
        for (const preview::Page& page : doc.pages) {
            for (const preview::PageItem& item : page.items) {
                out.shapes += std::holds_alternative<preview::Shape>(item);
            }
        }
        out.images = doc.images.size();
        if (!doc.pages.empty()) out.firstPageText = QString::fromStdU16String(doc.pages[0].text);

        RecordingWordDocument word;
        FakeWordDesktop desktop;
        FakeUiServices ui;
        const QString folder = QString::fromStdString(dir.path());
        word::CWordReport report(word, desktop, &ui,
                                 {folder + "/Preview.ini", folder, context.programFolder},
                                 [](const QString&, const QString&) {
                                     word::FigureBitmap f;
                                     f.image = QImage(40, 20, QImage::Format_RGB32);
                                     f.image.fill(Qt::white);
                                     return f;
                                 });
        EXPECT_TRUE(report.Run(QString::fromStdString(file)));
        for (const QString& call : word.calls) {
            if (call.startsWith("text[")) {
                out.wordText += call;
            } else {
                out.wordCalls << call;
            }
        }
        session.RemoveAllFiles();
        return out;
    }

    ScratchFolder dir;
    InputModel model;
};

TEST_F(CaseNamePrintFile, CommandsInTheNameArePrintedAndNotCarriedOut) {
    // Headings, sizes, a character CP932 cannot hold before "R2", and a picture that would
    // push the text down 150 mm; "?BM" takes the rest of the line, so it comes last, and the
    // picture's name fills the 80-byte field so that no blank follows it.
    const std::string head = "岸壁?R1見?EX?M1😀R2?BM;000;000;150;150;";
    const std::size_t nameBytes = 80 - cp932::byteLength(head) - dir.path().size() - 1;
    ASSERT_GT(nameBytes, 4u) << "the picture's path must fit the case-name field";
    const std::string picture = dir.file(std::string(nameBytes - 4, 'p') + ".png");
    QImage red(200, 200, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString(picture)));
    const std::string hostile = head + picture;
    const QString shown = QString::fromUtf8("岸壁？R1見？EX？M1？R2？BM;000;000;150;150;");

    const Laid plain = run("岸壁");
    const Laid named = run(hostile);
    EXPECT_EQ(named.pages, plain.pages);
    EXPECT_EQ(named.outline, plain.outline);
    EXPECT_EQ(named.shapes, plain.shapes);
    EXPECT_GT(plain.shapes, 10);
    EXPECT_EQ(named.images, 0u);
    EXPECT_TRUE(named.firstPageText.contains(shown)) << named.firstPageText.toStdString();
    EXPECT_EQ(named.wordCalls, plain.wordCalls);
    EXPECT_TRUE(named.wordText.contains(shown));
}

}  // namespace
