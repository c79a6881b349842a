#include "pagesetup/CWordReport.h"

#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <string>

#include "formats/FileFailure.h"
#include "formats/PreviewIniKeys.h"
#include "formats/PrintFile.h"
#include "foundation/Cp932.h"
#include "foundation/Numeric.h"
#include "foundation/PrivateProfile.h"
#include "foundation/SafeFile.h"
#include "foundation/ui/UiServices.h"
#include "pagesetup/DocxDocument.h"
#include "pagesetup/WordTexts.h"

namespace word {

namespace {

constexpr std::size_t kMaxPrintFileBytes = 256u << 20;
constexpr double kFactorySize0 = 10.0;
constexpr double kFactorySize1 = 8.0;
constexpr double kLargestFontSize = 1638;  // points, the largest a word processor takes
constexpr int kA4ShortMm = 210;
constexpr int kA4LongMm = 297;
// A paragraph costs about twelve drawing items (3 microseconds): written as XML, held, zipped.
constexpr std::uint64_t kParagraphItems = 12;
// A picture placed: about a kilobyte of XML written and zipped (30 microseconds).
constexpr std::uint64_t kPlacedPictureItems = 120;

QString Decoded(std::string_view line) {
    return QString::fromStdString(cp932::toUtf8(line));
}

// The command of the two characters after a "?" at 1-based `position`.
PrintCommand CommandAt(const QString& line, int position) {
    if (position < 1 || position + 2 > line.size()) return PrintCommand::None;
    const auto ascii = [](QChar c) {
        return c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\0';
    };
    return PrintCommandOf(ascii(line[position]), ascii(line[position + 1]));
}

bool IsBlankLine(const QString& line) {
    return std::all_of(line.begin(), line.end(),
                       [](QChar c) { return c == QChar(' ') || c == QChar(0x3000); });
}

// A size from Preview.ini: the number of its text, or the factory value when it is missing,
// not a number or not a size a word processor takes; then the 10-to-9 rule.
double ReadSize(const std::string& text, double factory) {
    double size = factory;
    if (const auto value = ParseDouble(text); value && *value > 0 && *value <= kLargestFontSize)
        size = *value;
    if (ToInt32HalfEven(size * 10) == 100) size = 9;
    return size;
}

// A margin in whole mm (half to even), 0 for junk, not below 0.
int ReadMargin(const std::string& text) {
    return std::max(0, ToInt32HalfEven(Val(text)).value_or(0));
}

// The three characters at a 1-based position (fewer at the line's end).
QString Field(const QString& line, int position, int length = 3) {
    if (position < 1 || position > line.size()) return {};
    return line.mid(position - 1, length);
}

// Whether CP932 holds the character in two bytes: everything but ASCII and the half-width
// katakana (a character CP932 lacks counts as two as well).
bool IsDoubleByte(QChar ch) {
    const char16_t c = ch.unicode();
    return !(c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F));
}

int WholePoints(double points) {
    return ToInt32HalfEven(points).value_or(0);
}

// The bytes a picture file decodes to, from its header; 0 when the header does not tell.
std::uint64_t DecodedBytes(const QString& path) {
    if (!QFileInfo(path).isFile()) return 0;
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid()) return 0;
    const int bits =
        reader.imageFormat() == QImage::Format_Invalid
            ? 32
            : std::max(1, int(QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel()));
    const std::uint64_t line = (std::uint64_t(size.width()) * std::uint64_t(bits) + 31) / 32 * 4;
    return line * std::uint64_t(size.height());
}

}  // namespace

const char* WordExportFaultMessage(WordExportFault fault) {
    switch (fault) {
        case WordExportFault::None:
            return "";
        case WordExportFault::BudgetSpent:
            return texts::ExportTooLarge;
        case WordExportFault::StyleRefused:
        case WordExportFault::FigureRefused:
        case WordExportFault::BitmapUnreadable:
        case WordExportFault::BitmapRefused:
            break;
    }
    return texts::ExportFailed;
}

CWordReport::CWordReport(WordDocument& document, const WordDesktop& desktop, UiServices* ui,
                         WordExportPaths paths, FigureBitmapFunction drawFigure)
    : m_doc(document),
      m_desktop(desktop),
      m_ui(ui),
      m_paths(std::move(paths)),
      m_drawFigure(std::move(drawFigure)) {}

void CWordReport::message(const char* text) const {
    if (m_ui == nullptr) return;
    m_ui->message(hWnd, QString::fromUtf8(text), QString::fromUtf8(texts::MessageTitle),
                  UiServices::Buttons::Ok, UiServices::Icon::Critical);
}

