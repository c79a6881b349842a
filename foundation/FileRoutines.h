#pragma once
// Whole-file operations that report success as a Boolean and never throw. Paths are UTF-8
// file-system paths with "/" separators. None of them blocks on a FIFO or device: anything
// that is not a regular file (or a folder for MakeFolder) fails.

#include <cstddef>
#include <string>

// Creates one folder (the parent must exist); false when it exists already or cannot be made.
bool MakeFolder(const std::string& Path);

// Deletes a file (not a folder); false on any error, a missing file included.
bool RemoveFile(const std::string& Path);

// Creates the file, or truncates an existing one to length 0.
bool CreateEmptyFile(const std::string& Path);

// Appends every line of Src to Dest, each followed by CR LF: a line ends at LF or CR LF, a
// last line without a line end gets one, other bytes (form feeds, a lone CR, NUL) are copied
// as they are. Dest is created when missing, also when Src then fails. False on any error
// (lines appended before it stay), when Src is missing and when Src and Dest are one file.
bool AppendTextFile(const std::string& Dest, const std::string& Src);

// The largest input file that is read or written (a full file of 2 x 99 layers is a few tens
// of kilobytes; a case name may make it larger).
inline constexpr std::size_t kMaxInputFileBytes = 4u << 20;

// The version text of an input file: line 3 from its 33rd byte to its end, without its last
// byte; "error" when the file cannot be read, has fewer than three lines, or its line 3 is
// shorter than 33 bytes, and when it is larger than kMaxInputFileBytes, which sets *tooLarge
// (when given). Lines end at LF or CR LF.
std::string ReadInputFileVersion(const std::string& Path, bool* tooLarge = nullptr);
