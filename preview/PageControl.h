#pragma once
// PageControl: the preview control of the program, recording a PageDocument (PageModel.h)
// through the operations of PreviewControl and drawing it through PageRenderer.
//
// Recording: each printText measures its text with the current font (FontFactory, cached
// advances) and appends it to the page; a text that continues the last run of the page (same
// font and line, horizontal, further right) extends that run, so a line printed one
// character at a time is still one run. Items wholly outside the page's paper are not
// recorded, and neither are the characters of a text beyond the paper's farthest corner.
// Recording charges the work budget of the load (a page, an item, a character); once the
// budget is spent or the document reaches a capacity of PageModelLimits nothing more is
// recorded, newPage fails and capacityExceeded() says so.
//
// Page life: startDoc begins page 1; newPage and endDoc finish the page being produced: the
// control raises onBeforeHeader, records the header (three parts: left at the left margin,
// centre between the margins, right ending at the right margin; the top of the text at the
// header margin), raises onBeforeFooter and records the footer (the bottom of the text at the
// footer margin); newPage then begins the next page with the paper and orientation in force
// and raises onNewPage before anything of it is recorded; endDoc raises onEndDoc once.
// While an event handler runs, startDoc, newPage, endDoc, reset and loadDocument are refused.
//
// Views (PageView) attach through PageControlView; the control tells them when the document
// or the display changed. Not thread-safe; lives on the GUI thread.

#include <QHash>
#include <array>
#include <functional>
#include <memory>

#include "formats/WorkBudget.h"
#include "preview/FontFactory.h"
#include "preview/PageModel.h"
#include "preview/PreviewControl.h"

class QPrinter;

namespace preview {

// A view of the control's document, told when to redraw.
class PageControlView {
  public:
    virtual ~PageControlView() = default;
    virtual void documentChanged() = 0;  // pages replaced, added or refreshed
    virtual void displayChanged() = 0;   // zoom, zoom mode or preview page
};

class PageControl final : public PreviewControl {
  public:
    PageControl();
    ~PageControl() override;
    PageControl(const PageControl&) = delete;
    PageControl& operator=(const PageControl&) = delete;

    void setEvents(PreviewControlEvents* events) override { m_events = events; }

    // Document
    void reset() override;
    bool startDoc() override;
    bool newPage() override;
    void endDoc() override;
    void refresh() override;

    // Page format
    void setDevice(const QString& deviceName) override;
    QString device() const override { return m_device; }
    bool setPaperSize(int paperCode) override;
    int paperSize() const override { return m_paperCode; }
    void setOrientation(int orientation) override;
    int orientation() const override { return m_orientation; }
    void setMargins(int top, int bottom, int left, int right) override;
    int marginTop() const override { return m_marginTop; }
    int marginBottom() const override { return m_marginBottom; }
    int marginLeft() const override { return m_marginLeft; }
    int marginRight() const override { return m_marginRight; }
    void setHeader(const HeaderFooterParts& parts) override { m_header = parts; }
    void setFooter(const HeaderFooterParts& parts) override { m_footer = parts; }
    void setHeaderMargin(int twips) override { m_headerMargin = clampCoordinate(twips); }
    void setFooterMargin(int twips) override { m_footerMargin = clampCoordinate(twips); }
    void setHeaderFooterFont(const FontSpec& font) override;

    // Text
    void setFont(const FontSpec& font) override;
    FontSpec font() const override { return m_font; }
    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setFontBold(bool on) override;
    void setFontUnderline(bool on) override;
    void setFontItalic(bool on) override;
    int currentX() const override { return m_curX; }
    int currentY() const override { return m_curY; }
    void setCurrentX(int x) override { m_curX = clampCoordinate(x); }
    void setCurrentY(int y) override { m_curY = clampCoordinate(y); }
    void printText(const QString& text) override;
    void printTextOnGrid(const QString& text, std::span<const int> advances) override;
    QSize paperSizeTwips() const override;
    TextExtent measureText(const QString& text) const override;
    void setTextAngle(int tenthsOfDegree) override;
    int textAngle() const override { return m_angle; }

    // Drawing
    void setPenWidth(int twips) override;
    void setPenStyle(int style) override;
    void setFillStyle(int style) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawEllipse(int x1, int y1, int x2, int y2) override;
    void drawPicture(const QImage& picture, int x, int y, int width = 0, int height = 0) override;

    // Tags
    void beginTag(const QString& text) override;
    void endTag() override {}

    // Viewing
    double zoom() const override { return m_zoom; }
    void setZoom(double percent) override;
    ZoomMode zoomMode() const override { return m_zoomMode; }
    void setZoomMode(ZoomMode mode) override;
    void setZoomLimits(double minPercent, double maxPercent) override;
    double zoomMin() const override { return m_zoomMin; }
    double zoomMax() const override { return m_zoomMax; }
    void setZoomStep(double percent) override;
    double zoomStep() const override { return m_zoomStep; }
    int previewPage() const override { return m_previewPage; }
    void setPreviewPage(int page) override;
    int pageCount() const override { return static_cast<int>(m_doc.pages.size()); }
    int currentPage() const override { return static_cast<int>(m_doc.pages.size()); }

