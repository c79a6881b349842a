#include "foundation/FileRoutines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string_view>

#include "foundation/Cp932.h"
#include "foundation/SafeFile.h"

namespace {

// A regular file opened without blocking; invalid when the open fails or the path names
// anything else.
class RegularFile {
  public:
    RegularFile(const std::string& path, int flags, mode_t mode = 0666)
        : m_file(::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, mode)) {
        struct stat st {};
        if (m_file.valid() && (::fstat(m_file.get(), &st) != 0 || !S_ISREG(st.st_mode))) {
            m_file = safefile::Descriptor();
        }
        if (m_file.valid()) {
            m_device = st.st_dev;
            m_inode = st.st_ino;
        }
    }

    bool valid() const { return m_file.valid(); }
    int fd() const { return m_file.get(); }
    bool sameFileAs(const RegularFile& other) const {
        return m_device == other.m_device && m_inode == other.m_inode;
    }
    bool close() { return m_file.close(); }

  private:
    safefile::Descriptor m_file;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

// Reads up to buffer.size() bytes; -1 on error, 0 at the end.
ssize_t readSome(int fd, std::string& buffer) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n >= 0 || errno != EINTR) return n;
    }
}

}  // namespace

bool MakeFolder(const std::string& Path) {
    return !Path.empty() && ::mkdir(Path.c_str(), 0777) == 0;
}

bool RemoveFile(const std::string& Path) {
    struct stat st {};
    if (Path.empty() || ::lstat(Path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(Path.c_str()) == 0;
}

bool CreateEmptyFile(const std::string& Path) {
    RegularFile file(Path, O_WRONLY | O_CREAT);
    return file.valid() && ::ftruncate(file.fd(), 0) == 0 && file.close();
}

bool AppendTextFile(const std::string& Dest, const std::string& Src) {
    RegularFile dest(Dest, O_WRONLY | O_APPEND | O_CREAT);
    if (!dest.valid()) return false;
    RegularFile src(Src, O_RDONLY);
    if (!src.valid() || src.sameFileAs(dest)) return false;

    std::string buffer(64 * 1024, '\0');
    std::string out;
    bool pendingCr = false;  // a CR that may start a CR LF line end
    bool lineOpen = false;   // bytes written since the last line end
    for (;;) {
        const ssize_t n = readSome(src.fd(), buffer);
        if (n < 0) return false;
        if (n == 0) break;
        out.clear();
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            if (c == '\n') {
                out += "\r\n";
                pendingCr = lineOpen = false;
                continue;
            }
            if (pendingCr) out += '\r';
            pendingCr = c == '\r';
            if (!pendingCr) out += c;
            lineOpen = true;
        }
        if (!safefile::writeAll(dest.fd(), out)) return false;
    }
    std::string tail;
    if (pendingCr) tail += '\r';
    if (lineOpen) tail += "\r\n";
    return safefile::writeAll(dest.fd(), tail) && dest.close();
}

std::string ReadInputFileVersion(const std::string& Path, bool* tooLarge) {
    const std::string error = "error";
    bool refusedForSize = false;
    if (tooLarge == nullptr) tooLarge = &refusedForSize;
    *tooLarge = false;
    RegularFile file(Path, O_RDONLY);
    struct stat st {};
    if (!file.valid() || ::fstat(file.fd(), &st) != 0) return error;
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxInputFileBytes) {
        *tooLarge = true;
        return error;
    }

    std::string text;
    std::string buffer(8192, '\0');
    int lineEnds = 0;
    bool atEnd = false;
    while (lineEnds < 3) {
        const ssize_t n = readSome(file.fd(), buffer);
        if (n < 0) return error;
        if (n == 0) {
            atEnd = true;
            break;
        }
        const std::size_t before = text.size();
        text.append(buffer, 0, static_cast<std::size_t>(n));
        for (std::size_t i = before; i < text.size(); ++i) lineEnds += text[i] == '\n';
        if (text.size() > kMaxInputFileBytes && lineEnds < 3) {
            *tooLarge = true;  // grown while read
            return error;
        }
    }
    // Start of line 3: after the second LF.
    std::size_t start = 0;
    for (int line = 1; line < 3; ++line) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string::npos) return error;
        start = lf + 1;
    }
    if (start >= text.size() && atEnd) return error;  // no third line at all
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start && text[end - 1] == '\r') --end;
    const std::string_view line3 = std::string_view(text).substr(start, end - start);
    if (line3.size() < 33) return error;
    return cp932::toUtf8(line3.substr(32, line3.size() - 33));
}
