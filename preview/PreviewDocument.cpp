#include "preview/PreviewDocument.h"

#include <cerrno>
#include <cstring>

#include "formats/FileFailure.h"
#include "foundation/SafeFile.h"
#include "preview/FigureRenderer.h"
#include "preview/PageModel.h"
#include "preview/PrintFileLoader.h"
#include "preview/RtfReader.h"
#include "preview/StartUp.h"

namespace preview {

namespace {

// Print files of the reports are a few megabytes at most.
constexpr std::size_t kMaxPrintFileBytes = 256u << 20;

QString readFailure(const safefile::ReadResult& read) {
    return DescribeFileFailure(read);
}

}  // namespace

PreviewDocument::PreviewDocument(PreviewControl& control, DocumentContext context)
    : m_control(control),
      m_context(std::move(context)),
      m_figureRenderer(
          std::make_unique<FigureRenderer>(control, m_context.programFolder, m_loadCache)) {
    m_control.setEvents(this);
    m_control.setWorkBudget(&m_budget);
    m_loadCache.clear(&m_budget);
    m_figureDrawer = [renderer = m_figureRenderer.get()](double x, double y, const QString& path) {
        return renderer->DrawFigure(x, y, path);
    };
}

PreviewDocument::~PreviewDocument() {
    m_control.setEvents(nullptr);
    m_control.setWorkBudget(nullptr);
}

void PreviewDocument::beginLoad() {
    m_budget.reset(WorkBudget::kLoad);
    m_loadCache.clear(&m_budget);
}

QString PreviewDocument::FileKindOf(const QString& path) {
    return path.right(3).toUpper();
}

LoadOutcome PreviewDocument::LoadDocument(const QString& path) {
    if (path.isEmpty()) return {};
    m_context.previewFile = path;
    const QString kind = FileKindOf(path);
    if (kind == QLatin1String("RTF")) return LoadRtfDocument(path);
    if (kind == QLatin1String("VDF")) return LoadVdfDocument(path);
    return LoadPrintFile(path);
}

void PreviewDocument::LoadPageSettings() {
    m_settings = ReadPageSettings(m_context.iniPath);
    m_pageCounter = m_settings.pageInit - 1;
    m_control.reset();
    m_control.setDevice(m_settings.savedDeviceName);
    m_control.setPaperSize(m_settings.paperSizeCode);
    m_control.setOrientation(m_settings.orientationCode);
    m_control.setMargins(m_settings.marginTop, m_settings.marginBottom, m_settings.marginLeft,
                         m_settings.marginRight);
    m_control.refresh();
    m_printerDeviceName = m_control.device();
}

LoadOutcome PreviewDocument::LoadPrintFile(const QString& path) {
    beginLoad();
    LoadPageSettings();
    m_outline.clear();
    m_lastChapter = -1;
    m_control.setPaperSize(m_settings.paperSizeCode);
    m_control.setOrientation(m_settings.orientationCode);
    m_control.startDoc();

    PrintFileLoader loader(*this, m_figureDrawer);
    loader.begin();
    const safefile::ReadResult read =
        safefile::readRegularFile(path.toStdString(), kMaxPrintFileBytes);
    LoadOutcome outcome;
    if (read.ok()) {
        // Bytes beyond the budget are not laid out.
        const std::size_t affordable =
            std::min<std::uint64_t>(read.bytes.size(), m_budget.left() / 2);
        m_budget.charge(Work::FileByte, affordable);
        loader.layOutFile(std::string_view(read.bytes).substr(0, affordable));
        if (affordable < read.bytes.size()) m_budget.exhaust();
    } else {
        outcome = {false, readFailure(read)};
    }
    m_control.endDoc();
    // The headers and footers of the last page may be what filled the model.
    if (read.ok() && (loader.stopped() || documentFull())) {
        outcome.truncatedAtPage = m_control.pageCount();
    }
    return outcome;
}

void PreviewDocument::prepareFreeTextDocument() {
    LoadPageSettings();
    m_outline.clear();
    m_lastChapter = -1;
    m_control.reset();
    m_control.setFontName(m_settings.bodyFontName);
    m_control.setFontSize(m_settings.bodySize0);
    m_control.setPaperSize(m_settings.paperSizeCode);
    m_control.setOrientation(m_settings.orientationCode);
}

LoadOutcome PreviewDocument::LoadRtfDocument(const QString& path) {
    beginLoad();
    prepareFreeTextDocument();
    safefile::ReadResult read = safefile::readRegularFile(path.toStdString(), kMaxRtfFileBytes);
    m_control.startDoc();
    LoadOutcome outcome;
    if (read.ok() && !m_budget.charge(Work::FileByte, read.bytes.size())) {
        outcome.truncatedAtPage = 1;  // nothing of it is laid out
    } else if (read.ok()) {
        const RtfDocument document = ParseRtf(read.bytes);
        std::string().swap(read.bytes);  // parsed: the file's bytes are not held during layout
        LayOutRtf(document, m_control);
    } else {
        outcome = {false, readFailure(read)};
    }
    m_control.endDoc();
    if (m_control.capacityExceeded() || m_budget.spent())
        outcome.truncatedAtPage = m_control.pageCount();
    return outcome;
}

LoadOutcome PreviewDocument::LoadVdfDocument(const QString& path) {
    // The control validates the whole file before it replaces its document, so a bad file
    // leaves the document shown as it was: the settings are applied only after the load.
    m_settings = ReadPageSettings(m_context.iniPath);
    m_pageCounter = m_settings.pageInit - 1;
    // A refused file leaves the document, and what it cost, as they were.
    const WorkBudget before = m_budget;
    beginLoad();
    QString error;
    if (!m_control.loadDocument(path, &error)) {
        m_budget = before;
        return {false, error};
    }
    m_outline.clear();
    m_lastChapter = -1;
    m_control.setDevice(m_settings.savedDeviceName);
    m_control.setMargins(m_settings.marginTop, m_settings.marginBottom, m_settings.marginLeft,
                         m_settings.marginRight);
    m_control.setFontName(m_settings.bodyFontName);
    m_control.setFontSize(m_settings.bodySize0);
    m_control.setPaperSize(m_settings.paperSizeCode);
    m_control.setOrientation(m_settings.orientationCode);
    m_control.refresh();
    m_printerDeviceName = m_control.device();
    LoadOutcome outcome;
    if (m_budget.spent()) outcome.truncatedAtPage = m_control.pageCount();
    return outcome;
}

bool PreviewDocument::documentFull() const {
    return m_control.capacityExceeded() || m_loadCache.budgetExceeded() || m_budget.spent() ||
           m_outline.size() >= PageModelLimits::maxTags;
}

void PreviewDocument::addOutlineEntry(int level, const QString& heading) {
    if (!m_budget.charge(Work::OutlineEntry)) return;
    const int page = m_control.currentPage();
    OutlineHeading entry;
    entry.level = level;
    entry.page = page;
    entry.text = heading + QStringLiteral("(%1)").arg(page, 4, 10, QLatin1Char('0'));
    if (level == 1) {
        m_lastChapter = static_cast<int>(m_outline.size());
    } else {
        if (m_lastChapter < 0) return;  // no chapter to hang it on
        entry.parent = m_lastChapter;
    }
    m_outline.push_back(std::move(entry));
}

HeaderFooterParts PreviewDocument::headerFooterParts(int slot) const {
    const HeaderFooterSettings& hf = m_settings.headerFooter[static_cast<std::size_t>(slot)];
    if (!hf.enabled) return {};
    TokenValues values;
    values.pageCounter = m_pageCounter;
    values.fileName = QString::fromStdString(GetFileNamePart(m_context.previewFile.toStdString()));
    values.now = (m_context.clock ? m_context.clock : &m_systemClock)->now();
    return {hf.showL ? ExpandHeaderFooterTokens(hf.textL, values) : QString(),
            hf.showC ? ExpandHeaderFooterTokens(hf.textC, values) : QString(),
            hf.showR ? ExpandHeaderFooterTokens(hf.textR, values) : QString()};
}

void PreviewDocument::onNewPage() {
    ++m_pageCounter;
    if (onPageBegun) onPageBegun(m_control.currentPage());
    m_cursor.curX = m_cursor.leftX;
    m_cursor.curY = m_cursor.topY;
    m_control.setMargins(m_settings.marginTop, m_settings.marginBottom, m_settings.marginLeft,
                         m_settings.marginRight);
    m_control.setFontName(m_settings.bodyFontName);
    m_control.setFontSize(m_settings.bodySize0);
    m_control.setCurrentX(m_cursor.curX);
    m_control.setCurrentY(m_cursor.curY);
    m_control.setHeaderMargin(m_settings.headerFooter[0].margin);
    m_control.setHeader(headerFooterParts(0));
    m_control.setFooterMargin(m_settings.headerFooter[1].margin);
    m_control.setFooter(headerFooterParts(1));
}

namespace {

void applyHeaderFooterFont(PreviewControl& control, const HeaderFooterSettings& hf) {
    // A font the control cannot take (a size of 0 from a missing FontSize) is not set.
    if (!(hf.fontSize > 0)) return;
    FontSpec font;
    font.name = hf.fontName;
    font.size = hf.fontSize;
    font.bold = hf.bold;
    font.italic = hf.italic;
    font.underline = hf.underline;
    control.setHeaderFooterFont(font);
}

}  // namespace

void PreviewDocument::onBeforeHeader() {
    applyHeaderFooterFont(m_control, m_settings.headerFooter[0]);
}

void PreviewDocument::onBeforeFooter() {
    applyHeaderFooterFont(m_control, m_settings.headerFooter[1]);
}

void PreviewDocument::onEndDoc() {
    if (onDocumentEnded) onDocumentEnded();
}

}  // namespace preview
