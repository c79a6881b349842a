// Fuzzes the readers of LINE_PRN.DEF and STR_PRN.DEF: any bytes must end in a status, with
// no more rows than allowed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "formats/FigureFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<LineStyleDef> lines;
    (void)ParseLineStyleDefs(bytes, lines, kPreviewStyleRows);
    if (lines.size() > kPreviewStyleRows) std::abort();
    std::vector<TextStyleDef> texts;
    (void)ParseTextStyleDefs(bytes, texts, kMainTextStyleRows);
    if (texts.size() > kMainTextStyleRows) std::abort();
    return 0;
}
