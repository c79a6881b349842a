#include "preview/VdfFormat.h"

#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/FileFailure.h"
#include "formats/LoadCache.h"
#include "formats/WorkBudget.h"

namespace preview {

namespace {

constexpr char kEndMark[4] = {'V', 'E', 'N', 'D'};
constexpr int kMaxImageSide = 20000;

class Writer {
  public:
    void bytes(const void* data, std::size_t n) {
        m_out.append(static_cast<const char*>(data), static_cast<qsizetype>(n));
    }
    void u8(std::uint8_t v) { m_out.append(static_cast<char>(v)); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v & 0xFF));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void units(const char16_t* text, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) u16(static_cast<std::uint16_t>(text[i]));
    }
    void string(const QString& s) {
        u32(static_cast<std::uint32_t>(s.size()));
        units(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
    }
    QByteArray take() { return std::move(m_out); }

  private:
    QByteArray m_out;
};

// Reads little-endian values from bytes in memory or from a file streamed a window at a time
// (so a file is refused at its first fault without being read whole); the first failure
// sticks and names what was being read. A pointer from raw() lives until the next read.
class Reader {
  public:
    explicit Reader(const QByteArray& bytes)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.constData())),
          m_size(std::size_t(bytes.size())) {}
    Reader(int fd, std::size_t size) : m_size(size), m_fd(fd) {}

    bool ok() const { return m_error.isEmpty(); }
    std::size_t position() const { return m_pos; }
    const QString& error() const { return m_error; }
    std::size_t remaining() const { return m_size - m_pos; }
    bool atEnd() const { return m_pos == m_size; }

    bool fail(const QString& what) {
        if (m_error.isEmpty()) m_error = QStringLiteral("%1 (at byte %2)").arg(what).arg(m_pos);
        return false;
    }
    bool take(std::size_t n, const char* what) {
        if (!ok()) return false;
        if (n > remaining()) return fail(QStringLiteral("the file ends inside %1").arg(what));
        return true;
    }
    // The next n bytes, without taking them.
    const unsigned char* peek(std::size_t n, const char* what) {
        static constexpr unsigned char kNothing[1] = {0};
        if (!take(n, what)) return nullptr;
        if (n == 0) return kNothing;
        if (m_fd >= 0 && !fill(n)) {
            fail(QStringLiteral("the file cannot be read inside %1").arg(what));
            return nullptr;
        }
        return m_data + (m_pos - m_windowStart);
    }
    const unsigned char* raw(std::size_t n, const char* what) {
        const unsigned char* p = peek(n, what);
        if (p) m_pos += n;
        return p;
    }
    // Passes over n bytes without reading them.
    bool skip(std::size_t n, const char* what) {
        if (!take(n, what)) return false;
        m_pos += n;
        if (m_fd >= 0) {
            m_window.clear();
            m_windowStart = m_pos;
            if (::lseek(m_fd, off_t(m_pos), SEEK_SET) < 0)
                return fail(QStringLiteral("the file cannot be read inside %1").arg(what));
        }
        return true;
    }
    std::uint8_t u8(const char* what) {
        const unsigned char* p = raw(1, what);
        return p ? p[0] : 0;
    }
    std::uint16_t u16(const char* what) {
        const unsigned char* p = raw(2, what);
        return p ? static_cast<std::uint16_t>(p[0] | (p[1] << 8)) : 0;
    }
    std::uint32_t u32(const char* what) {
        const unsigned char* p = raw(4, what);
        return p ? std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                       (std::uint32_t(p[3]) << 24)
                 : 0;
    }
    std::int32_t i32(const char* what) { return static_cast<std::int32_t>(u32(what)); }
    // A count of elements of at least minBytes each, at most `limit`.
    std::uint32_t count(const char* what, std::size_t minBytes, std::size_t limit) {
        const std::uint32_t n = u32(what);
        if (!ok()) return 0;
        if (n > limit || std::size_t(n) * minBytes > remaining()) {
            fail(QStringLiteral("the count of %1 (%2) is impossible").arg(what).arg(n));
            return 0;
        }
        return n;
    }
    std::int32_t coordinate(const char* what) {
        const std::int32_t v = i32(what);
        if (ok() && (v < -PageModelLimits::maxCoordinate || v > PageModelLimits::maxCoordinate)) {
            fail(QStringLiteral("%1 %2 is out of range").arg(what).arg(v));
        }
        return v;
    }
    QString string(const char* what, std::size_t limit) {
        const std::uint32_t n = count(what, 2, limit);
        const unsigned char* p = raw(std::size_t(n) * 2, what);
        if (!p) return QString();
        QString s(static_cast<qsizetype>(n), Qt::Uninitialized);
        for (std::uint32_t i = 0; i < n; ++i) {
            s[i] = QChar(static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8)));
        }
        return s;
    }

  private:
    static constexpr std::size_t kWindow = 1 << 20;

    // Makes the n bytes at m_pos available in the window, reading on from the file.
    bool fill(std::size_t n) {
        const std::size_t at = m_pos - m_windowStart;
        const std::size_t have = m_window.size() - at;
        if (have >= n) return true;
        if (have > 0) std::memmove(m_window.data(), m_window.data() + at, have);
        m_window.resize(std::min(std::max(n, kWindow), m_size - m_pos));
        m_windowStart = m_pos;
        std::size_t filled = have;
        while (filled < m_window.size()) {
            const ssize_t got = ::read(m_fd, m_window.data() + filled, m_window.size() - filled);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            filled += std::size_t(got);
        }
        m_window.resize(filled);
        m_data = m_window.data();
        return filled >= n;
    }

    const unsigned char* m_data = nullptr;
    std::size_t m_size;
    std::size_t m_pos = 0;
    QString m_error;
    // Streaming: the window holds the file's bytes from m_windowStart on.
    int m_fd = -1;
    std::vector<unsigned char> m_window;
    std::size_t m_windowStart = 0;
};

