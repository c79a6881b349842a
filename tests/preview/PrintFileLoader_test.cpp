// The print-file loader on a fake control with fixed metrics: at 10 pt "あ" measures
// 200 x 200 twips, so WidePitch 200, NarrowPitch 100 and LinePitch 200; the factory margins
// put every line's start at x = 1417 and the first line at y = 1417.
#include "preview/PrintFileLoader.h"

#include <gtest/gtest.h>

#include <QImage>

#include "foundation/Cp932.h"
#include "foundation/PrivateProfile.h"
#include "preview/StartUp.h"
#include "tests/foundation/ScratchFolder.h"
#include "tests/preview/FakePreviewControl.h"

namespace preview {
namespace {

constexpr int kLeft = 1417;
constexpr int kTop = 1417;

class FixedClock final : public Clock {
  public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 9), QTime(8, 5, 3)); }
};

struct FigureCall {
    double x, y;
    QString path;
};

class LoaderTest : public ::testing::Test {
  protected:
    LoaderTest() {
        CreateDefaultIniFile(ini());
        context.iniPath = ini();
        context.previewFile = QString::fromStdString(dir.file("a.prn"));
        context.printFileFolder = QString::fromStdString(dir.path());
        context.programFolder = QString::fromStdString(dir.path());
        context.clock = &clock;
    }

    std::string ini() const { return dir.file("Preview.ini"); }
    void set(const char* section, const char* key, const char* value) {
        CPrivateProfile().SetValueString(ini(), section, key, value);
    }

    // Loads the lines (UTF-8, joined with CR LF) as a print file.
    LoadOutcome load(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) bytes += cp932::fromUtf8(line) + "\r\n";
        ScratchFolder::write(dir.file("a.prn"), bytes);
        document = std::make_unique<PreviewDocument>(control, context);
        document->setFigureDrawer([this](double x, double y, const QString& path) {
            figures.push_back({x, y, path});
            return FigureDrawResult{figureListReads, 100.0};
        });
        return document->LoadPrintFile(context.previewFile);
    }

    const FakePreviewControl::Text& text(const QString& t) const {
        for (const auto& item : control.texts) {
            if (item.text == t) return item;
        }
        static const FakePreviewControl::Text none;
        ADD_FAILURE() << "no text " << t.toStdString();
        return none;
    }

    ScratchFolder dir;
    FixedClock clock;
    DocumentContext context;
    FakePreviewControl control;
    std::unique_ptr<PreviewDocument> document;
    std::vector<FigureCall> figures;
    bool figureListReads = true;
};

TEST_F(LoaderTest, CharactersStandOnTheGridAsOneRunPerLine) {
    ASSERT_TRUE(load({"AあB", "", "xyz"}).ok);
    const auto& first = text("AあB");
    EXPECT_EQ(first.x, kLeft);
    EXPECT_EQ(first.y, kTop);
    EXPECT_EQ(first.advances, (std::vector<int>{100, 200, 100}));
    EXPECT_EQ(text("xyz").y, kTop + 400);  // the empty line advanced one line
    EXPECT_EQ(control.pages.size(), 1u);
    // Measured at the start only, never per character.
    EXPECT_LE(control.measureCount, 2);
}

TEST_F(LoaderTest, FormFeedStartsAPageAndTextAfterItStandsAtTheTop) {
    ASSERT_TRUE(load({"one", "\ftwo", "\f", "three"}).ok);
    ASSERT_EQ(control.pages.size(), 3u);
    EXPECT_EQ(text("two").page, 2);
    EXPECT_EQ(text("two").y, kTop);
    // A line holding only a form feed begins the page and then advances one line.
    EXPECT_EQ(text("three").page, 3);
    EXPECT_EQ(text("three").y, kTop + 200);
}

