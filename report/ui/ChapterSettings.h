#pragma once
// The numbering settings of the report headings: section Chapter of Mibrox.ini, written by the
// numbering-style form and read by the print menu each time it builds the print files
// (ReadNumberingSettings of report/ReportWriter.h, which clamps the indents to 0..10).
//
// Keys, in the order the form writes them: Method ("0".."3", empty when no method is chosen),
// Init (start value of the chapter numbers; kept for the form, not used by the reports),
// Style1..Style4 ("1".."9", "0" for none), Margin1..Margin4 (indent in half-width characters,
// 0..10). Every key is read as the leading integer of its value, 0 when missing.

#include <cstdint>
#include <string>

#include "report/ReportWriter.h"

namespace chapter_key {
inline constexpr const char* Section = "Chapter";
inline constexpr const char* Method = "Method";
inline constexpr const char* Init = "Init";
inline constexpr const char* Style[4] = {"Style1", "Style2", "Style3", "Style4"};
inline constexpr const char* Margin[4] = {"Margin1", "Margin2", "Margin3", "Margin4"};
}  // namespace chapter_key

// Limits of the form's boxes.
inline constexpr int kMarginMin = 0;
inline constexpr int kMarginMax = 10;
inline constexpr int kInitMin = 0;
inline constexpr int kInitMax = 99;

// The whole section as the form reads it: the numbering as the reports take it, and Init.
struct ChapterSettings {
    NumberingSettings Numbering;
    std::int32_t Init = 0;
};

ChapterSettings ReadChapterSettings(const std::string& iniPath);
