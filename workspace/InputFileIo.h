#pragma once
// Whole-file reading and atomic writing for the input file, with the failures mapped to the
// error numbers of InputFile.h.

#include <cstddef>
#include <string>
#include <string_view>

// The error number for an errno value of a call on `path`; `reading` tells a missing file
// (53) from a missing folder (76).
int InputFileErrorNumber(int err, const std::string& path, bool reading);

// Reads a regular file of at most maxBytes bytes. Folders, devices and pipes are refused (75),
// longer files too (7).
bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& bytes, int& errNo);

// Writes `bytes` to a new file in the target's folder, flushes it to disk and renames it over
// the target, which keeps its permission bits; a symbolic link is followed to its target. A
// target that is not a regular file is refused (75), a dangling link too (76). On failure only
// the temporary file is removed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, int& errNo);
