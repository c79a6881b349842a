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
// Cost: a bitmap named again is not decoded again (and the document holds it once), its size
// is checked from its header first; a figure list named again is not drawn again (the
// figures kept hold kCachedFigurePixels at most).

#include <QHash>
#include <QString>
#include <functional>
#include <string>

#include "pagesetup/WordDocument.h"
#include "pagesetup/WordFigure.h"
#include "preview/LoadCache.h"

class QWidget;
class UiServices;

namespace word {

struct WordExportPaths {
    QString previewIniPath;
    QString printFileFolder;  // stands for "%TMPDIR%" in bitmap names
    QString programFolder;    // "%APPDIR%", and the folder of LINE_PRN.DEF and STR_PRN.DEF
};

// Draws one figure list; DrawFigureBitmap in the product.
using FigureBitmapFunction =
    std::function<FigureBitmap(const QString& listPath, const QString& definitionFolder)>;

class CWordReport {
  public:
    static constexpr std::size_t kCachedFigurePixels = 16'000'000;

    // `ui` may be null: no messages (the benchmark).
    CWordReport(WordDocument& document, const WordDesktop& desktop, UiServices* ui,
                WordExportPaths paths, FigureBitmapFunction drawFigure = DrawFigureBitmap);

    // Owner window of the messages.
    QWidget* hWnd = nullptr;

    // The whole export. True when the document was written from the whole print file and
    // handed over; false after any message.
    bool Run(const QString& PrintFileName);

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
    bool fail(const QString& reason);
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
    QString m_failure;         // the first error; it stops the typing
    // files of this run: each picture decoded and each figure list drawn once
    preview::LoadCache m_pictures;
    QHash<QString, FigureBitmap> m_figures;  // by list path, kCachedFigurePixels at most
    std::size_t m_figurePixels = 0;
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
