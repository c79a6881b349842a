#include "pagesetup/CWordReport.h"

#include <gtest/gtest.h>

#include "RecordingWordDocument.h"
#include "foundation/Cp932.h"
#include "pagesetup/WordTexts.h"
#include "tests/foundation/ScratchFolder.h"
#include "tests/support/FakeUiServices.h"

using namespace word;

namespace {

const char* const kFactoryIni =
    "[StdFont]\r\nName=ＭＳ 明朝\r\nSize0=10.0\r\nSize1=8.0\r\n"
    "[Page]\r\nOrientation=T\r\nTop(mm)=25\r\nBottom(mm)=30\r\nLeft(mm)=20\r\nRight(mm)=30\r\n";

// The calls every export makes before the first line (factory settings, portrait).
const QString kSetup =
    "new|view 1|page o0 t70.87 b0 l56.69 r0|stylefont 標準 ＭＳ 明朝/ＭＳ 明朝/Century 9|"
    "style 標準|autospace 0 0|rule exact|spacing 9|";

// A print file and a figure renderer that draws a 96 x 48 bitmap for "/fig" and nothing for
// any other list.
struct Export {
    ScratchFolder folder;
    RecordingWordDocument doc;
    FakeWordDesktop desktop;
    FakeUiServices ui;
    QStringList figures;

    explicit Export(const std::string& ini = kFactoryIni) {
        ScratchFolder::write(folder.file("Preview.ini"), cp932::fromUtf8(ini));
    }
    bool run(const std::string& printFile, bool writeFile = true) {
        if (writeFile) ScratchFolder::write(folder.file("print.txt"), cp932::fromUtf8(printFile));
        const QString dir = QString::fromStdString(folder.path());
        CWordReport report(doc, desktop, &ui, {dir + "/Preview.ini", dir, dir + "/app"},
                           [this](const QString& list, const QString&, const FigureAllowance&) {
                               figures << list;
                               FigureBitmap f;
                               if (list == "/fig") {
                                   f.image = QImage(96, 48, QImage::Format_RGB32);
                                   f.image.fill(Qt::white);
                               }
                               return f;
                           });
        return report.Run(dir + "/print.txt");
    }
    QString calls() const { return doc.calls.join('|'); }
};

struct LineCase {
    const char* name;
    const char* printFile;
    const char* expected;  // the calls after kSetup, up to "finish"
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class CWordReportLines : public testing::TestWithParam<LineCase> {};

TEST_P(CWordReportLines, CallSequence) {
    Export e;
    EXPECT_TRUE(e.run(GetParam().printFile));
    EXPECT_EQ(e.calls(), kSetup + QString::fromUtf8(GetParam().expected) + "|finish");
    EXPECT_TRUE(e.ui.messages.empty());
}

const LineCase kLineCases[] = {
    {"PlainLinesAndFormFeedsAsText", "abc\r\n\fdef\r\n\r\n",
     "text[abc]|para|text[\fdef]|para|para"},
    {"HeadingTypedAsText", "  ?R1１．条件\r\n", "text[  １．条件]|para"},
    {"UnknownCodeTypedWithTheRest", "a?ZZb?", "text[a?ZZb?]|para"},
    {"FormFeedBeforeACommandIsText", "\f?!1x", "text[\f]|bold 1|text[x]|para"},
    {"FormFeedAfterACommandIsABreak", "?!1\fx", "bold 1|pagebreak|text[x]|para"},
    {"EnlargedLineDropsTheBlankLineAfterIt", "?EXタイトル?E0\r\n  \r\nnext",
     "size 18|rule single|text[タイトル]|size 9|para|rule exact|spacing 9|text[next]|para"},
    {"EnlargedLineKeepsALineWithText", "?EXA\r\n\fB",
     "size 18|rule single|text[A]|para|rule exact|text[\fB]|para"},
    {"EnlargementDoublesTheCurrentSize", "?EX?E2x",
     "size 18|rule single|size 36|rule single|text[x]|para|rule exact"},
    {"RaisedAndLoweredCharacters", "x?SU2?S0y?SLz",
     "text[x]|size 4.5|raise 4|text[2]|size 9|raise 0|text[y]|size 4.5|raise 0|text[z]|para"},
    {"LinePitches", "?TKa\r\n?TSb\r\n?T0",
     "text[a]|para|spacing 10|text[b]|para|spacing 6|para|spacing 9"},
    {"SecondBaseSize", "?M1a?M0", "size 8|text[a]|size 9|para|spacing 9"},
    {"EndOfEnlargementFollowsThePreview", "?EYa", "size 9|text[a]|para|spacing 9"},
    {"BoldUnderlineAndNoOpCodes", "?!1b?!0?LUu?LOo?L0?F0?FH?FQ?FE?FP.",
     "bold 1|text[b]|bold 0|underline 1|text[u]|underline 1|text[o]|underline 0|text[.]|para"},
    {"PageFormatStartsALandscapeSectionOnce", "-\r\na?PF;A4Y;000;000\fX\r\n?PF;A4T;000;000Y",
     "text[-]|para|text[a]|section|page o1 t70.87 b0 l56.69 r0|text[X]|para|section|"
     "page o0 t70.87 b0 l56.69 r0|text[Y]|para"},
    {"FigureInLine", "  ?FG;000;000;/fig\r\nz",
     "text[  ]|inline 96x48 72.00x36.00|rule single|para|spacing 9|rule exact|text[z]|para"},
    {"FloatingFigureAtTheInsertionPoint", "    ?FG;fix;000;/fig",
     "text[    ]|floating 96x48 72.00x36.00 at 18.00|para"},
    {"FloatingFigureAfterFullWidthText", "表?FG;000;fix;/fig",
     "text[表]|floating 96x48 72.00x36.00 at 9.00|para"},
    {"FigureThatDrewNothingIsLeftOut", "?FG;000;000;/missing\r\nz", "para|text[z]|para"},
};

INSTANTIATE_TEST_SUITE_P(Export, CWordReportLines, testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CWordReport, FigureListIsTheRestOfTheLine) {
    Export e;
    e.run("?FG;000;000;/tmp/a b.TMP");
    EXPECT_EQ(e.figures, QStringList{"/tmp/a b.TMP"});
}

struct BitmapCase {
    const char* name;
    const char* fields;  // X;Y;W;H;
    const char* expected;
};

void PrintTo(const BitmapCase& c, std::ostream* os) {
    *os << c.name;
}

class CWordReportBitmaps : public testing::TestWithParam<BitmapCase> {};

TEST_P(CWordReportBitmaps, SizedAndPlaced) {
    Export e;
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(e.folder.file("pic.png"))));
    EXPECT_TRUE(e.run(std::string("  ?BM;") + GetParam().fields + "%TMPDIR%/pic.png"));
    EXPECT_EQ(e.calls(), kSetup + "text[  ]|" + GetParam().expected + "|finish");
}