bool CWordReport::Run(const QString& PrintFileName) {
    m_printFileName = PrintFileName;
    if (!m_desktop.hasWordProcessor()) {
        message(texts::NoWordProcessor);
        return false;
    }
    // A print file that is gone (the main program's print menu was closed) opens nothing.
    safefile::ReadResult file =
        safefile::readRegularFile(m_printFileName.toStdString(), kMaxPrintFileBytes);
    if (!file.ok()) {
        if (m_ui != nullptr) {
            m_ui->message(
                hWnd,
                preview::FileNotReadMessage(m_printFileName, preview::DescribeFileFailure(file)),
                QString::fromUtf8(texts::MessageTitle), UiServices::Buttons::Ok,
                UiServices::Icon::Warning);
        }
        return false;
    }
    m_printFile = std::move(file.bytes);
    m_fault = WordExportFault::None;
    m_pictures.clear();
    m_figures.clear();
    m_figurePixels = 0;
    m_figurePixelsLeft = kFigurePixels;
    m_storedPictures.clear();
    m_decodedBitmaps.clear();
    const std::size_t pages = std::min<std::size_t>(
        kMaxBudgetPages, 1 + std::count(m_printFile.begin(), m_printFile.end(), '\f'));
    m_budget.reset(preview::WorkBudget::kExportBase + pages * preview::WorkBudget::kExportPerPage);
    const bool exported =
        charge(preview::Work::FileByte, m_printFile.size()) && ExportPrintFileToWord();
    if (!exported) message(WordExportFaultMessage(m_fault));
    // A spent budget hands nothing over; what was produced before any other error is.
    if (m_fault == WordExportFault::BudgetSpent) return false;
    if (!m_doc.finish()) {
        if (exported) message(texts::ExportFailed);
        return false;
    }
    return exported;
}

void CWordReport::LoadPageSettings() {
    namespace keys = preview::ini_keys;
    const CPrivateProfile profile;
    const std::string ini = m_paths.previewIniPath.toStdString();
    m_bodyFontName = QString::fromStdString(profile.GetValueString(ini, keys::StdFont, keys::Name));
    if (m_bodyFontName.isEmpty()) m_bodyFontName = QString::fromUtf8(texts::DefaultBodyFont);
    m_bodySize0 = ReadSize(profile.GetValueString(ini, keys::StdFont, keys::Size0), kFactorySize0);
    m_bodySize1 = ReadSize(profile.GetValueString(ini, keys::StdFont, keys::Size1), kFactorySize1);
    m_orientation = profile.GetValueString(ini, keys::Page, keys::Orientation) == "Y" ? 1 : 0;
    m_topMm = ReadMargin(profile.GetValueString(ini, keys::Page, keys::TopMm));
    m_leftMm = ReadMargin(profile.GetValueString(ini, keys::Page, keys::LeftMm));
}

PageSetup CWordReport::pageFor(int orientation) const {
    // Margins stay below the paper's size.
    const int width = orientation == 1 ? kA4LongMm : kA4ShortMm;
    const int height = orientation == 1 ? kA4ShortMm : kA4LongMm;
    PageSetup setup;
    setup.orientation = orientation;
    setup.topMargin = MillimetersToPoints(static_cast<float>(std::min(m_topMm, height - 1)));
    setup.leftMargin = MillimetersToPoints(static_cast<float>(std::min(m_leftMm, width - 1)));
    return setup;
}

QString CWordReport::GetPrintFileOrientation() const {
    std::string_view first;
    if (!PrintFileLines(m_printFile).next(first)) return {};
    const QString line = Decoded(first);
    if (line.contains(QLatin1String("A4Y"))) return QStringLiteral("Y");
    if (line.contains(QLatin1String("A4T"))) return QStringLiteral("T");
    return {};
}

bool CWordReport::SetupWordStyleFont(const QString& StyleName) {
    StyleFont font;
    font.farEastName = m_bodyFontName;
    font.asciiName = m_bodyFontName;
    font.otherName = QString::fromUtf8(texts::OtherCharactersFont);
    font.size = m_bodySize0;
    return m_doc.setStyleFont(StyleName, font);
}

bool CWordReport::fail(WordExportFault fault) {
    if (m_fault == WordExportFault::None) m_fault = fault;
    return false;
}

bool CWordReport::charge(preview::Work kind, std::uint64_t count) {
    return m_budget.charge(kind, count) || fail(WordExportFault::BudgetSpent);
}

