// The inline commands of the print file: a form feed or "?" and a two-letter code.
#include <QImage>
#include <cmath>

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

// The codes of three characters that carry no argument.
enum class Code {
    None,
    R1,
    R2,
    M0,
    M1,
    E0,
    EX,
    S0,
    SU,
    SL,
    T0,
    TK,
    TS,
    Bold0,
    Bold1,
    L0,
    LU,
    Skip,
    PF,
    FG,
    BM
};

Code codeOf(char a, char b) {
    struct Entry {
        char a, b;
        Code code;
    };
    static constexpr Entry kCodes[] = {
        {'P', 'F', Code::PF},    {'R', '1', Code::R1},    {'R', '2', Code::R2},
        {'M', '0', Code::M0},    {'M', '1', Code::M1},    {'E', '0', Code::E0},
        {'E', 'Y', Code::E0},    {'E', 'X', Code::EX},    {'E', '2', Code::EX},
        {'S', '0', Code::S0},    {'S', 'U', Code::SU},    {'S', 'L', Code::SL},
        {'T', '0', Code::T0},    {'T', 'K', Code::TK},    {'T', 'S', Code::TS},
        {'!', '0', Code::Bold0}, {'!', '1', Code::Bold1}, {'L', '0', Code::L0},
        {'L', 'U', Code::LU},    {'L', 'O', Code::LU},    {'F', '0', Code::Skip},
        {'F', 'H', Code::Skip},  {'F', 'Q', Code::Skip},  {'F', 'E', Code::Skip},
        {'F', 'P', Code::Skip},  {'F', 'G', Code::FG},    {'B', 'M', Code::BM},
    };
    for (const Entry& e : kCodes) {
        if (e.a == a && e.b == b) return e.code;
    }
    return Code::None;
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
    const Code code = codeOf(line[i + 1], line[i + 2]);
    if (code == Code::None) return false;
    flushRun();
    m_control.setCurrentX(m_cursor.curX);
    std::size_t length = 3;
    switch (code) {
        case Code::PF: {
            m_control.setOrientation(field(line, i, 4, 3) == QLatin1String("A4T") ? 0 : 1);
            length = 15;
            break;
        }
        case Code::R1:
            outlineHeading(1, line, i);
            break;
        case Code::R2:
            outlineHeading(2, line, i);
            break;
        case Code::M0:
            m_currentBaseSize = m_bodySize0;
            setSize(m_bodySize0);
            m_curSize100 = m_size0x100;
            m_control.setCurrentY(m_cursor.curY);
            measureBaseCharMetrics();
            m_lineAdvance = m_linePitch;
            break;
        case Code::M1:
            m_currentBaseSize = m_bodySize1;
            setSize(m_bodySize1);
            m_curSize100 = readBackSize100();
            measureBaseCharMetrics();
            m_lineAdvance = m_linePitch;
            break;
        case Code::E0:
            setSize(m_currentBaseSize);
            m_curSize100 = m_size0x100;
            m_control.setCurrentY(m_cursor.curY);
            measureCurrentCharHeight();
            break;
        case Code::EX:
            setSize(2 * m_bodySize0);
            m_curSize100 = readBackSize100();
            measureCurrentCharHeight();
            m_control.setCurrentY(m_cursor.curY + m_linePitch - m_currentCharHeight);
            break;
        case Code::S0:
            setSize(m_currentBaseSize);
            m_curSize100 = m_size0x100;
            m_control.setCurrentY(m_cursor.curY);
            break;
        case Code::SU:
            setSize(0.6 * m_currentBaseSize);
            m_curSize100 = readBackSize100();
            break;
        case Code::SL:
            setSize(0.6 * m_currentBaseSize);
            m_curSize100 = readBackSize100();
            measureCurrentCharHeight();
            m_control.setCurrentY(m_cursor.curY + m_linePitch - m_currentCharHeight);
            break;
        case Code::T0:
            m_lineAdvance = m_linePitch;
            break;
        case Code::TK:
            m_lineAdvance = ToInt32HalfEven(20.0 / 18.0 * m_linePitch).value_or(m_linePitch);
            break;
        case Code::TS:
            m_lineAdvance = ToInt32HalfEven(12.0 / 18.0 * m_linePitch).value_or(m_linePitch);
            break;
        case Code::Bold0:
            m_control.setFontBold(false);
            break;
        case Code::Bold1:
            m_control.setFontBold(true);
            break;
        case Code::L0:
            m_control.setFontUnderline(false);
            break;
        case Code::LU:
            m_control.setFontUnderline(true);
            break;
        case Code::Skip:
            break;
        case Code::FG:
            figure(line, i);
            length = 0;
            break;
        case Code::BM:
            bitmap(line, i);
            length = 0;
            break;
        case Code::None:
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
        const QImage picture = m_doc.loadCache().picture(file);
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
