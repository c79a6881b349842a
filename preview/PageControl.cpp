#include "preview/PageControl.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "formats/FileFailure.h"
#include "preview/PageRenderer.h"
#include "preview/PdfExport.h"
#include "preview/PrintDocument.h"
#include "preview/VdfFormat.h"

namespace preview {

namespace {

// Font sizes the control keeps: 1/100 point, from 1/100 to 1638 points.
constexpr double kMaxFontSize = 1638.0;

bool keepFontSize(double points, double& kept) {
    if (!std::isfinite(points) || points <= 0 || points > kMaxFontSize) return false;
    kept = std::max(0.01, std::round(points * 100.0) / 100.0);
    return true;
}

QString fontKey(const FontSpec& font) {
    return font.name + QLatin1Char('|') + QString::number(std::lround(font.size * 100)) +
           QLatin1Char(font.bold ? 'B' : '-') + QLatin1Char(font.italic ? 'I' : '-') +
           QLatin1Char(font.underline ? 'U' : '-');
}

// Half away from zero, inline (the recording loop runs once a character).
inline long long roundTwips(double value) {
    return value >= 0 ? static_cast<long long>(value + 0.5) : -static_cast<long long>(0.5 - value);
}

}  // namespace

// The default font is made at once: the first font of a process also loads the font
// database, which belongs to the start-up rather than to the first document.
PageControl::PageControl() {
    m_metrics = m_fonts.share(m_font);
}
PageControl::~PageControl() = default;

void PageControl::raise(void (PreviewControlEvents::*handler)()) {
    if (!m_events) return;
    ++m_eventDepth;
    (m_events->*handler)();
    --m_eventDepth;
}

void PageControl::notifyDocument() {
    if (m_view) m_view->documentChanged();
}

void PageControl::notifyDisplay() {
    if (m_view) m_view->displayChanged();
}

// Document ------------------------------------------------------------------------------------

void PageControl::reset() {
    if (!mayChangeDocument()) return;
    m_doc.clear();
    m_open = false;
    m_full = false;
    m_itemTotal = m_textTotal = m_tagTotal = m_pixelTotal = 0;
    m_ownBudget.reset(WorkBudget::kLoad);
    m_fontIndex.clear();
    m_recentFonts = {};
    m_imageIndex.clear();
    m_fontSlot = -1;
    m_previewPage = 0;
    notifyDocument();
}

bool PageControl::startDoc() {
    if (!mayChangeDocument()) return false;
    reset();
    m_open = true;
    work().charge(Work::Page);  // the first page is made whatever the budget
    beginPage();
    notifyDocument();
    return true;
}

bool PageControl::newPage() {
    if (!m_open || !mayChangeDocument() || m_full) return false;
    finishPage();
    if (m_doc.pages.size() >= PageModelLimits::maxPages || !work().charge(Work::Page)) {
        m_full = true;
        return false;
    }
    beginPage();
    return true;
}

void PageControl::endDoc() {
    if (!m_open || !mayChangeDocument()) return;
    finishPage();
    m_open = false;
    m_previewPage = std::clamp(m_previewPage, 1, pageCount());
    raise(&PreviewControlEvents::onEndDoc);
    notifyDocument();
}

void PageControl::refresh() {
    notifyDocument();
}

void PageControl::beginPage() {
    Page page;
    page.format = pageFormatFor(m_paperCode, m_orientation);
    if (!m_doc.pages.empty()) {  // pages of a report are alike: no regrowth page after page
        const Page& previous = m_doc.pages.back();
        page.items.reserve(previous.items.size());
        page.text.reserve(previous.text.size());
        page.charX.reserve(previous.charX.size());
    }
    m_doc.pages.push_back(std::move(page));
    if (m_previewPage == 0) m_previewPage = 1;
    m_curX = m_marginLeft;
    m_curY = m_marginTop;
    raise(&PreviewControlEvents::onNewPage);
}

void PageControl::finishPage() {
    raise(&PreviewControlEvents::onBeforeHeader);
    recordHeaderFooter(m_header, true);
    raise(&PreviewControlEvents::onBeforeFooter);
    recordHeaderFooter(m_footer, false);
}

void PageControl::recordHeaderFooter(const HeaderFooterParts& parts, bool header) {
    if (m_doc.pages.empty()) return;
    const PageFormat& format = m_doc.pages.back().format;
    FontMetrics& metrics = metricsOf(m_headerFooterFont);
    const long long y =
        header ? m_headerMargin
               : static_cast<long long>(format.height) - m_footerMargin - metrics.height();
    const long long left = m_marginLeft;
    const long long right = static_cast<long long>(format.width) - m_marginRight;
    for (int part = 0; part < 3; ++part) {
        const QString& text = parts[part];
        if (text.isEmpty()) continue;
        const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
        const auto length = static_cast<std::size_t>(text.size());
        const double width = metrics.width(units, length);
        long long x = left;
        if (part == 1) x = left + std::llround((right - left - width) / 2);
        if (part == 2) x = right - std::llround(width);
        recordText(units, length, clampCoordinate(x), clampCoordinate(y), m_headerFooterFont, 0,
                   false);
    }
}

// Page format --------------------------------------------------------------------------------

void PageControl::setDevice(const QString& deviceName) {
    m_device = resolvePrinterName(deviceName);
}

bool PageControl::setPaperSize(int paperCode) {
    if (!isKnownPaperCode(paperCode)) return false;
    m_paperCode = paperCode;
    return true;
}

void PageControl::setOrientation(int orientation) {
    if (orientation == 0 || orientation == 1) m_orientation = orientation;
}

void PageControl::setMargins(int top, int bottom, int left, int right) {
    m_marginTop = clampCoordinate(top);
    m_marginBottom = clampCoordinate(bottom);
    m_marginLeft = clampCoordinate(left);
    m_marginRight = clampCoordinate(right);
}

void PageControl::setHeaderFooterFont(const FontSpec& font) {
    FontSpec kept = font;
    if (!keepFontSize(font.size, kept.size)) return;  // a rejected font leaves the old one
    m_headerFooterFont = kept;
}

// Text ---------------------------------------------------------------------------------------

void PageControl::setFont(const FontSpec& font) {
    FontSpec kept = font;
    if (!keepFontSize(font.size, kept.size)) kept.size = m_font.size;
    if (kept == m_font) return;
    m_font = kept;
    m_metrics = nullptr;
    m_fontSlot = -1;
}

void PageControl::setFontName(const QString& name) {
    FontSpec font = m_font;
    font.name = name;
    setFont(font);
}

void PageControl::setFontSize(double points) {
    FontSpec font = m_font;
    font.size = points;
    setFont(font);
}

void PageControl::setFontBold(bool on) {
    FontSpec font = m_font;
    font.bold = on;
    setFont(font);
}

void PageControl::setFontUnderline(bool on) {
    FontSpec font = m_font;
    font.underline = on;
    setFont(font);
}

void PageControl::setFontItalic(bool on) {
    FontSpec font = m_font;
    font.italic = on;
    setFont(font);
}

FontMetrics& PageControl::metricsOf(const FontSpec& font) const {
    if (&font == &m_font) {
        if (!m_metrics) m_metrics = m_fonts.share(m_font);
        return *m_metrics;
    }
    return m_fonts.metrics(font);
}

std::uint16_t PageControl::fontIndex(const FontSpec& font) {
    if (&font == &m_font && m_fontSlot >= 0) return static_cast<std::uint16_t>(m_fontSlot);
    // A text that switches between a few fonts finds them here without building their keys.
    for (const RecentFont& recent : m_recentFonts) {
        if (recent.slot >= 0 && recent.font == font) {
            if (&font == &m_font) m_fontSlot = recent.slot;
            return static_cast<std::uint16_t>(recent.slot);
        }
    }
    const QString key = fontKey(font);
    auto it = m_fontIndex.constFind(key);
    std::uint16_t index = 0;
    if (it != m_fontIndex.constEnd()) {
        index = it.value();
    } else {
        if (m_doc.fonts.size() >= PageModelLimits::maxFonts) {
            m_full = true;
            return 0;
        }
        index = static_cast<std::uint16_t>(m_doc.fonts.size());
        FontSpec stored = font;
        stored.name.truncate(PageModelLimits::maxNameUnits);
        m_doc.fonts.push_back(stored);
        m_fontIndex.insert(key, index);
    }
    if (&font == &m_font) m_fontSlot = index;
    m_recentFonts[m_nextRecentFont] = {font, int(index)};
    m_nextRecentFont = (m_nextRecentFont + 1) % m_recentFonts.size();
    return index;
}

bool PageControl::reserve(std::size_t items, std::size_t textUnits) {
    if (m_full) return false;
    WorkBudget& budget = work();
    const bool fits = m_itemTotal + items <= PageModelLimits::maxItems &&
                      m_textTotal + textUnits <= PageModelLimits::maxTextUnits &&
                      budget.charge(Work::Item, items) && budget.charge(Work::Glyph, textUnits);
    if (!fits) {
        m_full = true;
        budget.exhaust();
    }
    return fits;
}

double PageControl::recordText(const char16_t* text, std::size_t length, std::int32_t x,
                               std::int32_t y, const FontSpec& font, int angle, bool mayExtend) {
    // Nothing more is recorded: nothing more is measured. What the text holds beyond the
    // paper is not measured either, so only what shows is charged.
    if (m_full || budget().spent()) return 0;
    FontMetrics& metrics = metricsOf(font);
    // A character further from (x, y) than the paper's farthest corner cannot show, however
    // the text is turned: the text ends before it.
    double reach = 0;
    if (!m_doc.pages.empty()) {
        const PageFormat& format = m_doc.pages.back().format;
        for (const double cx : {0.0, double(format.width)}) {
            for (const double cy : {0.0, double(format.height)}) {
                reach = std::max(reach, std::hypot(cx - x, cy - y));
            }
        }
    }
    // Offsets of the characters from x, measured once.
    m_offsets.resize(length);
    double width = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (width > reach && !QChar::isLowSurrogate(text[i])) {
            length = i;
            break;
        }
        m_offsets[i] = width;
        width += metrics.advance(text, length, i);
    }
    recordPlaced(text, length, x, y, font, metrics.height(), angle, mayExtend, width);
    return width;
}

