#pragma once
// Start-up of Preview: the command line, where Preview.ini lies, the factory Preview.ini and
// the small path routines the window and the loader share. Paths are UTF-8 file-system paths;
// "/" separates folders and ":" is an ordinary character.

#include <string>
#include <string_view>

namespace preview {

// What the command line asks for. The program joins its arguments with blanks into one
// command line before parsing it, so the forms below are those of the joined text.
struct ParsedCommandLine {
    bool empty = false;         // no argument at all: show the start-up message and end
    bool hasIniSwitch = false;  // "/INI=" named the settings folder
    std::string iniFolder;      // the folder after "/INI=", used unchanged
    std::string printFilePath;  // may be empty (the window then opens without a document)
};

// The command line of Preview:
//   /INI="<folder>" <print file>   the main program's form; the rest after the folder is trimmed
//   <print file>  or  "<print file>"   a file dropped on the icon; taken untrimmed
// "/INI=" is recognised in this case only. A folder not opened by a double quote runs to the
// next blank; one whose closing quote is missing is the rest of the line, and the print-file
// path is then empty. A path beginning with a double quote loses its first and last character.
ParsedCommandLine ParseCommandLine(std::string_view commandLine);

// The characters after the last "/" (the whole text without one; empty when it ends in "/").
std::string GetFileNamePart(std::string_view path);

// The text before the last "/"; empty when there is none.
std::string GetFolderPart(std::string_view path);

// True when the path names an existing regular file (folders and devices are not found).
bool FileExists(const std::string& path);

// "<folder>/Preview.ini".
std::string SettingsPathInFolder(std::string_view folder);

// Writes the factory Preview.ini key by key, sections Printer to Footer in their order.
// A failing write is skipped and the next key is written; the number of failed writes is
// returned (0 when the whole file was written).
int CreateDefaultIniFile(const std::string& iniPath);

// "印刷ﾌﾟﾚﾋﾞｭｰ  Version 1.2.003" for version 1.2, revision 3.
std::string PreviewCaption(int major, int minor, int revision);

// Where everything of one start lies, worked out from the command line and the folders.
struct StartUpPlan {
    std::string iniPath;          // PreviewIniPath
    std::string printFilePath;    // UsrPreviewFile
    std::string printFileFolder;  // PrintFileFolder
    bool usesUserFolder = false;  // the settings lie in the per-user folder (to be created)
    std::string userFolder;       // that folder, "<data>/Halvoren/Preview"
};

// localDataFolder: the user's application-data folder, empty when unknown; programFolder:
// the executable's folder. Without "/INI=" the settings lie in the per-user folder, or beside
// the program when no user folder is known (never at the file-system root).
StartUpPlan PlanStartUp(const ParsedCommandLine& commandLine, std::string_view localDataFolder,
                        std::string_view programFolder);

// The start before the window opens: plans the paths, creates the per-user folder with its
// parents when the settings lie there (failures ignored) and writes the factory Preview.ini when there is no
// file at the settings path (an existing one is never rewritten).
StartUpPlan PrepareStartUp(const ParsedCommandLine& commandLine, std::string_view localDataFolder,
                           std::string_view programFolder);

}  // namespace preview
