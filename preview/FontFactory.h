#pragma once
// The one place where the face names of the documents become installed fonts, and where text
// is measured. Measuring and drawing use the same QRawFont, sized in twips (one pixel of the
// raw font is one twip, a 1440-dpi reference device), so a width measured while a page is
// recorded is the width drawn on the screen, the printer and the PDF.
//
// Metrics (as the original's fonts): the measured height of a text is the size in points x 20
// twips; a full-width character of the Mincho and Gothic faces advances one em, a half-width
// one half. Advances come from the font's design metrics (no hinting) and are cached per
// character, so measuring a character costs a table look-up after the first time.
//
// Owned by one PageControl (no program-wide cache); needs a QGuiApplication. The factory keeps
// the metrics of the kCapacity fonts used last: a document that changes size and style ten
// thousand times holds kCapacity of them, and a new size of a known face is a scaled copy of
// that face's outline font rather than a new font from the font database.

#include <QHash>
#include <QRawFont>
#include <QString>
#include <array>
#include <list>
#include <memory>
#include <unordered_map>

#include "preview/PreviewControl.h"

namespace preview {

// The installed family that stands in for a face name: the Mincho names ("ＭＳ 明朝",
// "MS Mincho", ...) give IPAMincho (IPAPMincho for the proportional "Ｐ" faces), the Gothic
// names IPAGothic / IPAPGothic, "Courier New" Liberation Mono, "Arial" Liberation Sans,
// "Times New Roman" Liberation Serif; an installed family stays itself; anything else
// (the print files' own "QMX外字" included) gives IPAMincho.
QString resolveFontFamily(const QString& faceName);

// One font at one size and style, with its cached advances.
class FontMetrics {
  public:
    // The face (and the IPAMincho fallback, invalid for IPAMincho itself) at sizePoints, from
    // outline fonts of any size.
    FontMetrics(const QRawFont& face, const QRawFont& fallback, double sizePoints, bool bold,
                bool italic);

    // A glyph of the face, or of IPAMincho when the face has none for the character.
    struct Glyph {
        quint32 index = 0;
        bool fallback = false;
    };
    Glyph glyphOf(const QChar* chars, int count) const;
    const QRawFont& rawFont() const { return m_raw; }
    const QRawFont& fallbackFont() const { return m_fallback; }
    double emTwips() const { return m_em; }
    std::int32_t height() const { return m_height; }
    // Baseline below the top of the text box, twips.
    double baseline() const { return m_baseline; }
    // The face has no bold or italic of its own: the renderer emboldens or slants it.
    bool syntheticBold() const { return m_syntheticBold; }
    bool syntheticItalic() const { return m_syntheticItalic; }
    double underlineOffset() const { return m_underlineOffset; }  // below the baseline
    double lineThickness() const { return m_lineThickness; }

    // Advance of the UTF-16 unit at text[i] (a surrogate pair: all of it on the high unit).
    double advance(const char16_t* text, std::size_t length, std::size_t i);
    // Width of a text, twips (not rounded).
    double width(const char16_t* text, std::size_t length);

  private:
    void measureFace(bool bold, bool italic);
    double computeAdvance(const QChar* chars, int count) const;

    QRawFont m_raw;
    QRawFont m_fallback;  // invalid when the face is IPAMincho itself
    double m_em = 200;
    std::int32_t m_height = 200;
    double m_baseline = 176;
    bool m_syntheticBold = false;
    bool m_syntheticItalic = false;
    double m_underlineOffset = 20;
    double m_lineThickness = 10;
    // Advances of the BMP, 256 blocks of 256 allocated when first used; NaN = not yet known.
    std::array<std::unique_ptr<std::array<float, 256>>, 256> m_advances;
};

class FontFactory {
  public:
    static constexpr std::size_t kCapacity = 256;
    static constexpr qsizetype kMaxFaceNames = 4096;

    // The metrics of a font; the reference stays valid until kCapacity - 1 other fonts have
    // been asked for (a caller that keeps metrics longer holds them by share()).
    FontMetrics& metrics(const FontSpec& font) { return *share(font); }
    std::shared_ptr<FontMetrics> share(const FontSpec& font);

    // Metrics kept, and metrics made since the factory was made (for the cost tests).
    std::size_t size() const { return m_cache.size(); }
    std::size_t made() const { return m_made; }

  private:
    std::shared_ptr<FontMetrics> find(const FontSpec& font);

    using Entry = std::pair<std::string, std::shared_ptr<FontMetrics>>;
    // The fonts asked for last, found again without a key (a few beyond kCapacity).
    std::array<std::pair<FontSpec, std::shared_ptr<FontMetrics>>, 4> m_recent;
    std::size_t m_nextRecent = 0;
    // Cache: least recently used first
    QHash<QString, QString> m_families;  // face name -> installed family
    std::list<Entry> m_used;
    std::unordered_map<std::string, std::list<Entry>::iterator> m_cache;
    // Outline fonts of each family and style, the sources of every size
    QHash<QString, std::pair<QRawFont, QRawFont>> m_faces;
    std::size_t m_made = 0;
};

}  // namespace preview
