// The RTF subset the preview reads, and its layout on a fake control.
#include "preview/RtfReader.h"

#include <gtest/gtest.h>

#include "tests/preview/FakePreviewControl.h"

namespace preview {
namespace {

using Kind = RtfItem::Kind;

std::vector<RtfItem> textItems(const RtfDocument& doc) {
    std::vector<RtfItem> out;
    for (const RtfItem& item : doc.items) {
        if (item.kind == Kind::Text) out.push_back(item);
    }
    return out;
}

TEST(RtfReader, FontsSizesAndStylesSplitTheRuns) {
    const RtfDocument doc = ParseRtf(
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}{\\f1\\fswiss Arial;}}"
        "{\\*\\generator Writer;}{\\info{\\title t}}"
        "\\pard\\f0\\fs20 \\'82\\'a0a{\\b b}\\i c\\i0\\ul d\\ulnone\\par\\f1\\fs28 e\\page f}");
    ASSERT_TRUE(doc.isRtf);
    const std::vector<RtfItem> t = textItems(doc);
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0].text, QStringLiteral("あa"));
    EXPECT_EQ(t[0].fontName, QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(t[0].fontSize, 10.0);
    EXPECT_TRUE(t[1].bold);
    EXPECT_EQ(t[1].text, QStringLiteral("b"));
    EXPECT_TRUE(t[2].italic && !t[2].bold);  // the group's bold ended with it
    EXPECT_TRUE(t[3].underline && !t[3].italic);
    EXPECT_EQ(t[4].fontName, QStringLiteral("Arial"));
    EXPECT_EQ(t[4].fontSize, 14.0);
    std::vector<Kind> kinds;
    for (const RtfItem& item : doc.items) kinds.push_back(item.kind);
    EXPECT_EQ(kinds,
              (std::vector<Kind>{Kind::Text, Kind::Text, Kind::Text, Kind::Text, Kind::ParagraphEnd,
                                 Kind::Text, Kind::ParagraphEnd, Kind::PageBreak, Kind::Text}));
}

TEST(RtfReader, UnicodeEscapesSkipTheirFallback) {
    const RtfDocument doc =
        ParseRtf("{\\rtf1\\uc1\\u12354?\\u-3?x{\\uc2\\u12356\\'82\\'a2}\\{\\}\\\\}");
    const std::vector<RtfItem> t = textItems(doc);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, QString::fromUtf16(u"あ\xFFFDxい{}\\"));
}

TEST(RtfReader, SkipsPicturesAndUnknownDestinations) {
    const RtfDocument doc =
        ParseRtf("{\\rtf1 a{\\pict\\pngblip 89504e47}{\\*\\unknown zz}{\\header h}b}");
    const std::vector<RtfItem> t = textItems(doc);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, QStringLiteral("ab"));
}

TEST(RtfReader, DeepNestingAndTruncationEndCleanly) {
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 5000; ++i) deep += "{\\b x";
    EXPECT_TRUE(ParseRtf(deep).isRtf);
    EXPECT_TRUE(ParseRtf("{\\rtf1 \\'8").isRtf);
    EXPECT_TRUE(ParseRtf("{\\rtf1 \\").isRtf);
}

TEST(RtfReader, OtherTextGivesItsLines) {
    const RtfDocument doc = ParseRtf("plain\r\n\x82\xa0\r\n");
    EXPECT_FALSE(doc.isRtf);
    const std::vector<RtfItem> t = textItems(doc);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[1].text, QStringLiteral("あ"));
}

TEST(RtfLayout, WrapsBetweenTheMarginsAndBreaksPages) {
    FakePreviewControl control;
    control.setMargins(1440, 1440, 1440, 1440);
    control.startDoc();
    RtfDocument doc;
    RtfItem words;
    words.text = QString(QStringLiteral("word ")).repeated(100);  // 500 x 100 twips
    words.fontSize = 10;
    const auto item = [](Kind kind, const QString& text = {}) {
        RtfItem made;
        made.kind = kind;
        made.text = text;
        return made;
    };
    doc.items = {words, item(Kind::ParagraphEnd), item(Kind::PageBreak),
                 item(Kind::Text, QStringLiteral("あい"))};
    LayOutRtf(doc, control);
    const int right = control.paperSizeTwips().width() - 1440;
    int lines = 0;
    for (const auto& t : control.texts) {
        EXPECT_GE(t.x, 1440);
        EXPECT_LE(t.x + control.measureText(t.text).width, right + 500);  // trailing blank may hang
        if (t.page == 1 && t.x == 1440) ++lines;
    }
    EXPECT_EQ(lines, 6);  // 9026 twips a line: 18 words each
    EXPECT_EQ(control.pageCount(), 2);
    EXPECT_EQ(control.texts.back().text,
              QStringLiteral("い"));  // each full-width character a piece
    EXPECT_EQ(control.texts.back().x, 1440 + 200);
    EXPECT_EQ(control.texts.back().y, 1440);
}

// A path longer than a line, after a smaller font: every character is kept, in order, each
// line within the margins in the word's own font.
TEST(RtfLayout, AWordLongerThanALineGoesOnInTheNextLines) {
    FakePreviewControl control;
    control.setMargins(1440, 1440, 1440, 1440);
    control.startDoc();
    RtfItem before;
    before.text = QStringLiteral("ab ");
    before.fontSize = 10;
    RtfItem word;
    for (int i = 0; i < 300; ++i) word.text += QChar(u'a' + i % 26);
    word.fontSize = 20;  // 200 twips a character: 45 to a line of 9026
    RtfDocument doc;
    doc.items = {before, word};
    LayOutRtf(doc, control);
    const int right = control.paperSizeTwips().width() - 1440;
    QString kept;
    int lines = 0;
    for (const auto& t : control.texts) {
        if (t.font.size != 20) continue;
        kept += t.text;
        ++lines;
        EXPECT_EQ(t.x, 1440);
        EXPECT_LE(t.x + 200 * t.text.size(), right);
    }
    EXPECT_EQ(kept, word.text);
    EXPECT_EQ(lines, 7);
}

}  // namespace
}  // namespace preview
