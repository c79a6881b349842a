#pragma once
// Whole-file reading and atomic replacement over POSIX descriptors, shared by every writer of
// files (settings files, the input file, the exports). Paths are file-system byte strings with "/"
// separators; a path holding a NUL byte fails with EINVAL. Nothing here throws except on
// memory exhaustion. Failures carry a status and, for failed system calls, the errno, so that
// each caller can apply its own error rule.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace safefile {

// Owns one file descriptor and closes it when it goes out of scope. Move-only.
class Descriptor {
  public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : m_fd(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    // Gives up ownership without closing.
    int release();
    // Closes now; false (errno set) when nothing was open or closing failed, which is where a
    // delayed write error may show.
    bool close();

  private:
    void reset();

    int m_fd = -1;
};

// Writes every byte, resuming after interruptions; false with errno set (ENOSPC when the
// device accepted nothing).
bool writeAll(int fd, std::string_view bytes);

enum class Status {
    Ok,
    Failed,          // a system call failed; `err` holds its errno
    NotRegularFile,  // the path names a folder, device, FIFO or socket
    TooLarge,        // the file holds more bytes than the cap
};

struct Outcome {
    Status status = Status::Failed;
    int err = 0;  // the errno when status is Failed, otherwise 0
    bool ok() const { return status == Status::Ok; }
};

struct ReadResult : Outcome {
    std::string bytes;  // the whole file when ok(), otherwise empty
};

// Reads a regular file of at most maxBytes bytes. Opening never blocks on a FIFO or device:
// those are refused as NotRegularFile. A missing file is Failed with ENOENT (ENOTDIR when a
// folder of the path is a file); a file that grows past the cap while it is read is TooLarge.
ReadResult readRegularFile(const std::string& path, std::size_t maxBytes);

// Opens a regular file for reading, with the refusals above; `size` is its size when opened.
// For a reader that checks a format's header before it reads the body.
Outcome openRegularFile(const std::string& path, Descriptor& file, std::uintmax_t& size);

// Replaces (or creates) the regular file `path` with `bytes`: they go to a new anonymous
// file (O_TMPFILE) in the same folder, which takes the old file's permission bits (and owner
// when run as root) and is flushed to disk. Without an old file it is linked straight under
// the target's name; else it is linked under a temporary name ".~<8 hex digits>.tmp" and
// renamed over the target. The folder is then flushed, and temporary files of that pattern
// older than a minute that no writer holds (a writer locks its own until the rename) are
// removed: a writer killed between link and rename leaves one. File systems without
// anonymous files get a named temporary file instead.
// An existing target that may not be written fails with the reason (EROFS on a read-only
// mount, else EACCES: no write bit, or no write access) and stays as it was. When the folder
// refuses a new file (EACCES, EPERM) but the target exists and may be written, the target is
// rewritten in place, as an open for output would, after its new size has been reserved: a
// full disk fails (ENOSPC) with the old contents whole. A symbolic link is written through to
// its target and stays a link; a dangling link fails (ENOENT), as do a target that is not a
// regular file (NotRegularFile) and an empty or "." name (EINVAL). On any other failure the
// old file is intact and no temporary remains.
Outcome replaceFile(const std::string& path, std::string_view bytes);

// Whether replaceFile may replace the existing file `path`: 0, or why not (EROFS on a
// read-only mount before any permission reason; EACCES without write access, or without
// any write bit, which counts as read-only also for root, like a read-only attribute).
int replaceRefusal(const std::string& path);

// An advisory exclusive lock (flock) on an existing file, held until destruction, for a
// read-modify-write of that file by several processes. The lock is taken on the file the
// path names at the moment it is held: a file replaced by another writer meanwhile is locked
// afresh. With createMissing a missing file is first created empty (mode 0666 less the
// umask), so that the first writers lock too; created() tells the caller to remove it again
// if its write fails. A file that cannot be opened or made gives an unheld lock.
class FileLock {
  public:
    explicit FileLock(const std::string& path, bool createMissing = false);
    bool held() const { return m_file.valid(); }
    bool created() const { return m_created; }

  private:
    Descriptor m_file;
    bool m_created = false;
};

}  // namespace safefile