void CWordReport::typeText(const QString& text) {
    if (text.isEmpty() || m_fault != WordExportFault::None) return;
    if (!charge(preview::Work::Glyph, static_cast<std::uint64_t>(text.size())) ||
        !charge(preview::Work::Page, static_cast<std::uint64_t>(text.count(QChar('\f')))))
        return;
    m_doc.typeText(text);
    // The insertion point's place on the line, on the grid the preview uses: a double-byte
    // character is as wide as its size, any other half of it.
    for (const QChar ch : text) {
        if (ch == QChar('\f')) {
            m_lineAdvance = 0;
            continue;
        }
        m_lineAdvance += IsDoubleByte(ch) ? m_typedSize : m_typedSize / 2;
    }
}

bool CWordReport::ExportPrintFileToWord() {
    LoadPageSettings();
    m_currentFontSize = m_bodySize0;
    m_typedSize = m_bodySize0;
    m_lineAdvance = 0;
    const QString mark = GetPrintFileOrientation();

    m_doc.newDocument();
    m_doc.setViewType(1);
    m_doc.setPageSetup(pageFor(mark == "T" ? 0 : mark == "Y" ? 1 : m_orientation));
    if (!SetupWordStyleFont(kNormalStyleName) || !m_doc.applyStyle(kNormalStyleName))
        return fail(WordExportFault::StyleRefused);
    m_doc.setAutoSpace(false, false);
    m_doc.setLineSpacingRule(LineSpacingRule::Exactly);
    m_doc.setLineSpacing(m_currentFontSize);

    // Lines are decoded one at a time: the document holds the text, the print file holds
    // the rest.
    PrintFileLines lines(m_printFile);
    std::string_view bytes;
    if (!mark.isEmpty()) lines.next(bytes);
    std::size_t paragraphs = 0;
    while (lines.next(bytes)) {
        const QString line = Decoded(bytes);
        if (++paragraphs > kMaxParagraphs) m_budget.exhaust();
        if (!charge(preview::Work::Item, kParagraphItems)) return false;
        m_skipNextLine = m_applyLineSpacing = m_restoreExactSpacing = false;
        int p = static_cast<int>(line.indexOf(QChar('?'))) + 1;
        if (p == 0) {
            typeText(line);
        } else {
            const int n = static_cast<int>(line.size());
            if (p > 1) typeText(line.left(p - 1));
            while (p <= n && m_fault == WordExportFault::None) {
                if (!ExecPrintCommand(p, line)) {
                    if (m_fault != WordExportFault::None) return false;
                    typeText(line.mid(p - 1, 1));
                    ++p;
                }
            }
        }
        if (m_fault != WordExportFault::None) return false;
        m_doc.newParagraph();
        m_lineAdvance = 0;
        if (m_skipNextLine) {
            m_doc.setLineSpacingRule(LineSpacingRule::Exactly);
            // The enlarged line stands in for the empty line after it; a line with text or a
            // page break is kept.
            PrintFileLines after = lines;
            if (after.next(bytes) && IsBlankLine(Decoded(bytes))) lines = after;
        }
        if (m_applyLineSpacing) m_doc.setLineSpacing(m_pendingLineSpacing);
        if (m_restoreExactSpacing) m_doc.setLineSpacingRule(LineSpacingRule::Exactly);
    }
    return true;
}

