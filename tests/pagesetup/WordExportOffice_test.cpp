// End to end: the export of a print file, opened by LibreOffice (converted to PDF with its own
// profile folder and the font alias file) and checked with the poppler tools.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "WordFixtures.h"
#include "pagesetup/CWordReport.h"

using namespace word;

namespace {

QString RunTool(const QString& program, const QStringList& args,
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                int timeoutMs = 60000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(WordExportOffice, PrintFileOpensWithItsPagesTextAndFigures) {
    for (const char* tool : {"soffice", "pdfinfo", "pdftotext", "pdfimages", "pdffonts"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    ScratchFolder folder;
    const QString dir = QString::fromStdString(folder.path());
    const std::string list = WriteFigureFixture(folder);
    std::string printFile = FixtureText("export.txt");
    for (std::size_t at; (at = printFile.find("{LIST}")) != std::string::npos;)
        printFile.replace(at, 6, list);
    ScratchFolder::write(folder.file("print.txt"), AsPrintedFile(printFile));
    ScratchFolder::write(folder.file("Preview.ini"),
                         AsPrintedFile("[StdFont]\nName=ＭＳ 明朝\nSize0=10.0\nSize1=8.0\n"
                                       "[Page]\nOrientation=T\nTop(mm)=25\nLeft(mm)=25\n"));
    QImage bitmap(120, 60, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    ASSERT_TRUE(bitmap.save(dir + "/bitmap.png"));

    const QString docx = dir + "/export.docx";
    ASSERT_TRUE(
        exportWordToFile({dir + "/Preview.ini", dir, dir + "/app"}, dir + "/print.txt", docx));

    ScratchFolder::write(folder.file("fonts.conf"),
                         "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">"
                         "<fontconfig><include ignore_missing=\"yes\">/etc/fonts/fonts.conf"
                         "</include><include>" MIBROX_SOURCE_DIR
                         "/packaging/fontconfig/65-mibrox-japanese.conf</include></fontconfig>");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FONTCONFIG_FILE", dir + "/fonts.conf");
    env.insert("HOME", dir);
    RunTool("soffice",
            {"-env:UserInstallation=file://" + dir + "/profile", "--headless", "--norestore",
             "--convert-to", "pdf", "--outdir", dir, docx},
            env, 180000);
    const QString pdf = dir + "/export.pdf";
    ASSERT_TRUE(QFile::exists(pdf));

    // Form feeds + 1 pages: two A4 portrait pages, then the landscape one.
    const QString info = RunTool("pdfinfo", {"-f", "1", "-l", "9", pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page +1 size: +595\\.\\d* x 841\\.\\d* pts")));
    EXPECT_TRUE(info.contains(QRegularExpression("Page +2 size: +595\\.\\d* x 841\\.\\d* pts")));
    EXPECT_TRUE(info.contains(QRegularExpression("Page +3 size: +841\\.\\d* x 595\\.\\d* pts")));

    // Every text in order, on its page; the first line (the page format) is not typed.
    const QString text = RunTool("pdftotext", {"-enc", "UTF-8", pdf, "-"}).remove(' ');
    const QStringList pages = text.split('\f');
    ASSERT_GE(pages.size(), 3);
    const QStringList expected[] = {{"１．設計条件", "本文の一行目です。ABC123", "大きな見出し",
                                     "と下付きの文字", "太字と下線の行"},
                                    {"１．１", "二ページ目", "行間を広げた行"},
                                    {"横向きのページ", "最後の行"}};
    for (int page = 0; page < 3; ++page) {
        qsizetype from = 0;
        for (const QString& phrase : expected[page]) {
            const qsizetype at = pages[page].indexOf(phrase, from);
            EXPECT_GE(at, 0) << "page " << page + 1 << ": " << phrase.toStdString() << " in\n"
                             << pages[page].toStdString();
            if (at >= 0) from = at + phrase.size();
        }
    }
    EXPECT_TRUE(pages[0].contains("上付き"));  // raised, so extracted out of its line
    EXPECT_FALSE(text.contains("?")) << text.toStdString();
    EXPECT_FALSE(text.contains("PF;")) << text.toStdString();

    // The two figures and the bitmap.
    const QStringList images =
        RunTool("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_EQ(images.size(), 3) << images.join('\n').toStdString();

    // The Mincho face named in the document is drawn with the IPA font of the alias file.
    EXPECT_TRUE(RunTool("pdffonts", {pdf}).contains("IPAMincho"));
}

}  // namespace
