// Fuzzes the print-file loader: any bytes laid out as a print file on a fake control.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "preview/PrintFileLoader.h"
#include "tests/preview/FakePreviewControl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    preview::FakePreviewControl control;
    preview::DocumentContext context;  // no settings file: every value reads as 0 or empty
    context.printFileFolder = QStringLiteral("/nonexistent");
    context.programFolder = QStringLiteral("/nonexistent");
    preview::PreviewDocument document(control, context);
    document.LoadPageSettings();
    control.startDoc();
    preview::PrintFileLoader loader(document, {});
    loader.begin();
    loader.layOutFile(std::string_view(reinterpret_cast<const char*>(data), size));
    control.endDoc();
    return 0;
}
