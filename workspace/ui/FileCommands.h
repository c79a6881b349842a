#pragma once
// Pure pieces of the main window's file commands: the recent-file list, the captions and the
// message texts. The commands themselves are members of frmMenuMain (MenuMainFile.cpp).

#include <QString>
#include <array>
#include <string>

using RecentFileList = std::array<std::string, 4>;  // FileName1..FileName4, UTF-8

// The list after `path` was used: path first, then the other entries in their old order. A
// path equal to an entry (exact comparison; with several equal entries the last counts)
// removes that entry; otherwise the fourth entry drops out.
RecentFileList RecentListAfterUse(const RecentFileList& old, const std::string& path);

// Caption of recent entry n (1-4): "&n " and the path, its own ampersands doubled so that
// they show literally.
QString RecentEntryCaption(int n, const std::string& path);

// True when the last three characters, upper-cased, are "MBW".
bool HasMbwExtension(const std::string& path);

// The name after the last folder separator.
std::string FileTitleOf(const std::string& path);
// The folder before the last separator ("" when there is none).
std::string FolderOf(const std::string& path);

// Window caption: the product title, or "<title> - <file title>".
QString MainCaption(const QString& fileTitle);

// Message texts.
QString ExitQuestionText(const std::string& currentFilePath);
// The question before Open or a recent entry replaces unsaved input.
QString OpenQuestionText(const std::string& currentFilePath);
QString NotSupportedText(const std::string& version);
QString ReadErrorText(int code);
QString WriteErrorText(int code);
