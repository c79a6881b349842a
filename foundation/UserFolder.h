#pragma once
// The per-user application-data folder and the programs' folders below it.

#include <optional>
#include <string>
#include <string_view>

// The user's local application-data folder (~/.local/share, or $XDG_DATA_HOME) without a
// trailing separator. Falls back to $HOME when that folder is unknown; empty when neither
// is known. Never the file-system root.
std::string GetLocalAppDataFolder();

// "<base>/Halvoren/<programName>" (no folder is touched).
std::string UserDataFolderPath(std::string_view base, std::string_view programName);

// Creates "<base>/Halvoren/<programName>" with its parents (the base included) and returns
// it; nullopt when the base is not an absolute folder below the root, the name is not one
// plain folder name, or the folder cannot be made.
std::optional<std::string> EnsureUserDataFolderIn(std::string_view base,
                                                  std::string_view programName);

// EnsureUserDataFolderIn for the local application-data folder.
std::optional<std::string> EnsureUserDataFolder(std::string_view programName);

// Where a settings file kept beside the program (Mibrox.ini) lies: beside the program when the
// file there exists and may be written, or is missing and the program's folder may be
// written; else in `userFolder`, where a missing file is begun as a copy of the one beside the
// program when that one can be read, so that nothing stored there is lost.
std::string SettingsFilePath(const std::string& programFolder, const std::string& userFolder,
                             const std::string& name);
