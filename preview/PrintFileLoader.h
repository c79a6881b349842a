#pragma once
// Lays a print file out on the pages of the preview control and carries out its inline
// commands (form feed, "?R1", "?M0", "?FG;..." and the rest).
//
// Every character stands on a fixed grid: a full-width cell is the measured width of "あ"
// made even (WidePitch), a half-width cell half of it (NarrowPitch); lines are LineAdvance
// apart. Text is measured only when the load starts and by the size commands; consecutive
// characters in one font go to the control as one run. Positions are twips.
//
// The loader works on the file's CP932 bytes. A command is recognised at a form feed or at a
// "?" followed by a known two-letter code (neither byte can be the second byte of a
// double-byte character); anything else prints as text. A failing command (a missing figure
// or bitmap file) ends only itself. Once the document is full (PreviewDocument::documentFull)
// the loader stops: stopped() says so.

#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "preview/PreviewDocument.h"

namespace preview {

class PrintFileLoader {
  public:
    PrintFileLoader(PreviewDocument& document, FigureDrawer drawFigure);

    // Sets up fonts and grid metrics on the started document (the page loop's preparation).
    void begin();
    // Lays out every line of the file's bytes; lines end at LF or CR LF.
    void layOutFile(std::string_view bytes);
    // Lays out one line (without its line end).
    void layOutLine(std::string_view line);

    // The document was full: the rest of the file was not laid out.
    bool stopped() const { return m_stopped; }

    // Grid metrics, for tests.
    int widePitch() const { return m_widePitch; }
    int narrowPitch() const { return m_narrowPitch; }
    int linePitch() const { return m_linePitch; }
    int lineAdvance() const { return m_lineAdvance; }

  private:
    bool execPrintCommand(std::string_view line, std::size_t& i);
    void formFeed();
    void outlineHeading(int level, std::string_view line, std::size_t at);
    void figure(std::string_view line, std::size_t at);
    void bitmap(std::string_view line, std::size_t at);
    // X and Y fields (chars 4-6 and 8-10) in mm, 0 replaced by the current position; sets
    // LineHeightOverride unless a field is "fix".
    std::pair<double, double> commandPosition(std::string_view line, std::size_t at);

    void setSize(double points);
    int readBackSize100() const;
    void measureBaseCharMetrics();
    void measureCurrentCharHeight();
    int advanceFor(bool doubleByte) const;
    void appendToRun(std::string_view bytes, int advance);
    void flushRun();
    void printPlaceholder(std::string_view bytes, int advance);

    PreviewDocument& m_doc;
    PreviewControl& m_control;
    LayoutCursor& m_cursor;
    FigureDrawer m_drawFigure;
    QString m_bodyFontName;
    // Sizes
    double m_bodySize0 = 0, m_bodySize1 = 0, m_currentBaseSize = 0;
    int m_size0x100 = 0, m_size1x100 = 0, m_curSize100 = 0;
    // Grid
    int m_widePitch = 0, m_narrowPitch = 0, m_linePitch = 0, m_lineAdvance = 0;
    int m_currentCharHeight = 0;
    bool m_lineHeightOverride = false;
    double m_lineHeightMm = 0;
    // Run being collected: bytes of the line and the advance of each UTF-16 unit.
    std::string_view m_runLine;
    std::size_t m_runBegin = 0, m_runEnd = 0;
    int m_runX = 0;
    std::vector<int> m_runAdvances;
    bool m_stopped = false;
};

}  // namespace preview
