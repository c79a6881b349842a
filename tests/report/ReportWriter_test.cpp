#include "report/ReportWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Cp932.h"
#include "tests/report/ReportFixture.h"

namespace {

std::string Sjis(std::string_view utf8) {
    return cp932::fromUtf8(utf8);
}

// ---- Number fields ------------------------------------------------------------------------

struct NumberFieldCase {
    const char* name;
    const char* picture;
    double value;
    const char* expected;
};

void PrintTo(const NumberFieldCase& c, std::ostream* os) {
    *os << c.name;
}

class NumberFieldTable : public ::testing::TestWithParam<NumberFieldCase> {};

TEST_P(NumberFieldTable, FillsExactlyThePictureWidth) {
    const NumberFieldCase& c = GetParam();
    EXPECT_EQ(FormatNumberField(c.value, c.picture), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, NumberFieldTable,
    ::testing::Values(NumberFieldCase{"RightAligned", "##0.0", 3.14159, "  3.1"},
                      NumberFieldCase{"TooWideShowsStars", "##0.0", 12345.6, "*****"},
                      NumberFieldCase{"PlusSignsPositive", "+#0.00", 1.5, " +1.50"},
                      NumberFieldCase{"PlusKeepsMinus", "+#0.00", -1.5, " -1.50"},
                      NumberFieldCase{"PlusSignsZero", "+#0.00", 0.0, " +0.00"},
                      NumberFieldCase{"PlusOnANegativeThatRoundsToZero", "+#0.00", -0.001,
                                      " +0.00"},
                      NumberFieldCase{"PlusTooWide", "+#0.0", 123.0, "*****"},
                      NumberFieldCase{"BackslashPrintsItself", "\\###", 12, " \\12"},
                      NumberFieldCase{"Grouping", "###,##0", 200000, "200,000"},
                      NumberFieldCase{"NegativeFitsTheWidth", "#,##0.000", -35.2, "  -35.200"},
                      NumberFieldCase{"MinusMakesItTooWide", "0.0", -1.5, "***"},
                      NumberFieldCase{"TwoDigitLayerNumber", "#0", 7, " 7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberField, NonFiniteValueFailsTheLine) {
    EXPECT_THROW(FormatNumberField(std::numeric_limits<double>::quiet_NaN(), "##0"), ReportError);
}

TEST(FindNumberFields, LocatesEveryKindInOrder) {
    const std::vector<FieldLocation> expected = {{2, 3, "#.0"}, {7, 4, "+##0"}, {14, 3, "\\#,"}};
    EXPECT_EQ(FindNumberFields("a #.0 b+##0 c \\#,x + \\ 0"), expected);
}

TEST(FindNumberFields, TrailByteFiveCIsNotABackslash) {
    // "表" is 95 5C in CP932: the field starts at the "#" after it, not at its trail byte.
    const std::string line = Sjis("表#0");
    const auto fields = FindNumberFields(line);
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(fields[0], (FieldLocation{2, 2, "#0"}));
    NumberValues numbers{};
    numbers(1) = 7;
    EXPECT_EQ(FillTemplateLine(line, numbers, TextValues{}), Sjis("表 7"));
}

TEST(FindNumberFields, TwentyFieldsFitATwentyFirstFails) {
    std::string line;
    for (int i = 0; i < 20; ++i) line += "# ";
    EXPECT_EQ(FindNumberFields(line).size(), 20u);
    EXPECT_THROW(FindNumberFields(line + "#"), ReportError);
    std::string texts;
    for (int i = 0; i < 21; ++i) texts += "! ";
    EXPECT_THROW(FindTextFields(texts), ReportError);
}

// ---- Text fields --------------------------------------------------------------------------

TEST(FindTextFields, PicturesByFieldKind) {
    const std::vector<FieldLocation> expected = {{0, 2, "@@"}, {3, 5, "!@@@@@"}, {11, 3, "!@@@"}};
    EXPECT_EQ(FindTextFields("&> &   > ! &ab"), expected);  // no ">": to the end
    EXPECT_EQ(FindTextFields("a ! b !"), (std::vector<FieldLocation>{{2, 1, "@"}, {6, 1, "@"}}));
    // A "!" before an "&" field stays literal.
    EXPECT_EQ(FindTextFields("! &  >"), (std::vector<FieldLocation>{{2, 4, "!@@@@"}}));
}

struct TextFieldCase {
    const char* name;
    const char* field;  // the template field
    const char* value;
    const char* expected;  // UTF-8 of the filled field
};

void PrintTo(const TextFieldCase& c, std::ostream* os) {
    *os << c.name;
}

class TextFieldTable : public ::testing::TestWithParam<TextFieldCase> {};

TEST_P(TextFieldTable, FillsExactlyTheFieldWidth) {
    const TextFieldCase& c = GetParam();
    const auto fields = FindTextFields(c.field);
    ASSERT_EQ(fields.size(), 1u);
    const std::string filled = FormatTextField(c.value, fields[0]);
    EXPECT_EQ(filled.size(), std::string_view(c.field).size());
    EXPECT_EQ(cp932::toUtf8(filled), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TextFieldTable,
    ::testing::Values(TextFieldCase{"EmptyGivesBlanks", "&         >", "", "           "},
                      TextFieldCase{"LeftAligned", "&    >", "OK", "OK    "},
                      TextFieldCase{"CutAtTheWidth", "&  >", "abcdefgh", "abcd"},
                      TextFieldCase{"CutBeforeAHalfCharacter", "&  >", "ab岸壁", "ab岸"},
                      TextFieldCase{"HalfCharacterBecomesABlank", "&   >", "岸壁矢板", "岸壁 "},
                      TextFieldCase{"TwoByteFieldRightAligned", "&>", "a", " a"},
                      TextFieldCase{"TwoByteFieldDropsAHalfCharacter", "&>", "＞", "  "},
                      TextFieldCase{"LoneBang", "!", "xyz", "x"},
                      TextFieldCase{"LineBreaksBecomeBlanks", "&     >", "a\fb\rc\nd", "a b c d"},
                      TextFieldCase{"DoubleByteFits", "&  >", "≦", "≦  "},
                      TextFieldCase{"QuestionMarkCannotStartACommand", "&     >", "a?R1",
                                    "a？R1  "},
                      TextFieldCase{"UnencodableCannotStartACommand", "&    >", "😀BM", "？BM  "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FillTemplateLine, NumbersFirstThenTextsIntoTheTemplateAsWritten) {
    NumberValues numbers{};
    numbers(1) = 180.04;
    numbers(2) = 180;
    TextValues texts{};
    texts(1) = "＞";
    texts(2) = "OUT";
    EXPECT_EQ(cp932::toUtf8(FillTemplateLine(Sjis("σ ##0.0 &  > ##0 &   >"), numbers, texts)),
              "σ 180.0 ＞   180 OUT  ");
}

// ---- Numbering ----------------------------------------------------------------------------

struct StyleCase {
    const char* name;
    int style, counter;
    const char* text;
    int counterAfter;
};

void PrintTo(const StyleCase& c, std::ostream* os) {
    *os << c.name;
}

class NumberingStyleTable : public ::testing::TestWithParam<StyleCase> {};

TEST_P(NumberingStyleTable, FormatsAndWraps) {
    const StyleCase& c = GetParam();
    int counter = c.counter;
    EXPECT_EQ(FormatNumberingStyle(c.style, counter), c.text);
    EXPECT_EQ(counter, c.counterAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, NumberingStyleTable,
    ::testing::Values(
        StyleCase{"Plain99", 1, 99, "99", 99}, StyleCase{"Plain100Wraps", 1, 100, "1", 1},
        StyleCase{"Bracketed", 2, 3, "(3)", 3}, StyleCase{"Closing", 3, 12, "12)", 12},
        StyleCase{"Letter", 4, 26, "(z)", 26}, StyleCase{"Letter27Wraps", 4, 27, "(a)", 1},
        StyleCase{"LetterClosing", 5, 2, "b)", 2}, StyleCase{"Roman", 6, 4, "(iv)", 4},
        StyleCase{"Roman11Wraps", 6, 11, "(i)", 1}, StyleCase{"RomanClosing", 7, 9, "ix)", 9},
        StyleCase{"Circled", 8, 20, "⑳", 20}, StyleCase{"Circled21Wraps", 8, 21, "①", 1},
        StyleCase{"Dot", 9, 500, "･", 500}, StyleCase{"ZeroCounter", 1, 0, "", 0},
        StyleCase{"NoStyle", 0, 3, "", 3}, StyleCase{"StyleTen", 10, 3, "", 3}),
    [](const auto& info) { return std::string(info.param.name); });

NumberingSettings Numbering(int method, std::array<int, 4> style, std::array<int, 4> margin = {}) {
    NumberingSettings s;
    s.Method = method;
    s.Style = style;
    s.Margin = margin;
    return s;
}

TEST(NextHeadingNumber, JoinedMethodsAndDeeperCountersReset) {
    TempNameList files;
    ReportWriter w(files);
    w.BeginBuild(Numbering(2, {1, 1, 2, 0}));
    EXPECT_EQ(w.NextHeadingNumber(1), "1. ");
    EXPECT_EQ(w.NextHeadingNumber(2), "1-1 ");
    EXPECT_EQ(w.NextHeadingNumber(3), "(1) ");
    EXPECT_EQ(w.NextHeadingNumber(3), "(2) ");
    EXPECT_EQ(w.NextHeadingNumber(1), "2. ");
    EXPECT_EQ(w.NextHeadingNumber(2), "2-1 ");
    EXPECT_EQ(w.CurrentHeadingLevel(), 2);
    w.BeginBuild(Numbering(3, {6, 8, 0, 0}));
    w.NextHeadingNumber(1);
    EXPECT_EQ(w.NextHeadingNumber(2), "(i).① ");
    w.BeginBuild(Numbering(1, {4, 9, 0, 0}));
    EXPECT_EQ(w.NextHeadingNumber(2), "･ ");
    EXPECT_EQ(w.NextHeadingNumber(4), " ");  // no style on level 4
}

// Writes lines through a writer and returns the file's text (UTF-8).
template <typename Body>
std::string Written(ReportFixture& f, const NumberingSettings& numbering, Body&& body) {
    f.session().BeginBuild(numbering);
    const std::string path = f.startReport();
    ReportWriter& w = f.session().writer();
    w.OpenReport();
    w.ReportLineCount = 0;
    body(w);
    w.CloseReport();
    return cp932::toUtf8(ScratchFolder::read(path));
}

TEST(PrintLinePrefix, MarginsMarksAndNumbers) {
    ReportFixture f;
    EXPECT_EQ(Written(f, Numbering(0, {1, 1, 1, 1}, {1, 2, 3, 4}),
                      [](ReportWriter& w) {
                          w.PrintLiteralLine(1, "A");
                          w.PrintLiteralLine(0, "b");
                          w.PrintLiteralLine(7, "c");  // numbering off: written like code 0
                      }),
              " ?R1A\r\n   b\r\n   c\r\n");
    EXPECT_EQ(Written(f, Numbering(2, {1, 2, 1, 1}, {0, 2, 4, 6}),
                      [](ReportWriter& w) {
                          w.PrintLiteralLine(1, "A");
                          w.PrintLiteralLine(2, "B");
                          w.PrintLiteralLine(3, "C");
                          w.PrintLiteralLine(0, "text");
                      }),
              "?R11. A\r\n  ?R21-(1) B\r\n    1 C\r\n      text\r\n");
}

TEST(PrintLinePrefix, CodeWithoutALevelFailsWhileNumberingIsOn) {
    ReportFixture f;
    f.session().BeginBuild(Numbering(1, {1, 1, 1, 1}));
    f.startReport();
    ReportWriter& w = f.session().writer();
    w.OpenReport();
    EXPECT_THROW(w.PrintLiteralLine(6, "x"), ReportError);
    w.CloseReport();
}

TEST(ReadNumberingSettings, ChapterSectionWithNegativeAndLargeMarginsClamped) {
    ScratchFolder folder;
    const std::string ini = folder.file("Mibrox.ini");
    ScratchFolder::write(ini,
                         "[Chapter]\r\nMethod=3\r\nStyle1=2\r\nStyle3=8\r\nMargin1=-4\r\n"
                         "Margin2=2\r\nMargin4=99\r\n");
    const NumberingSettings s = ReadNumberingSettings(ini);
    EXPECT_EQ(s.Method, 3);
    EXPECT_EQ(s.Style, (std::array<int, 4>{2, 0, 8, 0}));
    EXPECT_EQ(s.Margin, (std::array<int, 4>{0, 2, 0, 10}));
    EXPECT_EQ(ReadNumberingSettings(folder.file("missing.ini")).Method, 0);
}

// ---- Page accounting ----------------------------------------------------------------------

TEST(NewPageIfNoRoom, FormFeedOnlyWhenTheRestOfThePageIsTooShort) {
    ReportFixture f;
    auto after40 = [&](int needed) {
        return Written(f, Numbering(0, {}), [&](ReportWriter& w) {
            w.PrintBlankLines(40);
            w.NewPageIfNoRoom(needed, 2);
            EXPECT_EQ(w.ReportLineCount, needed == 26 ? 0 : 42);
        });
    };
    std::string blanks;
    for (int i = 0; i < 40; ++i) blanks += "\r\n";
    EXPECT_EQ(after40(26), blanks + "\f");
    EXPECT_EQ(after40(22), blanks + "\r\n\r\n");
    // An empty page gets no form feed, however much is asked for.
    EXPECT_EQ(Written(f, Numbering(0, {}), [](ReportWriter& w) { w.NewPageIfNoRoom(66, 2); }), "");
}

struct ChunkCase {
    const char* name;
    int rows, firstRoom, laterRoom;
    std::vector<int> chunks;
};

void PrintTo(const ChunkCase& c, std::ostream* os) {
    *os << c.name;
}

class ChunkTable : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(ChunkTable, SplitsRowsIntoPages) {
    const ChunkCase& c = GetParam();
    EXPECT_EQ(SplitIntoChunks(c.rows, c.firstRoom, c.laterRoom), c.chunks);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ChunkTable,
    ::testing::Values(ChunkCase{"ThreeLayersFit", 3, 16, 15, {3}},
                      ChunkCase{"ThirtyLayersAfterTheHeader", 30, 14, 15, {14, 16}},
                      ChunkCase{"FirstChunkTakesTwoMore", 16, 14, 15, {16}},
                      ChunkCase{"FirstChunkNotThree", 17, 14, 15, {14, 3}},
                      ChunkCase{"SectionRowsStayOnThePage", 40, 42, 57, {40}},
                      ChunkCase{"SectionRowsSplit", 40, 12, 57, {12, 28}},
                      ChunkCase{"LaterChunksTakeTwoMore", 130, 50, 57, {50, 57, 23}},
                      ChunkCase{"LaterChunkBoundary", 109, 50, 57, {50, 59}},
                      ChunkCase{"NoRows", 0, 10, 15, {}},
                      ChunkCase{"NoRoomCountsAsOne", 5, 0, 15, {1, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Template loader ----------------------------------------------------------------------

std::string Fmt(std::string_view utf8) {
    return ToCp932CrLf(utf8);
}

TEST(ParseReportTemplate, ReadsItsSectionOnly) {
    const std::string file =
        Fmt("A\n  1 1first A\nEnd\n断面力\n' comment\n  1 1heading\n  3 0\n 07 0x ##0\n"
            "  1 2again\n  5\nEnd\n  9 0after\n");
    ReportTemplate t;
    EXPECT_EQ(ParseReportTemplate(file, "断面力", t), 5);
    EXPECT_EQ(t.codes(1), 2);
    EXPECT_EQ(t.texts(1), "again");  // a later line replaces an earlier one
    EXPECT_EQ(t.texts(3), "");
    EXPECT_EQ(t.texts(7), "x ##0");
    EXPECT_EQ(t.codes(5), 0);
    EXPECT_EQ(t.texts(9), "");
}

TEST(ParseReportTemplate, LinesOfAnEarlierSectionAreNotKept) {
    ReportTemplate t;
    ParseReportTemplate(Fmt("A\n  2 0from A\nEnd\nB\n  1 0b\nEnd\n"), "A", t);
    ParseReportTemplate(Fmt("A\n  2 0from A\nEnd\nB\n  1 0b\nEnd\n"), "B", t);
    EXPECT_EQ(t.texts(2), "");
}

struct TemplateFailure {
    const char* name;
    const char* file;
};

void PrintTo(const TemplateFailure& c, std::ostream* os) {
    *os << c.name;
}

class TemplateFailureTable : public ::testing::TestWithParam<TemplateFailure> {};

TEST_P(TemplateFailureTable, Throws) {
    ReportTemplate t;
    EXPECT_THROW(ParseReportTemplate(Fmt(GetParam().file), "S", t), ReportError);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TemplateFailureTable,
    ::testing::Values(TemplateFailure{"MissingSection", "T\n  1 0x\nEnd\n"},
                      TemplateFailure{"NameMustBeTheWholeLine", "S \n  1 0x\nEnd\n"},
                      TemplateFailure{"MissingEnd", "S\n  1 0x\n"},
                      TemplateFailure{"BlankLineReadsAsZero", "S\n\n  1 0x\nEnd\n"},
                      TemplateFailure{"LineFiftyOne", "S\n 51 0x\nEnd\n"},
                      TemplateFailure{"NotANumber", "S\n  x 0x\nEnd\n"},
                      TemplateFailure{"CodeNotADigit", "S\n  1 xx\nEnd\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadReportTemplate, MissingFileFails) {
    ReportTemplate t;
    EXPECT_THROW(LoadReportTemplate("/nonexistent/Mibrox.fmt", "S", t), ReportError);
}

// ---- Temporary names ----------------------------------------------------------------------

TEST(PrintSession, HundredNamesPerListAndTheHundredFirstIsRefusedBeforeAFileIsMade) {
    ReportFixture f;
    PrintSession& s = f.session();
    for (int i = 0; i < 100; ++i) {
        s.writer().NewReportFileName();
        s.NewFigureFileName();
    }
    const auto countFiles = [&] {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(f.folder().path())) {
            n += e.path().filename().string().rfind("~QM", 0) == 0;
        }
        return n;
    };
    EXPECT_EQ(countFiles(), 200);
    EXPECT_THROW(s.writer().NewReportFileName(), ReportError);
    EXPECT_THROW(s.NewFigureFileName(), ReportError);
    EXPECT_EQ(countFiles(), 200);
    s.RemoveAllFiles();
    EXPECT_EQ(countFiles(), 0);
}

TEST(AppendFormFeed, AppendsToTheCurrentFileAndReportsAMissingOne) {
    ReportFixture f;
    const std::string path = f.startReport();
    ScratchFolder::write(path, "abc");
    EXPECT_TRUE(f.session().writer().AppendFormFeed());
    EXPECT_EQ(ScratchFolder::read(path), "abc\f");
    f.session().writer().SetCurrentReportFile(f.folder().file("gone/x.prn"));
    EXPECT_FALSE(f.session().writer().AppendFormFeed());
}

}  // namespace
