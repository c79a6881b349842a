#include "preview/FontFactory.h"

#include <QFont>
#include <QFontDatabase>
#include <cmath>
#include <limits>

#include "preview/PageModel.h"

namespace preview {

namespace {

const QString kMincho = QStringLiteral("IPAMincho");

QRawFont makeRawFont(const QString& family, double pixelSize, bool bold, bool italic) {
    QFont font(family);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setBold(bold);
    font.setItalic(italic);
    QRawFont raw = QRawFont::fromFont(font);
    raw.setPixelSize(pixelSize);
    return raw;
}

bool containsAny(const QString& text, std::initializer_list<const char*> needles) {
    for (const char* needle : needles) {
        if (text.contains(QString::fromUtf8(needle), Qt::CaseInsensitive)) return true;
    }
    return false;
}

}  // namespace

QString resolveFontFamily(const QString& faceName) {
    const QString name = faceName.trimmed();
    // "ＭＳ Ｐ明朝", "MS PMincho", "MS P Gothic": the proportional faces.
    const bool proportional = containsAny(name, {"Ｐ", "MS P", "ＭＳＰ"});
    if (containsAny(name, {"明朝", "Mincho"})) {
        return proportional ? QStringLiteral("IPAPMincho") : kMincho;
    }
    if (containsAny(name, {"ゴシック", "Gothic"})) {
        return proportional ? QStringLiteral("IPAPGothic") : QStringLiteral("IPAGothic");
    }
    if (containsAny(name, {"Courier"})) return QStringLiteral("Liberation Mono");
    if (name.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Liberation Sans");
    }
    if (name.compare(QStringLiteral("Times New Roman"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Liberation Serif");
    }
    if (!name.isEmpty() && QFontDatabase::hasFamily(name)) return name;
    return kMincho;
}

FontMetrics::FontMetrics(const QRawFont& face, const QRawFont& fallback, double sizePoints,
                         bool bold, bool italic)
    : m_raw(face),
      m_fallback(fallback),
      m_em(sizePoints * 20.0),
      m_height(measuredHeight(sizePoints)) {
    m_raw.setPixelSize(m_em);
    if (m_fallback.isValid()) m_fallback.setPixelSize(m_em);
    measureFace(bold, italic);
}

void FontMetrics::measureFace(bool bold, bool italic) {
    const double ascent = m_raw.ascent(), descent = m_raw.descent();
    m_baseline = ascent + descent > 0 ? m_em * ascent / (ascent + descent) : m_em * 0.86;
    m_syntheticBold = bold && m_raw.weight() < QFont::DemiBold;
    m_syntheticItalic = italic && m_raw.style() == QFont::StyleNormal;
    m_underlineOffset = m_raw.underlinePosition() > 0 ? m_raw.underlinePosition() : m_em / 10;
    m_lineThickness = m_raw.lineThickness() > 0 ? m_raw.lineThickness() : m_em / 20;
}

FontMetrics::Glyph FontMetrics::glyphOf(const QChar* chars, int count) const {
    quint32 glyphs[2] = {0, 0};
    int n = 2;
    Glyph result;
    if (!m_raw.glyphIndexesForChars(chars, count, glyphs, &n) || n < 1) return result;
    result.index = glyphs[0];
    if (result.index == 0 && m_fallback.isValid()) {
        n = 2;
        if (m_fallback.glyphIndexesForChars(chars, count, glyphs, &n) && n >= 1 && glyphs[0]) {
            result.index = glyphs[0];
            result.fallback = true;
        }
    }
    return result;
}

double FontMetrics::computeAdvance(const QChar* chars, int count) const {
    const Glyph glyph = glyphOf(chars, count);
    const QRawFont& raw = glyph.fallback ? m_fallback : m_raw;
    QPointF advance;
    if (!raw.advancesForGlyphIndexes(&glyph.index, &advance, 1, QRawFont::UseDesignMetrics)) {
        return 0;
    }
    return std::isfinite(advance.x()) ? advance.x() : 0.0;
}

double FontMetrics::advance(const char16_t* text, std::size_t length, std::size_t i) {
    const char16_t unit = text[i];
    if (QChar::isHighSurrogate(unit)) {
        if (i + 1 < length && QChar::isLowSurrogate(text[i + 1])) {
            return computeAdvance(reinterpret_cast<const QChar*>(text + i), 2);
        }
        return 0;
    }
    if (QChar::isLowSurrogate(unit)) return 0;
    auto& block = m_advances[unit >> 8];
    if (!block) {
        block = std::make_unique<std::array<float, 256>>();
        block->fill(std::numeric_limits<float>::quiet_NaN());
    }
    float& slot = (*block)[unit & 0xFF];
    if (std::isnan(slot)) {
        const QChar ch(unit);
        slot = static_cast<float>(computeAdvance(&ch, 1));
    }
    return slot;
}

double FontMetrics::width(const char16_t* text, std::size_t length) {
    double total = 0;
    for (std::size_t i = 0; i < length; ++i) total += advance(text, length, i);
    return total;
}

std::shared_ptr<FontMetrics> FontFactory::share(const FontSpec& font) {
    // A text that switches between a few fonts finds them here without building their keys.
    for (const auto& [spec, metrics] : m_recent) {
        if (metrics && spec == font) return metrics;
    }
    std::shared_ptr<FontMetrics> metrics = find(font);
    m_recent[m_nextRecent] = {font, metrics};
    m_nextRecent = (m_nextRecent + 1) % m_recent.size();
    return metrics;
}

std::shared_ptr<FontMetrics> FontFactory::find(const FontSpec& font) {
    auto known = m_families.constFind(font.name);
    if (known == m_families.constEnd()) {
        if (m_families.size() >= kMaxFaceNames) m_families.clear();
        known = m_families.insert(font.name, resolveFontFamily(font.name));
    }
    const QString family = known.value();
    std::string key = family.toStdString();
    key += '|';
    key += std::to_string(std::lround(font.size * 100.0));
    key += font.bold ? 'B' : '-';
    key += font.italic ? 'I' : '-';
    if (const auto it = m_cache.find(key); it != m_cache.end()) {
        m_used.splice(m_used.end(), m_used, it->second);
        return it->second->second;
    }
    // The face's outline fonts, made once at a reference size.
    const QString faceKey =
        family + QLatin1Char(font.bold ? 'B' : '-') + QLatin1Char(font.italic ? 'I' : '-');
    auto face = m_faces.find(faceKey);
    if (face == m_faces.end()) {
        constexpr double kReferenceEm = 200;
        face = m_faces.insert(
            faceKey, {makeRawFont(family, kReferenceEm, font.bold, font.italic),
                      family != kMincho ? makeRawFont(kMincho, kReferenceEm, false, font.italic)
                                        : QRawFont()});
    }
    auto metrics =
        std::make_shared<FontMetrics>(face->first, face->second, font.size, font.bold, font.italic);
    ++m_made;
    if (m_cache.size() >= kCapacity) {
        m_cache.erase(m_used.front().first);
        m_used.pop_front();
    }
    m_used.emplace_back(key, metrics);
    m_cache.emplace(std::move(key), std::prev(m_used.end()));
    return metrics;
}

}  // namespace preview