TEST_F(LoaderTest, UnknownCodesAndATrailingQuestionMarkPrintAsText) {
    ASSERT_TRUE(load({"a?", "?ZZb", "c?F"}).ok);
    EXPECT_EQ(control.textsOfPage(1), (QStringList{"a?", "?ZZb", "c?F"}));
}

TEST_F(LoaderTest, HeadingsMakeOutlineEntriesTagsAndText) {
    ASSERT_TRUE(load({"?R2orphan", "  ?R11. 概要", "\f?R21.1 条件?!1太字", "?R12. 結果"}).ok);
    const auto& outline = document->outline();
    ASSERT_EQ(outline.size(), 3u);
    EXPECT_EQ(outline[0].text, QStringLiteral("1. 概要(0001)"));
    EXPECT_EQ(outline[1].text, QStringLiteral("1.1 条件(0002)"));
    EXPECT_EQ(outline[1].parent, 0);
    EXPECT_EQ(outline[2].level, 1);
    ASSERT_EQ(control.tags.size(), 4u);
    EXPECT_EQ(control.tags[0].text, QStringLiteral("%TOC|2|orphan"));  // written without an entry
    EXPECT_EQ(control.tags[1].text, QStringLiteral("%TOC|1|1. 概要"));
    EXPECT_EQ(control.tags[1].x, kLeft + 200);  // after the two blanks
    EXPECT_EQ(text(QStringLiteral("1. 概要")).x, kLeft + 200);
    EXPECT_TRUE(text(QStringLiteral("太字")).font.bold);
}

TEST_F(LoaderTest, WidthRuleForEnlargedAndSmallCharacters) {
    ASSERT_TRUE(load({"?EXあa?E0b", "?SUあa?S0c", "?SLい"}).ok);
    EXPECT_EQ(text("あa").advances, (std::vector<int>{400, 200}));
    EXPECT_EQ(text("あa").y, kTop + 200 - 400);  // enlarged characters stand on the line's foot
    EXPECT_EQ(text("b").advances, (std::vector<int>{100}));
    EXPECT_EQ(text("b").y, kTop);
    const auto& small = control.texts[2];
    EXPECT_EQ(small.advances, (std::vector<int>{100, 100}));
    EXPECT_EQ(small.y, kTop + 200);  // raised: tops aligned
    EXPECT_EQ(small.font.size, 6.0);
    EXPECT_EQ(text(QStringLiteral("い")).y, kTop + 400 + 200 - 120);  // lowered: feet aligned
}

TEST_F(LoaderTest, FormFeedBringsBackTheStandardWidthRule) {
    ASSERT_TRUE(load({"?EX", "\fあ"}).ok);
    EXPECT_EQ(text(QStringLiteral("あ")).advances, (std::vector<int>{200}));
    EXPECT_EQ(text(QStringLiteral("あ")).font.size, 10.0);
}

TEST_F(LoaderTest, SecondStandardSizeAndLinePitches) {
    set("StdFont", "Size0", "12.0");
    ASSERT_TRUE(load({"?TKa", "?TSb", "c", "?T0d", "e", "?M1f", "g", "?M0h", "i"}).ok);
    EXPECT_EQ(text("a").y, kTop);
    EXPECT_EQ(text("b").y, kTop + 267);  // 20/18 x 240
    EXPECT_EQ(text("c").y, kTop + 267 + 160);
    EXPECT_EQ(text("e").y, text("d").y + 240);
    EXPECT_EQ(text("f").advances, (std::vector<int>{80}));  // 8 pt: standard, narrow 80
    EXPECT_EQ(text("g").y, text("f").y + 160);
    EXPECT_EQ(text("i").y, text("h").y + 240);
}

TEST_F(LoaderTest, PageFormatCommandTurnsThePaper) {
    ASSERT_TRUE(load({"?PF;A4Y;000;000x", "\f"}).ok);
    EXPECT_EQ(control.pages[1].orientation, 1);
    EXPECT_EQ(control.textsOfPage(1), QStringList{"x"});  // 15 characters consumed
}

