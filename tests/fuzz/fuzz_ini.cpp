// Fuzzes the INI reader and writer in memory: any bytes must parse, answer lookups, and take
// a write that reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ini::IniDocument doc(bytes);

    // Names taken from the input itself, so that lookups hit real sections and keys.
    const std::string_view text = bytes;
    const std::string_view section = text.substr(0, std::min<std::size_t>(size, 8));
    const std::string_view key = text.substr(size / 2, 6);
    if (const auto value = doc.value(section, key)) (void)ini::parseProfileInt(*value, 0);
    (void)doc.value("MenuMain", "Top");
    (void)ini::parseProfileInt(text, -1);

    if (doc.setValue("Fuzz", "Key", "Value")) {
        if (doc.value("fuzz", "KEY") != std::optional<std::string>("Value")) std::abort();
    }
    if (doc.setValue(section, key, "v")) {
        if (doc.value(section, key) != std::optional<std::string>("v")) std::abort();
        doc.removeKey(section, key);
    }
    doc.removeSection(section);
    return 0;
}
