#include "foundation/Cp932.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp932, MapsTheCharactersShiftJisVariantsDisagreeOn) {
    // 0x5C is the backslash, 0x8160 the full-width tilde U+FF5E, 0x8740 the circled one.
    EXPECT_EQ(cp932::fromUtf8("\\"), "\x5C");
    EXPECT_EQ(cp932::fromUtf8("～"), "\x81\x60");
    EXPECT_EQ(cp932::fromUtf8("①"), "\x87\x40");
    EXPECT_EQ(cp932::toUtf8("\x81\x60"), "～");
    EXPECT_EQ(cp932::toUtf8("\x87\x40"), "①");
    EXPECT_EQ(cp932::toUtf8("\x5C"), "\\");
}

TEST(Cp932, HalfWidthKanaAreSingleBytes) {
    EXPECT_EQ(cp932::fromUtf8("ｼｽﾃﾑ"), "\xBC\xBD\xC3\xD1");
    EXPECT_EQ(cp932::byteLength("ｼｽﾃﾑ情報"), 8u);
    EXPECT_EQ(cp932::toUtf8("\xBC\xBD\xC3\xD1"), "ｼｽﾃﾑ");
}

TEST(Cp932, UnencodableCharacterBecomesOneQuestionMark) {
    EXPECT_EQ(cp932::fromUtf8("a😀b"), "a?b");
    EXPECT_FALSE(cp932::canEncode("😀"));
    EXPECT_TRUE(cp932::canEncode("天端高 (標高，m)"));
    EXPECT_EQ(cp932::fromUtf8("x\xFFy"), "x?y");  // invalid UTF-8
}

TEST(Cp932, InvalidBytesDecodeToQuestionMarks) {
    EXPECT_EQ(cp932::toUtf8("a\x81"), "a?");  // lead byte at the end
    EXPECT_EQ(cp932::toUtf8("\xA0z"), "?z");
}

TEST(Cp932, CutNeverSplitsADoubleByteCharacter) {
    const std::string sjis = cp932::fromUtf8("aあい");  // 1 + 2 + 2 bytes
    EXPECT_EQ(cp932::cutAtBoundary(sjis, 5), sjis);
    EXPECT_EQ(cp932::cutAtBoundary(sjis, 4), sjis.substr(0, 3));
    EXPECT_EQ(cp932::cutAtBoundary(sjis, 2), "a");
    EXPECT_EQ(cp932::cutAtBoundary(sjis, 0), "");
    EXPECT_EQ(cp932::truncateUtf8ToBytes("aあい", 4), "aあ");
    EXPECT_TRUE(cp932::isLeadByte(0x81));
    EXPECT_TRUE(cp932::isLeadByte(0xFC));
    EXPECT_FALSE(cp932::isLeadByte(0xA0));
    EXPECT_FALSE(cp932::isLeadByte(0x5C));
}

TEST(Cp932, EveryDoubleByteCodeRoundTrips) {
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!cp932::isLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string utf8 = cp932::toUtf8(code);
            if (utf8.find('?') != std::string::npos) continue;  // unassigned code
            const std::string back = cp932::fromUtf8(utf8);
            // NEC/IBM duplicates map to one preferred code; that code must round-trip.
            EXPECT_EQ(cp932::toUtf8(back), utf8) << std::hex << lead << ' ' << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 7000);
}

}  // namespace
