// Fuzzes the RTF reader and its layout on a fake control.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "preview/RtfReader.h"
#include "tests/preview/FakePreviewControl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const preview::RtfDocument document =
        preview::ParseRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    preview::FakePreviewControl control;
    control.setMargins(1417, 1417, 1417, 1417);
    control.startDoc();
    preview::LayOutRtf(document, control);
    control.endDoc();
    return 0;
}