    // Saved document
    bool saveDocument(const QString& path, QString* error) override;
    bool loadDocument(const QString& path, QString* error) override;

    bool print(bool showDialog, QString* error) override;
    bool exportPdf(const QString& path, const PdfOptions& options, QString* error) override;
    bool capacityExceeded() const override { return m_full || budget().spent(); }
    void setWorkBudget(WorkBudget* budget) override { m_externalBudget = budget; }

    // Beyond the control's interface: for the view, the window and the tests.
    void setView(PageControlView* view) { m_view = view; }
    const PageDocument& document() const { return m_doc; }
    FontFactory& fonts() const { return m_fonts; }
    // The budget recording charges (the lent one, else the control's own).
    const WorkBudget& budget() const { return m_externalBudget ? *m_externalBudget : m_ownBudget; }
    // The zoom the view works out in the modes that fit pages to the window; raises
    // onZoomChanged when it differs from the zoom in force (the mode stays).
    void setFittedZoom(double percent);
    // Chooses the printer and the page range before printing (the window installs a print
    // dialog); returns false when the user cancelled.
    void setPrintDialog(std::function<bool(QPrinter&)> dialog) {
        m_printDialog = std::move(dialog);
    }
    // Page `page` (1-based) drawn into a white image at `dpi`; a null image for no such page.
    QImage renderPage(int page, double dpi) const;

  private:
    static std::int32_t clampCoordinate(long long value) {
        return static_cast<std::int32_t>(
            value < -PageModelLimits::maxCoordinate  ? -PageModelLimits::maxCoordinate
            : value > PageModelLimits::maxCoordinate ? PageModelLimits::maxCoordinate
                                                     : value);
    }
    bool mayChangeDocument() const { return m_eventDepth == 0; }
    void raise(void (PreviewControlEvents::*handler)());
    void beginPage();
    void finishPage();
    void recordHeaderFooter(const HeaderFooterParts& parts, bool header);
    // Records a text with its top-left corner at (x, y), extending the page's last run when
    // it may and can; returns its advance (twips).
    double recordText(const char16_t* text, std::size_t length, std::int32_t x, std::int32_t y,
                      const FontSpec& font, int angle, bool mayExtend = true);
    // Records a text whose unit i stands at x + m_offsets[i], `width` wide in all.
    void recordPlaced(const char16_t* text, std::size_t length, std::int32_t x, std::int32_t y,
                      const FontSpec& font, std::int32_t height, int angle, bool mayExtend,
                      double width);
    FontMetrics& metricsOf(const FontSpec& font) const;
    std::uint16_t fontIndex(const FontSpec& font);
    WorkBudget& work() { return m_externalBudget ? *m_externalBudget : m_ownBudget; }
    // Whether the model and the budget take `items` more items and `textUnits` more
    // characters, charged; a refusal fills the document.
    bool reserve(std::size_t items, std::size_t textUnits);
    bool recordItem(const PageItem& item);
    void notifyDocument();
    void notifyDisplay();

    // Collaborators
    PreviewControlEvents* m_events = nullptr;
    PageControlView* m_view = nullptr;
    mutable FontFactory m_fonts;
    std::function<bool(QPrinter&)> m_printDialog;
    WorkBudget m_ownBudget;
    WorkBudget* m_externalBudget = nullptr;

    // Document
    PageDocument m_doc;
    bool m_open = false;  // between startDoc and endDoc
    bool m_full = false;
    int m_eventDepth = 0;
    std::size_t m_itemTotal = 0;
    std::size_t m_textTotal = 0;
    std::size_t m_tagTotal = 0;
    std::size_t m_pixelTotal = 0;
    QHash<QString, std::uint16_t> m_fontIndex;
    struct RecentFont {
        FontSpec font;
        int slot = -1;  // its index in the document; -1 none
    };
    std::array<RecentFont, 4> m_recentFonts{};
    std::size_t m_nextRecentFont = 0;
    QHash<qint64, std::uint32_t> m_imageIndex;
    std::vector<double> m_offsets;  // scratch of recordText

    // Format
    QString m_device;
    int m_paperCode = PaperA4;
    int m_orientation = 0;
    int m_marginTop = 1440, m_marginBottom = 1440, m_marginLeft = 1440, m_marginRight = 1440;
    HeaderFooterParts m_header, m_footer;
    int m_headerMargin = 720, m_footerMargin = 720;
    FontSpec m_headerFooterFont{QStringLiteral("ＭＳ 明朝"), 8.0};

    // Drawing state
    FontSpec m_font{QStringLiteral("ＭＳ 明朝"), 10.0};
    mutable std::shared_ptr<FontMetrics> m_metrics;  // of m_font; null until needed
    int m_fontSlot = -1;                             // index of m_font in the document; -1 unknown
    std::int32_t m_curX = 0, m_curY = 0;
    int m_angle = 0;
    std::int32_t m_penWidth = 0;
    std::uint8_t m_penStyle = 0;
    std::uint8_t m_fillStyle = 1;

    // Display
    double m_zoom = 100, m_zoomMin = 10, m_zoomMax = 400, m_zoomStep = 25;
    ZoomMode m_zoomMode = ZoomMode::Percentage;
    int m_previewPage = 0;
};

}  // namespace preview
