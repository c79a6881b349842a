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
#include "workspace/InputFile.h"

namespace {

std::string programFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

class CaseNamePrintFile : public ::testing::Test {
  protected:
    CaseNamePrintFile() { preview::CreateDefaultIniFile(dir.file("Preview.ini")); }

    // Writes the conditions report of quay.mbw under `name`, lays it out in Preview and
    // exports it to Word. Returns what a command could change: page count, outline, number
    // of shapes and pictures, every Word call but the typed texts; and page 1's text.
    std::pair<QStringList, QString> run(const std::string& name) {
        InputModel model;
        int err = 0;
        EXPECT_TRUE(LoadInputFile(model, MIBROX_SOURCE_DIR "/bench/cases/quay.mbw", err));
        model.CondData(CondTitle) = Slot::text(name);
        auto result = std::make_unique<AnalysisResult>();
        EXPECT_TRUE(RunWallAnalysis(model, *result));
        PrintSession session(ReportDataFiles::InFolder(programFolder()));
        session.BeginBuild(NumberingSettings{1, {1, 1, 1, 1}, {}});
        const std::string file = dir.file("c.prn");
        EXPECT_TRUE(CreateEmptyFile(file));
        session.writer().SetCurrentReportFile(file);
        EXPECT_TRUE(WriteConditionsReport(session, model, *result));

        const QString folder = QString::fromStdString(dir.path());
        const QString program = QString::fromStdString(programFolder());
        preview::PageControl control;
        preview::DocumentContext context;
        context.iniPath = dir.file("Preview.ini");
        context.printFileFolder = folder;
        context.programFolder = program;
        preview::PreviewDocument document(control, context);
        EXPECT_TRUE(document.LoadDocument(QString::fromStdString(file)).ok);
        const preview::PageDocument& doc = control.document();
        int shapes = 0;
        for (const preview::Page& page : doc.pages) {
            for (const auto& item : page.items)
                shapes += std::holds_alternative<preview::Shape>(item);
        }
        QStringList seen = {QString("pages %1 shapes %2 pictures %3")
                                .arg(control.pageCount())
                                .arg(shapes)
                                .arg(doc.images.size())};
        for (const preview::OutlineHeading& h : document.outline()) seen << h.text;

        RecordingWordDocument word;
        FakeWordDesktop desktop;
        word::CWordReport report(word, desktop, nullptr, {folder + "/Preview.ini", folder, program},
                                 [](const QString&, const QString&, const word::FigureAllowance&) {
                                     word::FigureBitmap f;
                                     f.image = QImage(40, 20, QImage::Format_RGB32);
                                     f.image.fill(Qt::white);
                                     return f;
                                 });
        EXPECT_TRUE(report.Run(QString::fromStdString(file)));
        for (const QString& call : word.calls) {
            if (!call.startsWith("text[")) seen << call;
        }
        session.RemoveAllFiles();
        return {seen, QString::fromStdU16String(doc.pages.at(0).text)};
    }

    ScratchFolder dir;
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

    const auto [plain, plainText] = run("岸壁");
    const auto [named, namedText] = run(head + picture);
    EXPECT_EQ(named, plain);
    EXPECT_FALSE(plain.front().contains(" shapes 0 ")) << "the figure is drawn";
    EXPECT_TRUE(
        namedText.contains(QString::fromUtf8("岸壁？R1見？EX？M1？R2？BM;000;000;150;150;")))
        << namedText.toStdString();
}

}  // namespace
