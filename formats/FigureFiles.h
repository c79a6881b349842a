#pragma once
// The figure files that carry a figure from Mibrox to Preview, and the two drawing-definition
// files. Writers and readers live here together so that both programs read what the other
// writes, byte for byte.
//
// Coordinates are millimetres on the figure's own plane, x to the right, y upward; point 1 is
// the top of the wall line at (0, 0). A horizontal text (direction 3) is anchored at the
// bottom-left corner of its box; a vertical text (direction 1, turned a quarter turn
// counter-clockwise) at the bottom-right corner. Text sizes are twips (1/1440 inch).
//
// All four files are CP932 text with CR LF line ends. Inside the programs texts are UTF-8.
//
// FigureDataFile: two title lines, the bounding box (Width, Height, XMin, YMin, XMax, YMax),
// then the sections in this fixed order, each a keyword line, records and "END":
//   座標情報  n, x, y                              (always written, even when empty)
//   矩形情報  n, corner point, opposite point, line style, extra integer
//   線分情報  n, start point, end point, line style
//   円情報    n, centre point, radius, line style
//   円弧情報  n, centre x, centre y, radius, start angle, end angle (radians), line style
//   矢印(1)   n, tip point, direction (1 up, 3 right, 5 down, 7 left), line style
//   文字情報  the text on a line of its own, then x, y, text style, direction
// Integers have no padding, coordinates six decimals, the box two; fields are separated by
// ", ". Example (a wall line with one label):
//   ぬらけ曲線法
//   荷重分布図
//   22.70, 104.23, 0.00, -100.00, 22.70, 4.23
//   座標情報
//   1, 0.000000, 0.000000
//   2, 0.000000, -100.000000
//   END
//   線分情報
//   1, 1, 2, 3
//   END
//   文字情報
//   +3.000
//   10.000000, 0.000000, 2, 3
//   END
//
// FigureListFile: a title line, the paper line (PaperW and PaperH in mm), then per entry the
// path of a data file on a line of its own (read whole: a path may hold commas or blanks)
// and its offsets line (OffsetX, OffsetY in mm), then "END". Numbers are plain decimals,
// each preceded by a blank or its "-", the second starting at the next 14-column zone:
//   ぬらけ曲線法
//    150           130
//   /tmp/~QM1A2B3C4D.TMP
//    30            25
//   END
// The offsets put the figure's bounding-box centre on the paper area's centre.
//
// LINE_PRN.DEF and STR_PRN.DEF: a header line, then records of comma-separated fields (a
// field in double quotes may hold commas), each ending with a comment field, until the key
// "END". LINE_PRN.DEF records: key, WidthCode, PatternCode, comment. STR_PRN.DEF records:
// key, Value1, FontName, Size (twips), Bold, Italic, Underline, comment. Rows are numbered
// 1, 2, ... in file order; the key's own value is not used:
//   線種定義
//   1, 0, 0, "細線"
//   2, 2, 0, "0.2mm"
//   END
//
// Readers treat every file as hostile: they never read past the data, keep their tables
// within the capacities below and report the first fault with its line number. On a fault
// the output holds what was read before it, so a renderer may draw that part.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ReportError.h"

// ---- Drawing definitions ----------------------------------------------------------------

struct LineStyleDef {
    std::int32_t WidthCode = 0;    // 2: 0.2 mm pen, 3: 0.3 mm pen, other: thinnest pen
    std::int32_t PatternCode = 0;  // 2, 3: the two broken kinds, other: solid
    bool operator==(const LineStyleDef&) const = default;
};

struct TextStyleDef {
    std::int32_t Value1 = 0;
    std::string FontName;                              // UTF-8
    std::int32_t Size = 0;                             // character height in twips
    std::int32_t Bold = 0, Italic = 0, Underline = 0;  // 1 on, other off
    bool operator==(const TextStyleDef&) const = default;
};

// Rows the main program reads; the preview reads up to kPreviewStyleRows of each.
inline constexpr std::size_t kMainLineStyleRows = 9;
inline constexpr std::size_t kMainTextStyleRows = 2;
inline constexpr std::size_t kPreviewStyleRows = 20;

inline constexpr const char* kLineStyleDefFileName = "LINE_PRN.DEF";
inline constexpr const char* kTextStyleDefFileName = "STR_PRN.DEF";

