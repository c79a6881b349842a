#include "foundation/Cp932.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

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
    // A decoder kept open starts each text afresh after a bad one.
    cp932::Decoder decoder;
    EXPECT_EQ(decoder.toUtf8("a\x81"), "a?");
    EXPECT_EQ(decoder.toUtf8("\x82\xA0z"), "あz");
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

// Where CP932 has two or three codes for one character, Windows writes the JIS X 0208 one,
// then the NEC row 13 one (0x87), then the IBM extension (0xFA-0xFC), never the NEC-selected
// IBM extension (0xED-0xEE).
int WindowsPreference(unsigned char lead) {
    if (lead == 0x87) return 1;
    if (lead >= 0xFA) return 2;
    if (lead == 0xED || lead == 0xEE) return 3;
    return 0;
}

TEST(Cp932, EveryDoubleByteCodeRoundTrips) {
    std::map<std::string, std::vector<std::string>> codesOf;  // UTF-8 -> its CP932 codes
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!cp932::isLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string utf8 = cp932::toUtf8(code);
            if (utf8.find('?') != std::string::npos) continue;  // unassigned code
            codesOf[utf8].push_back(code);
        }
    }
    int duplicates = 0;
    std::size_t codes = 0;
    for (const auto& [utf8, list] : codesOf) {
        codes += list.size();
        const std::string preferred = *std::min_element(
            list.begin(), list.end(), [](const std::string& a, const std::string& b) {
                return WindowsPreference(static_cast<unsigned char>(a[0])) <
                       WindowsPreference(static_cast<unsigned char>(b[0]));
            });
        if (list.size() > 1) ++duplicates;
        const std::string back = cp932::fromUtf8(utf8);
        EXPECT_EQ(back, preferred) << std::hex << (static_cast<unsigned>(list[0][0]) & 0xFF) << ' '
                                   << (static_cast<unsigned>(list[0][1]) & 0xFF);
        EXPECT_EQ(cp932::toUtf8(back), utf8);
    }
    EXPECT_EQ(codes, 7724u + 1880u);  // every assigned code, with the user-defined area
    EXPECT_EQ(duplicates, 396);
}

}  // namespace
