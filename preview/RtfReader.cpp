#include "preview/RtfReader.h"

#include <array>
#include <map>

#include "formats/PrintFile.h"
#include "foundation/Cp932.h"

namespace preview {

namespace {

// Character formatting in force in one group.
struct GroupState {
    int font = -1;       // \fN; -1 none
    int sizeHalfPt = 0;  // \fsN; 0 none
    bool bold = false, italic = false, underline = false;
    int unicodeSkip = 1;  // \ucN
    bool skip = false;    // inside a destination that is not text
    bool fontTable = false;
};

// Destinations whose content is not text of the document.
bool isSkippedDestination(std::string_view word) {
    static constexpr std::array<std::string_view, 28> kSkipped = {
        "colortbl",  "stylesheet",        "info",      "pict",     "object",
        "header",    "headerl",           "headerr",   "headerf",  "footer",
        "footerl",   "footerr",           "footerf",   "footnote", "fldinst",
        "listtable", "listoverridetable", "revtbl",    "rsidtbl",  "themedata",
        "generator", "latentstyles",      "datastore", "xmlnstbl", "colorschememapping",
        "filetbl",   "pgdsctbl",          "mmathPr"};
    for (std::string_view s : kSkipped) {
        if (s == word) return true;
    }
    return false;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Parser {
  public:
    explicit Parser(std::string_view bytes) : m_in(bytes) {}

    RtfDocument run() {
        m_stack.push_back(GroupState{});
        while (m_at < m_in.size()) {
            const char c = m_in[m_at];
            if (c == '{') {
                ++m_at;
                openGroup();
            } else if (c == '}') {
                ++m_at;
                closeGroup();
            } else if (c == '\\') {
                ++m_at;
                controlWord();
            } else if (c == '\r' || c == '\n') {
                ++m_at;
            } else {
                ++m_at;
                addByte(c);
            }
        }
        flushText();
        m_doc.isRtf = true;
        return std::move(m_doc);
    }

  private:
    GroupState& state() { return m_stack.back(); }

    void openGroup() {
        if (m_stack.size() >= static_cast<std::size_t>(kMaxRtfDepth)) {
            ++m_overflow;  // too deep: everything inside is skipped
            return;
        }
        GroupState inner = state();
        m_stack.push_back(inner);
        m_groupStart = true;
    }

    void closeGroup() {
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (state().fontTable) finishFontEntry();
        if (m_stack.size() > 1) m_stack.pop_back();
        m_groupStart = false;
    }

    bool skipping() const {
        return m_overflow > 0 || m_stack.back().skip || m_stack.back().fontTable;
    }

    void controlWord() {
        if (m_at >= m_in.size()) return;
        const char c = m_in[m_at];
        if (!isLetter(c)) {
            ++m_at;
            controlSymbol(c);
            return;
        }
        const std::size_t begin = m_at;
        while (m_at < m_in.size() && isLetter(m_in[m_at]) && m_at - begin < 32) ++m_at;
        const std::string_view word = m_in.substr(begin, m_at - begin);
        bool hasParam = false;
        long param = 0;
        bool negative = false;
        if (m_at < m_in.size() && m_in[m_at] == '-') {
            negative = true;
            ++m_at;
        }
        while (m_at < m_in.size() && m_in[m_at] >= '0' && m_in[m_at] <= '9') {
            if (param < 10'000'000) param = param * 10 + (m_in[m_at] - '0');
            hasParam = true;
            ++m_at;
        }
        if (negative) param = -param;
        if (m_at < m_in.size() && m_in[m_at] == ' ') ++m_at;
        const bool groupStart = m_groupStart;
        m_groupStart = false;
        applyWord(word, hasParam, static_cast<int>(param), groupStart);
    }

    void controlSymbol(char c) {
        m_groupStart = false;
        switch (c) {
            case '\\':
            case '{':
            case '}':
                addByte(c);
                break;
            case '\'': {
                if (m_at + 1 < m_in.size()) {
                    const int hi = hexValue(m_in[m_at]), lo = hexValue(m_in[m_at + 1]);
                    if (hi >= 0 && lo >= 0) {
                        m_at += 2;
                        if (m_pendingSkip > 0) {
                            --m_pendingSkip;
                        } else {
                            addByte(static_cast<char>(hi * 16 + lo));
                        }
                    }
                }
                break;
            }
            case '~':
                addByte(' ');
                break;
            case '_':
                addByte('-');
                break;
            case '*':
                state().skip = true;
                break;  // an ignorable destination
            case '\n':
            case '\r':
                paragraphEnd();
                break;
            default:
                break;
        }
    }

    void applyWord(std::string_view w, bool hasParam, int param, bool groupStart) {
        if (groupStart && isSkippedDestination(w)) {
            state().skip = true;
            return;
        }
        if (w == "fonttbl") {
            state().fontTable = true;
            return;
        }
        GroupState& s = state();
        const bool on = !hasParam || param != 0;
        if (w == "f") {
            if (s.fontTable)
                m_fontNumber = param;
            else
                s.font = param;
        } else if (w == "fs") {
            s.sizeHalfPt = (param > 0 && param <= 3276) ? param : 0;
        } else if (w == "b") {
            s.bold = on;
        } else if (w == "i") {
            s.italic = on;
        } else if (w == "ul") {
            s.underline = on;
        } else if (w == "ulnone") {
            s.underline = false;
        } else if (w == "plain") {
            s.bold = s.italic = s.underline = false;
            s.sizeHalfPt = 0;
        } else if (w == "uc") {
            s.unicodeSkip = (param >= 0 && param <= 8) ? param : 1;
        } else if (w == "u") {
            const int unit = param < 0 ? param + 65536 : param;
            if (unit > 0 && unit < 65536) addText(QString(QChar(static_cast<char16_t>(unit))));
            m_pendingSkip = s.unicodeSkip;
        } else if (w == "par" || w == "line" || w == "sect") {
            paragraphEnd();
        } else if (w == "page") {
            paragraphEnd();
            flushText();
            if (!skipping())
                m_doc.items.push_back({RtfItem::Kind::PageBreak, {}, {}, 0, false, false, false});
        } else if (w == "tab") {
            addText(QStringLiteral("    "));
        } else if (w == "emdash") {
            addText(QStringLiteral("—"));
        } else if (w == "endash") {
            addText(QStringLiteral("–"));
        } else if (w == "bullet") {
            addText(QStringLiteral("•"));
        }
    }

    void addByte(char c) {
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        if (m_overflow > 0 || state().skip) return;
        if (state().fontTable) {
            if (c == ';') {
                finishFontEntry();
            } else {
                m_fontBytes.push_back(c);
            }
            return;
        }
        if (skipping()) return;
        ensureFormat();
        m_bytes.push_back(c);
    }

    void ensureFormat() {
        if (m_format == formatKey()) return;
        flushText();
        m_format = formatKey();
    }

    void addText(const QString& text) {
        if (skipping()) return;
        ensureFormat();
        flushBytes();
        m_text += text;
    }

    void finishFontEntry() {
        if (!m_fontBytes.empty() && m_fontNumber >= 0 && m_fonts.size() < 4096) {
            m_fonts[m_fontNumber] = QString::fromStdString(cp932::toUtf8(m_fontBytes)).trimmed();
        }
        m_fontBytes.clear();
        m_fontNumber = -1;
    }

    // The formatting of the text collected now, to split runs where it changes.
    std::array<int, 5> formatKey() const {
        const GroupState& s = m_stack.back();
        return {s.font, s.sizeHalfPt, s.bold, s.italic, s.underline};
    }

    void flushBytes() {
        if (m_bytes.empty()) return;
        m_text += QString::fromStdString(cp932::toUtf8(m_bytes));
        m_bytes.clear();
    }

    void flushText() {
        flushBytes();
        if (m_text.isEmpty()) return;
        RtfItem item;
        item.text = std::move(m_text);
        const auto& f = m_format;
        const auto font = m_fonts.find(f[0]);
        if (font != m_fonts.end()) item.fontName = font->second;
        item.fontSize = f[1] / 2.0;
        item.bold = f[2] != 0;
        item.italic = f[3] != 0;
        item.underline = f[4] != 0;
        m_doc.items.push_back(std::move(item));
        m_text.clear();
    }

    void paragraphEnd() {
        if (skipping()) return;
        flushText();
        m_doc.items.push_back({RtfItem::Kind::ParagraphEnd, {}, {}, 0, false, false, false});
    }

    std::string_view m_in;
    std::size_t m_at = 0;
    std::vector<GroupState> m_stack;
    int m_overflow = 0;
    bool m_groupStart = false;
    int m_pendingSkip = 0;
    std::string m_bytes;
    QString m_text;
    std::array<int, 5> m_format{-1, 0, 0, 0, 0};  // of m_bytes and m_text
    std::map<int, QString> m_fonts;
    std::string m_fontBytes;
    int m_fontNumber = -1;
    RtfDocument m_doc;
};

RtfDocument plainText(std::string_view bytes) {
    RtfDocument doc;
    PrintFileLines lines(bytes);
    std::string_view line;
    while (lines.next(line)) {
        if (!line.empty()) {
            RtfItem item;
            item.text = QString::fromStdString(cp932::toUtf8(line));
            doc.items.push_back(std::move(item));
        }
        doc.items.push_back({RtfItem::Kind::ParagraphEnd, {}, {}, 0, false, false, false});
    }
    return doc;
}

}  // namespace

RtfDocument ParseRtf(std::string_view bytes) {
    std::string_view start = bytes;
    while (!start.empty() &&
           (start.front() == ' ' || start.front() == '\r' || start.front() == '\n')) {
        start.remove_prefix(1);
    }
    if (start.substr(0, 5) != "{\\rtf") return plainText(bytes);
    return Parser(bytes).run();
}

}  // namespace preview