void PageControl::recordPlaced(const char16_t* text, std::size_t length, std::int32_t x,
                               std::int32_t y, const FontSpec& font, std::int32_t height, int angle,
                               bool mayExtend, double width) {
    if (!m_open || m_doc.pages.empty() || length == 0) return;
    Page& page = m_doc.pages.back();
    const std::int32_t endX = clampCoordinate(x + roundTwips(width));
    const QRect box = textBox(x, y, endX - x, height, angle);
    if (isOutsidePaper(page.format, box.left(), box.top(), box.right(), box.bottom())) return;
    const std::uint16_t index = fontIndex(font);
    if (!reserve(1, length)) return;

    TextRun* last = page.items.empty() ? nullptr : std::get_if<TextRun>(&page.items.back());
    const bool extend = mayExtend && last && angle == 0 && last->angle == 0 &&
                        last->font == index && last->y == y && last->count > 0 &&
                        std::size_t(last->first) + last->count == page.text.size() &&
                        x >= page.charX[last->first + last->count - 1];
    if (!extend) {
        TextRun run;
        run.x = x;
        run.y = y;
        run.angle = static_cast<std::int16_t>(angle);
        run.font = index;
        run.first = static_cast<std::uint32_t>(page.text.size());
        page.items.emplace_back(run);
        ++m_itemTotal;
        last = &std::get<TextRun>(page.items.back());
    }
    page.text.append(text, length);
    const std::size_t first = page.charX.size();
    page.charX.resize(first + length);
    std::int32_t* positions = page.charX.data() + first;
    for (std::size_t i = 0; i < length; ++i) {
        positions[i] = clampCoordinate(x + roundTwips(m_offsets[i]));
    }
    last->count += static_cast<std::uint32_t>(length);
    last->endX = endX;
    m_textTotal += length;
}

