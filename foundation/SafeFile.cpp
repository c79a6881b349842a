#include "foundation/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "foundation/RandomBits.h"

namespace safefile {

// ---- Descriptor -------------------------------------------------------------------------

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        reset();
        m_fd = other.release();
    }
    return *this;
}

int Descriptor::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool Descriptor::close() {
    const int fd = release();
    if (fd < 0) {
        errno = EBADF;
        return false;
    }
    return ::close(fd) == 0;
}

void Descriptor::reset() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

// ---- writing ----------------------------------------------------------------------------

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

namespace {

template <typename Result>
Result failed(int err) {
    Result result;
    result.status = Status::Failed;
    result.err = err;
    return result;
}

template <typename Result>
Result refused(Status status) {
    Result result;
    result.status = status;
    return result;
}

bool hasNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

// ".~<8 hex digits>.tmp" beside the target: short, so that a target name near the file-system
// limit still has room; O_EXCL settles any collision.
std::string temporaryName(const std::string& folder) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::uint32_t bits = RandomUInt32();
    std::string digits(8, '0');
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, bits >>= 4) *it = kHex[bits & 15];
    return folder + "/.~" + digits + ".tmp";
}

}  // namespace

// ---- reading ----------------------------------------------------------------------------

ReadResult readRegularFile(const std::string& path, std::size_t maxBytes) {
    if (hasNul(path)) return failed<ReadResult>(EINVAL);
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.valid()) return failed<ReadResult>(errno);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) return failed<ReadResult>(errno);
    if (!S_ISREG(st.st_mode)) return refused<ReadResult>(Status::NotRegularFile);
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        return refused<ReadResult>(Status::TooLarge);
    }

    static constexpr std::size_t kChunk = 64 * 1024;
    std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');  // +1 notices growth
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes) return refused<ReadResult>(Status::TooLarge);
            bytes.resize(filled + std::min(kChunk, maxBytes - filled) + 1);
        }
        const ssize_t n = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed<ReadResult>(errno);
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    if (filled > maxBytes) return refused<ReadResult>(Status::TooLarge);
    bytes.resize(filled);
    ReadResult result;
    result.status = Status::Ok;
    result.bytes = std::move(bytes);
    return result;
}

// ---- atomic replacement -----------------------------------------------------------------

Outcome replaceFile(const std::string& path, std::string_view bytes) {
    if (hasNul(path)) return failed<Outcome>(EINVAL);
    // Write where a symbolic link points, so that the link itself stays.
    std::string target = path;
    struct stat st {};
    bool exists = false;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            const std::unique_ptr<char, decltype(&std::free)> real(
                ::realpath(path.c_str(), nullptr), &std::free);
            if (!real) return failed<Outcome>(errno);
            target = real.get();
            if (::stat(target.c_str(), &st) != 0) return failed<Outcome>(errno);
        }
        if (!S_ISREG(st.st_mode)) return refused<Outcome>(Status::NotRegularFile);
        exists = true;
    } else if (errno != ENOENT) {
        return failed<Outcome>(errno);
    }

    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty() || base == "." || base == "..") return failed<Outcome>(EINVAL);

    Descriptor file;
    std::string temp;
    for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        temp = temporaryName(folder);
        file = Descriptor(::open(
            temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666));
        if (!file.valid() && errno != EEXIST) return failed<Outcome>(errno);
    }
    if (!file.valid()) return failed<Outcome>(EEXIST);

    int err = 0;
    if (exists) {
        // Owner first: a change of owner may clear mode bits that fchmod then restores.
        if (::geteuid() == 0) (void)!::fchown(file.get(), st.st_uid, st.st_gid);
        // Best effort: file systems without permission bits (FAT media) refuse fchmod, and
        // the content matters more than the mode.
        (void)::fchmod(file.get(), st.st_mode & 07777);
    }
    if (err == 0 && !writeAll(file.get(), bytes)) err = errno;
    if (err == 0 && ::fsync(file.get()) != 0) err = errno;
    if (!file.close() && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return failed<Outcome>(err);
    }
    // Make the rename itself durable; a failure here no longer endangers the data.
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) (void)::fsync(dir.get());
    Outcome done;
    done.status = Status::Ok;
    return done;
}

}  // namespace safefile
