// The inline commands of the print file: a form feed or "?" and a two-letter code
// (formats/PrintFile.h), carried out on the page model.
#include <QImage>
#include <cmath>

#include "formats/PrintFile.h"
#include "foundation/Cp932.h"
#include "foundation/NumberRoutines.h"
#include "foundation/Numeric.h"
#include "preview/PrintFileLoader.h"

namespace preview {

namespace {

// Byte offset of the character `count` characters after byte `from` (the line's end at most).
std::size_t charOffset(std::string_view line, std::size_t from, std::size_t count) {
    std::size_t at = from;
    for (std::size_t k = 0; k < count && at < line.size(); ++k) {
        at += cp932::isDoubleByteAt(line, at) ? 2 : 1;
    }
    return std::min(at, line.size());
}

// Characters [first, first + count) counted from the "?" at byte `at` (count 0: to the end).
QString field(std::string_view line, std::size_t at, std::size_t first, std::size_t count = 0) {
    const std::size_t begin = charOffset(line, at, first);
    const std::size_t end = count == 0 ? line.size() : charOffset(line, begin, count);
    return QString::fromStdString(cp932::toUtf8(line.substr(begin, end - begin)));
}

double fieldNumber(const QString& text) {
    const double value = Val(text.toStdString());
    return std::isfinite(value) ? value : 0.0;
}

double twipsToMm(int twips) {
    return TwipsToMm(twips);
}

}  // namespace

bool PrintFileLoader::execPrintCommand(std::string_view line, std::size_t& i) {
    if (line[i] == '\x0C') {
        flushRun();
        formFeed();
        ++i;
        return true;
    }
    // A "?" at the end of the line, or before an unknown code, is text.
    if (line[i] != '?' || i + 2 >= line.size()) return false;
    const PrintCommand code = PrintCommandOf(line[i + 1], line[i + 2]);
    if (code == PrintCommand::None) return false;
    flushRun();
    m_control.setCurrentX(m_cursor.curX);
    std::size_t length = 3;
    switch (code) {
        case PrintCommand::Page: {
            m_control.setOrientation(field(line, i, 4, 3) == QLatin1String("A4T") ? 0 : 1);
            length = 15;
            break;
        }
        case PrintCommand::Heading1:
            outlineHeading(1, line, i);
            break;
        case PrintCommand::Heading2:
            outlineHeading(2, line, i);
            break;
        case PrintCommand::Body0:
            m_currentBaseSize = m_bodySize0;
            setSize(m_bodySize0);
            m_curSize100 = m_size0x100;
            m_control.setCurrentY(m_cursor.curY);
            measureBaseCharMetrics();
            m_lineAdvance = m_linePitch;
            break;
        case PrintCommand::Body1:
            m_currentBaseSize = m_bodySize1;
            setSize(m_bodySize1);
            m_curSize100 = readBackSize100();
            measureBaseCharMetrics();
            m_lineAdvance = m_linePitch;
            break;
        case PrintCommand::Normal:
            setSize(m_currentBaseSize);
            m_curSize100 = m_size0x100;
            m_control.setCurrentY(m_cursor.curY);
            measureCurrentCharHeight();
            break;
        case PrintCommand::Double:
            setSize(2 * m_bodySize0);
            m_curSize100 = readBackSize100();
            measureCurrentCharHeight();
            m_control.setCurrentY(m_cursor.curY + m_linePitch - m_currentCharHeight);
            break;
        case PrintCommand::ScriptEnd:
            setSize(m_currentBaseSize);
            m_curSize100 = m_size0x100;
            m_control.setCurrentY(m_cursor.curY);
            break;
        case PrintCommand::Superscript:
            setSize(0.6 * m_currentBaseSize);
            m_curSize100 = readBackSize100();
            break;
        case PrintCommand::Subscript:
            setSize(0.6 * m_currentBaseSize);
            m_curSize100 = readBackSize100();
            measureCurrentCharHeight();
            m_control.setCurrentY(m_cursor.curY + m_linePitch - m_currentCharHeight);
            break;
        case PrintCommand::PitchNormal:
            m_lineAdvance = m_linePitch;
            break;
        case PrintCommand::PitchWide:
            m_lineAdvance = ToInt32HalfEven(20.0 / 18.0 * m_linePitch).value_or(m_linePitch);
            break;
        case PrintCommand::PitchNarrow:
            m_lineAdvance = ToInt32HalfEven(12.0 / 18.0 * m_linePitch).value_or(m_linePitch);
            break;
        case PrintCommand::BoldOff:
            m_control.setFontBold(false);
            break;
        case PrintCommand::BoldOn:
            m_control.setFontBold(true);
            break;
        case PrintCommand::UnderlineOff:
            m_control.setFontUnderline(false);
            break;
        case PrintCommand::UnderlineOn:
            m_control.setFontUnderline(true);
            break;
        case PrintCommand::Ignored:
            break;
        case PrintCommand::Figure:
            figure(line, i);
            length = 0;
            break;
        case PrintCommand::Bitmap:
            bitmap(line, i);
            length = 0;
            break;
        case PrintCommand::None:
            break;
    }
    i = length == 0 ? line.size() : charOffset(line, i, length);
    return true;
}

void PrintFileLoader::formFeed() {
    m_control.newPage();
    m_cursor.curX = m_cursor.leftX;
    m_cursor.curY = m_cursor.topY;
    m_control.setFontName(m_bodyFontName);
    setSize(m_currentBaseSize);
    // The size is back to the standard one: so is the width rule.
    m_curSize100 = readBackSize100();
    m_control.setCurrentX(m_cursor.curX);
    m_control.setCurrentY(m_cursor.curY);
}

void PrintFileLoader::outlineHeading(int level, std::string_view line, std::size_t at) {
    std::string_view heading = line.substr(at + 3);
    heading = heading.substr(0, heading.find('?'));
    const QString text = QString::fromStdString(cp932::toUtf8(heading));
    m_doc.addOutlineEntry(level, text);
    m_control.beginTag(QStringLiteral("%TOC|%1|").arg(level) + text);
    m_control.endTag();
}

std::pair<double, double> PrintFileLoader::commandPosition(std::string_view line, std::size_t at) {
    const QString xField = field(line, at, 4, 3);
    const QString yField = field(line, at, 8, 3);
    const QLatin1String fix("fix");
    double x = 0, y = 0;
    if (xField != fix && yField != fix) {
        m_lineHeightOverride = true;
        x = fieldNumber(xField);
        y = fieldNumber(yField);
    }
    if (x == 0) x = twipsToMm(m_control.currentX());
    if (y == 0) y = twipsToMm(m_control.currentY());
    return {x, y};
}

void PrintFileLoader::figure(std::string_view line, std::size_t at) {
    const int rememberedY = m_control.currentY();
    const bool overrideBefore = m_lineHeightOverride;
    const auto [x, y] = commandPosition(line, at);
    const QString listPath = field(line, at, 12);
    FigureDrawResult drawn;
    if (m_drawFigure) drawn = m_drawFigure(x, y, listPath);
    if (m_lineHeightOverride) {
        if (drawn.listRead) {
            // A placed figure takes the height of its paper area.
            m_lineHeightMm = drawn.paperHeightMm;
        } else {
            m_lineHeightOverride = overrideBefore;
        }
    }
    m_control.setCurrentX(m_cursor.leftX);
    m_control.setCurrentY(rememberedY);
}

void PrintFileLoader::bitmap(std::string_view line, std::size_t at) {
    const int rememberedY = m_control.currentY();
    QString file = field(line, at, 20);
    if (file.contains(QLatin1String("%TMPDIR%"))) {
        file = m_doc.context().printFileFolder + file.mid(8);
    }
    if (file.contains(QLatin1String("%APPDIR%"))) {
        file = m_doc.context().programFolder + file.mid(8);
    }
    const auto [xMm, yMm] = commandPosition(line, at);
    const int x = MmToTwips(xMm);
    const int y = MmToTwips(yMm);
    const int width = ToInt32HalfEven(fieldNumber(field(line, at, 12, 3))).value_or(0);
    const int height = ToInt32HalfEven(fieldNumber(field(line, at, 16, 3))).value_or(0);
    if (width != 0) {
        m_lineHeightMm = height;
        const QImage picture = m_doc.loadCache().picture(file, QSizeF(width, height));
        if (!picture.isNull())
            m_control.drawPicture(picture, x, y, MmToTwips(width), MmToTwips(height));
    } else {
        const QImage picture = m_doc.loadCache().picture(file);
        if (!picture.isNull()) {
            m_control.drawPicture(picture, x, y);
            // Its own height at 96 dpi, as the picture box measures it.
            m_lineHeightMm = picture.height() / 96.0 * 25.4;
        }
    }
    m_control.setCurrentX(m_cursor.leftX);
    m_control.setCurrentY(rememberedY);
}

}  // namespace preview
