// The sequential field reader shared by the input and figure files.

#include "foundation/FieldReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = FieldValue::Kind;

std::vector<FieldValue> ReadAll(std::string_view bytes) {
    FieldReader reader(bytes);
    std::vector<FieldValue> fields;
    FieldValue f;
    while (reader.readField(f)) fields.push_back(f);
    return fields;
}

TEST(FieldReader, readsEachKindOfValue) {
    const auto f =
        ReadAll("#TRUE#\r\n\"Case A\"\r\n2\r\n.5\r\n-1.25E+3\r\n\r\n 7 \r\n#false#\r\nabc\r\n");
    ASSERT_EQ(f.size(), 9u);
    EXPECT_EQ(f[0].kind, Kind::Boolean);
    EXPECT_TRUE(f[0].boolean);
    EXPECT_EQ(f[1].kind, Kind::Text);
    EXPECT_EQ(f[1].text, "Case A");
    EXPECT_EQ(f[2].kind, Kind::Number);
    EXPECT_EQ(f[2].number, 2);
    EXPECT_EQ(f[3].number, 0.5);
    EXPECT_EQ(f[4].number, -1250);
    EXPECT_EQ(f[5].kind, Kind::Empty);  // a blank line
    EXPECT_EQ(f[6].number, 7);          // print convention: blanks around
    EXPECT_EQ(f[7].kind, Kind::Boolean);
    EXPECT_FALSE(f[7].boolean);
    EXPECT_EQ(f[8].kind, Kind::Text);
    EXPECT_EQ(f[8].text, "abc");
}

TEST(FieldReader, commasSeparateFieldsOnOneLine) {
    const auto f = ReadAll("1, 2 ,\"a,b\",x y\r\n3");
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[0].number, 1);
    EXPECT_EQ(f[1].number, 2);
    EXPECT_EQ(f[2].text, "a,b");
    EXPECT_EQ(f[3].text, "x y");
    EXPECT_EQ(f[4].number, 3);  // a last line without a line end
}

TEST(FieldReader, quoteInsideAQuotedTextEndsItAndTheRestIsDropped) {
    const auto f = ReadAll("\"ab\"cd\"\r\n5\r\n\"open\r\n6");
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].text, "ab");
    EXPECT_EQ(f[1].number, 5);     // later fields stay aligned
    EXPECT_EQ(f[2].text, "open");  // an unclosed quote ends at the line end
    EXPECT_EQ(f[3].number, 6);
}

TEST(FieldReader, lineEndsOfEveryKind) {
    const auto f = ReadAll("1\n2\r3\r\n\n4");
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[2].number, 3);
    EXPECT_EQ(f[3].kind, Kind::Empty);
    EXPECT_EQ(f[4].number, 4);
}

TEST(FieldReader, keepsRawBytesAndNulsOfTexts) {
    const char raw[] = "\"\x8A\xDD\x95\xC7\"\r\nA\0B\r\n";
    const std::string bytes(raw, sizeof raw - 1);
    const auto f = ReadAll(bytes);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].text, "\x8A\xDD\x95\xC7");
    EXPECT_EQ(f[1].text, std::string("A\0B", 3));
}

TEST(FieldReader, skipsLinesAndStopsAtTheEnd) {
    FieldReader r("head\r\nsecond\r\n42\r\n");
    EXPECT_TRUE(r.skipLine());
    EXPECT_TRUE(r.skipLine());
    EXPECT_EQ(r.lineNumber(), 3u);
    FieldValue f;
    ASSERT_TRUE(r.readField(f));
    EXPECT_EQ(f.number, 42);
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.readField(f));
    EXPECT_FALSE(r.skipLine());
    EXPECT_FALSE(FieldReader("").readField(f));
}

TEST(FieldReader, numbersAreLocaleFreeAndStrict) {
    const auto f = ReadAll("1,5\r\n0x10\r\ninf\r\n1e400\r\n+3\r\n");
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(f[0].number, 1);  // the comma separates
    EXPECT_EQ(f[1].number, 5);
    EXPECT_EQ(f[2].kind, Kind::Text);
    EXPECT_EQ(f[3].kind, Kind::Text);
    EXPECT_EQ(f[4].kind, Kind::Text);  // not finite
    EXPECT_EQ(f[5].number, 3);
}

}  // namespace