void PageControl::printText(const QString& text) {
    const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
    const double width =
        recordText(units, static_cast<std::size_t>(text.size()), m_curX, m_curY, m_font, m_angle);
    m_curX = clampCoordinate(m_curX + roundTwips(width));
}

void PageControl::printTextOnGrid(const QString& text, std::span<const int> advances) {
    const auto length = std::min<std::size_t>(std::size_t(text.size()), advances.size());
    m_offsets.resize(length);
    long long width = 0;
    for (std::size_t i = 0; i < length; ++i) {
        m_offsets[i] = double(width);
        width += advances[i];
    }
    recordPlaced(reinterpret_cast<const char16_t*>(text.utf16()), length, m_curX, m_curY, m_font,
                 metricsOf(m_font).height(), m_angle, true, double(width));
    m_curX = clampCoordinate(m_curX + width);
}

QSize PageControl::paperSizeTwips() const {
    const PageFormat format = pageFormatFor(m_paperCode, m_orientation);
    return QSize(format.width, format.height);
}

TextExtent PageControl::measureText(const QString& text) const {
    FontMetrics& metrics = metricsOf(m_font);
    const double width =
        metrics.width(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
    return TextExtent{static_cast<int>(std::lround(width)), metrics.height()};
}

void PageControl::setTextAngle(int tenthsOfDegree) {
    m_angle = ((tenthsOfDegree % 3600) + 3600) % 3600;
}

// Drawing ------------------------------------------------------------------------------------

void PageControl::setPenWidth(int twips) {
    m_penWidth = std::clamp(twips, 0, 14400);  // at most an inch
}

void PageControl::setPenStyle(int style) {
    if (style >= 0 && style <= 5) m_penStyle = static_cast<std::uint8_t>(style);
}

void PageControl::setFillStyle(int style) {
    if (style == 0 || style == 1) m_fillStyle = static_cast<std::uint8_t>(style);
}

bool PageControl::recordItem(const PageItem& item) {
    if (!m_open || m_doc.pages.empty()) return false;
    Page& page = m_doc.pages.back();
    const QRect box = itemBounds(m_doc, page, item);
    if (isOutsidePaper(page.format, box.left(), box.top(), box.right(), box.bottom())) {
        return false;
    }
    if (!reserve(1, 0)) return false;
    page.items.push_back(item);
    ++m_itemTotal;
    return true;
}

void PageControl::drawLine(int x1, int y1, int x2, int y2) {
    Shape shape;
    shape.kind = ShapeKind::Line;
    shape.penStyle = m_penStyle;
    shape.fillStyle = m_fillStyle;
    shape.penWidth = m_penWidth;
    shape.x1 = clampCoordinate(x1), shape.y1 = clampCoordinate(y1);
    shape.x2 = clampCoordinate(x2), shape.y2 = clampCoordinate(y2);
    recordItem(shape);
}

void PageControl::drawEllipse(int x1, int y1, int x2, int y2) {
    Shape shape;
    shape.kind = ShapeKind::Ellipse;
    shape.penStyle = m_penStyle;
    shape.fillStyle = m_fillStyle;
    shape.penWidth = m_penWidth;
    shape.x1 = clampCoordinate(x1), shape.y1 = clampCoordinate(y1);
    shape.x2 = clampCoordinate(x2), shape.y2 = clampCoordinate(y2);
    recordItem(shape);
}

void PageControl::drawPicture(const QImage& picture, int x, int y, int width, int height) {
    if (picture.isNull() || !m_open || m_doc.pages.empty()) return;
    // The picture's own size at 96 dpi: 15 twips a pixel.
    const long long w = width > 0 ? width : picture.width() * 15LL;
    const long long h = height > 0 ? height : picture.height() * 15LL;
    Picture item;
    item.x = clampCoordinate(x), item.y = clampCoordinate(y);
    item.width = clampCoordinate(w), item.height = clampCoordinate(h);
    const Page& page = m_doc.pages.back();
    if (isOutsidePaper(page.format, item.x, item.y, item.x + w, item.y + h)) return;
    auto it = m_imageIndex.constFind(picture.cacheKey());
    if (it != m_imageIndex.constEnd()) {
        item.image = it.value();
    } else {
        const std::size_t pixels = std::size_t(picture.width()) * std::size_t(picture.height());
        if (m_doc.images.size() >= PageModelLimits::maxImages ||
            m_pixelTotal + pixels > PageModelLimits::maxImagePixels) {
            m_full = true;
            return;
        }
        item.image = static_cast<std::uint32_t>(m_doc.images.size());
        m_doc.images.push_back(picture);
        m_imageIndex.insert(picture.cacheKey(), item.image);
        m_pixelTotal += pixels;
    }
    recordItem(item);
}

// Tags ---------------------------------------------------------------------------------------

void PageControl::beginTag(const QString& text) {
    if (!m_open || m_doc.pages.empty() || m_full) return;
    Page& page = m_doc.pages.back();
    if (isOutsidePaper(page.format, m_curX, m_curY, m_curX, m_curY)) return;
    if (m_tagTotal >= PageModelLimits::maxTags || !work().charge(Work::Item)) {
        m_full = true;
        return;
    }
    page.tags.push_back(PageTag{text.left(PageModelLimits::maxNameUnits), m_curX, m_curY});
    ++m_tagTotal;
}

// Viewing ------------------------------------------------------------------------------------

void PageControl::setZoom(double percent) {
    if (!std::isfinite(percent)) return;
    const double zoom = std::clamp(percent, m_zoomMin, m_zoomMax);
    const bool changed = zoom != m_zoom || m_zoomMode != ZoomMode::Percentage;
    m_zoom = zoom;
    m_zoomMode = ZoomMode::Percentage;
    if (!changed) return;
    notifyDisplay();
    raise(&PreviewControlEvents::onZoomChanged);
}

void PageControl::setFittedZoom(double percent) {
    if (!std::isfinite(percent) || percent <= 0 || percent == m_zoom) return;
    m_zoom = percent;
    raise(&PreviewControlEvents::onZoomChanged);
}

void PageControl::setZoomMode(ZoomMode mode) {
    if (static_cast<int>(mode) < 0 || static_cast<int>(mode) > 4 || mode == m_zoomMode) return;
    m_zoomMode = mode;
    notifyDisplay();
}

void PageControl::setZoomLimits(double minPercent, double maxPercent) {
    if (!std::isfinite(minPercent) || !std::isfinite(maxPercent) || minPercent <= 0 ||
        minPercent > maxPercent) {
        return;
    }
    m_zoomMin = minPercent;
    m_zoomMax = maxPercent;
    if (m_zoomMode == ZoomMode::Percentage && (m_zoom < minPercent || m_zoom > maxPercent)) {
        setZoom(m_zoom);
    }
}

void PageControl::setZoomStep(double percent) {
    if (std::isfinite(percent) && percent > 0) m_zoomStep = percent;
}

void PageControl::setPreviewPage(int page) {
    const int kept = pageCount() == 0 ? 0 : std::clamp(page, 1, pageCount());
    if (kept == m_previewPage) return;
    m_previewPage = kept;
    notifyDisplay();
    raise(&PreviewControlEvents::onPreviewPageChanged);
}

// Files and devices --------------------------------------------------------------------------

bool PageControl::saveDocument(const QString& path, QString* error) {
    return writeVdfFile(m_doc, path, error);
}

bool PageControl::loadDocument(const QString& path, QString* error) {
    if (!mayChangeDocument()) {
        if (error) *error = DescribeFault(Fault::DocumentBusy);
        return false;
    }
    PageDocument loaded;
    if (!m_externalBudget) m_ownBudget.reset(WorkBudget::kLoad);
    if (!readVdfFile(path, loaded, error, &work())) return false;
    const WorkBudget spent = work();
    reset();
    if (!m_externalBudget) m_ownBudget = spent;
    m_doc = std::move(loaded);
    for (const Page& page : m_doc.pages) {
        m_itemTotal += page.items.size();
        m_textTotal += page.text.size();
        m_tagTotal += page.tags.size();
    }
    for (const QImage& image : m_doc.images) {
        m_pixelTotal += std::size_t(image.width()) * std::size_t(image.height());
    }
    m_previewPage = m_doc.pages.empty() ? 0 : 1;
    notifyDocument();
    return true;
}

bool PageControl::print(bool showDialog, QString* error) {
    return printDocument(m_doc, m_fonts, m_device, showDialog ? m_printDialog : nullptr, error);
}

bool PageControl::exportPdf(const QString& path, const PdfOptions& options, QString* error) {
    return writePdfFile(m_doc, m_fonts, path, options, error);
}

QImage PageControl::renderPage(int page, double dpi) const {
    if (page < 1 || page > pageCount() || !std::isfinite(dpi) || dpi <= 0 || dpi > 1200) {
        return QImage();
    }
    const PageFormat& format = m_doc.pages[std::size_t(page - 1)].format;
    const int w = std::max(1, static_cast<int>(std::lround(format.width * dpi / 1440.0)));
    const int h = std::max(1, static_cast<int>(std::lround(format.height * dpi / 1440.0)));
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawPage(painter, m_doc, std::size_t(page - 1), m_fonts, twipsToDevice(dpi, dpi));
    return image;
}

}  // namespace preview
