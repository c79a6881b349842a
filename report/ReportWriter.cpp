#include "report/ReportWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "formats/FigureFiles.h"
#include "formats/TextLines.h"
#include "foundation/Cp932.h"
#include "foundation/IniFile.h"
#include "foundation/NumberFormat.h"
#include "foundation/SafeFile.h"

namespace {

constexpr std::size_t kMaxFormatFileBytes = 4u << 20;
constexpr std::size_t kFlushBytes = 1u << 16;
constexpr int kMaxMargin = 10;  // the numbering-style form's upper limit
constexpr const char* kFullWidthQuestionMark = "\x81\x48";  // "？" in CP932

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLead(char c) {
    return cp932::isLeadByte(static_cast<unsigned char>(c));
}

std::size_t charCount(std::string_view sjis) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < sjis.size(); ++i, ++n) {
        if (isLead(sjis[i]) && i + 1 < sjis.size()) ++i;
    }
    return n;
}

}  // namespace

// ---- Template --------------------------------------------------------------------------

int ParseReportTemplate(std::string_view fileBytes, std::string_view section, ReportTemplate& out) {
    out = ReportTemplate{};
    const std::string name = cp932::fromUtf8(section);
    enum class State { Before, Inside, Done } state = State::Before;
    int count = 0;
    LineCursor lines(fileBytes);
    std::string_view line;
    while (state != State::Done && lines.next(line)) {
        const std::size_t lineNo = lines.line();
        if (state == State::Before) {
            if (line == name) state = State::Inside;
            continue;
        }
        if (line == "End") {
            state = State::Done;
            continue;
        }
        if (!line.empty() && line.front() == '\'') continue;
        const std::string_view head = line.substr(0, 3);
        const std::size_t first = head.find_first_not_of(' ');
        const std::size_t last = head.find_last_not_of(' ');
        int number = 0;
        bool digits = first != std::string_view::npos;
        if (digits) {
            for (std::size_t i = first; i <= last; ++i) {
                if (!isDigit(head[i])) digits = false;
                number = number * 10 + (head[i] - '0');
            }
        }
        if (!digits || number < 1 || number > kTemplateLines) {
            throw ReportError("format file line " + std::to_string(lineNo) +
                              ": template line number outside 1..50");
        }
        std::size_t pos = 3;
        if (pos < line.size()) pos += (isLead(line[pos]) && pos + 1 < line.size()) ? 2 : 1;
        int code = 0;
        if (pos < line.size()) {
            if (!isDigit(line[pos])) {
                throw ReportError("format file line " + std::to_string(lineNo) +
                                  ": line code is not a digit");
            }
            code = line[pos] - '0';
            ++pos;
        }
        out.codes(number) = code;
        out.texts(number) = std::string(line.substr(std::min(pos, line.size())));
        ++count;
    }
    if (state == State::Before) {
        throw ReportError("section not found in the format file: " + std::string(section));
    }
    if (state == State::Inside) throw ReportError("section without End: " + std::string(section));
    return count;
}

int LoadReportTemplate(const std::string& formatFilePath, std::string_view section,
                       ReportTemplate& out) {
    out = ReportTemplate{};
    const safefile::ReadResult r = safefile::readRegularFile(formatFilePath, kMaxFormatFileBytes);
    if (!r.ok()) throw ReportError("cannot read the format file " + formatFilePath);
    return ParseReportTemplate(r.bytes, section, out);
}

// ---- Fields ----------------------------------------------------------------------------

std::vector<FieldLocation> FindNumberFields(std::string_view s) {
    std::vector<FieldLocation> fields;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (isLead(c) && i + 1 < s.size()) {
            i += 2;
            continue;
        }
        const bool starts =
            c == '#' || ((c == '+' || c == '\\') && i + 1 < s.size() && s[i + 1] == '#');
        if (!starts) {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < s.size() && (s[j] == '#' || s[j] == ',' || s[j] == '.' || s[j] == '0')) ++j;
        if (fields.size() == kFieldsPerLine) throw ReportError("more than 20 number fields");
        fields.push_back({i, j - i, std::string(s.substr(i, j - i))});
        i = j;
    }
    return fields;
}

