// Layout of an RTF document on the preview control: lines filled between the margins,
// wrapped at blanks and between full-width characters (a word longer than a line breaks at
// the line end), pages begun when a line would pass
// the bottom margin.
#include <algorithm>

#include "preview/RtfReader.h"

namespace preview {

namespace {

// A piece that is placed whole: a word with its trailing blanks, or one full-width character.
struct Piece {
    QString text;
    FontSpec font;
    int width = 0;
    int height = 0;
};

bool isWide(QChar c) {
    return c.unicode() >= 0x2E80 && !(c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F);
}

class RtfLayout {
  public:
    RtfLayout(PreviewControl& control, FontSpec body)
        : m_control(control), m_body(std::move(body)) {
        const QSize paper = control.paperSizeTwips();
        m_left = control.marginLeft();
        m_right = std::max(m_left + 1, paper.width() - control.marginRight());
        m_top = control.marginTop();
        m_bottom = std::max(m_top + 1, paper.height() - control.marginBottom());
        m_y = m_top;
    }

    void add(const RtfItem& item) {
        switch (item.kind) {
            case RtfItem::Kind::Text:
                addText(item);
                break;
            case RtfItem::Kind::ParagraphEnd:
                endParagraph();
                break;
            case RtfItem::Kind::PageBreak:
                emitLine();
                m_control.newPage();
                m_y = m_top;
                break;
        }
    }

    void finish() { emitLine(); }

  private:
    FontSpec fontOf(const RtfItem& item) const {
        FontSpec font = m_body;
        if (!item.fontName.isEmpty()) font.name = item.fontName;
        if (item.fontSize > 0) font.size = item.fontSize;
        font.bold = item.bold;
        font.italic = item.italic;
        font.underline = item.underline;
        return font;
    }

    void addText(const RtfItem& item) {
        const FontSpec font = fontOf(item);
        m_control.setFont(font);
        m_lastFont = font;
        qsizetype i = 0;
        const QString& text = item.text;
        while (i < text.size() && !m_control.capacityExceeded()) {
            qsizetype j = i + 1;
            if (!isWide(text[i])) {
                while (j < text.size() && !isWide(text[j]) && text[j - 1] != QLatin1Char(' ')) ++j;
                while (j < text.size() && text[j] == QLatin1Char(' ')) ++j;
            }
            addPiece(text.mid(i, j - i), font);
            i = j;
        }
    }

    void addPiece(const QString& text, const FontSpec& font) {
        const int lineWidth = m_right - m_left;
        const TextExtent extent = m_control.measureText(text);
        if (m_x + extent.width > lineWidth && !m_line.empty()) {
            emitLine();
            m_control.setFont(font);  // the line drawn last set its own fonts
        }
        const qsizetype wordEnd = text.size() - trailingBlanks(text);
        if (extent.width <= lineWidth || wordEnd == 0) {
            m_line.push_back({text, font, extent.width, extent.height});
            m_x += extent.width;
            return;
        }
        // A word longer than the whole line breaks at the line end and goes on in the next
        // line; its trailing blanks may hang past the margin as they do after any word.
        for (qsizetype pos = 0; pos < wordEnd && !m_control.capacityExceeded();) {
            const qsizetype n = fittingLength(text, pos, wordEnd, lineWidth);
            const QString part = pos + n == wordEnd ? text.mid(pos) : text.mid(pos, n);
            const TextExtent partExtent = m_control.measureText(part);
            m_line.push_back({part, font, partExtent.width, partExtent.height});
            pos += n;
            if (pos == wordEnd) {
                m_x += partExtent.width;
                return;
            }
            emitLine();
            m_control.setFont(font);
        }
    }

    static qsizetype trailingBlanks(const QString& text) {
        qsizetype n = 0;
        while (n < text.size() && text[text.size() - 1 - n] == QLatin1Char(' ')) ++n;
        return n;
    }

    // How many characters of text[pos, end) fit `width` (at least one, a surrogate pair kept
    // whole). The probes double, then halve, so a line costs measuring about its own length
    // a few times, however long the word.
    qsizetype fittingLength(const QString& text, qsizetype pos, qsizetype end, int width) const {
        const qsizetype available = end - pos;
        const auto fits = [&](qsizetype n) {
            return m_control.measureText(text.mid(pos, n)).width <= width;
        };
        qsizetype fitting = 0, tooWide = 0;
        for (qsizetype probe = 1;; probe *= 2) {
            const qsizetype n = std::min(probe, available);
            if (!fits(n)) {
                tooWide = n;
                break;
            }
            fitting = n;
            if (n == available) return available;
        }
        while (tooWide - fitting > 1) {
            const qsizetype mid = fitting + (tooWide - fitting) / 2;
            (fits(mid) ? fitting : tooWide) = mid;
        }
        qsizetype n = std::max<qsizetype>(fitting, 1);
        if (n < available && text[pos + n - 1].isHighSurrogate() &&
            text[pos + n].isLowSurrogate()) {
            n = n > 1 ? n - 1 : n + 1;
        }
        return n;
    }

    void endParagraph() {
        if (m_line.empty()) {
            // An empty paragraph takes the height of its font.
            m_control.setFont(m_lastFont);
            advance(m_control.measureText(QStringLiteral("あ")).height);
            return;
        }
        emitLine();
    }

    void advance(int height) {
        if (m_y + height > m_bottom && m_y > m_top) {
            m_control.newPage();
            m_y = m_top;
        }
        m_y += height;
    }

    void emitLine() {
        if (m_line.empty()) return;
        int height = 0;
        for (const Piece& p : m_line) height = std::max(height, p.height);
        if (m_y + height > m_bottom && m_y > m_top) {
            m_control.newPage();
            m_y = m_top;
        }
        int x = m_left;
        for (const Piece& p : m_line) {
            m_control.setFont(p.font);
            m_control.setCurrentX(x);
            m_control.setCurrentY(m_y + height - p.height);
            m_control.printText(p.text);
            x += p.width;
        }
        m_y += height;
        m_line.clear();
        m_x = 0;
    }

    PreviewControl& m_control;
    FontSpec m_body;
    FontSpec m_lastFont = m_body;
    int m_left = 0, m_right = 0, m_top = 0, m_bottom = 0;
    int m_x = 0;  // width of the line collected so far
    int m_y = 0;
    std::vector<Piece> m_line;
};

}  // namespace

void LayOutRtf(const RtfDocument& document, PreviewControl& control) {
    RtfLayout layout(control, control.font());
    // Once the page model is full nothing more is measured: the load ends there.
    for (const RtfItem& item : document.items) {
        if (control.capacityExceeded()) return;
        layout.add(item);
    }
    layout.finish();
}

}  // namespace preview
