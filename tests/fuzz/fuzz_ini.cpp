// Fuzzes the INI reader and writer: any bytes must parse, answer lookups, and take a write
// that reads back. The same bytes read from a file (rewritten for each input, often at the
// same size within one tick of the clock) must answer as the text in memory does.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
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
    static const std::string path = "/tmp/fuzz_ini." + std::to_string(::getpid()) + ".ini";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {  // in place: the inode stays
        const bool written = std::fwrite(bytes.data(), 1, size, file) == size;
        if (std::fclose(file) == 0 && written &&
            ini::IniFile(path).readString(section, key) != doc.value(section, key)) {
            std::abort();
        }
    }
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
