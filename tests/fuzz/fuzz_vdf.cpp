// Fuzzes the VDF reader: any bytes are refused or give a document whose every index is valid
// and which encodes back to a file that decodes to the same pages. The seed corpus/vdf/
// sample.vdf is encodeVdf of buildSampleDocument (tests/preview/PageControlFixture.h).
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "preview/VdfFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    preview::PageDocument document;
    QString error;
    if (!preview::decodeVdf(bytes, document, &error)) {
        if (error.isEmpty() || !document.pages.empty()) std::abort();
        return 0;
    }
    for (const preview::Page& page : document.pages) {
        if (page.text.size() != page.charX.size()) std::abort();
        for (const preview::PageItem& item : page.items) {
            if (const auto* run = std::get_if<preview::TextRun>(&item)) {
                if (run->font >= document.fonts.size() ||
                    std::size_t(run->first) + run->count > page.text.size()) {
                    std::abort();
                }
            }
        }
    }
    preview::PageDocument again;
    if (!preview::decodeVdf(preview::encodeVdf(document), again, &error)) std::abort();
    if (!(again.pages == document.pages) || !(again.fonts == document.fonts)) std::abort();
    return 0;
}
