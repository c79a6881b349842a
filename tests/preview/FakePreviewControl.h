#pragma once
// A preview control with fixed metrics that records what it is asked to draw, for the
// loader and renderer tests. A full-width character (U+2E80 and above, half-width katakana
// excepted) is size x 20 twips wide, any other size x 10; every text is size x 20 high.

#include <QStringList>
#include <cmath>
#include <ostream>
#include <vector>

#include "preview/PreviewControl.h"

namespace preview {

class FakePreviewControl : public PreviewControl {
  public:
    struct Text {
        QString text;
        int x = 0, y = 0;
        FontSpec font;
        int angle = 0;
        std::vector<int> advances;  // grid runs only
        int page = 0;
    };
    struct Shape {
        bool ellipse = false;
        int x1, y1, x2, y2;
        int penWidth, penStyle;
        int page;
    };
    struct Picture {
        QSize size;
        int x, y, width, height;
        int page;
    };
    struct Tag {
        QString text;
        int x, y, page;
    };
    struct PageRecord {
        int paperSize = 9, orientation = 0;
        HeaderFooterParts header, footer;
        int headerMargin = 0, footerMargin = 0;
        FontSpec headerFooterFont;
    };

    static bool wide(QChar c) {
        return c.unicode() >= 0x2E80 && !(c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F);
    }

    void setEvents(PreviewControlEvents* events) override { m_events = events; }
    void reset() override {
        log << "reset";
        pages.clear();
        texts.clear();
        shapes.clear();
        pictures.clear();
        tags.clear();
        m_inDoc = false;
        full = false;
    }
    bool startDoc() override {
        log << "startDoc";
        pages.clear();
        full = false;
        beginPage();
        m_inDoc = true;
        return true;
    }
    bool newPage() override {
        log << "newPage";
        if (maxPages > 0 && pageCount() >= maxPages) return !(full = true);
        finishPage();
        beginPage();
        return true;
    }
    void endDoc() override {
        log << "endDoc";
        if (m_inDoc) finishPage();
        m_inDoc = false;
        if (m_events) m_events->onEndDoc();
    }
    void refresh() override { log << "refresh"; }
    void setDevice(const QString& name) override { m_device = name; }
    QString device() const override { return m_device; }
    bool setPaperSize(int code) override {
        m_paper = code;
        return true;
    }
    int paperSize() const override { return m_paper; }
    void setOrientation(int o) override {
        log << QStringLiteral("orientation %1").arg(o);
        m_orientation = o;
    }
    int orientation() const override { return m_orientation; }
    void setMargins(int top, int bottom, int left, int right) override {
        m_margins = {top, bottom, left, right};
    }
    int marginTop() const override { return m_margins[0]; }
    int marginBottom() const override { return m_margins[1]; }
    int marginLeft() const override { return m_margins[2]; }
    int marginRight() const override { return m_margins[3]; }
    void setHeader(const HeaderFooterParts& parts) override { m_header = parts; }
    void setFooter(const HeaderFooterParts& parts) override { m_footer = parts; }
    void setHeaderMargin(int twips) override { m_headerMargin = twips; }
    void setFooterMargin(int twips) override { m_footerMargin = twips; }
    void setHeaderFooterFont(const FontSpec& font) override { m_hfFont = font; }

    void setFont(const FontSpec& font) override { m_font = font; }
    FontSpec font() const override { return m_font; }
    void setFontName(const QString& name) override { m_font.name = name; }
    void setFontSize(double points) override {
        if (points > 0 && std::isfinite(points)) m_font.size = points;
    }
    void setFontBold(bool on) override { m_font.bold = on; }
    void setFontUnderline(bool on) override { m_font.underline = on; }
    int currentX() const override { return m_x; }
    int currentY() const override { return m_y; }
    void setCurrentX(int x) override { m_x = x; }
    void setCurrentY(int y) override { m_y = y; }
    void printText(const QString& text) override {
        texts.push_back({text, m_x, m_y, m_font, m_angle, {}, currentPage()});
        m_x += measureText(text).width;
    }
    void printTextOnGrid(const QString& text, std::span<const int> advances) override {
        texts.push_back(
            {text, m_x, m_y, m_font, m_angle, {advances.begin(), advances.end()}, currentPage()});
        for (int a : advances) m_x += a;
    }
    TextExtent measureText(const QString& text) const override {
        ++measureCount;
        double width = 0;
        for (QChar c : text) width += m_font.size * (wide(c) ? 20 : 10);
        return {static_cast<int>(std::lround(width)),
                static_cast<int>(std::lround(m_font.size * 20))};
    }
    void setTextAngle(int tenths) override { m_angle = tenths; }
    int textAngle() const override { return m_angle; }