QByteArray encodePng(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    writer.write(image);
    return png;
}

// Decodes a PNG of at most `pixelBudget` pixels; its size and format are read from its header
// first. A picture whose decoded bytes the budget cannot take is left null and `refused`.
bool decodePng(const unsigned char* data, std::size_t n, std::size_t pixelBudget,
               WorkBudget& budget, QImage& image, bool& refused) {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(n));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxImageSide || size.height() > kMaxImageSide ||
        std::size_t(size.width()) * std::size_t(size.height()) > pixelBudget) {
        return false;
    }
    const std::uint64_t held = LoadCache::decodedBytes(reader);
    if (!budget.affords(Work::PictureByte, held)) {
        refused = true;
        return true;
    }
    budget.charge(Work::PictureByte, held);
    LoadCache::allowDecoding(reader, held);
    image = reader.read();
    return !image.isNull() && image.size() == size;
}

void writeItem(Writer& w, const PageItem& item) {
    if (const auto* run = std::get_if<TextRun>(&item)) {
        w.u8(0);
        w.i32(run->x), w.i32(run->y), w.i32(run->endX);
        w.u32(run->first), w.u32(run->count);
        w.u16(run->font);
        w.u16(static_cast<std::uint16_t>(run->angle));
    } else if (const auto* shape = std::get_if<Shape>(&item)) {
        w.u8(shape->kind == ShapeKind::Line ? 1 : 2);
        w.u8(shape->penStyle), w.u8(shape->fillStyle);
        w.i32(shape->penWidth);
        w.i32(shape->x1), w.i32(shape->y1), w.i32(shape->x2), w.i32(shape->y2);
    } else {
        const auto& picture = std::get<Picture>(item);
        w.u8(3);
        w.i32(picture.x), w.i32(picture.y), w.i32(picture.width), w.i32(picture.height);
        w.u32(picture.image);
    }
}

// Totals over the whole file, against PageModelLimits.
struct Totals {
    std::size_t items = 0, text = 0, tags = 0, pixels = 0;
};

