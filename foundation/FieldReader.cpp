#include "foundation/FieldReader.h"

#include "foundation/Numeric.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

bool FieldReader::atLineEnd() const {
    return m_pos < m_bytes.size() && (m_bytes[m_pos] == '\r' || m_bytes[m_pos] == '\n');
}

void FieldReader::consumeLineEnd() {
    if (m_pos >= m_bytes.size()) return;
    if (m_bytes[m_pos] == '\r') {
        ++m_pos;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n') ++m_pos;
    } else if (m_bytes[m_pos] == '\n') {
        ++m_pos;
    } else {
        return;
    }
    ++m_line;
}

void FieldReader::skipToDelimiter() {
    while (m_pos < m_bytes.size() && !atLineEnd() && m_bytes[m_pos] != ',') ++m_pos;
    if (m_pos < m_bytes.size() && m_bytes[m_pos] == ',') {
        ++m_pos;
    } else {
        consumeLineEnd();
    }
}

bool FieldReader::skipLine() {
    if (atEnd()) return false;
    while (m_pos < m_bytes.size() && !atLineEnd()) ++m_pos;
    consumeLineEnd();
    return true;
}

bool FieldReader::readLineField(FieldValue& out) {
    m_quoteEndsLine = true;
    const bool read = readField(out);
    m_quoteEndsLine = false;
    return read;
}

bool FieldReader::readField(FieldValue& out) {
    if (atEnd()) return false;
    out = FieldValue{};
    while (m_pos < m_bytes.size() && isBlank(m_bytes[m_pos])) ++m_pos;
    if (atEnd() || atLineEnd()) {
        consumeLineEnd();
        return true;  // an empty value
    }
    if (m_bytes[m_pos] == '"') {
        const std::size_t begin = ++m_pos;
        while (m_pos < m_bytes.size() && !atLineEnd() && m_bytes[m_pos] != '"') ++m_pos;
        out.kind = FieldValue::Kind::Text;
        out.text.assign(m_bytes.substr(begin, m_pos - begin));
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '"') ++m_pos;
        if (m_quoteEndsLine) {
            while (m_pos < m_bytes.size() && !atLineEnd()) ++m_pos;
            consumeLineEnd();
        } else {
            skipToDelimiter();
        }
        return true;
    }
    const std::size_t begin = m_pos;
    while (m_pos < m_bytes.size() && !atLineEnd() && m_bytes[m_pos] != ',') ++m_pos;
    std::size_t end = m_pos;
    while (end > begin && isBlank(m_bytes[end - 1])) --end;
    const std::string_view raw = m_bytes.substr(begin, end - begin);
    skipToDelimiter();
    if (raw.empty()) return true;
    if (equalsNoCase(raw, "#TRUE#") || equalsNoCase(raw, "#FALSE#")) {
        out.kind = FieldValue::Kind::Boolean;
        out.boolean = raw.size() == 6;
        return true;
    }
    if (const auto number = ParseDouble(raw)) {
        out.kind = FieldValue::Kind::Number;
        out.number = *number;
        return true;
    }
    out.kind = FieldValue::Kind::Text;
    out.text.assign(raw);
    return true;
}