// ---- Read results -----------------------------------------------------------------------

enum class FigureReadStatus {
    Ok,
    CannotOpen,     // missing, unreadable, not a regular file
    TooLarge,       // above kMaxFigureFileBytes
    MissingEnd,     // the data ended before an "END"
    TooManyRows,    // more rows or records than the table holds
    BadNumber,      // a field that must be a number is not one (or is not finite)
    BadRecord,      // too few fields, a repeated point section
    BadPointNumber  // a record names a point that was not read before it
};

struct FigureReadResult {
    FigureReadStatus status = FigureReadStatus::Ok;
    std::size_t line = 0;  // 1-based line of the fault, 0 when none
    std::string reason;    // English, names the file part and the fault
    bool ok() const { return status == FigureReadStatus::Ok; }
};

inline constexpr std::size_t kMaxFigureFileBytes = 32u << 20;

// Reads LINE_PRN.DEF / STR_PRN.DEF into `rows` (cleared first), at most maxRows rows; a
// row beyond maxRows is TooManyRows. Numbers must be whole numbers in the 32-bit range.
FigureReadResult LoadLineStyleDefs(const std::string& path, std::vector<LineStyleDef>& rows,
                                   std::size_t maxRows = kMainLineStyleRows);
FigureReadResult LoadTextStyleDefs(const std::string& path, std::vector<TextStyleDef>& rows,
                                   std::size_t maxRows = kMainTextStyleRows);
FigureReadResult ParseLineStyleDefs(std::string_view bytes, std::vector<LineStyleDef>& rows,
                                    std::size_t maxRows);
FigureReadResult ParseTextStyleDefs(std::string_view bytes, std::vector<TextStyleDef>& rows,
                                    std::size_t maxRows);

// ---- Figure buffer ----------------------------------------------------------------------

struct FigPoint {
    double x = 0, y = 0;
    bool operator==(const FigPoint&) const = default;
};
struct FigLine {
    std::int32_t from = 0, to = 0, style = 0;  // point numbers, line-style row
    bool operator==(const FigLine&) const = default;
};
struct FigRect {
    std::int32_t from = 0, to = 0, style = 0, extra = 0;  // opposite corners (point numbers)
    bool operator==(const FigRect&) const = default;
};
struct FigCircle {
    std::int32_t centre = 0;  // point number
    double radius = 0;
    std::int32_t style = 0;
    bool operator==(const FigCircle&) const = default;
};
struct FigArc {
    double cx = 0, cy = 0, radius = 0, start = 0, end = 0;  // radians, counter-clockwise
    std::int32_t style = 0;
    bool operator==(const FigArc&) const = default;
};
struct FigArrow {
    std::int32_t point = 0, direction = 0, style = 0;  // tip point; 1 up 3 right 5 down 7 left
    bool operator==(const FigArrow&) const = default;
};
struct FigText {
    std::string text;  // UTF-8
    std::int32_t style = 0;
    std::int32_t direction = 3;  // 1 vertical, 3 horizontal
    double x = 0, y = 0;         // anchor
    bool operator==(const FigText&) const = default;
};

// The drawing lists of one figure. Point numbers are 1-based indexes into `points`.
// The add functions throw ReportError beyond a list's capacity.
struct FigureBuffer {
    static constexpr std::size_t kPointCapacity = 20000;
    static constexpr std::size_t kLineCapacity = 20000;
    static constexpr std::size_t kCircleCapacity = 100;
    static constexpr std::size_t kArcCapacity = 100;
    static constexpr std::size_t kArrowCapacity = 500;
    // The load figure of 99 layers on each side needs 3 x 198 + 2 texts.
    static constexpr std::size_t kTextCapacity = 1000;
    static constexpr std::size_t kRectCapacity = 2;

    std::vector<FigPoint> points;
    std::vector<FigLine> lines;
    std::vector<FigRect> rects;
    std::vector<FigCircle> circles;
    std::vector<FigArc> arcs;
    std::vector<FigArrow> arrows;
    std::vector<FigText> texts;

    // Adds a point and returns its number (1-based).
    std::int32_t addPoint(double x, double y);
    void addLine(std::int32_t from, std::int32_t to, std::int32_t style);
    void addText(std::string utf8, std::int32_t style, std::int32_t direction, double x, double y);
    void clear();

