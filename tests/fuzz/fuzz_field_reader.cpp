// Reads every field of arbitrary bytes; the reader must end and stay inside the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "foundation/FieldReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FieldReader reader(bytes);
    FieldValue field;
    std::size_t fields = 0;
    while (reader.readField(field)) {
        if (field.text.size() > size) std::abort();
        if (++fields > size + 1) std::abort();  // every field consumes at least one byte
    }
    if (!reader.atEnd()) std::abort();
    return 0;
}
