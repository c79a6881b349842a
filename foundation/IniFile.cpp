#include "foundation/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "foundation/Cp932.h"
#include "foundation/RandomBits.h"

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
        if (cp932::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
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

std::optional<std::string> IniFile::readString(std::string_view section,
                                               std::string_view key) const {
    FileReadResult file = readWholeFile(m_path, kMaxIniFileBytes);
    if (file.status != FileReadStatus::Ok) return std::nullopt;
    return IniDocument(std::move(file.bytes)).value(section, key);
}

int IniFile::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    const auto text = readString(section, key);
    return text ? parseProfileInt(*text, defaultValue) : defaultValue;
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    const FileReadResult file = readWholeFile(m_path, kMaxIniFileBytes);
    if (file.status == FileReadStatus::Failed) return false;
    IniDocument doc(file.bytes);
    if (!doc.setValue(section, key, value)) return false;
    if (file.status == FileReadStatus::Ok && doc.bytes() == file.bytes) return true;
    return writeFileAtomically(m_path, doc.bytes());
}

bool IniFile::deleteKey(std::string_view section, std::string_view key) {
    const FileReadResult file = readWholeFile(m_path, kMaxIniFileBytes);
    if (file.status == FileReadStatus::Missing) return true;
    if (file.status == FileReadStatus::Failed) return false;
    IniDocument doc(file.bytes);
    if (!doc.removeKey(section, key)) return true;
    return writeFileAtomically(m_path, doc.bytes());
}

bool IniFile::deleteSection(std::string_view section) {
    const FileReadResult file = readWholeFile(m_path, kMaxIniFileBytes);
    if (file.status == FileReadStatus::Missing) return true;
    if (file.status == FileReadStatus::Failed) return false;
    IniDocument doc(file.bytes);
    if (!doc.removeSection(section)) return true;
    return writeFileAtomically(m_path, doc.bytes());
}

// ---- whole files ------------------------------------------------------------------------

namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
  public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports whether closing succeeded.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

FileReadResult readWholeFile(const std::string& path, std::size_t maxBytes) {
    FileReadResult result;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? FileReadStatus::Missing
                                                              : FileReadStatus::Failed;
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t filled = 0;
    for (;;) {
        if (filled == result.bytes.size()) {
            if (filled >= maxBytes + 1) return FileReadResult{};  // grew past the limit
            result.bytes.resize(std::min(maxBytes + 1, filled + 4096));
        }
        const ssize_t n =
            ::read(fd.get(), result.bytes.data() + filled, result.bytes.size() - filled);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FileReadResult{};
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    if (filled > maxBytes) return FileReadResult{};
    result.bytes.resize(filled);
    result.status = FileReadStatus::Ok;
    return result;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    std::string target = path;
    struct stat st {};
    bool exists = false;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            char* real = ::realpath(path.c_str(), nullptr);
            if (real == nullptr) return false;
            target = real;
            std::free(real);
            if (::stat(target.c_str(), &st) != 0) return false;
        }
        if (!S_ISREG(st.st_mode)) return false;
        exists = true;
    } else if (errno != ENOENT) {
        return false;
    }

    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : target.substr(0, slash ? slash : 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) return false;

    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08X", static_cast<unsigned>(RandomUInt32()));
        temp = folder + "/." + base + suffix + ".tmp";
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (raw < 0 && errno != EEXIST) return false;
    }
    if (raw < 0) return false;
    Fd fd(raw);

    bool ok = true;
    if (exists) {
        ok = ::fchmod(fd.get(), st.st_mode & 07777) == 0;
        if (ok && ::geteuid() == 0) (void)!::fchown(fd.get(), st.st_uid, st.st_gid);
    }
    ok = ok && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) (void)::fsync(dir.get());
    return true;
}

}  // namespace ini
