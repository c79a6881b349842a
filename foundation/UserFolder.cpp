#include "foundation/UserFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "foundation/IniFile.h"
#include "foundation/SafeFile.h"

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// An absolute folder that is not the root.
bool usableFolder(const std::string& path) {
    return path.size() > 1 && path.front() == '/';
}

std::string environmentFolder(const char* name) {
    const char* value = std::getenv(name);
    return value ? withoutTrailingSlashes(value) : std::string();
}

}  // namespace

std::string GetLocalAppDataFolder() {
    const std::string home = environmentFolder("HOME");
    const std::string xdg = environmentFolder("XDG_DATA_HOME");
    // Without a home or an explicit data folder, Qt would answer a folder below the root.
    if (usableFolder(home) || usableFolder(xdg)) {
        const std::string location = withoutTrailingSlashes(
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                .toUtf8()
                .toStdString());
        if (usableFolder(location)) return location;
    }
    return usableFolder(home) ? home : std::string();
}

std::string UserDataFolderPath(std::string_view base, std::string_view programName) {
    std::string path(base);
    path.append("/Halvoren/").append(programName);
    return path;
}

std::optional<std::string> EnsureUserDataFolderIn(std::string_view base,
                                                  std::string_view programName) {
    if (programName.empty() || programName == "." || programName == ".." ||
        programName.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    if (!usableFolder(std::string(base))) return std::nullopt;
    const std::string path = UserDataFolderPath(base, programName);
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (!std::filesystem::is_directory(path, ec)) return std::nullopt;
    return path;
}

std::optional<std::string> EnsureUserDataFolder(std::string_view programName) {
    return EnsureUserDataFolderIn(GetLocalAppDataFolder(), programName);
}

namespace {

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

std::string SettingsFilePath(const std::string& programFolder, const std::string& userFolder,
                             const std::string& name) {
    const std::string beside = joinPath(programFolder, name);
    struct stat st {};
    const bool besideExists = ::stat(beside.c_str(), &st) == 0;
    if (besideExists ? S_ISREG(st.st_mode) && safefile::replaceRefusal(beside) == 0
                     : errno == ENOENT && ::access(programFolder.c_str(), W_OK) == 0) {
        return beside;
    }
    const std::string own = joinPath(userFolder, name);
    if (besideExists && ::lstat(own.c_str(), &st) != 0 && errno == ENOENT) {
        const safefile::ReadResult old = safefile::readRegularFile(beside, ini::kMaxIniFileBytes);
        if (old.ok()) (void)safefile::replaceFile(own, old.bytes);
    }
    return own;
}