    bool operator==(const FigureBuffer&) const = default;
};

// The bounding box line of a data file.
struct FigureBox {
    double Width = 0, Height = 0, XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    bool operator==(const FigureBox&) const = default;
};

// A figure data file as read back.
struct FigureData {
    std::string Title1, Title2;  // UTF-8
    FigureBox box;
    FigureBuffer buffer;
};

// One placed figure of a list file. The box is filled by LayoutFigures, not read back.
struct FigureListEntry {
    std::string FileName;  // UTF-8 path of a FigureDataFile
    double OffsetX = 0, OffsetY = 0;
    double Width = 0, Height = 0, XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};

struct FigureList {
    std::string Title;  // UTF-8
    double PaperW = 0, PaperH = 0;
    std::vector<FigureListEntry> entries;
};

// ---- Readers (both programs) ------------------------------------------------------------

// Reads a FigureListFile. Entries beyond maxEntries are read and dropped (the preview draws
// at most 20). A path line is taken whole; paper and offsets lines take any run of blanks or
// a comma between their two numbers.
FigureReadResult ReadFigureListFile(const std::string& path, FigureList& out,
                                    std::size_t maxEntries = 20);
FigureReadResult ParseFigureList(std::string_view bytes, FigureList& out,
                                 std::size_t maxEntries = 20);

// Reads a FigureDataFile into `out` within the FigureBuffer capacities. Lines outside the
// known sections are passed over (so a 塗潰情報 section is skipped); a second 座標情報
// section is a BadRecord; a record naming a point not yet read is a BadPointNumber. On a
// fault `out` holds the records read before it.
FigureReadResult ReadFigureDataFile(const std::string& path, FigureData& out);
FigureReadResult ParseFigureData(std::string_view bytes, FigureData& out);

// Reads only the two title lines and the bounding-box line of a data file.
FigureReadResult ReadFigureBox(const std::string& path, FigureBox& box);

// ---- Writers (Mibrox) -------------------------------------------------------------------

// Width in mm of a text in a text style: a full-width character is as wide as the style's
// character height (Size in mm), a half-width one half of it. Throws ReportError for a style
// row that was not read.
double MeasureTextWidth(const std::vector<TextStyleDef>& styles, std::int32_t style,
                        std::string_view utf8);

// The bounding box: point 1 (or (0, 0) without points) and every further point, then for
// each text its anchor and its far corner ((x - h, y + w) vertical, (x + w, y + h)
// horizontal). Texts of another direction count by their anchor only.
FigureBox ComputeFigureBox(const FigureBuffer& buffer, const std::vector<TextStyleDef>& styles);

// The bytes of a data file (box computed as above). Throws ReportError for a value that is
// not finite or a text CP932 cannot hold in a single line.
std::string MakeFigureDataBytes(const FigureBuffer& buffer, std::string_view title1,
                                std::string_view title2, const std::vector<TextStyleDef>& styles);

// Writes the data file at path (atomically replaced). Throws ReportError on failure.
void WriteFigureDataFile(const std::string& path, std::string_view title1, std::string_view title2,
                         const FigureBuffer& buffer, const std::vector<TextStyleDef>& styles);

// The bytes of a list file. Throws ReportError for a non-finite number or a path that
// CP932 cannot hold or that holds a line end.
std::string MakeFigureListBytes(std::string_view title, double PaperW, double PaperH,
                                const std::vector<FigureListEntry>& entries);

// Writes the list file at path (atomically replaced). Throws ReportError on failure.
void WriteFigureListFile(const std::string& path, std::string_view title, double PaperW,
                         double PaperH, const std::vector<FigureListEntry>& entries);

// Reads each entry's bounding box from its data file, centres entry 1 on the paper area
// (OffsetX = (PaperW - Width) / 2 - XMin, OffsetY likewise; later entries keep 0) and
// writes the list file. Throws ReportError on failure.
void LayoutFigures(const std::string& listPath, std::string_view title, double PaperW,
                   double PaperH, std::vector<FigureListEntry>& entries);

// The plain-decimal text of a number in a list file: "-" or a blank, then the general
// number ("150" gives " 150", -2.5 gives "-2.5").
std::string FigureListNumber(double value);
