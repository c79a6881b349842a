#include "foundation/IniFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>

#include "foundation/Cp932.h"
#include "foundation/SafeFile.h"

namespace ini {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive for ASCII letters; a double-byte character (whose second byte may look
// like an ASCII letter or bracket) must match exactly.
bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        if (cp932::isLeadByte(static_cast<unsigned char>(a[i]))) {
            if (a[i] != b[i]) return false;
            if (i + 1 < a.size() && a[i + 1] != b[i + 1]) return false;
            i += 2;
            continue;
        }
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
        ++i;
    }
    return true;
}

// Position of the first single-byte `wanted` character in s, skipping double-byte ones.
std::size_t findSingleByte(std::string_view s, char wanted) {
    for (std::size_t i = 0; i < s.size();) {
        if (cp932::isDoubleByteAt(s, i)) {
            i += 2;
            continue;
        }
        if (s[i] == wanted) return i;
        ++i;
    }
    return std::string_view::npos;
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The header "[s]" must close at its own "]", not at one that a trailing lead byte of s
// would swallow.
bool validSection(std::string_view s) {
    if (s.empty() || hasLineBreakOrNul(s)) return false;
    const std::string header = std::string(s) + "]";
    return findSingleByte(header, ']') == s.size();
}

bool validKey(std::string_view k) {
    return !k.empty() && !hasLineBreakOrNul(k) && k.find('=') == std::string_view::npos &&
           k.front() != '[' && k.front() != ';';
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

}  // namespace

// ---- IniDocument ------------------------------------------------------------------------

IniDocument::IniDocument(std::string bytes) : m_bytes(std::move(bytes)) {
    parse();
}

void IniDocument::parse() {
    m_lines.clear();
    const std::string_view all = m_bytes;
    std::size_t pos = 0;
    while (pos < all.size()) {
        Line line;
        line.begin = pos;
        const std::size_t lf = all.find('\n', pos);
        if (lf == std::string_view::npos) {
            line.end = line.next = all.size();
        } else {
            line.end = lf;
            line.next = lf + 1;
            if (line.end > pos && all[line.end - 1] == '\r') --line.end;
        }
        pos = line.next;

        const std::string_view raw = all.substr(line.begin, line.end - line.begin);
        const std::string_view text = trimBlanks(raw);
        const std::size_t textBegin =
            line.begin + static_cast<std::size_t>(text.data() - raw.data());
        line.blank = text.empty();
        if (text.empty() || text.front() == ';') {
            m_lines.push_back(line);
            continue;
        }
        if (text.front() == '[') {
            const std::size_t close = findSingleByte(text.substr(1), ']');
            if (close != std::string_view::npos) {
                const std::string_view name = trimBlanks(text.substr(1, close));
                line.kind = Line::Kind::Section;
                line.nameBegin = textBegin + static_cast<std::size_t>(name.data() - text.data());
                line.nameSize = name.size();
            }
            m_lines.push_back(line);
            continue;
        }
        const std::size_t eq = text.find('=');
        if (eq != std::string_view::npos) {
            const std::string_view key = trimBlanks(text.substr(0, eq));
            std::string_view value = trimBlanks(text.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            if (!key.empty()) {
                line.kind = Line::Kind::Key;
                line.nameBegin = textBegin + static_cast<std::size_t>(key.data() - text.data());
                line.nameSize = key.size();
                line.valueBegin = textBegin + static_cast<std::size_t>(value.data() - text.data());
                line.valueSize = value.size();
            }
        }
        m_lines.push_back(line);
    }
}

std::string_view IniDocument::name(const Line& line) const {
    return std::string_view(m_bytes).substr(line.nameBegin, line.nameSize);
}

std::size_t IniDocument::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Line::Kind::Section && namesEqual(name(m_lines[i]), section)) {
            return i;
        }
    }
    return m_lines.size();
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Line::Kind::Section) ++i;
    return i;
}

