#include "formats/LoadCache.h"

#include <sys/stat.h>

#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cmath>

namespace preview {

namespace {

// Components of a progressive JPEG (0: baseline, or no JPEG): its frame header read by
// walking the markers from the file's start.
int progressiveJpegComponents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    unsigned char head[2];
    if (file.read(reinterpret_cast<char*>(head), 2) != 2 || head[0] != 0xFF || head[1] != 0xD8)
        return 0;
    // Each segment takes at least 4 bytes: the walk ends within the file's size.
    for (;;) {
        unsigned char marker[4];
        if (file.read(reinterpret_cast<char*>(marker), 4) != 4 || marker[0] != 0xFF) return 0;
        const int code = marker[1];
        const int length = marker[2] << 8 | marker[3];
        if (length < 2) return 0;
        const bool frame =
            code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame) {
            unsigned char sof[6];
            if (file.read(reinterpret_cast<char*>(sof), 6) != 6) return 0;
            const bool progressive = code == 0xC2 || code == 0xC6 || code == 0xCA || code == 0xCE;
            return progressive ? std::max(1, int(sof[5])) : 0;
        }
        if (code == 0xDA || code == 0xD9 || !file.seek(file.pos() + length - 2)) return 0;
    }
}

}  // namespace

void LoadCache::clear(WorkBudget* budget) {
    *this = LoadCache{};
    m_external = budget;
}

bool LoadCache::identify(const std::string& path, std::uint64_t limit, FileKey& key,
                         std::uint64_t& size) {
    struct stat info {};
    // A regular file only: a FIFO or device named in a print file must not block.
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    key = {std::uint64_t(info.st_dev), std::uint64_t(info.st_ino), limit};
    size = std::uint64_t(info.st_size);
    return true;
}

std::uint64_t LoadCache::decodedBytes(QImageReader& reader) {
    const QSize size = reader.size();
    if (!size.isValid()) return 0;
    QImage::Format format = reader.imageFormat();
    if (format == QImage::Format_Invalid) format = QImage::Format_ARGB32;
    const std::uint64_t bits = QImage::toPixelFormat(format).bitsPerPixel();
    const std::uint64_t width = std::uint64_t(size.width()), height = std::uint64_t(size.height());
    std::uint64_t bytes = (width * bits + 31) / 32 * 4 * height;
    // A progressive decoder holds every component's coefficients (2 bytes each) until the
    // last scan.
    if (reader.format() == "jpeg") {
        if (auto* file = qobject_cast<QFile*>(reader.device())) {
            bytes +=
                std::uint64_t(progressiveJpegComponents(file->fileName())) * 2 * width * height;
        }
    }
    return bytes;
}

void LoadCache::allowDecoding(QImageReader& reader, std::uint64_t held) {
    // The reader's own check counts more than the picture it makes (a grey picture of 31 MB
    // is refused under 69 MB): four times what was charged, at least its default, at most a
    // gigabyte. The budget, not this, decides what is decoded.
    const std::uint64_t megabytes = std::clamp<std::uint64_t>((held >> 18) + 8, 256, 1024);
    reader.setAllocationLimit(int(megabytes));
}

QSize LoadCache::decodedSize(QSize own, QSizeF boxMm) {
    if (own.isEmpty() || !(boxMm.width() > 0 && boxMm.height() > 0)) return own;
    const double scale = std::max(boxMm.width() / 25.4 * kPictureDpi / own.width(),
                                  boxMm.height() / 25.4 * kPictureDpi / own.height());
    if (!(scale < 1)) return own;
    return QSize(std::clamp(int(std::ceil(own.width() * scale)), 1, own.width()),
                 std::clamp(int(std::ceil(own.height() * scale)), 1, own.height()));
}

namespace {

// Bytes of a picture of `size` at `bits` a pixel, lines padded to 32 bits.
std::uint64_t pictureBytes(QSize size, std::uint64_t bits) {
    return (std::uint64_t(size.width()) * bits + 31) / 32 * 4 * std::uint64_t(size.height());
}

// What the JPEG decoder makes for `target`: its size scaled by M/8 (the smallest M that is
// not below the target on both axes).
QSize jpegScaledSize(QSize own, QSize target) {
    const double f = std::min(double(own.width()) / target.width(),
                              double(own.height()) / target.height());
    const int m = std::clamp(int(std::ceil(8 / f)), 1, 8);
    return QSize((own.width() * m + 7) / 8, (own.height() * m + 7) / 8);
}

}  // namespace

QImage LoadCache::picture(const QString& path, QSizeF boxMm) {
    FileKey key;
    std::uint64_t fileBytes = 0;
    if (!identify(QFile::encodeName(path).toStdString(), 0, key, fileBytes)) return QImage();
    const auto known = m_pictures.find(key);
    if (known != m_pictures.end()) return known->second;
    QImage& image = m_pictures[key];
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) {
        return image;
    }
    const QSize target = decodedSize(size, boxMm);
    const std::size_t pixels = std::size_t(target.width()) * std::size_t(target.height());
    std::uint64_t held = decodedBytes(reader);
    // The pixels the decoder makes before the picture is scaled to the target.
    std::size_t made = std::size_t(size.width()) * std::size_t(size.height());
    if (target != size) {
        // The decoder's output, then the picture scaled from it (32 bits a pixel at least).
        QImage::Format format = reader.imageFormat();
        if (format == QImage::Format_Invalid) format = QImage::Format_ARGB32;
        const std::uint64_t bits = QImage::toPixelFormat(format).bitsPerPixel();
        if (reader.format() == "jpeg") {
            held -= pictureBytes(size, bits);
            const QSize scaled = jpegScaledSize(size, target);
            held += pictureBytes(scaled, bits);
            made = std::size_t(scaled.width()) * std::size_t(scaled.height());
        }
        held += pictureBytes(target, std::max<std::uint64_t>(bits, 32));
        reader.setScaledSize(target);
    }
    if (m_pixels + std::max(pixels, made) > kMaxPixels || !budget().charge(Work::FileByte, fileBytes) ||
        !budget().charge(Work::PictureByte, held)) {
        m_budgetExceeded = true;
        budget().exhaust();
        return image;
    }
    ++m_pictureDecodes;
    allowDecoding(reader, held);
    image = reader.read();
    if (image.size() != target) image = QImage();
    m_pixels += pixels;
    m_decodedBytes += image.sizeInBytes();
    return image;
}

template <class Value>
FigureReadResult LoadCache::lookUp(Shelf<Value>& shelf, const std::string& path, std::size_t limit,
                                   Value& out, Reader<Value> read) {
    FileKey key;
    std::uint64_t fileBytes = 0;
    if (!identify(path, limit, key, fileBytes)) {
        // The reader words the failure.
        out = Value{};
        return read(path, out, limit);
    }
    auto it = shelf.files.find(key);
    if (it == shelf.files.end()) {
        if (!budget().charge(Work::FileByte,
                             std::min<std::uint64_t>(fileBytes, kMaxFigureFileBytes))) {
            m_budgetExceeded = true;
            out = Value{};
            return {FigureReadStatus::TooLarge, 0, "the work budget of the load is spent"};
        }
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
