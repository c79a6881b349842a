#pragma once
// The input file (*.mbw): CP932 text with CR LF, version 1.10 written, 1.10 and 1.00 read.
//
// Error numbers are those the user sees in the file commands' messages: 53 file not found,
// 52 bad file name, 76 path not found, 75 path or file access error, 70 permission denied,
// 71 disk not ready, 61 disk full, 57 device I/O error, 62 input past end of file,
// 9 subscript out of range, 13 type mismatch, 6 overflow, 7 file too large to be an input file.

#include <string>
#include <string_view>

#include "engine/InputModel.h"
#include "foundation/FileRoutines.h"

namespace inputfile {
constexpr int kErrOverflow = 6;
constexpr int kErrTooLarge = 7;
constexpr int kErrSubscript = 9;
constexpr int kErrTypeMismatch = 13;
constexpr int kErrBadFileName = 52;
constexpr int kErrFileNotFound = 53;
constexpr int kErrDeviceIo = 57;
constexpr int kErrDiskFull = 61;
constexpr int kErrPastEnd = 62;
constexpr int kErrPermission = 70;
constexpr int kErrDiskNotReady = 71;
constexpr int kErrAccess = 75;
constexpr int kErrPathNotFound = 76;

// Larger files are refused unread. The limit holds both ways: a model whose file would be
// larger is neither saved nor loaded (error 7), so every file the program writes reads back;
// the version probe reads up to the same limit.
constexpr std::size_t kMaxFileBytes = kMaxInputFileBytes;
}  // namespace inputfile

enum class InputFileVersion { V100, V110 };

// Writes the model to `path` (UTF-8 path) through a temporary file in the same folder that
// replaces the target only when complete. On failure returns false, sets errNo and leaves any
// previous file at `path` intact.
bool SaveInputFile(const InputModel& model, const std::string& path, int& errNo);

// Reads a version 1.10 file. On failure returns false, sets errNo and leaves `model` as it was.
bool LoadInputFile(InputModel& model, const std::string& path, int& errNo);

// Reads a version 1.00 file (ten condition values). Failure as LoadInputFile.
bool LoadInputFileV100(InputModel& model, const std::string& path, int& errNo);

// The bytes SaveInputFile writes; false with error 9 for a layer count outside 0..99.
bool MakeInputFileBytes(const InputModel& model, std::string& bytes, int& errNo);

// Reads a file's bytes as the readers do (1.10: over a copy of `model`; 1.00: over a cleared
// model); on failure `model` is unchanged.
bool LoadInputFileFromBytes(InputModel& model, std::string_view bytes, InputFileVersion version,
                            int& errNo);
