#pragma once
// The Word export: turns a print file into a word-processor document, line by line, with the
// page setup, the base font, the character sizes, line pitches, page breaks, figures and
// bitmaps of its inline commands.
//
// It reads the print file, its figure files and Preview.ini ([StdFont] Name, Size0, Size1;
// [Page] Orientation, Top(mm), Left(mm)) afresh on every run and drives a WordDocument. The
// paper is always A4 with bottom and right margins 0. Sizes are points; character positions
// are 1-based indexes into a line.
//
// Errors: without a word processor on the desktop, Run shows the message and ends. A print
// file that cannot be read (gone, unreadable) gets the preview's file message, and no
// document is made. An error while the document is written (an unreadable bitmap, a refused
// operation) stops the typing, shows the export's error message and still hands over what
// was produced. A faulty figure ends only that figure.
//
// Cost: one WorkBudget per run (kExportBase plus kExportPerPage for each page the print file
// starts) is charged for what the export does: the print file's bytes, paragraphs, characters
// typed, page and section breaks, headings, the decoded bytes of each bitmap (from its header,
// before it is decoded) and of each picture stored, and the figures' pictures, items, texts
// and glyphs. The figures of one document share kFigurePixels: each new figure may take a
// quarter of what is left (its resolution drops as the share runs down), and once that is
// below kLeastFigurePixels the budget is spent. A spent budget ends the export with its own
// message and writes nothing: an existing output file stays as it was. A bitmap named again is
// not decoded again (and the document holds it once); a figure list named again is not drawn
// again (the figures kept hold kCachedFigurePixels at most).

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <string>

#include "formats/LoadCache.h"
#include "formats/WorkBudget.h"
#include "pagesetup/WordDocument.h"
#include "pagesetup/WordFigure.h"

class QWidget;
class UiServices;

namespace word {

struct WordExportPaths {
    QString previewIniPath;
    QString printFileFolder;  // stands for "%TMPDIR%" in bitmap names
    QString programFolder;    // "%APPDIR%", and the folder of LINE_PRN.DEF and STR_PRN.DEF
};

// Why an export stopped typing (the first error); the messages word only whether it did.
enum class WordExportFault {
    None,
    StyleRefused,      // the document refused the base style
    FigureRefused,     // the document refused a figure's picture
    BitmapUnreadable,  // a "?BM" file is missing or not a picture
    BitmapRefused,     // the document refused the bitmap
    BudgetSpent,       // the export's budget of work was spent
};

// The message of a fault (UTF-8); empty for None.
const char* WordExportFaultMessage(WordExportFault fault);

// Draws one figure list; DrawFigureBitmap in the product.
using FigureBitmapFunction = std::function<FigureBitmap(
    const QString& listPath, const QString& definitionFolder, const FigureAllowance& allowance)>;

class CWordReport {
  public:
    static constexpr std::size_t kCachedFigurePixels = 16'000'000;
    // Pixels of all figure pictures of one document (about a second of drawing and encoding).
    static constexpr std::size_t kFigurePixels = 48'000'000;
    // A figure's picture below this many pixels (150 x 130 mm at about 60 dpi) is too coarse.
    static constexpr std::size_t kLeastFigurePixels = 100'000;
    // Paragraphs of one document, at most: each is held until the document is written (a few
    // hundred bytes).
    static constexpr std::size_t kMaxParagraphs = 2'000'000;
    // Pages the budget grows by, at most: as many as the preview lays out.
    static constexpr std::size_t kMaxBudgetPages = 32'767;

    // `ui` may be null: no messages (the benchmark).
    CWordReport(WordDocument& document, const WordDesktop& desktop, UiServices* ui,
                WordExportPaths paths, FigureBitmapFunction drawFigure = DrawFigureBitmap);

    // Owner window of the messages.
    QWidget* hWnd = nullptr;

    // The whole export. True when the document was written from the whole print file and
    // handed over; false after any message.
    bool Run(const QString& PrintFileName);

    // Why the last run stopped typing; None when it typed the whole file.
    WordExportFault LastFault() const { return m_fault; }
    // The budget of the last run, for the cost tests.
    const preview::WorkBudget& Budget() const { return m_budget; }

    // Settings as the last run read them, for tests.
    const QString& BodyFontName() const { return m_bodyFontName; }
    double BodySize0() const { return m_bodySize0; }
    double BodySize1() const { return m_bodySize1; }

  private:
    bool ExportPrintFileToWord();
    void LoadPageSettings();
    QString GetPrintFileOrientation() const;
    bool SetupWordStyleFont(const QString& StyleName);
    // Carries out the command at Position; true when handled (Position then stands after it).
    bool ExecPrintCommand(int& Position, const QString& Line);

    PageSetup pageFor(int orientation) const;
    void typeText(const QString& text);
    bool figureCommand(int Position, const QString& Line);
    bool bitmapCommand(int Position, const QString& Line);
    // Charges storing a bitmap in the document, once per picture.
    bool chargeStored(const QImage& image);
    bool fail(WordExportFault fault);
    // Charges the budget; false (and the fault BudgetSpent) when it is spent.
    bool charge(preview::Work kind, std::uint64_t count = 1);
    void message(const char* text) const;

    // seams
    WordDocument& m_doc;
    const WordDesktop& m_desktop;
    UiServices* m_ui;
    WordExportPaths m_paths;
    FigureBitmapFunction m_drawFigure;
    // settings
    QString m_printFileName;
    std::string m_printFile;  // its bytes, read once by Run
    QString m_bodyFontName;
    double m_bodySize0 = 0;
    double m_bodySize1 = 0;
    int m_orientation = 0;
    int m_topMm = 0;
    int m_leftMm = 0;
    // state
    double m_currentFontSize = 0;
    double m_pendingLineSpacing = 0;
    bool m_skipNextLine = false;
    bool m_applyLineSpacing = false;
    bool m_restoreExactSpacing = false;
    double m_typedSize = 0;    // size at the insertion point
    double m_lineAdvance = 0;  // width typed since the paragraph or page began, points
    WordExportFault m_fault = WordExportFault::None;  // the first error; it stops the typing
    preview::WorkBudget m_budget;
    // files of this run: each picture decoded and each figure list drawn once
    preview::LoadCache m_pictures;
    QHash<QString, FigureBitmap> m_figures;  // by list path, kCachedFigurePixels at most
    std::size_t m_figurePixels = 0;
    std::size_t m_figurePixelsLeft = kFigurePixels;  // of the document's share
    QSet<qint64> m_storedPictures;   // QImage::cacheKey of the pictures charged for storing
    QSet<QString> m_decodedBitmaps;  // names of the bitmaps decoded and charged
};

// The entry point of the preview window's Word tool: the export of the print file into a new
// document, opened with the desktop's program.
void exportWord(QWidget* parent, UiServices& ui, const WordExportPaths& paths,
                const QString& printFileName);

// The same export written to `outputPath` (replaced atomically) and not opened; no messages.
// False when the export or the write failed.
bool exportWordToFile(const WordExportPaths& paths, const QString& printFileName,
                      const QString& outputPath);

}  // namespace word
