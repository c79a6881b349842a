// PDF export checked from outside: pdfinfo, pdftotext and qpdf --json read the written file.
#include "preview/PdfExport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinter>
#include <QTemporaryDir>

#include "PageControlFixture.h"
#include "preview/PrintDocument.h"

namespace preview {
namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PdfExportTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        buildSampleDocument(m_control);
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    PageControl m_control;
};

TEST_P(PdfExportTest, writesPagesTextOutlineAndTheChosenCompression) {
    const QString file = path(QStringLiteral("out.pdf"));
    QString error;
    ASSERT_TRUE(m_control.exportPdf(file, PdfOptions{QStringLiteral("%TOC|"), GetParam()}, &error))
        << error.toStdString();

    bool found = false;
    const QString info = runTool(QStringLiteral("pdfinfo"),
                                 {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                  QStringLiteral("3"), file},
                                 &found);
    if (!found) GTEST_SKIP() << "pdfinfo is not installed";
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           3"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Page    1 size:  595 x 842 pts")));
    EXPECT_TRUE(info.contains(QStringLiteral("Page    2 size:  842 x 595 pts")));

    const QString text = runTool(QStringLiteral("pdftotext"), {file, QStringLiteral("-")}, &found);
    EXPECT_TRUE(text.contains(QStringLiteral("1. 設計条件")));
    EXPECT_TRUE(text.contains(QStringLiteral("1.1 荷重 Load")));
    EXPECT_TRUE(text.contains(QStringLiteral("Landscape 横")));

    const QString json =
        runTool(QStringLiteral("qpdf"),
                {QStringLiteral("--json"), QStringLiteral("--json-key=outlines"), file}, &found);
    const QJsonArray outlines = QJsonDocument::fromJson(json.toUtf8())["outlines"].toArray();
    ASSERT_EQ(outlines.size(), 2) << json.toStdString();
    const QJsonObject chapter = outlines[0].toObject();
    EXPECT_EQ(chapter["title"].toString(), QStringLiteral("1. 設計条件"));
    EXPECT_EQ(chapter["destpageposfrom1"].toInt(), 1);
    EXPECT_NEAR(chapter["dest"].toArray()[3].toDouble(), 842 - 1417 / 20.0, 0.01);
    const QJsonArray sections = chapter["kids"].toArray();
    ASSERT_EQ(sections.size(), 2);
    EXPECT_EQ(sections[0].toObject()["title"].toString(), QStringLiteral("1.1 荷重"));
    EXPECT_EQ(sections[1].toObject()["title"].toString(), QStringLiteral("1.2 土圧"));
    EXPECT_EQ(sections[1].toObject()["destpageposfrom1"].toInt(), 2);
    EXPECT_EQ(outlines[1].toObject()["title"].toString(), QStringLiteral("2. 計算結果"));
    EXPECT_EQ(outlines[1].toObject()["destpageposfrom1"].toInt(), 3);
    EXPECT_TRUE(outlines[1].toObject()["kids"].toArray().isEmpty());

    const bool flate = readAll(file).contains("/FlateDecode");
    EXPECT_EQ(flate, GetParam() != 0);
}

INSTANTIATE_TEST_SUITE_P(CompressionLevels, PdfExportTest, ::testing::Values(0, 3),
                         [](const auto& info) {
                             return info.param == 0 ? std::string("uncompressed")
                                                    : std::string("compressed");
                         });

TEST_F(PdfExportTest, failedWriteKeepsTheOldFileAndSaysWhy) {
    const QString file = path(QStringLiteral("keep.pdf"));
    QString error;
    ASSERT_TRUE(m_control.exportPdf(file, PdfOptions(), &error));
    const QByteArray before = readAll(file);
    // A folder where the file would be: refused, nothing replaced.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.pdf")));
    EXPECT_FALSE(m_control.exportPdf(path(QStringLiteral("folder.pdf")), PdfOptions(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("folder.pdf")));
    EXPECT_FALSE(m_control.exportPdf(path(QStringLiteral("keep.pdf/x.pdf")), PdfOptions(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(file), before);
    PageControl empty;
    EXPECT_FALSE(empty.exportPdf(file, PdfOptions(), &error));
    EXPECT_EQ(readAll(file), before);
}

TEST_F(PdfExportTest, missingFolderIsReportedBeforeTheDocumentIsBuilt) {
    // An empty document would fail while it is built: the folder's reason comes first.
    PageControl empty;
    QString error;
    EXPECT_FALSE(empty.exportPdf(path(QStringLiteral("missing/out.pdf")), PdfOptions(), &error));
    EXPECT_EQ(error, path(QStringLiteral("missing/out.pdf")) +
                         QStringLiteral(": ﾌｧｲﾙまたはﾌｫﾙﾀﾞが見つかりません"));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing"))));
}

TEST_F(PdfExportTest, printsThePrintersPageRangeOnlyEachPageInItsOwnFormat) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString file = path(QStringLiteral("printed.pdf"));
    printer.setOutputFileName(file);
    printer.setFromTo(2, 3);
    QString error;
    ASSERT_TRUE(printOnPrinter(m_control.document(), m_control.fonts(), printer, &error))
        << error.toStdString();
    bool found = false;
    const QString info = runTool(QStringLiteral("pdfinfo"), {file}, &found);
    if (!found) GTEST_SKIP() << "pdfinfo is not installed";
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           2"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("842 x 595 pts")));
    const QString text = runTool(QStringLiteral("pdftotext"), {file, QStringLiteral("-")}, &found);
    EXPECT_TRUE(text.contains(QStringLiteral("Landscape")));
    EXPECT_FALSE(text.contains(QStringLiteral("設計条件")));
}

TEST_F(PdfExportTest, printsThroughTheInstalledDialogAndStopsWhenItIsCancelled) {
    const QString file = path(QStringLiteral("dialog.pdf"));
    int asked = 0;
    m_control.setPrintDialog([&](QPrinter& printer) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return asked == 1;  // the second time the user cancels
    });
    QString error;
    EXPECT_TRUE(m_control.print(true, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(file));
    QFile::remove(file);
    error = QStringLiteral("stale");
    EXPECT_FALSE(m_control.print(true, &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(asked, 2);
}

TEST(PdfOutline, takesOnlyTagsWithThePrefixAndALevel) {
    PageDocument document;
    document.pages.resize(2);
    document.pages[0].tags = {{QStringLiteral("%TOC|1|A"), 10, 20},
                              {QStringLiteral("other"), 0, 0},
                              {QStringLiteral("%TOC|x|bad level"), 0, 0},
                              {QStringLiteral("%TOC|2"), 0, 0}};
    document.pages[1].tags = {{QStringLiteral("%TOC|2|B|with bar"), 30, 40}};
    const std::vector<PdfHeading> entries = pdfHeadings(document, QStringLiteral("%TOC|"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].title, QStringLiteral("A"));
    EXPECT_EQ(entries[0].x, 10);
    EXPECT_EQ(entries[1].level, 2);
    EXPECT_EQ(entries[1].title, QStringLiteral("B|with bar"));
    EXPECT_EQ(entries[1].page, 1);
}

}  // namespace
}  // namespace preview
