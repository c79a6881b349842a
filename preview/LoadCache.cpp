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

template <class Value>
FigureReadResult LoadCache::lookUp(Shelf<Value>& shelf, const std::string& path, std::size_t limit,
                                   Value& out, Reader<Value> read) {
    const std::string key = std::to_string(limit) + '|' + path;
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
        entry.result = read(path, entry.value, limit);
        it = shelf.files.emplace(key, std::move(entry)).first;
        shelf.order.push_back(key);
    }
    out = it->second.value;
    return it->second.result;
}

FigureReadResult LoadCache::ReadFigureListFile(const std::string& path, FigureList& out,
                                               std::size_t maxEntries) {
    return lookUp(m_lists, path, maxEntries, out, &::ReadFigureListFile);
}

FigureReadResult LoadCache::ReadFigureDataFile(const std::string& path, FigureData& out) {
    const Reader<FigureData> read = [](const std::string& file, FigureData& data, std::size_t) {
        return ::ReadFigureDataFile(file, data);
    };
    return lookUp(m_data, path, 0, out, read);
}

FigureReadResult LoadCache::LoadLineStyleDefs(const std::string& path,
                                              std::vector<LineStyleDef>& rows,
                                              std::size_t maxRows) {
    return lookUp(m_lineStyles, path, maxRows, rows, &::LoadLineStyleDefs);
}

FigureReadResult LoadCache::LoadTextStyleDefs(const std::string& path,
                                              std::vector<TextStyleDef>& rows,
                                              std::size_t maxRows) {
    return lookUp(m_textStyles, path, maxRows, rows, &::LoadTextStyleDefs);
}

}  // namespace preview
