#include "workspace/InputFileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "workspace/InputFile.h"

using namespace inputfile;

namespace {

std::string parentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool validName(const std::string& path) {
    return !path.empty() && path.find('\0') == std::string::npos;
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

// A name for the temporary file that is unlikely to exist; O_EXCL settles collisions.
std::string temporaryName(const std::string& folder, const std::string& base, int attempt) {
    static const char kHex[] = "0123456789abcdef";
    std::uint64_t seed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    seed ^= static_cast<std::uint64_t>(::getpid()) << 32;
    seed += static_cast<std::uint64_t>(attempt) * 0x9E3779B97F4A7C15ull;
    std::string suffix;
    for (int i = 0; i < 8; ++i) {
        suffix += kHex[seed & 15];
        seed >>= 4;
    }
    return folder + "/." + base + ".~" + suffix;
}

bool writeAll(int fd, std::string_view bytes, int& err) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        if (n == 0) {
            err = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int InputFileErrorNumber(int err, const std::string& path, bool reading) {
    switch (err) {
        case ENOENT:
            if (reading && isFolder(parentOf(path))) return kErrFileNotFound;
            return kErrPathNotFound;
        case ENOTDIR:
            return kErrPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return kErrPermission;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return kErrDiskFull;
        case EIO:
            return kErrDeviceIo;
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
            return kErrBadFileName;
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
            return kErrDiskNotReady;
        default:
            return kErrAccess;  // EISDIR, ELOOP and the rest
    }
}

bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& bytes, int& errNo) {
    if (!validName(path)) {
        errNo = kErrBadFileName;
        return false;
    }
    Descriptor file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file.fd < 0) {
        errNo = InputFileErrorNumber(errno, path, true);
        return false;
    }
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) {
        errNo = InputFileErrorNumber(errno, path, true);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        errNo = kErrAccess;
        return false;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        errNo = kErrTooLarge;
        return false;
    }
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            errNo = InputFileErrorNumber(errno, path, true);
            return false;
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {  // it grew meanwhile
            errNo = kErrTooLarge;
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, int& errNo) {
    if (!validName(path)) {
        errNo = kErrBadFileName;
        return false;
    }
    // Write where a symbolic link points, so that the link itself stays.
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
        if (resolved) target = resolved.get();
    }
    bool keepMode = false;
    mode_t mode = 0;
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errNo = kErrAccess;
            return false;
        }
        keepMode = S_ISREG(st.st_mode);
        mode = st.st_mode & 07777;
    }
    const auto slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty() || base == "." || base == "..") {
        errNo = kErrBadFileName;
        return false;
    }
    const std::string folder = parentOf(target);

    Descriptor file;
    std::string temp;
    for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
        temp = temporaryName(folder, base, attempt);
        file.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (file.fd < 0 && errno != EEXIST) {
            errNo = InputFileErrorNumber(errno, target, false);
            return false;
        }
    }
    if (file.fd < 0) {
        errNo = kErrAccess;
        return false;
    }
    int err = 0;
    bool ok = writeAll(file.fd, bytes, err);
    if (ok && keepMode) ::fchmod(file.fd, mode);  // best effort: the content matters most
    if (ok && ::fsync(file.fd) != 0) ok = false, err = errno;
    if (::close(file.release()) != 0 && ok) ok = false, err = errno;
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) ok = false, err = errno;
    if (!ok) {
        ::unlink(temp.c_str());
        errNo = InputFileErrorNumber(err, target, false);
        return false;
    }
    // Make the rename itself durable; a failure here no longer endangers the data.
    Descriptor dir;
    dir.fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir.fd >= 0) ::fsync(dir.fd);
    return true;
}
