// Feeds arbitrary bytes to both input-file readers; a file that reads is written and read back
// and must give the same model.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "engine/WallAnalysis.h"
#include "workspace/InputFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (InputFileVersion version : {InputFileVersion::V110, InputFileVersion::V100}) {
        auto model = std::make_unique<InputModel>();
        ClearInputData(*model);
        int err = 0;
        if (!LoadInputFileFromBytes(*model, bytes, version, err)) {
            if (err == 0) std::abort();  // a failure always names its error
            continue;
        }
        // Whatever reads also analyses without crashing.
        auto result = std::make_unique<AnalysisResult>();
        RunWallAnalysis(*model, *result);
        std::string written;
        if (!MakeInputFileBytes(*model, written, err)) std::abort();
        auto back = std::make_unique<InputModel>();
        ClearInputData(*back);
        if (!LoadInputFileFromBytes(*back, written, InputFileVersion::V110, err)) std::abort();
        // A double quote ends a quoted text when read back; every other model reads back whole.
        bool quoted = false;
        for (int i = 1; i <= kConditionSlots; ++i) {
            quoted = quoted || model->CondData(i).toText().find('"') != std::string::npos;
        }
        if (!quoted && *model != *back) std::abort();
    }
    return 0;
}
