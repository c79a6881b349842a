#include "preview/LoadCache.h"

#include <QFileInfo>
#include <QImageReader>

#include "preview/PageModel.h"

namespace preview {

void LoadCache::clear() {
    *this = LoadCache{};
}

QImage LoadCache::picture(const QString& path) {
    const auto known = m_pictures.constFind(path);
    if (known != m_pictures.constEnd()) return known.value();
    QImage& image = m_pictures[path];
    // A regular file only: a FIFO or device named in a print file must not block.
    if (!QFileInfo(path).isFile()) return image;
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) {
        return image;
    }
    const std::size_t pixels = std::size_t(size.width()) * std::size_t(size.height());
    if (m_pixels + pixels > PageModelLimits::maxImagePixels) {
        m_budgetExceeded = true;
        return image;
    }
    ++m_pictureDecodes;
    image = reader.read();
    if (image.size() != size) image = QImage();
    m_pixels += pixels;
    return image;
}

template <class Value, class Read>
FigureReadResult LoadCache::lookUp(Shelf<Value>& shelf, const std::string& key, Value& out,
                                   Read read) {
    auto it = shelf.files.find(key);
    if (it == shelf.files.end()) {
        if (shelf.order.size() >= kMaxCachedFigureFiles) {
            for (std::size_t k = 0; k < kMaxCachedFigureFiles / 2; ++k) {
                shelf.files.erase(shelf.order.front());
                shelf.order.pop_front();
            }
        }
        ++m_figureFileReads;
        Entry<Value> entry;
        entry.result = read(entry.value);
        it = shelf.files.emplace(key, std::move(entry)).first;
        shelf.order.push_back(key);
    }
    out = it->second.value;
    return it->second.result;
}

FigureReadResult LoadCache::ReadFigureListFile(const std::string& path, FigureList& out,
                                               std::size_t maxEntries) {
    return lookUp(m_lists, std::to_string(maxEntries) + '|' + path, out, [&](FigureList& list) {
        return ::ReadFigureListFile(path, list, maxEntries);
    });
}

FigureReadResult LoadCache::ReadFigureDataFile(const std::string& path, FigureData& out) {
    return lookUp(m_data, path, out,
                  [&](FigureData& data) { return ::ReadFigureDataFile(path, data); });
}

FigureReadResult LoadCache::LoadLineStyleDefs(const std::string& path,
                                              std::vector<LineStyleDef>& rows,
                                              std::size_t maxRows) {
    return lookUp(m_lineStyles, std::to_string(maxRows) + '|' + path, rows,
                  [&](std::vector<LineStyleDef>& read) {
                      return ::LoadLineStyleDefs(path, read, maxRows);
                  });
}

FigureReadResult LoadCache::LoadTextStyleDefs(const std::string& path,
                                              std::vector<TextStyleDef>& rows,
                                              std::size_t maxRows) {
    return lookUp(m_textStyles, std::to_string(maxRows) + '|' + path, rows,
                  [&](std::vector<TextStyleDef>& read) {
                      return ::LoadTextStyleDefs(path, read, maxRows);
                  });
}

}  // namespace preview
