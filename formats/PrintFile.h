#pragma once
// The print file the report writer writes and both Preview and the Word export read: CP932
// lines, each with text and inline commands. A command is a form feed, or a "?" followed by
// one of the two-letter codes below (an unknown code leaves the "?" as text).

#include <cstddef>
#include <string_view>

// The inline commands by what they do; the codes of an alias share one.
enum class PrintCommand {
    None,          // not a command: the "?" is text
    Page,          // ?PF  paper and orientation (a new section)
    Heading1,      // ?R1  outline heading, level 1
    Heading2,      // ?R2  outline heading, level 2
    Body0,         // ?M0  standard body size
    Body1,         // ?M1  small body size
    Normal,        // ?E0 ?EY  back to the base size
    Double,        // ?EX ?E2  double size
    ScriptEnd,     // ?S0  end of a superscript or subscript
    Superscript,   // ?SU
    Subscript,     // ?SL
    PitchNormal,   // ?T0  standard line pitch
    PitchWide,     // ?TK  20/18 of it
    PitchNarrow,   // ?TS  12/18 of it
    BoldOff,       // ?!0
    BoldOn,        // ?!1
    UnderlineOff,  // ?L0
    UnderlineOn,   // ?LU ?LO
    Ignored,       // ?F0 ?FH ?FQ ?FE ?FP  printer controls without an effect here
    Figure,        // ?FG  a figure list, to the line's end
    Bitmap,        // ?BM  a picture file, to the line's end
};

// The command of the code `a` `b` (the two characters after the "?").
PrintCommand PrintCommandOf(char a, char b);

// The lines of a print file (and of a plain text Preview opens): a line ends at LF or CR LF,
// the line end not part of it; a lone CR and a form feed stay inside their line. Bytes after
// the last line end are a line too.
class PrintFileLines {
  public:
    explicit PrintFileLines(std::string_view bytes) : m_rest(bytes) {}

    // The next line; false at the end of the data.
    bool next(std::string_view& line) {
        if (m_rest.empty()) return false;
        const std::size_t end = m_rest.find('\n');
        line = m_rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
        return true;
    }

  private:
    std::string_view m_rest;
};