const BitmapCase kBitmapCases[] = {
    {"FitsWithinWidthAndHeight", "000;000;040;010;",
     "inline 100x50 56.00x28.00|rule single|para|spacing 9|rule exact"},
    {"OwnSizeWithoutWidth", "000;000;000;030;",
     "inline 100x50 75.00x37.50|rule single|para|spacing 9|rule exact"},
    {"FitsByWidthWithoutHeight", "000;000;040;000;",
     "inline 100x50 113.00x56.50|rule single|para|spacing 9|rule exact"},
    {"FloatsAtTheInsertionPoint", "fix;000;040;030;", "floating 100x50 113.00x56.50 at 9.00|para"},
};

INSTANTIATE_TEST_SUITE_P(Export, CWordReportBitmaps, testing::ValuesIn(kBitmapCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CWordReport, aBitmapOrFigureNamedOnEveryLineIsDecodedOrDrawnOnce) {
    Export e;
    QImage image(10, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(e.folder.file("pic.png"))));
    std::string lines;
    for (int i = 0; i < 20; ++i)
        lines += "?BM;000;000;000;000;%TMPDIR%/pic.png\r\n?FG;000;000;/fig\r\n?FG;000;000;/x\r\n";
    EXPECT_TRUE(e.run(lines));
    EXPECT_EQ(e.doc.calls.filter("inline").size(), 40);
    EXPECT_EQ(e.doc.pictureKeys.size(), 2u);  // one decoded bitmap, one drawn figure
    EXPECT_EQ(e.figures, (QStringList{"/fig", "/x"}));
}

TEST(CWordReport, MissingBitmapShowsTheErrorAndHandsOverWhatWasTyped) {
    Export e;
    EXPECT_FALSE(e.run("a\r\n?BM;000;000;000;000;%TMPDIR%/none.png\r\nb"));
    EXPECT_EQ(e.calls(), kSetup + "text[a]|para|finish");
    ASSERT_EQ(e.ui.messages.size(), 1u);
    EXPECT_EQ(e.ui.messages[0].text, QString::fromUtf8(texts::ExportFailed));
    EXPECT_EQ(e.ui.messages[0].title, "印刷ﾌﾟﾚﾋﾞｭｰ");
    EXPECT_EQ(e.ui.messages[0].icon, UiServices::Icon::Critical);
}