    void setPenWidth(int twips) override {
        m_penWidth = twips;
        ++penChanges;
    }
    void setPenStyle(int style) override {
        m_penStyle = style;
        ++penChanges;
    }
    void setFillStyle(int style) override { fillStyle = style; }
    void drawLine(int x1, int y1, int x2, int y2) override {
        shapes.push_back({false, x1, y1, x2, y2, m_penWidth, m_penStyle, currentPage()});
    }
    void drawEllipse(int x1, int y1, int x2, int y2) override {
        shapes.push_back({true, x1, y1, x2, y2, m_penWidth, m_penStyle, currentPage()});
    }
    void drawPicture(const QImage& picture, int x, int y, int width, int height) override {
        pictures.push_back({picture.size(), x, y, width, height, currentPage()});
    }
    void beginTag(const QString& text) override { tags.push_back({text, m_x, m_y, currentPage()}); }
    void endTag() override {}

    double zoom() const override { return m_zoom; }
    void setZoom(double percent) override { m_zoom = percent; }
    ZoomMode zoomMode() const override { return m_zoomMode; }
    void setZoomMode(ZoomMode mode) override { m_zoomMode = mode; }
    void setZoomLimits(double, double) override {}
    double zoomMin() const override { return 25; }
    double zoomMax() const override { return 150; }
    void setZoomStep(double) override {}
    double zoomStep() const override { return 25; }
    int previewPage() const override { return pages.empty() ? 0 : 1; }
    void setPreviewPage(int) override {}
    int pageCount() const override { return static_cast<int>(pages.size()); }
    bool capacityExceeded() const override { return full; }
    int currentPage() const override { return static_cast<int>(pages.size()); }
    bool saveDocument(const QString&, QString*) override { return false; }
    bool loadDocument(const QString& path, QString* error) override {
        log << "loadDocument " + path;
        if (error) *error = QStringLiteral("not a VDF file");
        return false;
    }

    // Texts of one page joined in drawing order, for quick checks.
    QStringList textsOfPage(int page) const {
        QStringList out;
        for (const Text& t : texts) {
            if (t.page == page) out << t.text;
        }
        return out;
    }

    QStringList log;
    std::vector<PageRecord> pages;
    std::vector<Text> texts;
    std::vector<Shape> shapes;
    std::vector<Picture> pictures;
    std::vector<Tag> tags;
    int fillStyle = 0;
    int penChanges = 0;
    mutable int measureCount = 0;
    int maxPages = 0;  // pages the control takes; 0 no limit
    bool full = false;

  private:
    void beginPage() {
        PageRecord record;
        record.paperSize = m_paper;
        record.orientation = m_orientation;
        pages.push_back(record);
        log << "onNewPage";
        if (m_events) m_events->onNewPage();
    }
    void finishPage() {
        log << "onBeforeHeader";
        if (m_events) m_events->onBeforeHeader();
        PageRecord& page = pages.back();
        page.header = m_header;
        page.headerMargin = m_headerMargin;
        page.headerFooterFont = m_hfFont;
        log << "onBeforeFooter";
        if (m_events) m_events->onBeforeFooter();
        page.footer = m_footer;
        page.footerMargin = m_footerMargin;
    }

    PreviewControlEvents* m_events = nullptr;
    bool m_inDoc = false;
    QString m_device;
    int m_paper = 9, m_orientation = 0;
    std::array<int, 4> m_margins{};
    HeaderFooterParts m_header, m_footer;
    int m_headerMargin = 0, m_footerMargin = 0;
    FontSpec m_hfFont;
    FontSpec m_font;
    int m_x = 0, m_y = 0, m_angle = 0;
    int m_penWidth = 0, m_penStyle = 0;
    double m_zoom = 100;
    ZoomMode m_zoomMode = ZoomMode::Percentage;
};

}  // namespace preview

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
