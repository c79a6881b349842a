#pragma once
// Whole-file reading and atomic replacement over POSIX descriptors, shared by every writer of
// small files (settings files, the input file). Paths are file-system byte strings with "/"
// separators; a path holding a NUL byte fails with EINVAL. Nothing here throws except on
// memory exhaustion. Failures carry a status and, for failed system calls, the errno, so that
// each caller can apply its own error rule.

#include <cstddef>
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

// Replaces (or creates) the regular file `path` with `bytes`: they go to a new file made
// exclusively in the same folder, which takes the old file's permission bits (and owner when
// run as root), is flushed to disk and renamed over the target; the folder is then flushed.
// A symbolic link is written through to its target and stays a link; a dangling link fails
// (ENOENT), as do a target that is not a regular file (NotRegularFile) and an empty or "."
// name (EINVAL). On failure only the temporary file is removed and the old file is intact.
Outcome replaceFile(const std::string& path, std::string_view bytes);

}  // namespace safefile
