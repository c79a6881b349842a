#include "preview/PrintFileLoader.h"

#include <algorithm>
#include <cmath>

#include "foundation/Cp932.h"
#include "foundation/Numeric.h"
#include "preview/PageModel.h"

namespace preview {

namespace {

// The 22 placeholder capitals "АБВГДЕЁЖЗИЙКЛМНОПРСТУФ" (CP932 0x8440-0x8455) are printed in
// the font that holds the system's own characters.
constexpr const char* kPlaceholderFont = "QMX外字";

// Characters of a line that go to the control as one text at most: a long line is laid out in
// runs of this size, so the loader holds a few bytes per byte of the file.
constexpr std::size_t kMaxRunUnits = 4096;

// The cursor stops at the model's largest coordinate: a line of a hundred million characters
// (or as many lines without a page break) cannot overflow it.
int advanced(int position, int by) {
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(position) + by,
                                                  -PageModelLimits::maxCoordinate,
                                                  PageModelLimits::maxCoordinate));
}

bool isPlaceholder(std::string_view bytes) {
    return bytes.size() == 2 && static_cast<unsigned char>(bytes[0]) == 0x84 &&
           static_cast<unsigned char>(bytes[1]) >= 0x40 &&
           static_cast<unsigned char>(bytes[1]) <= 0x55;
}

QString decode(std::string_view bytes) {
    return QString::fromStdString(cp932::toUtf8(bytes));
}

}  // namespace

PrintFileLoader::PrintFileLoader(PreviewDocument& document, FigureDrawer drawFigure)
    : m_doc(document),
      m_control(document.control()),
      m_cursor(document.cursor()),
      m_drawFigure(std::move(drawFigure)) {
    m_runAdvances.reserve(256);
}

void PrintFileLoader::begin() {
    const PageSettings& s = m_doc.settings();
    m_bodyFontName = s.bodyFontName;
    m_bodySize0 = s.bodySize0;
    m_bodySize1 = s.bodySize1;
    m_cursor.leftX = m_control.marginLeft();
    m_cursor.topY = m_control.marginTop();
    m_currentBaseSize = m_bodySize0;
    m_control.setFontName(m_bodyFontName);
    setSize(m_bodySize1);
    m_size1x100 = readBackSize100();
    setSize(m_bodySize0);
    m_size0x100 = m_curSize100 = readBackSize100();
    measureBaseCharMetrics();
    m_lineAdvance = m_linePitch;
    m_cursor.curY = m_cursor.topY;
}

void PrintFileLoader::layOutFile(std::string_view bytes) {
    while (!bytes.empty() && !m_stopped) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        layOutLine(line);
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
}

void PrintFileLoader::layOutLine(std::string_view line) {
    m_cursor.curX = m_cursor.leftX;
    m_control.setCurrentX(m_cursor.curX);
    m_control.setCurrentY(m_cursor.curY);
    m_lineHeightOverride = false;
    m_runLine = line;
    m_runBegin = m_runEnd = 0;
    m_runAdvances.clear();

    std::size_t i = 0;
    while (i < line.size() && !m_stopped) {
        if (execPrintCommand(line, i)) {
            m_stopped = m_doc.documentFull();
            continue;
        }
        const bool doubleByte = cp932::isDoubleByteAt(line, i);
        const std::size_t length = doubleByte ? 2 : 1;
        const int advance = advanceFor(doubleByte);
        const std::string_view character = line.substr(i, length);
        if (isPlaceholder(character)) {
            printPlaceholder(character, advance);
        } else {
            if (m_runAdvances.empty()) {
                m_runBegin = i;
                m_runX = m_cursor.curX;
            }
            m_runEnd = i + length;
            m_runAdvances.push_back(advance);
            if (m_runAdvances.size() >= kMaxRunUnits) {
                flushRun();
                m_stopped = m_doc.documentFull();
            }
        }
        m_cursor.curX = advanced(m_cursor.curX, advance);
        i += length;
    }
    flushRun();
    m_stopped = m_stopped || m_doc.documentFull();
    m_control.setCurrentX(m_cursor.curX);
    m_cursor.curY =
        advanced(m_cursor.curY, m_lineHeightOverride ? MmToTwips(m_lineHeightMm) : m_lineAdvance);
}

int PrintFileLoader::advanceFor(bool doubleByte) const {
    const bool standard = m_curSize100 == m_size0x100 || m_curSize100 == m_size1x100;
    if (standard) return doubleByte ? m_widePitch : m_narrowPitch;
    if (m_curSize100 > m_size0x100) return doubleByte ? 2 * m_widePitch : m_widePitch;
    return m_narrowPitch;
}

void PrintFileLoader::flushRun() {
    if (m_runAdvances.empty()) return;
    // A run that starts right of the paper (either way up) is not recorded: not decoded either.
    const QSize paper = m_control.paperSizeTwips();
    if (m_runX > std::max(paper.width(), paper.height())) {
        m_runAdvances.clear();
        return;
    }
    const std::string_view bytes = m_runLine.substr(m_runBegin, m_runEnd - m_runBegin);
    m_control.setCurrentX(m_runX);
    QString text = decode(bytes);
    if (static_cast<std::size_t>(text.size()) == m_runAdvances.size()) {
        m_control.printTextOnGrid(text, m_runAdvances);
    } else {
        // Bytes that are not valid CP932 decode to more or fewer units than characters:
        // decode character by character and give each its cell.
        text.clear();
        std::vector<int> advances;
        std::size_t at = 0;
        for (const int advance : m_runAdvances) {
            const std::size_t length = cp932::isDoubleByteAt(bytes, at) ? 2 : 1;
            const QString one = decode(bytes.substr(at, length));
            text += one;
            for (qsizetype k = 0; k < one.size(); ++k) advances.push_back(k == 0 ? advance : 0);
            at += length;
        }
        m_control.printTextOnGrid(text, advances);
    }
    m_runAdvances.clear();
}

void PrintFileLoader::printPlaceholder(std::string_view bytes, int advance) {
    flushRun();
    m_control.setCurrentX(m_cursor.curX);
    m_control.setFontName(QString::fromUtf8(kPlaceholderFont));
    const int advances[1] = {advance};
    m_control.printTextOnGrid(decode(bytes), advances);
    m_control.setFontName(m_bodyFontName);
}

void PrintFileLoader::setSize(double points) {
    m_control.setFontSize(points);
}

int PrintFileLoader::readBackSize100() const {
    return ToInt32HalfEven(m_control.font().size * 100.0).value_or(0);
}

void PrintFileLoader::measureBaseCharMetrics() {
    const TextExtent extent = m_control.measureText(QStringLiteral("あ"));
    m_widePitch = extent.width % 2 != 0 ? extent.width - 1 : extent.width;
    m_narrowPitch = m_widePitch / 2;
    m_linePitch = extent.height;
}

void PrintFileLoader::measureCurrentCharHeight() {
    m_currentCharHeight = m_control.measureText(QStringLiteral("あ")).height;
}

}  // namespace preview
