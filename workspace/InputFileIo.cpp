#include "workspace/InputFileIo.h"

#include <sys/stat.h>

#include <cerrno>

#include "foundation/SafeFile.h"
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

// The error number of a failed read or write.
int errorNumber(const safefile::Outcome& outcome, const std::string& path, bool reading) {
    switch (outcome.status) {
        case safefile::Status::Ok:
            return 0;
        case safefile::Status::NotRegularFile:
            return kErrAccess;
        case safefile::Status::TooLarge:
            return kErrTooLarge;
        case safefile::Status::Failed:
            break;
    }
    return InputFileErrorNumber(outcome.err, path, reading);
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
    safefile::ReadResult file = safefile::readRegularFile(path, maxBytes);
    if (!file.ok()) {
        errNo = errorNumber(file, path, true);
        return false;
    }
    bytes = std::move(file.bytes);
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, int& errNo) {
    if (!validName(path)) {
        errNo = kErrBadFileName;
        return false;
    }
    const safefile::Outcome written = safefile::replaceFile(path, bytes);
    if (!written.ok()) {
        errNo = errorNumber(written, path, false);
        return false;
    }
    return true;
}
