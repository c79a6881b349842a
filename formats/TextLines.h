#pragma once
// Lines of a byte text, for the readers of the format file and the figure files. CR LF, LF
// and a lone CR end a line; the line end is not part of the line. Never reads past the data.

#include <cstddef>
#include <string_view>

class LineCursor {
  public:
    explicit LineCursor(std::string_view bytes) : m_bytes(bytes) {}

    // The next line; false at the end of the data.
    bool next(std::string_view& line) {
        if (m_pos >= m_bytes.size()) return false;
        std::size_t end = m_pos;
        while (end < m_bytes.size() && m_bytes[end] != '\r' && m_bytes[end] != '\n') ++end;
        line = m_bytes.substr(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\r') ++m_pos;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n' &&
            (m_pos == end || m_bytes[m_pos - 1] == '\r')) {
            ++m_pos;
        }
        ++m_line;
        return true;
    }

    // 1-based number of the line last returned.
    std::size_t line() const { return m_line; }

  private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
    std::size_t m_line = 0;
};