// A gone print file asked the user to call the vendor and then opened an empty document.
TEST(CWordReport, MissingPrintFileShowsTheFileMessageAndOpensNothing) {
    Export e;
    EXPECT_FALSE(e.run("", false));
    EXPECT_TRUE(e.doc.calls.isEmpty());
    ASSERT_EQ(e.ui.messages.size(), 1u);
    EXPECT_EQ(e.ui.messages[0].text, "ﾌｧｲﾙを読み込めませんでした。\n" +
                                         QString::fromStdString(e.folder.file("print.txt")) +
                                         "\nﾌｧｲﾙまたはﾌｫﾙﾀﾞが見つかりません");
    EXPECT_EQ(e.ui.messages[0].icon, UiServices::Icon::Warning);
}

TEST(CWordReport, RefusedPictureEndsTheTyping) {
    Export e;
    e.doc.refuse.insert("inline");
    EXPECT_FALSE(e.run("?FG;000;000;/fig\r\nb"));
    EXPECT_EQ(e.calls(), kSetup + "inline 96x48 72.00x36.00|finish");
    EXPECT_EQ(e.ui.messages.size(), 1u);
}

TEST(CWordReport, FailedHandOverShowsTheError) {
    Export e;
    e.doc.finishResult = false;
    EXPECT_FALSE(e.run("a"));
    EXPECT_EQ(e.ui.messages.size(), 1u);
}

TEST(CWordReport, WithoutAWordProcessorOnlyTheMessageIsShown) {
    Export e;
    e.desktop.available = false;
    EXPECT_FALSE(e.run("a"));
    EXPECT_TRUE(e.doc.calls.isEmpty());
    ASSERT_EQ(e.ui.messages.size(), 1u);
    EXPECT_EQ(e.ui.messages[0].text,
              "ご利用のシステムには，Microsoft Word がインストールされていません。\r\n"
              "Word形式でエクスポートするためには Microsoft Word 97/98以上 が必要です。");
}

TEST(CWordReport, OrientationMarkOfTheFirstLine) {
    {
        Export e;
        e.run("?PF;A4Y;000;000\r\nbody");
        EXPECT_EQ(e.calls(),
                  QString(kSetup).replace("page o0", "page o1") + "text[body]|para|finish");
    }
    {
        Export e(std::string(kFactoryIni).replace(std::string(kFactoryIni).find("=T"), 2, "=Y"));
        e.run("first\r\n");
        EXPECT_EQ(e.calls(),
                  QString(kSetup).replace("page o0", "page o1") + "text[first]|para|finish");
    }
}

struct SettingsCase {
    const char* name;
    const char* ini;
    const char* setup;  // the page and style calls
};

void PrintTo(const SettingsCase& c, std::ostream* os) {
    *os << c.name;
}

class CWordReportSettings : public testing::TestWithParam<SettingsCase> {};

TEST_P(CWordReportSettings, PageAndStyle) {
    Export e(GetParam().ini);
    e.run("");
    const QStringList calls = e.doc.calls.mid(2, 2);
    EXPECT_EQ(calls.join('|'), QString::fromUtf8(GetParam().setup));
}

const SettingsCase kSettingsCases[] = {
    {"TenPointsBecomeNine",
     "[StdFont]\r\nName=Font\r\nSize0=9.96\r\n[Page]\r\nTop(mm)=25\r\nLeft(mm)=10.5\r\n",
     "page o0 t70.87 b0 l28.35 r0|stylefont 標準 Font/Font/Century 9"},
    {"OtherSizesStay", "[StdFont]\r\nSize0=10.1\r\n",
     "page o0 t0.00 b0 l0.00 r0|stylefont 標準 ＭＳ 明朝/ＭＳ 明朝/Century 10.1"},
    {"JunkSizeAndEmptyNameFallBack",
     "[StdFont]\r\nName=\r\nSize0=abc\r\n[Page]\r\nTop(mm)=-5\r\nLeft(mm)=400\r\n",
     "page o0 t0.00 b0 l592.44 r0|stylefont 標準 ＭＳ 明朝/ＭＳ 明朝/Century 9"},
};

INSTANTIATE_TEST_SUITE_P(Export, CWordReportSettings, testing::ValuesIn(kSettingsCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
