#pragma once
// A reader for the RTF texts the system meets (plain paragraphs with fonts, sizes, bold,
// italic and underline, line and page breaks) and their layout on the preview control.
// Everything else (pictures, tables, fields, style sheets, headers, unknown destinations) is
// skipped. The reader takes hostile input: groups nest at most kMaxRtfDepth deep (deeper
// content is skipped), numbers are bounded, the text decodes from CP932 ("\'xx" bytes and
// raw bytes) and from "\uN".

#include <QString>
#include <cstddef>
#include <string_view>
#include <vector>

#include "preview/PreviewControl.h"

namespace preview {

inline constexpr std::size_t kMaxRtfFileBytes = 64u << 20;
inline constexpr int kMaxRtfDepth = 200;

// One piece of the text: characters in one font, or a paragraph end, or a page break.
struct RtfItem {
    enum class Kind { Text, ParagraphEnd, PageBreak };
    Kind kind = Kind::Text;
    QString text;
    QString fontName;     // empty: the body font
    double fontSize = 0;  // points; 0: the body size
    bool bold = false, italic = false, underline = false;
    friend bool operator==(const RtfItem&, const RtfItem&) = default;
};

struct RtfDocument {
    std::vector<RtfItem> items;
    bool isRtf = false;  // the text began with "{\rtf"
};

// Parses the bytes of an RTF file. A text that is not RTF gives its plain lines.
RtfDocument ParseRtf(std::string_view bytes);

// Lays the document out between the control's margins on pages of its paper, wrapping at
// blanks and between full-width characters (a word longer than a line goes on in the next
// line), starting on the control's current page.
void LayOutRtf(const RtfDocument& document, PreviewControl& control);

}  // namespace preview