bool CWordReport::ExecPrintCommand(int& Position, const QString& Line) {
    if (Position < 1 || Position > Line.size()) return false;
    if (Line[Position - 1] == QChar('\f')) {
        if (!charge(preview::Work::Page)) return false;
        m_doc.insertPageBreak();
        m_lineAdvance = 0;
        ++Position;
        return true;
    }
    if (Line[Position - 1] != QChar('?')) return false;
    const PrintCommand code = CommandAt(Line, Position);
    const auto baseSize = [&](double size) {
        m_currentFontSize = size;
        m_typedSize = size;
        m_doc.setFontSize(size);
        m_applyLineSpacing = true;
        m_pendingLineSpacing = size;
    };
    const auto smallSize = [&](int raise) {
        m_typedSize = m_currentFontSize * 0.5;
        m_doc.setFontSize(m_typedSize);
        m_doc.setRaise(raise);
    };
    const auto spacing = [&](double factor) {
        m_applyLineSpacing = true;
        m_pendingLineSpacing = m_currentFontSize * factor;
    };
    switch (code) {
        case PrintCommand::None:
            return false;
        case PrintCommand::Page: {
            if (!charge(preview::Work::Page)) return false;
            const int orientation = Field(Line, Position + 4) == "A4T" ? 0 : 1;
            m_doc.insertSectionBreak();
            m_doc.setPageSetup(pageFor(orientation));
            m_lineAdvance = 0;
            Position += 15;
            if (Position <= Line.size() && Line[Position - 1] == QChar('\f')) ++Position;
            return true;
        }
        case PrintCommand::Figure:
            if (!figureCommand(Position, Line)) return false;
            Position = static_cast<int>(Line.size()) + 1;
            return true;
        case PrintCommand::Bitmap:
            if (!bitmapCommand(Position, Line)) return false;
            Position = static_cast<int>(Line.size()) + 1;
            return true;
        case PrintCommand::Heading1:
        case PrintCommand::Heading2:
            if (m_budget.count(preview::Work::OutlineEntry) >= preview::kMaxOutlineEntries) {
                m_budget.exhaust();
            }
            if (!charge(preview::Work::OutlineEntry)) return false;
            break;
        case PrintCommand::Ignored:
            break;
        case PrintCommand::Body0:
        case PrintCommand::Normal:
            baseSize(m_bodySize0);
            break;
        case PrintCommand::Body1:
            baseSize(m_bodySize1);
            break;
        case PrintCommand::Double:
            m_currentFontSize *= 2;
            m_typedSize = m_currentFontSize;
            m_doc.setFontSize(m_currentFontSize);
            m_doc.setLineSpacingRule(LineSpacingRule::Single);
            m_skipNextLine = true;
            break;
        case PrintCommand::ScriptEnd:
            m_typedSize = m_currentFontSize;
            m_doc.setFontSize(m_currentFontSize);
            m_doc.setRaise(0);
            break;
        case PrintCommand::Superscript:
            smallSize(WholePoints(m_currentFontSize * 0.5));
            break;
        case PrintCommand::Subscript:
            smallSize(0);
            break;
        case PrintCommand::PitchNormal:
            spacing(1);
            break;
        case PrintCommand::PitchWide:
            spacing(20.0 / 18.0);
            break;
        case PrintCommand::PitchNarrow:
            spacing(12.0 / 18.0);
            break;
        case PrintCommand::BoldOff:
        case PrintCommand::BoldOn:
            m_doc.setBold(code == PrintCommand::BoldOn);
            break;
        case PrintCommand::UnderlineOff:
            m_doc.setUnderline(false);
            break;
        case PrintCommand::UnderlineOn:
            m_doc.setUnderline(true);
            break;
    }
    Position += 3;
    return true;
}

namespace {
// A bitmap's own size at 96 dpi, in points.
QSizeF OwnSize(const QImage& image) {
    return QSizeF(image.width() * 0.75, image.height() * 0.75);
}
}  // namespace

bool CWordReport::figureCommand(int Position, const QString& Line) {
    const bool fixed = Field(Line, Position + 4) == "fix" || Field(Line, Position + 8) == "fix";
    const QString list = Line.mid(Position + 11);
    auto known = m_figures.constFind(list);
    if (known == m_figures.constEnd()) {
        // Each new figure may take a quarter of the document's share of pixels that is left.
        FigureAllowance allowance;
        allowance.maxPixels = std::min(FigureAllowance::kLargestPicture, m_figurePixelsLeft / 4);
        allowance.budget = &m_budget;
        if (allowance.maxPixels < kLeastFigurePixels) {
            m_budget.exhaust();
            return fail(WordExportFault::BudgetSpent);
        }
        FigureBitmap drawn = m_drawFigure(list, m_paths.programFolder, allowance);
        if (m_budget.spent()) return fail(WordExportFault::BudgetSpent);
        const std::size_t pixels = std::size_t(drawn.image.width()) * drawn.image.height();
        m_figurePixelsLeft -= std::min(m_figurePixelsLeft, pixels);
        if (m_figurePixels + pixels > kCachedFigurePixels) {
            m_figures.clear();
            m_figurePixels = 0;
        }
        m_figurePixels += pixels;
        known = m_figures.insert(list, std::move(drawn));
    }
    const FigureBitmap& figure = known.value();
    // A faulty figure ends only itself: what it drew is placed, nothing when it drew nothing.
    if (figure.image.isNull()) return true;
    if (!charge(preview::Work::Item, kPlacedPictureItems)) return false;
    const QSizeF size = figure.points.isEmpty() ? OwnSize(figure.image) : figure.points;
    if (fixed) {
        if (!m_doc.insertFloatingPicture(figure.image, size, m_lineAdvance))
            return fail(WordExportFault::FigureRefused);
        return true;
    }
    if (!m_doc.insertInlinePicture(figure.image, size)) return fail(WordExportFault::FigureRefused);
    m_doc.setLineSpacingRule(LineSpacingRule::Single);
    m_restoreExactSpacing = true;
    m_applyLineSpacing = true;
    m_pendingLineSpacing = m_currentFontSize;
    return true;
}

