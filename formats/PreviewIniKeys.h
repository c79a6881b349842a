#pragma once
// Section and key names of Preview.ini, for every reader and writer of the file: the preview
// window, the page-setup dialog and the word-processor export. Header only, so that a
// library may use the names without linking the preview.

#include <array>

namespace preview::ini_keys {

// Sections.
inline constexpr const char* Printer = "Printer";
inline constexpr const char* StdFont = "StdFont";
inline constexpr const char* Page = "Page";
inline constexpr const char* Header = "Header";
inline constexpr const char* Footer = "Footer";
inline constexpr const char* Window = "Preview";  // Top, Left, Width, Height (twips)

// Printer.
inline constexpr const char* Device = "Device";

// StdFont: the body font and its two sizes.
inline constexpr const char* Name = "Name";
inline constexpr const char* Size0 = "Size0";
inline constexpr const char* Size1 = "Size1";

// Page.
inline constexpr const char* PaperSize = "PaperSize";
inline constexpr const char* Orientation = "Orientation";
inline constexpr const char* TopMm = "Top(mm)";
inline constexpr const char* BottomMm = "Bottom(mm)";
inline constexpr const char* LeftMm = "Left(mm)";
inline constexpr const char* RightMm = "Right(mm)";
inline constexpr std::array<const char*, 4> MarginKeys{TopMm, BottomMm, LeftMm, RightMm};
inline constexpr const char* PageInit = "PageInit";

// Header and Footer; the part keys are left, centre, right.
inline constexpr const char* Flg = "flg";
inline constexpr const char* MarginMm = "Margin(mm)";
inline constexpr std::array<const char*, 3> PartFlagKeys{"flgL", "flgC", "flgR"};
inline constexpr std::array<const char*, 3> PartTextKeys{"strL", "strC", "strR"};
inline constexpr const char* FontName = "FontName";
inline constexpr const char* FontSize = "FontSize";
inline constexpr const char* FontBold = "FontBold";
inline constexpr const char* FontItalic = "FontItalic";
inline constexpr const char* FontUnderLine = "FontUnderLine";

}  // namespace preview::ini_keys
