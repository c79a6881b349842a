// Fuzzes the readers of the figure data and list files: any bytes must end in a status, the
// tables stay within their capacities and every record names a point that was read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/FigureFiles.h"

namespace {

bool validPoint(std::int32_t p, const FigureBuffer& b) {
    return p >= 1 && static_cast<std::size_t>(p) <= b.points.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FigureData figure;
    (void)ParseFigureData(bytes, figure);
    const FigureBuffer& b = figure.buffer;
    if (b.points.size() > FigureBuffer::kPointCapacity ||
        b.lines.size() > FigureBuffer::kLineCapacity ||
        b.texts.size() > FigureBuffer::kTextCapacity) {
        std::abort();
    }
    for (const FigLine& l : b.lines) {
        if (!validPoint(l.from, b) || !validPoint(l.to, b)) std::abort();
    }
    for (const FigRect& r : b.rects) {
        if (!validPoint(r.from, b) || !validPoint(r.to, b)) std::abort();
    }
    for (const FigCircle& c : b.circles) {
        if (!validPoint(c.centre, b)) std::abort();
    }
    for (const FigArrow& a : b.arrows) {
        if (!validPoint(a.point, b)) std::abort();
    }
    FigureList list;
    (void)ParseFigureList(bytes, list, 20);
    if (list.entries.size() > 20) std::abort();
    return 0;
}
