// Fuzzes the format-file reader and the field engine: any bytes must load or fail with a
// ReportError, and every template line loaded must fill to a line of its own length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "report/ReportWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    NumberValues numbers{};
    TextValues texts{};
    for (int i = 1; i <= kFieldsPerLine; ++i) {
        numbers(i) = (i % 2 ? -1.0 : 1.0) * i * 1234.5678;
        texts(i) = i % 3 ? "岸壁" : "a\fb";
    }
    // The section named by the first line, and one of the shipped names.
    const std::string_view first = bytes.substr(0, bytes.find('\n'));
    for (const std::string_view section : {first, std::string_view("S")}) {
        ReportTemplate t;
        int count = 0;
        try {
            count = ParseReportTemplate(bytes, section, t);
        } catch (const ReportError&) {
            continue;
        }
        if (count < 0) std::abort();
        for (int n = 1; n <= kTemplateLines; ++n) {
            const std::string& line = t.texts(n);
            if (t.codes(n) < 0 || t.codes(n) > 9) std::abort();
            try {
                if (FillTemplateLine(line, numbers, texts).size() != line.size()) std::abort();
            } catch (const ReportError&) {
            }
        }
    }
    return 0;
}
