#include "foundation/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
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

constexpr char kTemporaryPrefix[] = ".~";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr std::size_t kTemporaryDigits = 8;

// ".~<8 hex digits>.tmp" beside the target: short, so that a target name near the file-system
// limit still has room; O_EXCL settles any collision.
std::string temporaryName(const std::string& folder) {
    return folder + "/" + kTemporaryPrefix + RandomHexName() + kTemporarySuffix;
}

bool isTemporaryName(std::string_view name) {
    const std::string_view prefix = kTemporaryPrefix, suffix = kTemporarySuffix;
    if (name.size() != prefix.size() + kTemporaryDigits + suffix.size() ||
        name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - suffix.size()) != suffix) {
        return false;
    }
    const std::string_view digits = name.substr(prefix.size(), kTemporaryDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
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

// replaceRefusal for a file already stat'ed: an existing file the user may not write is not
// replaced behind their back.
int writeRefusal(const std::string& target, const struct stat& st) {
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return errno;
    return (st.st_mode & 0222) != 0 ? 0 : EACCES;
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

// A temporary file of ours older than this, and not locked by its writer, was left by a
// writer that was killed between naming and renaming it.
constexpr std::time_t kLeftoverAge = 60;  // s

void removeLeftovers(const std::string& folder) {
    struct CloseDir {
        void operator()(DIR* d) const { ::closedir(d); }
    };
    const std::unique_ptr<DIR, CloseDir> list(::opendir(folder.c_str()));
    if (!list) return;
    const int dir = ::dirfd(list.get());
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(list.get())) {
        if (!isTemporaryName(entry->d_name)) continue;
        struct stat named {};
        if (::fstatat(dir, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(named.st_mode) || now - named.st_mtime < kLeftoverAge) {
            continue;
        }
        const Descriptor file(::openat(dir, entry->d_name,
                                       O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat opened {};
        if (!file.valid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0 ||
            ::fstat(file.get(), &opened) != 0 || opened.st_ino != named.st_ino ||
            opened.st_dev != named.st_dev) {
            continue;
        }
        (void)::unlinkat(dir, entry->d_name, 0);
    }
}

Outcome succeeded() {
    Outcome done;
    done.status = Status::Ok;
    return done;
}

// Makes room for `size` bytes in the file before anything in it is overwritten, so that a
// full disk fails here with the old contents whole: posix_fallocate, or zeros written past
// the old end where the file system has no allocation call. On failure the file is cut back
// to its old length; 0 or the errno.
int reserve(int fd, off_t oldSize, off_t size) {
    if (size <= oldSize) return 0;
    int err = ::posix_fallocate(fd, oldSize, size - oldSize);
    if (err == EOPNOTSUPP || err == EINVAL) {
        static constexpr std::size_t kChunk = 64 * 1024;
        const std::string zeros(kChunk, '\0');
        err = 0;
        for (off_t at = oldSize; at < size && err == 0;) {
            const auto n = static_cast<std::size_t>(std::min<off_t>(size - at, kChunk));
            const ssize_t written = ::pwrite(fd, zeros.data(), n, at);
            if (written > 0) {
                at += written;
            } else if (written == 0) {
                err = ENOSPC;
            } else if (errno != EINTR) {
                err = errno;
            }
        }
    }
    if (err != 0) (void)!::ftruncate(fd, oldSize);
    return err;
}

// The original's open-for-output, made safe against a full disk: rewrites the file itself
// once its new size is reserved, then cuts it to that size. Used only where no temporary
// file can be made beside a target that may be written.
Outcome writeInPlace(const std::string& target, std::string_view bytes) {
    Descriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (!file.valid()) return failed<Outcome>(errno);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) return failed<Outcome>(errno);
    const auto size = static_cast<off_t>(bytes.size());
    int err = reserve(file.get(), st.st_size, size);
    if (err != 0) return failed<Outcome>(err);
    if (!writeAll(file.get(), bytes) || ::ftruncate(file.get(), size) != 0) err = errno;
    if (err == 0 && ::fsync(file.get()) != 0) err = errno;
    if (!file.close() && err == 0) err = errno;
    return err == 0 ? succeeded() : failed<Outcome>(err);
}

// Gives the finished anonymous file the name `name`; false (errno set) when the name exists
// or the file system or the missing /proc cannot link it.
bool linkAnonymous(int fd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// Gives the finished anonymous file a temporary name in the folder.
bool linkAnonymous(int fd, const std::string& folder, std::string& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = temporaryName(folder);
        if (linkAnonymous(fd, temp)) return true;
        if (errno != EEXIST) return false;
    }
    errno = EEXIST;
    return false;
}

// Makes the new name durable (a failure here no longer endangers the data) and clears the
// folder of what killed writers left.
Outcome finished(const std::string& folder) {
    flushFolder(folder);
    removeLeftovers(folder);
    return succeeded();
}

}  // namespace

int replaceRefusal(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno;
    return writeRefusal(path, st);
}

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
    if (exists) {
        if (const int refusal = writeRefusal(target, st)) return failed<Outcome>(refusal);
    }

    // First choice: an anonymous file that a crash cannot leave behind. It gets a name only
    // once it is complete: the target's own when there is no old file, else a temporary one
    // for the moment of the rename. Every temporary file stays open and locked until it is
    // renamed, which keeps removeLeftovers away from it.
    std::string temp;
    Descriptor file(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (!file.valid() && folderRefused(errno)) {
        return exists ? writeInPlace(target, bytes) : failed<Outcome>(errno);
    }
    if (file.valid()) {
        (void)::flock(file.get(), LOCK_EX);
        copyOwnerAndMode(file.get(), exists, st);
        const int err = fill(file.get(), bytes);
        if (err != 0) return failed<Outcome>(err);
        if (!exists && linkAnonymous(file.get(), target)) return finished(folder);
        if (!linkAnonymous(file.get(), folder, temp)) {
            temp.clear();
            file = Descriptor();
        }
    }

    // Fallback for file systems without anonymous files: a named temporary file.
    if (temp.empty()) {
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
        (void)::flock(file.get(), LOCK_EX);
        copyOwnerAndMode(file.get(), exists, st);
        const int err = fill(file.get(), bytes);
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
    return finished(folder);
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