std::vector<FieldLocation> FindTextFields(std::string_view s) {
    std::vector<FieldLocation> fields;
    std::size_t i = 0;
    for (;;) {
        const std::size_t amp = s.find('&', i);
        const std::size_t bang = s.find('!', i);
        FieldLocation f;
        if (amp != std::string_view::npos) {
            const std::size_t close = s.find('>', amp + 1);
            const std::size_t end = close == std::string_view::npos ? s.size() : close + 1;
            f.start = amp;
            f.length = end - amp;
            f.picture = close == amp + 1 ? "@@" : "!" + std::string(f.length, '@');
        } else if (bang != std::string_view::npos) {
            f = {bang, 1, "@"};
        } else {
            break;
        }
        if (fields.size() == kFieldsPerLine) throw ReportError("more than 20 text fields");
        i = f.start + f.length;
        fields.push_back(std::move(f));
    }
    return fields;
}

namespace {

// The number-format pattern of a picture: without its "+", or with a "\\" that prints the
// picture's own "\\".
NumberPattern pictureToPattern(std::string_view picture) {
    if (!picture.empty() && picture.front() == '+') return NumberPattern(picture.substr(1));
    if (!picture.empty() && picture.front() == '\\') {
        return NumberPattern("\\" + std::string(picture));
    }
    return NumberPattern(picture);
}

std::string formatNumberField(double value, std::string_view picture,
                              const NumberPattern& pattern) {
    if (!std::isfinite(value)) throw ReportError("a report value is not a number");
    std::string text = pattern.format(value);
    if (!picture.empty() && picture.front() == '+' && (text.empty() || text.front() != '-')) {
        text.insert(text.begin(), '+');
    }
    if (text.size() > picture.size()) return std::string(picture.size(), '*');
    text.insert(0, picture.size() - text.size(), ' ');
    return text;
}

}  // namespace

std::string FormatNumberField(double value, std::string_view picture) {
    return formatNumberField(value, picture, pictureToPattern(picture));
}

std::string PrintFileText(std::string_view utf8) {
    std::string s(utf8);
    for (char& c : s) {
        if (c == '\f' || c == '\r' || c == '\n') c = ' ';
    }
    const std::string sjis = cp932::fromUtf8(s);
    // Every 0x3F byte is a "?": CP932 trail bytes start at 0x40. This also catches the "?"
    // that the encoder puts for a character CP932 cannot hold.
    std::string out;
    out.reserve(sjis.size() + 8);
    for (const char c : sjis) {
        if (c == '?') {
            out += kFullWidthQuestionMark;
        } else {
            out += c;
        }
    }
    return out;
}

std::string FormatTextField(std::string_view utf8, const FieldLocation& field) {
    const std::size_t width = field.length;
    if (utf8.empty()) return std::string(width, ' ');
    std::string sjis = PrintFileText(utf8);
    if (field.picture == "@@") {
        const std::size_t chars = charCount(sjis);
        if (chars < 2) sjis.insert(0, 2 - chars, ' ');
    }
    std::string cut(cp932::cutAtBoundary(sjis, width));
    cut.append(width - cut.size(), ' ');
    return cut;
}

CompiledTemplateLine::CompiledTemplateLine(std::string_view sjis)
    : m_text(sjis), m_numberFields(FindNumberFields(sjis)), m_textFields(FindTextFields(sjis)) {
    m_patterns.reserve(m_numberFields.size());
    for (const FieldLocation& f : m_numberFields) m_patterns.push_back(pictureToPattern(f.picture));
}

std::string CompiledTemplateLine::fill(const NumberValues& numbers, const TextValues& texts) const {
    std::string line = m_text;
    for (std::size_t i = 0; i < m_numberFields.size(); ++i) {
        const FieldLocation& f = m_numberFields[i];
        line.replace(f.start, f.length,
                     formatNumberField(numbers(static_cast<int>(i) + 1), f.picture, m_patterns[i]));
    }
    for (std::size_t i = 0; i < m_textFields.size(); ++i) {
        const FieldLocation& f = m_textFields[i];
        line.replace(f.start, f.length, FormatTextField(texts(static_cast<int>(i) + 1), f));
    }
    return line;
}

std::string FillTemplateLine(std::string_view sjis, const NumberValues& numbers,
                             const TextValues& texts) {
    return CompiledTemplateLine(sjis).fill(numbers, texts);
}

// ---- Numbering -------------------------------------------------------------------------

