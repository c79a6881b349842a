#include "foundation/SafeFile.h"

#include <fcntl.h>
#include <sys/file.h>
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
    return folder + "/.~" + RandomHexName() + ".tmp";
}

}  // namespace

// ---- reading ----------------------------------------------------------------------------

Outcome openRegularFile(const std::string& path, Descriptor& file, std::uintmax_t& size) {
    if (hasNul(path)) return failed<Outcome>(EINVAL);
    file = Descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.valid()) return failed<Outcome>(errno);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) return failed<Outcome>(errno);
    if (!S_ISREG(st.st_mode)) return refused<Outcome>(Status::NotRegularFile);
    size = static_cast<std::uintmax_t>(st.st_size);
    Outcome opened;
    opened.status = Status::Ok;
    return opened;
}

ReadResult readRegularFile(const std::string& path, std::size_t maxBytes) {
    Descriptor file;
    std::uintmax_t size = 0;
    if (const Outcome opened = openRegularFile(path, file, size); !opened.ok()) {
        ReadResult result;
        static_cast<Outcome&>(result) = opened;
        return result;
    }
    if (size > maxBytes) return refused<ReadResult>(Status::TooLarge);

    static constexpr std::size_t kChunk = 64 * 1024;
    std::string bytes(static_cast<std::size_t>(size) + 1, '\0');  // +1 notices growth
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

namespace {

// An existing file the user may not write is not replaced behind their back. A file with
// no write bit at all counts as read-only also for root, like a read-only attribute.
bool writable(const std::string& target, const struct stat& st) {
    return (st.st_mode & 0222) != 0 && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

bool folderRefused(int err) {
    return err == EACCES || err == EPERM;
}

// Gives the new file the old one's owner and permission bits.
void copyOwnerAndMode(int fd, bool exists, const struct stat& st) {
    if (!exists) return;
    // Owner first: a change of owner may clear mode bits that fchmod then restores.
    if (::geteuid() == 0) (void)!::fchown(fd, st.st_uid, st.st_gid);
    // Best effort: file systems without permission bits (FAT media) refuse fchmod, and the
    // content matters more than the mode.
    (void)::fchmod(fd, st.st_mode & 07777);
}

// Writes and flushes the bytes; 0 or the errno.
int fill(int fd, std::string_view bytes) {
    if (!writeAll(fd, bytes)) return errno;
    if (::fsync(fd) != 0) return errno;
    return 0;
}

void flushFolder(const std::string& folder) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) (void)::fsync(dir.get());
}

Outcome succeeded() {
    Outcome done;
    done.status = Status::Ok;
    return done;
}

// The original's open-for-output: truncates and rewrites the file itself. Used only where
// no temporary file can be made beside a target that may be written.
Outcome writeInPlace(const std::string& target, std::string_view bytes) {
    Descriptor file(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
    if (!file.valid()) return failed<Outcome>(errno);
    int err = fill(file.get(), bytes);
    if (!file.close() && err == 0) err = errno;
    return err == 0 ? succeeded() : failed<Outcome>(err);
}

// Gives the finished anonymous file a temporary name in the folder; false (errno set) when
// the file system or the missing /proc cannot link it.
bool linkAnonymous(int fd, const std::string& folder, std::string& temp) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = temporaryName(folder);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno != EEXIST) return false;
    }
    errno = EEXIST;
    return false;
}

}  // namespace

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
    if (exists && !writable(target, st)) return failed<Outcome>(EACCES);

    // First choice: an anonymous file that a crash cannot leave behind; it gets a name only
    // once it is complete, for the moment of the rename.
    std::string temp;
    {
        Descriptor file(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        if (!file.valid() && folderRefused(errno)) {
            return exists ? writeInPlace(target, bytes) : failed<Outcome>(errno);
        }
        if (file.valid()) {
            copyOwnerAndMode(file.get(), exists, st);
            const int err = fill(file.get(), bytes);
            if (err != 0) return failed<Outcome>(err);
            if (!linkAnonymous(file.get(), folder, temp)) temp.clear();
        }
    }

    // Fallback for file systems without anonymous files: a named temporary file.
    if (temp.empty()) {
        Descriptor file;
        for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
            temp = temporaryName(folder);
            file = Descriptor(
                ::open(temp.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666));
            if (file.valid() || errno == EEXIST) continue;
            if (folderRefused(errno) && exists) return writeInPlace(target, bytes);
            return failed<Outcome>(errno);
        }
        if (!file.valid()) return failed<Outcome>(EEXIST);
        copyOwnerAndMode(file.get(), exists, st);
        int err = fill(file.get(), bytes);
        if (!file.close() && err == 0) err = errno;
        if (err != 0) {
            ::unlink(temp.c_str());
            return failed<Outcome>(err);
        }
    }

    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failed<Outcome>(err);
    }
    // Make the rename itself durable; a failure here no longer endangers the data.
    flushFolder(folder);
    return succeeded();
}

}  // namespace safefile

namespace safefile {

// ---- locking ----------------------------------------------------------------------------

// Each retry means another writer replaced the file meanwhile, so the writers as a whole make
// progress; a writer can lose many races in a row under contention, so the bound is generous.
constexpr int kMaxLockAttempts = 1000000;

FileLock::FileLock(const std::string& path, bool createMissing) {
    if (hasNul(path)) return;
    for (int attempt = 0; attempt < kMaxLockAttempts; ++attempt) {
        Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!file.valid() && errno == ENOENT && createMissing) {
            struct stat link {};
            if (::lstat(path.c_str(), &link) == 0) {
                if (S_ISLNK(link.st_mode)) return;  // a dangling link: not followed
                continue;                           // made by another writer just now
            }
            file = Descriptor(
                ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
            if (file.valid()) {
                m_created = true;
            } else if (errno == EEXIST) {
                continue;  // made by another writer just now
            }
        }
        if (!file.valid()) return;
        int rc = 0;
        do {
            rc = ::flock(file.get(), LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) return;
        // Another writer may have renamed a new file over the one just locked.
        struct stat locked {
        }, current{};
        if (::fstat(file.get(), &locked) != 0) return;
        if (::stat(path.c_str(), &current) == 0 && current.st_dev == locked.st_dev &&
            current.st_ino == locked.st_ino) {
            m_file = std::move(file);
            return;
        }
    }
}

}  // namespace safefile
