#pragma once
// What one load of a print file reads besides the file itself: the pictures of "BM" lines and
// the figure list, data and definition files of "FG" lines. Each is read and decoded once per
// load, however often the document names it (keyed by the path as written), so a file that
// names one large picture or data file a thousand times costs one read.
//
// Budgets: a picture's width and height are read from its header and checked before it is
// decoded: a side above kMaxPictureSide is refused, and so is a picture that would take the
// decoded pixels of the load beyond PageModelLimits::maxImagePixels, the most the page model
// holds; that second refusal sets budgetExceeded(), which ends the load as a full page model
// does. At most kMaxCachedFigureFiles figure files of each kind are kept (the oldest half is
// dropped beyond that), so a document naming many files holds a bounded number of them.
//
// Owned by the PreviewDocument and cleared at the start of every load; not thread-safe.

#include <QHash>
#include <QImage>
#include <QString>
#include <cstddef>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "formats/FigureFiles.h"

namespace preview {

class LoadCache {
  public:
    static constexpr int kMaxPictureSide = 20000;
    static constexpr std::size_t kMaxCachedFigureFiles = 64;

    void clear();

    // The picture of a regular file, or a null image (unreadable, refused by a budget).
    QImage picture(const QString& path);

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

  private:
    template <class Value>
    struct Entry {
        FigureReadResult result;
        Value value;
    };
    // Files of one kind, with the order they were read in.
    template <class Value>
    struct Shelf {
        std::unordered_map<std::string, Entry<Value>> files;
        std::deque<std::string> order;
    };
    template <class Value>
    using Reader = FigureReadResult (*)(const std::string& path, Value& out, std::size_t limit);
    // The file read once under its path and limit (entries or rows).
    template <class Value>
    FigureReadResult lookUp(Shelf<Value>& shelf, const std::string& path, std::size_t limit,
                            Value& out, Reader<Value> read);

    // Pictures
    QHash<QString, QImage> m_pictures;
    std::size_t m_pixels = 0;
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