bool readItem(Reader& r, const PageDocument& doc, const Page& page, PageItem& item) {
    const std::uint8_t kind = r.u8("an item kind");
    if (!r.ok()) return false;
    if (kind == 0) {
        TextRun run;
        run.x = r.coordinate("a text x");
        run.y = r.coordinate("a text y");
        run.endX = r.coordinate("a text end");
        run.first = r.u32("a text start");
        run.count = r.u32("a text length");
        run.font = r.u16("a font index");
        const std::uint16_t angle = r.u16("a text angle");
        if (!r.ok()) return false;
        if (std::uint64_t(run.first) + run.count > page.text.size() || run.count == 0) {
            return r.fail(QStringLiteral("a text run lies outside the page's text"));
        }
        if (run.font >= doc.fonts.size()) return r.fail(QStringLiteral("a font index is unknown"));
        if (angle >= 3600) return r.fail(QStringLiteral("a text angle is out of range"));
        run.angle = static_cast<std::int16_t>(angle);
        item = run;
        return true;
    }
    if (kind == 1 || kind == 2) {
        Shape shape;
        shape.kind = kind == 1 ? ShapeKind::Line : ShapeKind::Ellipse;
        shape.penStyle = r.u8("a pen style");
        shape.fillStyle = r.u8("a fill style");
        shape.penWidth = r.i32("a pen width");
        shape.x1 = r.coordinate("x1"), shape.y1 = r.coordinate("y1");
        shape.x2 = r.coordinate("x2"), shape.y2 = r.coordinate("y2");
        if (!r.ok()) return false;
        if (shape.penStyle > 5 || shape.fillStyle > 1 || shape.penWidth < 0 ||
            shape.penWidth > 14400) {
            return r.fail(QStringLiteral("a pen is out of range"));
        }
        item = shape;
        return true;
    }
    if (kind == 3) {
        Picture picture;
        picture.x = r.coordinate("a picture x");
        picture.y = r.coordinate("a picture y");
        picture.width = r.coordinate("a picture width");
        picture.height = r.coordinate("a picture height");
        picture.image = r.u32("a picture index");
        if (!r.ok()) return false;
        if (picture.width < 0 || picture.height < 0) {
            return r.fail(QStringLiteral("a picture has a negative size"));
        }
        if (picture.image >= doc.images.size()) {
            return r.fail(QStringLiteral("a picture index is unknown"));
        }
        item = picture;
        return true;
    }
    return r.fail(QStringLiteral("unknown item kind %1").arg(kind));
}

// The work of one read: the file's bytes are charged before a large part of them is taken
// (a picture, a page's text) and as the rest is taken.
struct ReadWork {
    WorkBudget& budget;
    std::size_t bytesCharged = 0;
    // Charges the bytes up to `end` not charged yet.
    bool bytesUpTo(std::size_t end) {
        if (end <= bytesCharged) return true;
        const std::size_t more = end - bytesCharged;
        bytesCharged = end;
        return budget.charge(Work::FileByte, more);
    }
};

// Reads a page; false on a fault. When the budget is spent the page keeps the items read
// before and `cut` is set.
bool readPage(Reader& r, const PageDocument& doc, Totals& totals, ReadWork& work, Page& page,
              bool& cut) {
    WorkBudget& budget = work.budget;
    const std::int32_t code = r.i32("a paper code");
    const std::uint8_t orientation = r.u8("an orientation");
    const std::int32_t width = r.i32("a paper width");
    const std::int32_t height = r.i32("a paper height");
    if (!r.ok()) return false;
    if (!isKnownPaperCode(code) || orientation > 1) {
        return r.fail(QStringLiteral("unknown paper %1/%2").arg(code).arg(orientation));
    }
    page.format = pageFormatFor(code, orientation);
    if (page.format.width != width || page.format.height != height) {
        return r.fail(QStringLiteral("the paper size does not match its code"));
    }
    const std::uint32_t units =
        r.count("text units", 6, PageModelLimits::maxTextUnits - totals.text);
    if (!work.bytesUpTo(r.position() + std::size_t(units) * 6) ||
        !budget.charge(Work::Glyph, units)) {
        cut = true;
        return r.ok();
    }
    const unsigned char* text = r.raw(std::size_t(units) * 2, "the page text");
    if (!text) return false;
    page.text.resize(units);
    for (std::uint32_t i = 0; i < units; ++i) {
        page.text[i] = static_cast<char16_t>(text[2 * i] | (text[2 * i + 1] << 8));
    }
    page.charX.resize(units);
    for (std::uint32_t i = 0; i < units; ++i) page.charX[i] = r.coordinate("a character x");
    totals.text += units;
    const std::uint32_t items = r.count("items", 17, PageModelLimits::maxItems - totals.items);
    for (std::uint32_t i = 0; i < items && r.ok(); ++i) {
        PageItem item;
        if (!budget.charge(Work::Item)) {
            cut = true;
            return r.ok();
        }
        if (readItem(r, doc, page, item)) page.items.push_back(item);
    }
    totals.items += items;
    const std::uint32_t tags = r.count("tags", 12, PageModelLimits::maxTags - totals.tags);
    for (std::uint32_t i = 0; i < tags && r.ok(); ++i) {
        PageTag tag;
        if (!budget.charge(Work::Item)) {
            cut = true;
            return r.ok();
        }
        tag.text = r.string("a tag text", PageModelLimits::maxNameUnits);
        tag.x = r.coordinate("a tag x");
        tag.y = r.coordinate("a tag y");
        page.tags.push_back(std::move(tag));
    }
    totals.tags += tags;
    return r.ok();
}

}  // namespace

