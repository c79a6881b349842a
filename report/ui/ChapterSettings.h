#pragma once
// The numbering settings of the report headings: section Chapter of Mibrox.ini, written by the
// numbering-style form and read by the print menu each time it builds the print files.
//
// Keys, in the order the form writes them: Method ("0".."3", empty when no method is chosen),
// Init (start value of the chapter numbers; kept for the form, not used by the reports),
// Style1..Style4 ("1".."9", "0" for none), Margin1..Margin4 (indent in half-width characters,
// 0..10). Every key is read as the leading integer of its value, 0 when missing. Margins are
// clamped to 0..10 when read, so a hand-edited value can neither fail a report nor build an
// indent of thousands of millions of blanks.

#include <array>
#include <cstdint>
#include <string>

namespace chapter_key {
inline constexpr const char* Section = "Chapter";
inline constexpr const char* Method = "Method";
inline constexpr const char* Init = "Init";
inline constexpr const char* Style[4] = {"Style1", "Style2", "Style3", "Style4"};
inline constexpr const char* Margin[4] = {"Margin1", "Margin2", "Margin3", "Margin4"};
}  // namespace chapter_key

// Limits of the indents and of the start value, shared by the form and the reader.
inline constexpr std::int32_t kMarginMin = 0;
inline constexpr std::int32_t kMarginMax = 10;
inline constexpr std::int32_t kInitMin = 0;
inline constexpr std::int32_t kInitMax = 99;

// What the print menu hands to the report writer: levels 1..4 are entries 0..3.
struct NumberingSettings {
    std::int32_t Method = 0;
    std::array<std::int32_t, 4> Style{};
    std::array<std::int32_t, 4> Margin{};

    bool operator==(const NumberingSettings&) const = default;
};

// The whole section as stored (Method and Style unchecked, margins clamped).
struct ChapterSettings {
    NumberingSettings Numbering;
    std::int32_t Init = 0;
};

std::int32_t ClampMargin(std::int32_t margin);

ChapterSettings ReadChapterSettings(const std::string& iniPath);