std::size_t IniDocument::findKey(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (m_lines[i].kind == Line::Kind::Key && namesEqual(name(m_lines[i]), key)) return i;
    }
    return kNone;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    const std::size_t header = findSection(trimBlanks(section));
    if (header == m_lines.size()) return std::nullopt;
    const std::size_t k = findKey(header, trimBlanks(key));
    if (k == kNone) return std::nullopt;
    return m_bytes.substr(m_lines[k].valueBegin, m_lines[k].valueSize);
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (!validSection(section) || !validKey(key) || hasLineBreakOrNul(value)) return false;

    const std::size_t header = findSection(section);
    if (header == m_lines.size()) {
        if (!m_bytes.empty() && m_bytes.back() != '\n') m_bytes += "\r\n";
        m_bytes.append("[").append(section).append("]\r\n");
        m_bytes.append(key).append("=").append(value).append("\r\n");
    } else if (const std::size_t k = findKey(header, key); k != kNone) {
        const Line& line = m_lines[k];
        std::string replacement(name(line));
        replacement.append("=").append(value).append("\r\n");
        m_bytes.replace(line.begin, line.next - line.begin, replacement);
    } else {
        std::size_t last = header;
        for (std::size_t i = header + 1; i < sectionEnd(header); ++i) {
            if (!m_lines[i].blank) last = i;
        }
        std::string insertion;
        if (m_lines[last].next == m_lines[last].end) insertion = "\r\n";  // no line end at EOF
        insertion.append(key).append("=").append(value).append("\r\n");
        m_bytes.insert(m_lines[last].next, insertion);
    }
    parse();
    return true;
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
    const std::size_t header = findSection(trimBlanks(section));
    if (header == m_lines.size()) return false;
    const std::size_t k = findKey(header, trimBlanks(key));
    if (k == kNone) return false;
    m_bytes.erase(m_lines[k].begin, m_lines[k].next - m_lines[k].begin);
    parse();
    return true;
}

bool IniDocument::removeSection(std::string_view section) {
    const std::size_t header = findSection(trimBlanks(section));
    if (header == m_lines.size()) return false;
    const std::size_t end = sectionEnd(header);
    const std::size_t stop = end == m_lines.size() ? m_bytes.size() : m_lines[end].begin;
    m_bytes.erase(m_lines[header].begin, stop - m_lines[header].begin);
    parse();
    return true;
}

// ---- integer reading --------------------------------------------------------------------

int parseProfileInt(std::string_view value, int defaultValue) {
    if (value.empty()) return defaultValue;
    std::size_t i = 0;
    while (i < value.size() && isBlank(value[i])) ++i;
    const bool negative = i < value.size() && value[i] == '-';
    if (negative) ++i;
    std::int64_t magnitude = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (value[i] - '0');
        if (magnitude > std::int64_t{INT_MAX} + 1) magnitude = std::int64_t{INT_MAX} + 1;
    }
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > INT_MAX) return INT_MAX;
    return static_cast<int>(result);
}

// ---- IniFile ----------------------------------------------------------------------------

namespace {

// A file that is simply not there reads as empty and may be created.
bool isMissing(const safefile::ReadResult& file) {
    return file.status == safefile::Status::Failed && (file.err == ENOENT || file.err == ENOTDIR);
}

std::atomic<std::size_t> g_fileReads{0};

safefile::ReadResult readFile(const std::string& path) {
    ++g_fileReads;
    return safefile::readRegularFile(path, kMaxIniFileBytes);
}

// What tells one state of a file from another without reading it.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0, changedNs = 0;
    bool operator==(const Identity&) const = default;
};