std::string FormatNumberingStyle(int style, int& counter) {
    static constexpr const char* kRoman[] = {"i",  "ii",  "iii",  "iv", "v",
                                             "vi", "vii", "viii", "ix", "x"};
    static constexpr const char* kCircled[] = {"①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩",
                                               "⑪", "⑫", "⑬", "⑭", "⑮", "⑯", "⑰", "⑱", "⑲", "⑳"};
    if (counter <= 0 || style < 1 || style > 9) return {};
    switch (style) {
        case 1:
        case 2:
        case 3: {
            if (counter >= 100) counter = 1;
            const std::string n = std::to_string(counter);
            return style == 1 ? n : style == 2 ? "(" + n + ")" : n + ")";
        }
        case 4:
        case 5: {
            if (counter > 26) counter = 1;
            const std::string letter(1, static_cast<char>('a' + counter - 1));
            return style == 4 ? "(" + letter + ")" : letter + ")";
        }
        case 6:
        case 7: {
            if (counter > 10) counter = 1;
            const std::string roman = kRoman[counter - 1];
            return style == 6 ? "(" + roman + ")" : roman + ")";
        }
        case 8:
            if (counter > 20) counter = 1;
            return kCircled[counter - 1];
        default:
            return "･";
    }
}

NumberingSettings ReadNumberingSettings(const std::string& iniPath) {
    const ini::IniFile file(iniPath);
    NumberingSettings s;
    s.Method = file.readInt("Chapter", "Method", 0);
    for (int k = 0; k < 4; ++k) {
        const std::string n = std::to_string(k + 1);
        s.Style[static_cast<std::size_t>(k)] = file.readInt("Chapter", "Style" + n, 0);
        s.Margin[static_cast<std::size_t>(k)] =
            std::clamp(file.readInt("Chapter", "Margin" + n, 0), 0, kMaxMargin);
    }
    return s;
}

std::vector<int> SplitIntoChunks(int rows, int firstRoom, int laterRoom) {
    std::vector<int> chunks;
    int room = std::max(firstRoom, 1);
    while (rows > 0) {
        const int take = rows <= room + 2 ? rows : room;
        chunks.push_back(take);
        rows -= take;
        room = std::max(laterRoom, 1);
    }
    return chunks;
}

// ---- Writer ----------------------------------------------------------------------------

ReportWriter::~ReportWriter() {
    if (m_fd >= 0) {
        safefile::writeAll(m_fd, m_buffer);
        ::close(m_fd);
    }
}

void ReportWriter::BeginBuild(const NumberingSettings& settings) {
    m_method = settings.Method;
    m_currentLevel = 1;
    m_counter.fill(0);
    m_style.fill(0);
    m_margin.fill(0);
    for (int k = 1; k <= 4; ++k) {
        m_style(k) = settings.Style[static_cast<std::size_t>(k - 1)];
        m_margin(k) = std::clamp(settings.Margin[static_cast<std::size_t>(k - 1)], 0, kMaxMargin);
    }
}

std::string ReportWriter::NewReportFileName() {
    if (m_reportFiles.count() >= m_reportFiles.capacity()) {
        throw ReportError("more than 100 report files in one print session");
    }
    auto name = m_reportFiles.take();
    if (!name) throw ReportError("cannot create a temporary report file in " + TempFolder());
    return *name;
}

void ReportWriter::OpenReport() {
    if (m_fd >= 0) throw ReportError("the report file is already open");
    const int fd = ::open(m_currentReportFile.c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0) throw ReportError("cannot open the report file " + m_currentReportFile);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw ReportError("the report file is not a regular file: " + m_currentReportFile);
    }
    m_fd = fd;
    m_buffer.clear();
}

void ReportWriter::flush() {
    if (m_fd < 0) throw ReportError("no report file is open");
    if (!safefile::writeAll(m_fd, m_buffer)) {
        m_buffer.clear();
        throw ReportError("cannot write the report file " + m_currentReportFile);
    }
    m_buffer.clear();
}

void ReportWriter::CloseReport() {
    if (m_fd < 0) return;
    std::string failure;
    if (!safefile::writeAll(m_fd, m_buffer)) failure = "cannot write the report file ";
    m_buffer.clear();
    if (::close(m_fd) != 0 && failure.empty()) failure = "cannot close the report file ";
    m_fd = -1;
    if (!failure.empty()) throw ReportError(failure + m_currentReportFile);
}

