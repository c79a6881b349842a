#pragma once
// The libqpdf step of the PDF export, kept apart with plain standard types: libqpdf's headers
// do not compile as C++20 under clang, so this one file is built as C++17 there.
//
// finishPdf reads a PDF from memory and writes it back to memory with every stream decoded and
// then compressed (compress) or left uncompressed; the outline (bookmarks) follows as an update
// of that file, written as text so that its memory is that of its text. Text drawn
// with the alpha kBoldPassAlpha (the second pass of simulated bold) becomes opaque and is
// marked as standing for no text, so that the text layer holds bold text once.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace preview {

// Alpha (of 255) of the emboldening pass of simulated bold as the export draws it.
constexpr int kBoldPassAlpha = 254;

// A bookmark: level 1 at the top, a level-n item under the last item of level n-1 (or higher
// up when there is none); it shows page `page` (0-based) with the point (left, top), in
// points from the page's top-left corner, at the window's top-left corner.
struct OutlineItem {
    int level = 1;
    std::string title;  // UTF-8
    int page = 0;
    double left = 0;
    double top = 0;
};

// The finished PDF; empty with the reason when libqpdf refused the input. `outline` is called
// for the bookmarks once the pages are finished (the caller may let `pdf` go then), so that a
// large outline and the pages are not held at once.
std::string finishPdf(std::string_view pdf,
                      const std::function<std::vector<OutlineItem>()>& outline, bool compress,
                      std::string& reason);

}  // namespace preview
