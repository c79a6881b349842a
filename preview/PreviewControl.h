#pragma once
// The preview control: what the preview window, the print-file loader and the figure renderer
// ask of the paged document they build, show and print.
//
// Units: every length and position is in twips (1440 per inch), origin at the paper's top-left
// corner, x to the right, y downward. Example: a left margin of 20 mm is 1134 twips; a text
// printed at (1134, 1134) has the top-left corner of its box 20 mm from the left and top edges.
// Font sizes are points. Texts are QString (decoded from CP932 by the readers).
//
// Events are raised synchronously on the calling thread: onNewPage as each page begins (the
// first one included) and before anything of that page is recorded; onBeforeHeader and
// onBeforeFooter before the control records a page's header and footer (when the page is
// finished, in that order); onEndDoc once, when the document is complete.
//
// Errors: operations that can fail return false (or an empty result) and leave the document
// as it was; nothing throws. The concrete control is PageControl (PageControl.h); tests may
// implement this interface with fixed metrics.

#include <QImage>
#include <QPageSize>
#include <QSize>
#include <QString>
#include <algorithm>
#include <array>
#include <span>

namespace preview {

class WorkBudget;

// A font as the control takes and reports it.
struct FontSpec {
    QString name;
    double size = 10.0;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The measured box of a text in the current font: width and height in twips.
struct TextExtent {
    int width = 0;
    int height = 0;
};

// Left, centre and right part of a header or footer, kept apart so that a "|" typed into one
// part never shifts the others.
using HeaderFooterParts = std::array<QString, 3>;

// What the PDF converter is told: headings are the tags that begin with tagPrefix followed by
// the level and "|" ("%TOC|1|1. Conditions"); compression level 0 writes the streams
// uncompressed, any other level compressed.
struct PdfOptions {
    QString tagPrefix = QStringLiteral("%TOC|");
    int compressionLevel = 3;
};

enum class ZoomMode { Percentage = 0, Thumbnail = 1, TwoPages = 2, WholePage = 3, PageWidth = 4 };

// Receiver of the control's events. Every handler defaults to doing nothing.
class PreviewControlEvents {
  public:
    virtual ~PreviewControlEvents() = default;
    virtual void onNewPage() {}
    virtual void onBeforeHeader() {}
    virtual void onBeforeFooter() {}
    virtual void onEndDoc() {}
    virtual void onZoomChanged() {}
    virtual void onPreviewPageChanged() {}
};

class PreviewControl {
  public:
    virtual ~PreviewControl() = default;

    // The receiver of the events (not owned; null for none).
    virtual void setEvents(PreviewControlEvents* events) = 0;

    // Document
    virtual void reset() = 0;     // discards the document and the page being produced
    virtual bool startDoc() = 0;  // begins page 1 (raises onNewPage)
    virtual bool newPage() = 0;   // finishes the current page, begins the next (onNewPage)
    virtual void endDoc() = 0;    // finishes the last page, raises onEndDoc
    virtual void refresh() = 0;   // repaints the views of the document

    // Page format, applied to the pages begun after the call.
    virtual void setDevice(const QString& deviceName) = 0;  // printer; "" for the default
    virtual QString device() const = 0;                     // the device in use
    virtual bool setPaperSize(int paperCode) = 0;  // 8 A3, 9 A4, 11 A5, 12 B4, 13 B5, 256 user
    virtual int paperSize() const = 0;
    virtual void setOrientation(int orientation) = 0;  // 0 portrait, 1 landscape
    virtual int orientation() const = 0;
    virtual void setMargins(int top, int bottom, int left, int right) = 0;
    virtual int marginTop() const = 0;
    virtual int marginBottom() const = 0;
    virtual int marginLeft() const = 0;
    virtual int marginRight() const = 0;
    virtual void setHeader(const HeaderFooterParts& parts) = 0;
    virtual void setFooter(const HeaderFooterParts& parts) = 0;
    virtual void setHeaderMargin(int twips) = 0;  // from the paper's top edge
    virtual void setFooterMargin(int twips) = 0;  // from the paper's bottom edge
    virtual void setHeaderFooterFont(const FontSpec& font) = 0;

    // Text
    virtual void setFont(const FontSpec& font) = 0;
    // The size as the control keeps it (PageControl: in 1/100 point; a size outside
    // 0.01-1638 points is refused and the old one stays).
    virtual FontSpec font() const = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool on) = 0;
    virtual void setFontUnderline(bool on) = 0;
    virtual void setFontItalic(bool on) {
        FontSpec f = font();
        f.italic = on;
        setFont(f);
    }
    virtual int currentX() const = 0;
    virtual int currentY() const = 0;
    virtual void setCurrentX(int x) = 0;
    virtual void setCurrentY(int y) = 0;
    // Prints the text with its top-left corner at the current position (rotated about that
    // corner by the text angle) and advances currentX by its measured width.
    virtual void printText(const QString& text) = 0;
    virtual TextExtent measureText(const QString& text) const = 0;
    virtual void setTextAngle(int tenthsOfDegree) = 0;  // 900 = a quarter turn counter-clockwise
    virtual int textAngle() const = 0;

