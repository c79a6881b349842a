// End to end: the export of a print file with the two reports, opened by LibreOffice (converted to
// PDF with its own profile folder and the system's fonts) and checked with the poppler tools.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <map>

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

// The golden reports of the report tests with their figure files; "<n>" stands for the n-th
// temporary name (lists 1 to 3, their data files 4 to 6).
std::string ReportFiles(const ScratchFolder& folder) {
    const std::string golden = MIBROX_SOURCE_DIR "/tests/report/golden/small.";
    const auto named = [&](std::string bytes) {
        for (int n = 1; n <= 6; ++n) {
            const std::string token = "<" + std::to_string(n) + ">";
            const std::string path = folder.file("report" + std::to_string(n) + ".tmp");
            for (std::size_t at; (at = bytes.find(token)) != std::string::npos;)
                bytes.replace(at, token.size(), path);
        }
        return bytes;
    };
    for (int n = 1; n <= 3; ++n) {
        const std::string figure = golden + "figure" + std::to_string(n);
        ScratchFolder::write(folder.file("report" + std::to_string(n) + ".tmp"),
                             named(ScratchFolder::read(figure + ".list")));
        ScratchFolder::write(folder.file("report" + std::to_string(n + 3) + ".tmp"),
                             named(ScratchFolder::read(figure + ".data")));
    }
    return named(ScratchFolder::read(golden + "conditions.prn")) + "\f" +
           named(ScratchFolder::read(golden + "results.prn"));
}

// The text of every report line but the figure lines, without the heading marks and blanks.
QStringList ReportLines(const std::string& reports) {
    QStringList lines;
    const QString text = QString::fromStdString(cp932::toUtf8(reports));
    for (QString line : text.split(QRegularExpression("[\r\n\f]+"))) {
        if (line.contains("?FG")) continue;
        line.remove("?R1").remove("?R2").remove(QRegularExpression("[\\s\u3000]"));
        if (!line.isEmpty()) lines << line;
    }
    return lines;
}

