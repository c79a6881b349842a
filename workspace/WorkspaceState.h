#pragma once
// The state one run of Mibrox owns: the input model, the last analysis result, the paths and
// the data-changed flag. One instance lives in the application object and is handed by
// reference to the windows that need it. Paths are UTF-8.

#include <memory>
#include <string>

#include "engine/AnalysisResult.h"
#include "engine/InputModel.h"

struct WorkspaceState {
    InputModel Model;
    std::unique_ptr<AnalysisResult> Result = std::make_unique<AnalysisResult>();

    std::string ProgramFolder;    // folder of the running executable
    std::string IniFilePath;      // Mibrox.ini (beside the program, or the per-user folder)
    std::string FormatFilePath;   // Mibrox.fmt beside the program
    std::string UserDataFolder;   // per-user folder of Mibrox, no trailing separator
    std::string CurrentFilePath;  // open input file, empty when none
    bool DataChanged = false;
};
