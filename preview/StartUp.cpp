#include "preview/StartUp.h"

#include <sys/stat.h>

#include "foundation/PrivateProfile.h"
#include "foundation/UserFolder.h"
#include "preview/PreviewSettings.h"
#include "preview/PreviewTexts.h"

namespace preview {

namespace {

constexpr std::string_view kIniSwitch = "/INI=";
constexpr std::string_view kUserFolderName = "Preview";

// VB's Trim: blanks only.
std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::string_view commandLine) {
    ParsedCommandLine parsed;
    if (commandLine.empty()) {
        parsed.empty = true;
        return parsed;
    }
    std::string_view rest = commandLine;
    const std::size_t p = commandLine.find(kIniSwitch);
    if (p != std::string_view::npos) {
        parsed.hasIniSwitch = true;
        std::string_view afterSwitch = commandLine.substr(p + kIniSwitch.size());
        if (!afterSwitch.empty() && afterSwitch.front() == '"') {
            afterSwitch.remove_prefix(1);
            const std::size_t close = afterSwitch.find('"');
            if (close == std::string_view::npos) {
                // No closing quote: the folder is the rest of the line, no print file.
                parsed.iniFolder = std::string(afterSwitch);
                return parsed;
            }
            parsed.iniFolder = std::string(afterSwitch.substr(0, close));
            rest = afterSwitch.substr(close + 1);
        } else {
            const std::size_t blank = afterSwitch.find(' ');
            parsed.iniFolder = std::string(afterSwitch.substr(0, blank));
            rest = blank == std::string_view::npos ? std::string_view() : afterSwitch.substr(blank);
        }
        rest = trimBlanks(rest);
    }
    if (!rest.empty() && rest.front() == '"') {
        rest = rest.size() >= 2 ? rest.substr(1, rest.size() - 2) : std::string_view();
    }
    parsed.printFilePath = std::string(rest);
    return parsed;
}

std::string GetFileNamePart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string GetFolderPart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string SettingsPathInFolder(std::string_view folder) {
    std::string path(folder);
    path += "/Preview.ini";
    return path;
}

int CreateDefaultIniFile(const std::string& iniPath) {
    const CPrivateProfile profile;
    int failed = 0;
    for (const FactoryKey& entry : kFactoryKeys) {
        if (!profile.SetValueString(iniPath, entry.section, entry.key, entry.value)) ++failed;
    }
    return failed;
}

std::string PreviewCaption(int major, int minor, int revision) {
    std::string revisionText = std::to_string(revision);
    if (revision >= 0 && revisionText.size() < 3) {
        revisionText.insert(0, 3 - revisionText.size(), '0');
    }
    return std::string(texts::ProgramTitle) + texts::VersionWord + std::to_string(major) + "." +
           std::to_string(minor) + "." + revisionText;
}

StartUpPlan PlanStartUp(const ParsedCommandLine& commandLine, std::string_view localDataFolder,
                        std::string_view programFolder) {
    StartUpPlan plan;
    if (commandLine.hasIniSwitch) {
        plan.iniPath = SettingsPathInFolder(commandLine.iniFolder);
    } else if (!localDataFolder.empty() && localDataFolder != "/") {
        plan.usesUserFolder = true;
        plan.userFolder = UserDataFolderPath(localDataFolder, kUserFolderName);
        plan.iniPath = SettingsPathInFolder(plan.userFolder);
    } else {
        plan.iniPath = SettingsPathInFolder(programFolder);
    }
    plan.printFilePath = commandLine.printFilePath;
    plan.printFileFolder = GetFolderPart(plan.printFilePath);
    return plan;
}

StartUpPlan PrepareStartUp(const ParsedCommandLine& commandLine, std::string_view localDataFolder,
                           std::string_view programFolder) {
    StartUpPlan plan = PlanStartUp(commandLine, localDataFolder, programFolder);
    // A fresh account may lack the data folder itself: the folders are made with parents.
    if (plan.usesUserFolder) EnsureUserDataFolderIn(localDataFolder, kUserFolderName);
    if (!FileExists(plan.iniPath)) CreateDefaultIniFile(plan.iniPath);
    return plan;
}

}  // namespace preview