TEST_F(LoaderTest, FigureLineTakesThePaperHeightOfItsList) {
    ASSERT_TRUE(load({"          ?FG;000;000;/tmp/l,1.TMP", "after"}).ok);
    ASSERT_EQ(figures.size(), 1u);
    EXPECT_EQ(figures[0].path, QStringLiteral("/tmp/l,1.TMP"));
    EXPECT_NEAR(figures[0].x, (kLeft + 1000) / 1440.0 * 25.4, 1e-9);
    EXPECT_NEAR(figures[0].y, kTop / 1440.0 * 25.4, 1e-9);
    EXPECT_EQ(text("after").y, kTop + MmToTwips(100));
}

TEST_F(LoaderTest, FailedFigureEndsOnlyItselfAndTheLineKeepsItsAdvance) {
    figureListReads = false;
    ASSERT_TRUE(load({"?FG;010;020;/missing", "after"}).ok);
    EXPECT_DOUBLE_EQ(figures[0].x, 10);
    EXPECT_DOUBLE_EQ(figures[0].y, 20);
    EXPECT_EQ(text("after").y, kTop + 200);
}

TEST_F(LoaderTest, BitmapsFromTheProgramFolderAndTheirLineHeights) {
    QImage picture(96, 48, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.file("p.png"))));
    ASSERT_TRUE(
        load({"ab?BM;fix;fix;000;000;%APPDIR%/p.png", "x", "?BM;010;020;030;020;%TMPDIR%/p.png",
              "y", "?BM;010;020;030;020;/missing.png", "z"})
            .ok);
    ASSERT_EQ(control.pictures.size(), 2u);
    EXPECT_EQ(control.pictures[0].x, kLeft + 200);  // the current position, its own size
    EXPECT_EQ(control.pictures[0].width, 0);
    EXPECT_EQ(text("x").y, kTop + 200);  // "fix": the normal advance
    EXPECT_EQ(control.pictures[1].x, MmToTwips(10));
    EXPECT_EQ(control.pictures[1].width, MmToTwips(30));
    EXPECT_EQ(text("y").y, text("x").y + 200 + MmToTwips(20));
    EXPECT_EQ(text("z").y,
              text("y").y + 200 + MmToTwips(20));  // missing file: height set all the same
}

TEST_F(LoaderTest, PlaceholderCapitalsUseTheSystemFont) {
    ASSERT_TRUE(load({"aАb"}).ok);
    ASSERT_EQ(control.texts.size(), 3u);
    EXPECT_EQ(control.texts[1].font.name, QStringLiteral("QMX外字"));
    EXPECT_EQ(control.texts[1].x, kLeft + 100);
    EXPECT_EQ(control.texts[2].font.name, QStringLiteral("ＭＳ 明朝"));
}

TEST_F(LoaderTest, UnreadableFileKeepsTheDocumentAndNamesTheReason) {
    document = std::make_unique<PreviewDocument>(control, context);
    const LoadOutcome outcome =
        document->LoadPrintFile(QString::fromStdString(dir.file("none.prn")));
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.reason.isEmpty());
    EXPECT_EQ(control.pages.size(), 1u);
    EXPECT_TRUE(control.log.contains(QStringLiteral("endDoc")));
}

TEST_F(LoaderTest, InvalidBytesStillGetOneCellPerCharacter) {
    ScratchFolder::write(dir.file("a.prn"), std::string("a\x81\x20"
                                                        "b\xFF") +
                                                "\r\n");
    document = std::make_unique<PreviewDocument>(control, context);
    ASSERT_TRUE(document->LoadPrintFile(context.previewFile).ok);
    ASSERT_EQ(control.texts.size(), 1u);
    EXPECT_EQ(control.texts[0].advances.size(),
              static_cast<std::size_t>(control.texts[0].text.size()));
}

// ---- Headers and footers ----