void ReportWriter::WriteText(std::string_view sjis) {
    if (m_fd < 0) throw ReportError("no report file is open");
    m_buffer += sjis;
    if (m_buffer.size() >= kFlushBytes) flush();
}

void ReportWriter::EndLine() {
    WriteText("\r\n");
}

void ReportWriter::PrintLinePrefix(int code) {
    std::string prefix;
    if (code >= 1 && code <= 5) {
        prefix.assign(static_cast<std::size_t>(m_margin(code)), ' ');
        if (code <= 2) prefix += code == 1 ? "?R1" : "?R2";
        if (m_method != 0) prefix += cp932::fromUtf8(NextHeadingNumber(code));
    } else {
        if (code > 5 && m_method != 0) {
            throw ReportError("line code " + std::to_string(code) + " has no heading level");
        }
        prefix.assign(static_cast<std::size_t>(m_margin(m_currentLevel)) + 2, ' ');
    }
    WriteText(prefix);
    ++ReportLineCount;
}

void ReportWriter::PrintTemplateLine(int code, std::string_view sjis, const NumberValues& numbers,
                                     const TextValues& texts) {
    auto it = m_compiledLines.find(std::string(sjis));
    if (it == m_compiledLines.end()) {
        it = m_compiledLines.emplace(std::string(sjis), CompiledTemplateLine(sjis)).first;
    }
    const std::string line = it->second.fill(numbers, texts);
    PrintLinePrefix(code);
    WriteText(line);
    EndLine();
}

void ReportWriter::PrintLiteralLine(int code, std::string_view sjis) {
    PrintLinePrefix(code);
    WriteText(sjis);
    EndLine();
}

void ReportWriter::PrintBlankLines(int n) {
    for (int i = 0; i < n; ++i) {
        EndLine();
        ++ReportLineCount;
    }
}

void ReportWriter::NewPageIfNoRoom(int needed, int blanks) {
    if (LinesPerPage - ReportLineCount < needed) {
        FormFeed();
    } else {
        PrintBlankLines(blanks);
    }
}

void ReportWriter::FormFeed() {
    if (ReportLineCount == 0) return;
    WriteText("\f");
    ReportLineCount = 0;
}

bool ReportWriter::AppendFormFeed() {
    const int fd =
        ::open(m_currentReportFile.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && safefile::writeAll(fd, "\f");
    if (::close(fd) != 0) ok = false;
    return ok;
}

std::string ReportWriter::NextHeadingNumber(int level) {
    if (level < 1 || level > 5) throw ReportError("heading level outside 1..5");
    m_currentLevel = level;
    ++m_counter(level);
    for (int l = level + 1; l <= 5; ++l) m_counter(l) = 0;
    OneBased<std::string, 5> n;
    for (int l = 1; l <= 5; ++l) n(l) = FormatNumberingStyle(m_style(l), m_counter(l));
    std::string text;
    switch (m_method) {
        case 1:
            text = n(level);
            break;
        case 2:
        case 3: {
            const char* sep = m_method == 2 ? "-" : ".";
            if (level == 1) {
                text = n(1) + ".";
            } else if (level == 2) {
                text = n(1) + sep + n(2);
            } else {
                text = n(level);
            }
            break;
        }
        default:
            break;
    }
    return text + " ";
}

// ---- Session ---------------------------------------------------------------------------

ReportDataFiles ReportDataFiles::InFolder(const std::string& folder) {
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    return {base + kFormatFileName, base + kLineStyleDefFileName, base + kTextStyleDefFileName};
}

std::string PrintSession::NewFigureFileName() {
    if (m_figureFiles.count() >= m_figureFiles.capacity()) {
        throw ReportError("more than 100 figure files in one print session");
    }
    auto name = m_figureFiles.take();
    if (!name) throw ReportError("cannot create a temporary figure file in " + TempFolder());
    return *name;
}

void PrintSession::BeginBuild(const NumberingSettings& settings) {
    RemoveAllFiles();
    m_writer.BeginBuild(settings);
}

void PrintSession::RemoveAllFiles() {
    m_reportFiles.removeAll();
    m_figureFiles.removeAll();
}
