#include "foundation/TempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "foundation/FileRoutines.h"
#include "foundation/RandomBits.h"

std::string TempFolder() {
    std::string folder;
    if (const char* env = std::getenv("TMPDIR"); env != nullptr && env[0] == '/') {
        struct stat st {};
        if (::stat(env, &st) == 0 && S_ISDIR(st.st_mode)) folder = env;
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder.empty() || folder == "/") folder = "/tmp";
    return folder;
}

std::optional<std::string> MakeTempFileName(std::string_view extension) {
    const std::string folder = TempFolder();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = folder + "/~QM" + RandomHexName();
        path += extension;
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> TempNameList::take() {
    if (m_names.size() >= m_capacity) return std::nullopt;
    auto name = MakeTempFileName();
    if (name) m_names.push_back(*name);
    return name;
}

void TempNameList::removeAll() {
    for (const auto& name : m_names) RemoveFile(name);
    m_names.clear();
}