// The right edge of each text line of the PDF, by page and line, with the line's words joined.
struct PdfLine {
    QString text;
    double right = 0;
};
std::vector<PdfLine> PdfLines(const QString& pdf) {
    const QString html = RunTool("pdftotext", {"-bbox", "-enc", "UTF-8", pdf, "-"});
    static const QRegularExpression word(
        R"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    std::vector<PdfLine> lines;
    for (const QString& page : html.split("<page ")) {
        std::map<long, PdfLine> byTop;
        for (auto it = word.globalMatch(page); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            PdfLine& line = byTop[std::lround(m.captured(1).toDouble() * 2)];
            line.text += m.captured(3);
            line.right = std::max(line.right, m.captured(2).toDouble());
        }
        for (auto& [top, line] : byTop) lines.push_back(line);
    }
    return lines;
}

// The hand-made print file (three pages, the third landscape), back to portrait, then the
// conditions and results reports as the print menu joins them.
TEST(WordExportOffice, PrintFileOpensWithItsPagesTextAndFigures) {
    for (const char* tool : {"soffice", "pdfinfo", "pdftotext", "pdfimages", "pdffonts"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    ScratchFolder folder;
    const QString dir = QString::fromStdString(folder.path());
    const std::string list = WriteFigureFixture(folder);
    std::string handMade = FixtureText("export.txt") + "?PF;A4T;000;000\f";
    for (std::size_t at; (at = handMade.find("{LIST}")) != std::string::npos;)
        handMade.replace(at, 6, list);
    const std::string reports = ReportFiles(folder);
    const std::string printFile = AsPrintedFile(handMade) + reports;
    ScratchFolder::write(folder.file("print.txt"), printFile);
    ScratchFolder::write(folder.file("Preview.ini"),
                         AsPrintedFile("[StdFont]\nName=ＭＳ 明朝\nSize0=10.0\nSize1=8.0\n"
                                       "[Page]\nOrientation=T\nTop(mm)=25\nLeft(mm)=25\n"));
    QImage bitmap(120, 60, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    ASSERT_TRUE(bitmap.save(dir + "/bitmap.png"));

    const QString docx = dir + "/export.docx";
    ASSERT_TRUE(
        exportWordToFile({dir + "/Preview.ini", dir, dir + "/app"}, dir + "/print.txt", docx));

    // The system's fontconfig, as the user's word processor has it: scripts/setup.sh (run by
    // run.sh and test.sh) puts the font alias file in place.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir);
    RunTool("soffice",
            {"-env:UserInstallation=file://" + dir + "/profile", "--headless", "--norestore",
             "--convert-to", "pdf", "--outdir", dir, docx},
            env, 180000);
    const QString pdf = dir + "/export.pdf";
    ASSERT_TRUE(QFile::exists(pdf));

    // Form feeds + 1 pages, all A4: portrait but the third.
    const auto formFeeds = std::count(printFile.begin(), printFile.end(), '\f');
    const QString info = RunTool("pdfinfo", {"-f", "1", "-l", "99", pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QString("Pages:\\s+%1\\n").arg(formFeeds + 1))))
        << info.toStdString();
    for (int page = 1; page <= formFeeds + 1; ++page) {
        const QString size = page == 3 ? "841\\.\\d* x 595\\.\\d*" : "595\\.\\d* x 841\\.\\d*";
        EXPECT_TRUE(info.contains(
            QRegularExpression(QString("Page +%1 size: +%2 pts").arg(page).arg(size))))
            << "page " << page;
    }

    // Every text in order, on its page; the first line (the page format) is not typed.
    const QString text = RunTool("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"})
                             .remove(QRegularExpression("[ \u3000]"));
    const QStringList pages = text.split('\f');
    ASSERT_GE(pages.size(), 4);
    const QStringList expected[] = {{"１．設計条件", "本文の一行目です。ABC123", "大きな見出し",
                                     "と下付きの文字", "太字と下線の行"},
                                    {"１．１", "二ページ目", "行間を広げた行"},
                                    {"横向きのページ", "最後の行"},
                                    ReportLines(reports)};
    const QString reportText = QStringList(pages.mid(3)).join("").remove('\n');
    for (int part = 0; part < 4; ++part) {
        const QString& where = part < 3 ? pages[part] : reportText;
        qsizetype from = 0;
        for (const QString& phrase : expected[part]) {
            const qsizetype at = where.indexOf(phrase, from);
            EXPECT_GE(at, 0) << "part " << part + 1 << ": " << phrase.toStdString();
            if (at >= 0) from = at + phrase.size();
        }
    }
    EXPECT_TRUE(pages[0].contains("上付き"));
    EXPECT_FALSE(text.contains("?")) << text.toStdString();
    EXPECT_FALSE(text.contains("PF;")) << text.toStdString();

    // The two figures and the bitmap of the hand-made file, the three figures of the reports.
    const QStringList images =
        RunTool("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_EQ(images.size(), 6) << images.join('\n').toStdString();

    // The Mincho face named in the document is drawn with the IPA font of the alias file.
    EXPECT_TRUE(RunTool("pdffonts", {pdf}).contains("IPAMincho"))
        << "no font alias: run scripts/setup.sh";

    // Table columns line up: a heading row with full-width text ends at the same x as the rule
    // and the data row below it (Latin letters and blanks in another font drifted by mm).
    const std::vector<PdfLine> lines = PdfLines(pdf);
    const auto heading = std::find_if(lines.begin(), lines.end(), [](const PdfLine& line) {
        return line.text.contains(QString::fromUtf8("|層|標高・層厚|荷重"));
    });
    ASSERT_GE(lines.end() - heading, 3);
    EXPECT_TRUE(heading[2].text.startsWith("||+3.000|")) << heading[2].text.toStdString();
    for (int below : {1, 2})
        EXPECT_NEAR(heading[below].right, heading->right, 0.5) << "no font alias: run setup.sh";
}

}  // namespace
