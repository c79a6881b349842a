#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <cstdint>
#include <functional>
#include <string>

#include "RecordingWordDocument.h"
#include "WordFixtures.h"
#include "pagesetup/CWordReport.h"
#include "pagesetup/DocxDocument.h"
#include "pagesetup/WordTexts.h"
#include "tests/support/FakeUiServices.h"

using namespace word;
using preview::Work;

namespace {

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A small 16-bit RGBA PNG whose header says it is `claimed` x `claimed` pixels.
std::string DeepPng(std::uint32_t claimed) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(8, 8, QImage::Format_RGBA64).save(&buffer, "PNG");
    std::string bytes = png.toStdString();
    const auto put = [&bytes](int at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) bytes[at + k] = char(v >> (24 - 8 * k));
    };
    put(16, claimed);  // IHDR width, height, then its CRC over type and data
    put(20, claimed);
    put(29, Crc32(std::string_view(bytes).substr(12, 17)));
    return bytes;
}

// A figure list on a paper of w x h mm naming one data file.
std::string FigureList(ScratchFolder& folder, const std::string& name, int w, int h,
                       const std::string& data) {
    const std::string list = folder.file(name);
    ScratchFolder::write(list, AsPrintedFile("図\n " + std::to_string(w) + " " + std::to_string(h) +
                                             "\n" + data + "\n 0 0\nEND\n"));
    return list;
}

struct CostCase {
    const char* name;
    // Writes the files; returns the print file (UTF-8, LF).
    std::function<std::string(ScratchFolder&)> input;
    bool stopped;  // by the budget
    Work kind;     // counted work with a ceiling
    std::uint64_t ceiling;
};

class WordExportCost : public testing::TestWithParam<CostCase> {};

// Each pattern scaled down: the counted work stays under its ceiling; a spent budget ends the
// export with its message and leaves the existing output file whole.
TEST_P(WordExportCost, StaysWithinTheBudget) {
    const CostCase& c = GetParam();
    ScratchFolder folder;
    WriteFigureFixture(folder);
    ScratchFolder::write(folder.file("Preview.ini"), "");
    ScratchFolder::write(folder.file("print.txt"), AsPrintedFile(c.input(folder)));
    ScratchFolder::write(folder.file("out.docx"), "old");

    const QString dir = QString::fromStdString(folder.path());
    FakeWordDesktop desktop;
    FakeUiServices ui;
    DocxDocument doc(&desktop);
    doc.setOutputPath(dir + "/out.docx");
    CWordReport report(doc, desktop, &ui, {dir + "/Preview.ini", dir, dir + "/app"});
    EXPECT_EQ(report.Run(dir + "/print.txt"), !c.stopped);

    EXPECT_LE(report.Budget().count(c.kind), c.ceiling);
    if (c.stopped) {
        EXPECT_EQ(report.LastFault(), WordExportFault::BudgetSpent);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, QString::fromUtf8(texts::ExportTooLarge));
        EXPECT_EQ(ScratchFolder::read(folder.file("out.docx")), "old");
    } else {
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_NE(ScratchFolder::read(folder.file("out.docx")), "old");
    }
}

const CostCase kCostCases[] = {
    // 8 bytes a pixel (512 MB), refused from its header: nothing decoded.
    {"PictureTooDeepForTheBudget",
     [](ScratchFolder& f) {
         ScratchFolder::write(f.file("deep.png"), DeepPng(8000));
         return "text\n?BM;000;000;010;010;" + f.file("deep.png") + "\n";
     },
     true, Work::PictureByte, 0},
    // Forty different figures of 1000 x 1000 mm share one pool of pixels.
    {"ManyLargeFiguresShareThePixels",
     [](ScratchFolder& f) {
         const std::string data = f.file("figure.dat");
         std::string print;
         for (int i = 0; i < 40; ++i)
             print += "?FG;000;000;" +
                      FigureList(f, "big" + std::to_string(i) + ".lst", 1000, 1000, data) + "\n";
         return print;
     },
     true, Work::PictureByte, 4ull * CWordReport::kFigurePixels},
    // Long texts of a figure: every glyph counted, their pixels only inside the picture
    // (1772 pixels wide, 10-point glyphs 42 pixels high).
    {"LongFigureTextsDrawnAsFarAsSeen",
     [](ScratchFolder& f) {
         std::string data = "t1\nt2\n0, 0, 0, 0, 150, 130\n文字情報\n";
         for (int i = 0; i < 30; ++i)
             data += std::string(1500, 'W') + "\n" + std::to_string(i) + ", 60, 1, 3\n";
         ScratchFolder::write(f.file("texts.dat"), AsPrintedFile(data + "END\n"));
         return "?FG;000;000;" + FigureList(f, "texts.lst", 150, 130, f.file("texts.dat")) + "\n";
     },
     false, Work::GlyphArea, 30ull * 1772 * 42},
    // Headings on one page: the budget ends the export long before half a million.
    {"HeadingsBeyondTheBudget",
     [](ScratchFolder&) {
         std::string print;
         for (int i = 0; i < 500'000; ++i) print += "?R1\n";
         return print;
     },
     true, Work::OutlineEntry, 500'000},
};

INSTANTIATE_TEST_SUITE_P(Patterns, WordExportCost, testing::ValuesIn(kCostCases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