TEST_F(LoaderTest, FactoryHeaderAndFooterOnTheFirstPages) {
    ASSERT_TRUE(load({"x", "\fy"}).ok);
    const auto& page1 = control.pages[0];
    EXPECT_EQ(page1.header[0], QStringLiteral("(日付)2026年12月9日 (時間)8:05:03"));
    EXPECT_EQ(page1.header[1], QString());
    EXPECT_EQ(page1.header[2], QStringLiteral("(ﾌｧｲﾙ名)a.prn"));
    EXPECT_EQ(page1.footer[1], QStringLiteral("- 1 -"));
    EXPECT_EQ(control.pages[1].footer[1], QStringLiteral("- 2 -"));
    EXPECT_EQ(page1.headerMargin, 850);
    EXPECT_EQ(page1.headerFooterFont.name, QStringLiteral("ＭＳ 明朝"));  // the header font
}

TEST_F(LoaderTest, PageNumbersAtOrBelowZeroEmptyTheirPart) {
    set("Page", "PageInit", "0");
    set("Footer", "flgL", "1");
    set("Footer", "strL", "%p|%P|%p");
    set("Header", "flg", "0");
    ASSERT_TRUE(load({"x", "\fy"}).ok);
    EXPECT_EQ(control.pages[0].footer[1], QString());
    EXPECT_EQ(control.pages[0].footer[0], QString());
    EXPECT_EQ(control.pages[1].footer[1], QStringLiteral("- 1 -"));
    // A "|" inside a part stays in that part.
    EXPECT_EQ(control.pages[1].footer[0], QStringLiteral("1|%P|%p"));
    EXPECT_EQ(control.pages[1].header, (HeaderFooterParts{}));
}

TEST(FileKind, LastThreeCharactersInUpperCase) {
    EXPECT_EQ(PreviewDocument::FileKindOf(QStringLiteral("/a/b.Rtf")), QStringLiteral("RTF"));
    EXPECT_EQ(PreviewDocument::FileKindOf(QStringLiteral("x.vdf")), QStringLiteral("VDF"));
    EXPECT_EQ(PreviewDocument::FileKindOf(QStringLiteral("x.prn")), QStringLiteral("PRN"));
}

TEST(HeaderFooterTokens, ExpandsFirstOccurrencesInOrder) {
    TokenValues v;
    v.pageCounter = 7;
    v.fileName = QStringLiteral("r.prn");
    v.now = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
    EXPECT_EQ(ExpandHeaderFooterTokens(QStringLiteral("%P %p"), v), QStringLiteral("%P 7"));
    EXPECT_EQ(ExpandHeaderFooterTokens(QStringLiteral("%F/%t"), v),
              QStringLiteral("r.prn/3:04:05"));
    EXPECT_EQ(ExpandHeaderFooterTokens(QStringLiteral("%D"), v), QStringLiteral("2026年1月2日"));
    v.fileName = QStringLiteral("%t");  // tokens are searched in the text produced so far
    EXPECT_EQ(ExpandHeaderFooterTokens(QStringLiteral("%f"), v), QStringLiteral("3:04:05"));
    v.pageCounter = 0;
    EXPECT_EQ(ExpandHeaderFooterTokens(QStringLiteral("a %f %p"), v), QString());
}

// The header's date and time were worded in the process locale ("Wednesday, 9 December
// 2026" on an English machine); they are the Japanese ones whatever the locale.
TEST(HeaderFooterTokens, DateAndTimeAreJapaneseWhateverTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TokenValues v;
    v.now = QDateTime(QDate(2026, 12, 9), QTime(18, 5, 3));
    EXPECT_EQ(ExpandHeaderFooterTokens(QStringLiteral("(日付)%d (時間)%t"), v),
              QStringLiteral("(日付)2026年12月9日 (時間)18:05:03"));
    QLocale::setDefault(saved);
}

}  // namespace
}  // namespace preview
