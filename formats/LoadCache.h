#pragma once
// What one load of a print file reads besides the file itself: the pictures of "BM" lines and
// the figure list, data and definition files of "FG" lines. Each is read and decoded once per
// load, however often the document names it: files are keyed by what they are (device and
// inode), so "a.png", "./a.png" and a link to it are one entry, and a file that names one
// large picture or data file a thousand times costs one read.
//
// Budgets: every file read is charged to the load's WorkBudget (its bytes), and so is every
// picture decoded, by the bytes the decoder will hold: its size and pixel format are read
// from its header first (a 16-bit RGBA picture holds 8 bytes a pixel; a progressive JPEG
// also holds its coefficients while it decodes). A picture decoded smaller than its own size
// is charged for what is really made: a JPEG for its decoder's scaled output (1/8 steps),
// any other picture for its whole size, and both for the picture kept. A side above kMaxPictureSide is refused; a
// picture that would pass the budget or take the load's pixels beyond kMaxPixels (the most
// the page model holds) is refused too and sets budgetExceeded(), which ends the load as a
// full page model does. At most kMaxCachedFigureFiles figure files of each kind are kept (the
// oldest half is dropped beyond that), so a document naming many files holds a bounded
// number of them.
//
// Owned by the PreviewDocument and by the Word export, cleared at the start of every load or
// export; not thread-safe.

#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "formats/FigureFiles.h"
#include "formats/WorkBudget.h"

namespace preview {

class LoadCache {
  public:
    static constexpr int kMaxPictureSide = 20000;
    static constexpr std::size_t kMaxCachedFigureFiles = 64;
    // The pixels of all pictures of one load together: as many as the preview's page model
    // holds (PageModelLimits::maxImagePixels).
    static constexpr std::size_t kMaxPixels = 128'000'000;

    // Forgets every file; from now on work is charged to `budget` (null: a budget of the
    // cache's own with the limit of a load), which must outlive the next clear().
    void clear(WorkBudget* budget = nullptr);
    WorkBudget& budget() { return m_external ? *m_external : m_own; }

    // Pictures are decoded at most at this resolution of the box they are placed in.
    static constexpr double kPictureDpi = 300;
    // The size a picture of `own` pixels is decoded at when placed in a box of `boxMm`
    // millimetres (stretched to it): kPictureDpi of the box on both axes, its proportions
    // kept, never above its own size. An empty box (the picture's own size) gives `own`.
    // Example: 4000 x 3000 pixels in 150 x 110 mm give 1772 x 1329.
    static QSize decodedSize(QSize own, QSizeF boxMm);

    // The picture of a regular file decoded for a box of `boxMm` (decodedSize; a JPEG is
    // scaled by its decoder), or a null image (unreadable, refused by a budget). A file is
    // decoded once, for the box of its first placement.
    QImage picture(const QString& path, QSizeF boxMm = QSizeF());
    // Bytes a decoder holds for the picture in `reader` (0 when its header cannot be read).
    static std::uint64_t decodedBytes(QImageReader& reader);
    // Lets the reader allocate what `held` bytes were charged for (QImageReader's limit).
    static void allowDecoding(QImageReader& reader, std::uint64_t held);

    // The readers of FigureFiles.h, answered from the cache after the first read of a path.
    FigureReadResult ReadFigureListFile(const std::string& path, FigureList& out,
                                        std::size_t maxEntries);
    FigureReadResult ReadFigureDataFile(const std::string& path, FigureData& out);
    FigureReadResult LoadLineStyleDefs(const std::string& path, std::vector<LineStyleDef>& rows,
                                       std::size_t maxRows);
    FigureReadResult LoadTextStyleDefs(const std::string& path, std::vector<TextStyleDef>& rows,
                                       std::size_t maxRows);

    // A picture was refused because the load's pixels would pass the budget.
    bool budgetExceeded() const { return m_budgetExceeded; }
    // Work done since clear(), for the cost tests.
    std::size_t pictureDecodes() const { return m_pictureDecodes; }
    std::size_t figureFileReads() const { return m_figureFileReads; }
    std::size_t decodedPixels() const { return m_pixels; }
    std::size_t decodedBytesHeld() const { return m_decodedBytes; }

  private:
    // What a file is: its device and inode.
    struct FileKey {
        std::uint64_t device = 0, inode = 0, limit = 0;
        bool operator==(const FileKey&) const = default;
    };
    struct FileKeyHash {
        std::size_t operator()(const FileKey& key) const {
            return std::hash<std::uint64_t>()(key.inode * 0x9E3779B97F4A7C15u ^ key.device) ^
                   key.limit;
        }
    };
    template <class Value>
    struct Entry {
        FigureReadResult result;
        Value value;
    };
    // Files of one kind, with the order they were read in.
    template <class Value>
    struct Shelf {
        std::unordered_map<FileKey, Entry<Value>, FileKeyHash> files;
        std::deque<FileKey> order;
    };
    template <class Value>
    using Reader = FigureReadResult (*)(const std::string& path, Value& out, std::size_t limit);
    // The file read once under its path and limit (entries or rows).
    template <class Value>
    FigureReadResult lookUp(Shelf<Value>& shelf, const std::string& path, std::size_t limit,
                            Value& out, Reader<Value> read);

    // The key and size of a regular file; false for anything else.
    static bool identify(const std::string& path, std::uint64_t limit, FileKey& key,
                         std::uint64_t& size);

    WorkBudget m_own;
    WorkBudget* m_external = nullptr;
    // Pictures
    std::unordered_map<FileKey, QImage, FileKeyHash> m_pictures;
    std::size_t m_pixels = 0;
    std::size_t m_decodedBytes = 0;
    bool m_budgetExceeded = false;
    // Figure files
    Shelf<FigureList> m_lists;
    Shelf<FigureData> m_data;
    Shelf<std::vector<LineStyleDef>> m_lineStyles;
    Shelf<std::vector<TextStyleDef>> m_textStyles;
    // Work
    std::size_t m_pictureDecodes = 0;
    std::size_t m_figureFileReads = 0;
};

}  // namespace preview