QByteArray encodeVdf(const PageDocument& document) {
    Writer w;
    w.bytes(kVdfMagic, sizeof kVdfMagic);
    w.u32(kVdfVersion);
    w.u32(static_cast<std::uint32_t>(document.fonts.size()));
    w.u32(static_cast<std::uint32_t>(document.images.size()));
    w.u32(static_cast<std::uint32_t>(document.pages.size()));
    for (const FontSpec& font : document.fonts) {
        w.string(font.name);
        w.i32(static_cast<std::int32_t>(std::lround(font.size * 100)));
        w.u8(static_cast<std::uint8_t>((font.bold ? 1 : 0) | (font.italic ? 2 : 0) |
                                       (font.underline ? 4 : 0)));
    }
    for (const QImage& image : document.images) {
        // A picture left out of a cut load is kept as one transparent pixel.
        QImage blank;
        if (image.isNull()) {
            blank = QImage(1, 1, QImage::Format_ARGB32);
            blank.fill(Qt::transparent);
        }
        const QByteArray png = encodePng(image.isNull() ? blank : image);
        w.u32(static_cast<std::uint32_t>(png.size()));
        w.bytes(png.constData(), std::size_t(png.size()));
    }
    for (const Page& page : document.pages) {
        w.i32(page.format.paperCode);
        w.u8(static_cast<std::uint8_t>(page.format.orientation));
        w.i32(page.format.width);
        w.i32(page.format.height);
        w.u32(static_cast<std::uint32_t>(page.text.size()));
        w.units(page.text.data(), page.text.size());
        for (std::int32_t x : page.charX) w.i32(x);
        w.u32(static_cast<std::uint32_t>(page.items.size()));
        for (const PageItem& item : page.items) writeItem(w, item);
        w.u32(static_cast<std::uint32_t>(page.tags.size()));
        for (const PageTag& tag : page.tags) {
            w.string(tag.text);
            w.i32(tag.x);
            w.i32(tag.y);
        }
    }
    w.bytes(kEndMark, sizeof kEndMark);
    return w.take();
}

