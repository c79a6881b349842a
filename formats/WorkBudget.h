#pragma once
// WorkBudget: the one measure of what a load of a document, the drawing of a page or an
// export may cost. Every reader, renderer and exporter charges the work it really does as
// counts of what it handles (decoded picture bytes, glyphs weighted by their size on the
// device, path segments and dashes, figure items and texts, outline entries, pages), each at
// its weight in units. Counts, not clocks: the same input always stops at the same place on
// every machine, and tests pin the charges.
//
// A unit stands for about a nanosecond of work or a byte held on the reference machine (8
// cores, Debian 12), so one limit bounds time and memory together: a load spends at most
// kLoad units (about a second, 200 MB), wherever its input puts the weight.
//
// Error rule: a charge that would pass the limit is refused; the budget is spent from then on
// and refuses every later charge. The caller stops where it is and says so (a load: the
// truncation message; a page: drawn up to there and marked; an export: a message, and the
// old file left whole). Nothing throws.
//
// Plain data; one per load, export or drawn page; not thread-safe.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace preview {

enum class Work : std::uint8_t {
    FileByte,      // a byte read from the document or a file it names
    PictureByte,   // a byte of a decoded picture (bytes per line x height, any depth)
    Glyph,         // a character measured, recorded or drawn
    GlyphArea,     // device pixels of a drawn glyph's em square
    PathSegment,   // a line, a dash or a quarter of an ellipse stroked
    PathArea,      // device pixels covered by a stroke or a fill
    Item,          // a drawing item recorded in or read into the page model
    FigureItem,    // a point, line, arc or fill of a figure
    FigureText,    // a text of a figure (its glyphs are charged as Glyph)
    OutlineEntry,  // a heading, tag, bookmark or Word heading
    Page,          // a page laid out, drawn or exported
    Count
};

// Units per count of each kind of work.
inline constexpr std::array<std::uint64_t, std::size_t(Work::Count)> kWorkWeights{
    2,      // FileByte: read and split
    5,      // PictureByte: decoded and held (200 MB of pictures spend a load)
    100,    // Glyph: measured and held with its position
    12,     // GlyphArea: a pixel of a glyph filled as an outline (about 12 ns each)
    50,     // PathSegment
    1,      // PathArea: a pixel
    250,    // Item: about 40 bytes held and recorded
    200,    // FigureItem
    500,    // FigureText
    1000,   // OutlineEntry
    20000,  // Page
};

// Outline entries of one document: the preview's outline, the tags of its page model, the PDF
// bookmarks and the Word headings. A report has tens; a document with more is cut there.
inline constexpr std::size_t kMaxOutlineEntries = 100'000;

class WorkBudget {
  public:
    static constexpr std::uint64_t kLoad = 1'000'000'000;        // a print file, RTF or VDF
    static constexpr std::uint64_t kPageDraw = 300'000'000;      // one page on one device
    static constexpr std::uint64_t kExportBase = 1'500'000'000;  // a PDF or Word export,
    static constexpr std::uint64_t kExportPerPage = 1'000'000;   // plus this for each page
    static constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

    explicit WorkBudget(std::uint64_t limit = kLoad) : m_limit(limit) {}

    // Charges `count` of `kind`; false, and spent() from then on, when it would pass the limit
    // (a refused charge is not counted).
    bool charge(Work kind, std::uint64_t count = 1) {
        if (m_spent) return false;
        const std::uint64_t weight = kWorkWeights[std::size_t(kind)];
        const std::uint64_t room = m_limit - m_used;
        if (count != 0 && (weight > room || count > room / weight)) {
            m_spent = true;
            return false;
        }
        m_used += count * weight;
        m_counts[std::size_t(kind)] += count;
        return true;
    }
    // Whether `count` of `kind` would still fit, without charging it.
    bool affords(Work kind, std::uint64_t count = 1) const {
        if (m_spent) return false;
        const std::uint64_t weight = kWorkWeights[std::size_t(kind)];
        const std::uint64_t room = m_limit - m_used;
        return count == 0 || (weight <= room && count <= room / weight);
    }
    // Marks the budget spent (a cap inside it was reached).
    void exhaust() { m_spent = true; }

    bool spent() const { return m_spent; }
    std::uint64_t used() const { return m_used; }
    std::uint64_t limit() const { return m_limit; }
    std::uint64_t left() const { return m_limit - m_used; }
    // Counts charged of one kind, for the cost tests.
    std::uint64_t count(Work kind) const { return m_counts[std::size_t(kind)]; }

    void reset(std::uint64_t limit) { *this = WorkBudget(limit); }

  private:
    std::uint64_t m_limit;
    std::uint64_t m_used = 0;
    bool m_spent = false;
    std::array<std::uint64_t, std::size_t(Work::Count)> m_counts{};
};

}  // namespace preview