    // Drawing
    virtual void setPenWidth(int twips) = 0;  // 0 = the thinnest line the device draws
    // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none
    virtual void setPenStyle(int style) = 0;
    virtual void setFillStyle(int style) = 0;  // 0 filled, 1 transparent
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    virtual void drawEllipse(int x1, int y1, int x2, int y2) = 0;
    // width and height 0: the picture's own size at 96 dpi.
    virtual void drawPicture(const QImage& picture, int x, int y, int width = 0,
                             int height = 0) = 0;

    // Tags: a named range at the current position (outline bookmarks "%TOC|1|...").
    virtual void beginTag(const QString& text) = 0;
    virtual void endTag() = 0;

    // Viewing
    virtual double zoom() const = 0;
    virtual void setZoom(double percent) = 0;  // clamped to the limits; raises onZoomChanged
    virtual ZoomMode zoomMode() const = 0;
    virtual void setZoomMode(ZoomMode mode) = 0;
    virtual void setZoomLimits(double minPercent, double maxPercent) = 0;
    virtual double zoomMin() const = 0;
    virtual double zoomMax() const = 0;
    virtual void setZoomStep(double percent) = 0;
    virtual double zoomStep() const = 0;
    virtual int previewPage() const = 0;        // 1-based page shown; 0 with no pages
    // Clamped to 1..pageCount; raises onPreviewPageChanged when the page shown changes.
    virtual void setPreviewPage(int page) = 0;
    virtual int pageCount() const = 0;          // pages finished or begun
    virtual int currentPage() const = 0;        // number of the page being produced

    // Saved document (VDF): the whole document with its page formats.
    virtual bool saveDocument(const QString& path, QString* error) = 0;
    // Validates the whole file before it replaces the current document.
    virtual bool loadDocument(const QString& path, QString* error) = 0;

    // The operations below have defaults so that test doubles need not implement them.

    // Prints the document on the device; with showDialog the print dialog (when the window
    // installed one) chooses the printer and the page range first. False with the reason when
    // nothing was printed (also when the dialog was cancelled: reason empty).
    virtual bool print(bool showDialog, QString* error) {
        (void)showDialog;
        if (error) *error = QStringLiteral("printing is not available");
        return false;
    }
    // Writes the document as PDF with its outline; the file is replaced atomically, and a
    // failed write leaves the old file and gives the reason.
    virtual bool exportPdf(const QString& path, const PdfOptions& options, QString* error) {
        (void)path, (void)options;
        if (error) *error = QStringLiteral("PDF export is not available");
        return false;
    }
    // True once the document reached its capacity: later pages and items are not recorded
    // and newPage fails.
    virtual bool capacityExceeded() const { return false; }
    // The budget that recording and loading a saved document charge from now on (null: the
    // control's own, renewed by each start of a document); its owner renews it for each load.
    virtual void setWorkBudget(WorkBudget* budget) { (void)budget; }

    // For the print-file loader.

    // Prints a text whose characters stand on a fixed grid rather than at their measured
    // advances: UTF-16 unit i is placed at currentX + advances[0] + ... + advances[i - 1]
    // (twips), all at currentY; currentX then advances by the sum. `advances` has one entry
    // per UTF-16 unit (extra units are not printed). The default prints the units one by one;
    // PageControl records the whole text as one run.
    virtual void printTextOnGrid(const QString& text, std::span<const int> advances) {
        int x = currentX();
        const qsizetype n =
            std::min<qsizetype>(text.size(), static_cast<qsizetype>(advances.size()));
        for (qsizetype i = 0; i < n; ++i) {
            setCurrentX(x);
            printText(QString::fromRawData(text.constData() + i, 1));
            x += advances[static_cast<std::size_t>(i)];
        }
        setCurrentX(x);
    }
    // The paper of the pages begun now, in twips, as it lies (landscape swaps the sides).
    // The default takes the size from paperSize() and orientation() (B4 and B5 are JIS;
    // the user size and unknown codes give A4).
    virtual QSize paperSizeTwips() const {
        QPageSize::PageSizeId id = QPageSize::A4;
        switch (paperSize()) {
            case 8:
                id = QPageSize::A3;
                break;
            case 11:
                id = QPageSize::A5;
                break;
            case 12:
                id = QPageSize::JisB4;
                break;
            case 13:
                id = QPageSize::JisB5;
                break;
            default:
                break;
        }
        const QSizeF mm = QPageSize::size(id, QPageSize::Millimeter);
        const QSize twips(static_cast<int>(mm.width() / 25.4 * 1440.0 + 0.5),
                          static_cast<int>(mm.height() / 25.4 * 1440.0 + 0.5));
        return orientation() == 1 ? twips.transposed() : twips;
    }
};

}  // namespace preview