namespace {

struct Header {
    std::uint32_t fonts = 0, images = 0, pages = 0;
};

// The magic, version and counts; the counts must fit in the `fileSize` bytes of the file.
Header readHeader(Reader& r, std::size_t fileSize) {
    Header h;
    const unsigned char* magic = r.raw(sizeof kVdfMagic, "the header");
    if (magic && std::memcmp(magic, kVdfMagic, sizeof kVdfMagic) != 0) {
        r.fail(QStringLiteral("not a VDF file"));
    }
    const std::uint32_t version = r.u32("the header");
    if (r.ok() && version != kVdfVersion)
        r.fail(QStringLiteral("unknown VDF version %1").arg(version));
    h.fonts = r.u32("the header");
    h.images = r.u32("the header");
    h.pages = r.u32("the header");
    if (r.ok() && (h.fonts > PageModelLimits::maxFonts || h.images > PageModelLimits::maxImages ||
                   h.pages > PageModelLimits::maxPages ||
                   kVdfHeaderBytes + std::size_t(h.fonts) * 9 + std::size_t(h.images) * 4 +
                           std::size_t(h.pages) * 25 + sizeof kEndMark >
                       fileSize)) {
        r.fail(QStringLiteral("impossible counts of fonts, images or pages"));
    }
    return h;
}

bool decode(Reader& r, std::size_t size, PageDocument& document, QString* error, WorkBudget* lent) {
    WorkBudget own;
    WorkBudget& budget = lent ? *lent : own;
    ReadWork work{budget};
    bool cut = false, pictureRefused = false;
    PageDocument doc;
    Totals totals;
    const Header header = readHeader(r, size);
    const std::uint32_t fonts = header.fonts, images = header.images, pages = header.pages;
    for (std::uint32_t i = 0; i < fonts && r.ok(); ++i) {
        FontSpec font;
        font.name = r.string("a font name", PageModelLimits::maxNameUnits);
        const std::int32_t size = r.i32("a font size");
        const std::uint8_t flags = r.u8("font flags");
        if (!r.ok()) break;
        if (size < 1 || size > 163800 || (flags & ~7u) != 0) {
            r.fail(QStringLiteral("font %1 is out of range").arg(i + 1));
            break;
        }
        font.size = size / 100.0;
        font.bold = flags & 1, font.italic = flags & 2, font.underline = flags & 4;
        doc.fonts.push_back(std::move(font));
    }
    for (std::uint32_t i = 0; i < images && r.ok(); ++i) {
        const std::uint32_t n = r.count("picture bytes", 1, r.remaining());
        // The size in the PNG's header, before the picture's bytes are read: within the
        // budget, and no more bytes than its pixels could take uncompressed (8 a pixel).
        const unsigned char* head = r.peek(std::min<std::size_t>(n, 24), "a picture");
        if (!head) break;
        const auto be32 = [head](int at) {
            return std::size_t(head[at]) << 24 | std::size_t(head[at + 1]) << 16 |
                   std::size_t(head[at + 2]) << 8 | std::size_t(head[at + 3]);
        };
        const bool png = n >= 24 && std::memcmp(head + 12, "IHDR", 4) == 0;
        const std::size_t width = png ? be32(16) : 0, height = png ? be32(20) : 0;
        const std::size_t pixels = width * height;
        if (pixels == 0 || n > 8 * pixels + (1 << 20)) {
            r.fail(QStringLiteral("picture %1 is no PNG").arg(i + 1));
            break;
        }
        // A picture beyond the pixel budget is not read: it stays null.
        if (width > kMaxImageSide || height > kMaxImageSide ||
            pixels > PageModelLimits::maxImagePixels - totals.pixels) {
            pictureRefused = true;
            r.skip(n, "a picture");
            doc.images.emplace_back();
            continue;
        }
        if (!work.bytesUpTo(r.position() + n)) {
            cut = true;
            break;
        }
        const unsigned char* data = r.raw(n, "a picture");
        QImage image;
        if (!data) break;
        if (!decodePng(data, n, PageModelLimits::maxImagePixels - totals.pixels, budget, image,
                       pictureRefused)) {
            r.fail(QStringLiteral("picture %1 is not a readable PNG within the pixel budget")
                       .arg(i + 1));
            break;
        }
        totals.pixels += std::size_t(image.width()) * std::size_t(image.height());
        doc.images.push_back(std::move(image));
    }
    // Pictures the budget could not take stay null (drawn as nothing). A failed header leaves
    // its counts unchecked: nothing is sized by them then.
    if (r.ok()) doc.images.resize(images);
    if (r.ok() && !cut) doc.pages.reserve(pages);
    for (std::uint32_t i = 0; i < pages && r.ok() && !cut; ++i) {
        Page page;
        if (!budget.charge(Work::Page)) {
            cut = true;
            break;
        }
        if (readPage(r, doc, totals, work, page, cut)) doc.pages.push_back(std::move(page));
        cut = cut || !work.bytesUpTo(r.position());
    }
    if (!cut) {
        const unsigned char* end = r.raw(sizeof kEndMark, "the end mark");
        if (end && std::memcmp(end, kEndMark, sizeof kEndMark) != 0)
            r.fail(QStringLiteral("the end mark is missing"));
        if (r.ok() && !r.atEnd()) r.fail(QStringLiteral("bytes follow the end mark"));
    }
    if (!r.ok()) {
        if (error) *error = r.error();
        return false;
    }
    // A cut document keeps what was read before the cut, at least one page.
    if (doc.pages.empty()) doc.pages.emplace_back();
    if (cut || pictureRefused) budget.exhaust();
    document = std::move(doc);
    return true;
}

}  // namespace

bool decodeVdf(const QByteArray& bytes, PageDocument& document, QString* error,
               WorkBudget* budget) {
    Reader r(bytes);
    return decode(r, std::size_t(bytes.size()), document, error, budget);
}

bool writeVdfFile(const PageDocument& document, const QString& path, QString* error) {
    return ReplaceFileReporting(path, encodeVdf(document), error);
}

bool readVdfFile(const QString& path, PageDocument& document, QString* error, WorkBudget* budget) {
    safefile::Descriptor file;
    std::uintmax_t size = 0;
    const safefile::Outcome opened =
        safefile::openRegularFile(QFile::encodeName(path).toStdString(), file, size);
    if (!opened.ok() || size > kVdfMaxFileBytes) {
        safefile::Outcome refused = opened;
        if (opened.ok()) refused.status = safefile::Status::TooLarge;
        if (error) *error = DescribeFileFailure(path, refused);
        return false;
    }
    // Streamed: the header and counts are checked before the body is read.
    Reader r(file.get(), std::size_t(size));
    QString reason;
    if (!decode(r, std::size_t(size), document, &reason, budget)) {
        // The reader's detail names the field and byte for diagnosis; the user sees the verdict.
        if (error) *error = QStringLiteral("%1: VDFﾌｧｲﾙの形式が正しくありません").arg(path);
        return false;
    }
    return true;
}

}  // namespace preview