std::int64_t nanoseconds(const timespec& t) {
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

std::optional<Identity> identityOf(const std::string& path) {
    struct stat info {};
    if (path.find('\0') != std::string::npos || ::stat(path.c_str(), &info) != 0 ||
        !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return Identity{info.st_dev, info.st_ino, info.st_size, nanoseconds(info.st_mtim),
                    nanoseconds(info.st_ctim)};
}

std::int64_t nowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}

// File times may lag the clock by a tick: a file changed this close to its read may change
// again without a new time, so its copy is not trusted.
constexpr std::int64_t kRacyNs = 50'000'000;

// The parsed copies, one per path spelling; a handful of settings files at most.
class DocumentCache {
  public:
    std::shared_ptr<const IniDocument> get(const std::string& path) {
        const std::optional<Identity> before = identityOf(path);
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (!before) {
            m_entries.erase(path);
            return nullptr;
        }
        if (const auto it = m_entries.find(path);
            it != m_entries.end() && it->second.trusted && it->second.identity == *before) {
            return it->second.document;
        }
        const std::int64_t readStart = nowNs();
        safefile::ReadResult file = readFile(path);
        if (!file.ok()) {
            m_entries.erase(path);
            return nullptr;
        }
        auto document = std::make_shared<const IniDocument>(std::move(file.bytes));
        const std::optional<Identity> after = identityOf(path);
        if (after && *after == *before) {
            const bool trusted = after->modifiedNs + kRacyNs < readStart;
            store(path, {*after, document, trusted});
        } else {
            m_entries.erase(path);
        }
        return document;
    }

    // Keeps what a write has just put there, unless the file is already another one.
    void wrote(const std::string& path, IniDocument document) {
        const std::optional<Identity> now = identityOf(path);
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (!now || std::size_t(now->size) != document.bytes().size()) {
            m_entries.erase(path);
            return;
        }
        store(path, {*now, std::make_shared<const IniDocument>(std::move(document)), true});
    }

    void forget(const std::string& path) {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_entries.erase(path);
    }

  private:
    static constexpr std::size_t kMaxEntries = 16;
    struct Entry {
        Identity identity;
        std::shared_ptr<const IniDocument> document;
        bool trusted = false;
    };
    void store(const std::string& path, Entry entry) {
        if (m_entries.size() >= kMaxEntries && !m_entries.contains(path)) m_entries.clear();
        m_entries.insert_or_assign(path, std::move(entry));
    }

    std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
};

DocumentCache& cache() {
    static DocumentCache instance;
    return instance;
}

}  // namespace

safefile::Outcome replaceIniFile(const std::string& path, std::string bytes) {
    const safefile::Outcome outcome = safefile::replaceFile(path, bytes);
    if (outcome.ok()) {
        cache().wrote(path, IniDocument(std::move(bytes)));
    } else {
        cache().forget(path);
    }
    return outcome;
}

std::size_t fileReadCount() {
    return g_fileReads.load();
}

std::optional<std::string> IniFile::readString(std::string_view section,
                                               std::string_view key) const {
    const std::shared_ptr<const IniDocument> document = cache().get(m_path);
    if (!document) return std::nullopt;
    return document->value(section, key);
}

int IniFile::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    const auto text = readString(section, key);
    return text ? parseProfileInt(*text, defaultValue) : defaultValue;
}

// Each read-modify-write holds an advisory lock on the file, so that two running programs
// do not lose each other's settings.
bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    if (!IniDocument().setValue(section, key, value)) return false;  // refused names or value
    const safefile::FileLock lock(m_path, true);
    const safefile::ReadResult file = readFile(m_path);
    bool written = false;
    if (file.ok() || isMissing(file)) {
        IniDocument doc(file.bytes);
        written = doc.setValue(section, key, value) && ((file.ok() && doc.bytes() == file.bytes) ||
                                                        replaceIniFile(m_path, doc.bytes()).ok());
    }
    if (!written && lock.created()) ::unlink(m_path.c_str());  // the empty file made for the lock
    return written;
}

bool IniFile::deleteKey(std::string_view section, std::string_view key) {
    const safefile::FileLock lock(m_path);
    const safefile::ReadResult file = readFile(m_path);
    if (isMissing(file)) return true;
    if (!file.ok()) return false;
    IniDocument doc(file.bytes);
    if (!doc.removeKey(section, key)) return true;
    return replaceIniFile(m_path, doc.bytes()).ok();
}

bool IniFile::deleteSection(std::string_view section) {
    const safefile::FileLock lock(m_path);
    const safefile::ReadResult file = readFile(m_path);
    if (isMissing(file)) return true;
    if (!file.ok()) return false;
    IniDocument doc(file.bytes);
    if (!doc.removeSection(section)) return true;
    return replaceIniFile(m_path, doc.bytes()).ok();
}

}  // namespace ini
