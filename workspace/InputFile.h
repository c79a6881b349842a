#pragma once
// The input file (*.mbw): CP932 text with CR LF, version 1.10 written, 1.10 and 1.00 read.
//
// Error numbers are those the user sees in the file commands' messages: 53 file not found,
// 52 bad file name, 76 path not found, 75 path or file access error, 70 permission denied,
// 71 disk not ready, 61 disk full, 57 device I/O error, 62 input past end of file,
// 9 subscript out of range, 13 type mismatch, 6 overflow.

#include <string>

#include "engine/InputModel.h"

// Writes the model to `path` (UTF-8 path). On failure returns false, sets errNo and leaves any
// previous file at `path` intact.
bool SaveInputFile(const InputModel& model, const std::string& path, int& errNo);

// Reads a version 1.10 file. On failure returns false, sets errNo and leaves `model` as it was.
bool LoadInputFile(InputModel& model, const std::string& path, int& errNo);

// Reads a version 1.00 file (ten condition values). Failure as LoadInputFile.
bool LoadInputFileV100(InputModel& model, const std::string& path, int& errNo);
