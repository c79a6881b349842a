#pragma once
// Sequential reader of the comma- and line-separated fields the input and figure files use.
//
// Rules: leading blanks (space, tab) are skipped; a field starting with a double quote is the
// text up to the closing quote (or the line end), and whatever follows the closing quote up to
// the next comma or line end is discarded; any other field runs to the next comma or line end,
// without trailing blanks, and is a number when it reads as one ("0.5", ".5", "-1E+20"), the
// Boolean #TRUE# or #FALSE#, an empty value when nothing is left, or else a text. A blank line
// is one empty value. Line ends are CR LF, LF or CR. Texts are returned as the raw bytes of the
// file (CP932); the reader never decodes them.
//
// The reader works on a view of bytes it does not own and never reads past their end.

#include <cstddef>
#include <string>
#include <string_view>

struct FieldValue {
    enum class Kind { Empty, Text, Number, Boolean };
    Kind kind = Kind::Empty;
    std::string text;  // Text: the raw bytes between the quotes or of the unquoted field
    double number = 0;
    bool boolean = false;
};

class FieldReader {
  public:
    explicit FieldReader(std::string_view bytes) : m_bytes(bytes) {}

    // True when every byte has been consumed.
    bool atEnd() const { return m_pos >= m_bytes.size(); }

    // Consumes the rest of the current line with its line end; false at the end of the data.
    bool skipLine();

    // Reads the next field; false at the end of the data (nothing left to read).
    bool readField(FieldValue& out);

    // Reads a field that stands on a line of its own: as readField, but after a quoted text
    // the rest of its line is dropped, whatever it holds (commas included), so that a text
    // such as "A"B,C" cannot shift the fields of the lines after it.
    bool readLineField(FieldValue& out);

    // 1-based number of the line the next read starts on.
    std::size_t lineNumber() const { return m_line; }

  private:
    bool atLineEnd() const;
    void consumeLineEnd();
    // Consumes up to and including the next comma or line end.
    void skipToDelimiter();

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    std::size_t m_line = 1;
    bool m_quoteEndsLine = false;
};