bool CWordReport::chargeStored(const QImage& image) {
    // Stored once however often it is placed, at four bytes a pixel (DocxDocument).
    if (m_storedPictures.contains(image.cacheKey())) return true;
    m_storedPictures.insert(image.cacheKey());
    return charge(preview::Work::PictureByte, 4ull * std::uint64_t(image.width()) * image.height());
}

bool CWordReport::bitmapCommand(int Position, const QString& Line) {
    const bool fixed = Field(Line, Position + 4) == "fix" || Field(Line, Position + 8) == "fix";
    const auto millimetres = [&](int at) {
        return ToInt32HalfEven(Val(Field(Line, at).toStdString())).value_or(0);
    };
    const auto points = [](int mm) {
        return WholePoints(MillimetersToPoints(static_cast<float>(mm)));
    };
    const QSizeF box(millimetres(Position + 12), millimetres(Position + 16));
    const int width = points(int(box.width()));
    const int height = points(int(box.height()));
    QString name = Line.mid(Position + 19);
    if (name.contains(QLatin1String("%TMPDIR%"))) name = m_paths.printFileFolder + name.mid(8);
    if (name.contains(QLatin1String("%APPDIR%"))) name = m_paths.programFolder + name.mid(8);

    // Only a regular file is read: a pipe or device would hold the export up. Its decoded
    // bytes are charged from its header before it is decoded, once.
    const bool known = m_decodedBitmaps.contains(name);
    const std::uint64_t bytes = known ? 0 : DecodedBytes(name);
    if (!m_budget.affords(preview::Work::PictureByte, bytes)) {
        m_budget.exhaust();
        return fail(WordExportFault::BudgetSpent);
    }
    const std::size_t decodes = m_pictures.pictureDecodes();
    // Decoded for the box it is fitted into, as the preview decodes it.
    const QImage image = m_pictures.picture(name, box);
    if (m_pictures.pictureDecodes() != decodes) {
        m_decodedBitmaps.insert(name);
        if (!charge(preview::Work::PictureByte, bytes)) return false;
    }
    if (image.isNull()) return fail(WordExportFault::BitmapUnreadable);
    if (!chargeStored(image) || !charge(preview::Work::Item, kPlacedPictureItems)) return false;
    QSizeF size = OwnSize(image);
    if (width > 0) {
        // Fitted within width x height keeping its proportions; by its width alone when no
        // height is given.
        double scale = width / size.width();
        if (height > 0) scale = std::min(scale, height / size.height());
        size *= scale;
    }
    if (fixed) {
        if (!m_doc.insertFloatingPicture(image, size, m_lineAdvance))
            return fail(WordExportFault::BitmapRefused);
        return true;
    }
    if (!m_doc.insertInlinePicture(image, size)) return fail(WordExportFault::BitmapRefused);
    m_doc.setLineSpacingRule(LineSpacingRule::Single);
    m_restoreExactSpacing = true;
    m_applyLineSpacing = true;
    m_pendingLineSpacing = m_currentFontSize;
    return true;
}

void exportWord(QWidget* parent, UiServices& ui, const WordExportPaths& paths,
                const QString& printFileName) {
    const XdgWordDesktop desktop;
    DocxDocument document(&desktop);
    CWordReport report(document, desktop, &ui, paths);
    report.hWnd = parent;
    report.Run(printFileName);
}

namespace {
// The benchmark's desktop: a document is always wanted and never opened.
class WriteOnlyDesktop final : public WordDesktop {
  public:
    bool hasWordProcessor() const override { return true; }
    bool openDocument(const QString&) const override { return true; }
};
}  // namespace

bool exportWordToFile(const WordExportPaths& paths, const QString& printFileName,
                      const QString& outputPath) {
    const WriteOnlyDesktop desktop;
    DocxDocument document(&desktop);
    document.setOutputPath(outputPath);
    CWordReport report(document, desktop, nullptr, paths);
    return report.Run(printFileName);
}

}  // namespace word
