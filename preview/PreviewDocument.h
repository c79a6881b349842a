#pragma once
// The document half of the preview window: the page settings it applies to the preview
// control, the control's page events (page counter, margins, body font, headers and
// footers) and the three loaders chosen by the file's kind. No widgets: the window shows
// what this object reports (outline, page number, failures) and tests drive it with a fake
// control.
//
// Units: twips (1440 per inch) for every position and margin, points for font sizes.
// Ownership: the control, the clock and the paths belong to the caller and outlive this.

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formats/LoadCache.h"
#include "formats/WorkBudget.h"
#include "preview/HeaderFooter.h"
#include "preview/PreviewControl.h"
#include "preview/PreviewSettings.h"

namespace preview {

class FigureRenderer;

// Paths and services of one run of the program.
struct DocumentContext {
    std::string iniPath;           // PreviewIniPath
    QString previewFile;           // UsrPreviewFile (its file name is the "%f" token)
    QString printFileFolder;       // replaces "%TMPDIR%" in bitmap names
    QString programFolder;         // replaces "%APPDIR%"; holds LINE_PRN.DEF and STR_PRN.DEF
    const Clock* clock = nullptr;  // null: the system clock
};

// One outline heading: level 1 (chapter) or 2 (under the chapter at index `parent`).
struct OutlineHeading {
    int level = 1;
    int parent = -1;  // index of the level-1 entry for level 2
    QString text;     // heading followed by "(0000)", the page number
    int page = 0;
};

// The outcome of a load: ok, or the reason the file could not be read (already shown to no
// one; the window words the message); and when the document was more than the page model
// holds, the page on which it was cut (0: laid out whole).
struct LoadOutcome {
    bool ok = true;
    QString reason;
    int truncatedAtPage = 0;
};

// What drawing one figure list gave: whether the list was read, and its paper height (mm).
struct FigureDrawResult {
    bool listRead = false;
    double paperHeightMm = 0;
};
// Draws the figures of a list file with the paper area's top-left corner at (x, y) mm from
// the page's top-left corner, on the current page of the control.
using FigureDrawer =
    std::function<FigureDrawResult(double xMm, double yMm, const QString& listPath)>;

// Where the print-file loader stands; the new-page event moves it back to the page's top.
struct LayoutCursor {
    int leftX = 0, topY = 0;  // LeftX, TopY
    int curX = 0, curY = 0;   // CurX, CurY
};

class PreviewDocument final : public PreviewControlEvents {
  public:
    // Registers itself as the control's event receiver.
    PreviewDocument(PreviewControl& control, DocumentContext context);
    ~PreviewDocument() override;

    // "RTF", "VDF" or the upper-case last three characters of the path.
    static QString FileKindOf(const QString& path);
    // Builds the document of the file by its kind ("RTF", "VDF", else a print file); the path
    // becomes the previewed file of the "%f" token. An empty path leaves the document as it is.
    LoadOutcome LoadDocument(const QString& path);
    LoadOutcome LoadPrintFile(const QString& path);
    LoadOutcome LoadRtfDocument(const QString& path);
    LoadOutcome LoadVdfDocument(const QString& path);

    // Reads Preview.ini and applies the page format to the control (resetting it).
    void LoadPageSettings();
    const PageSettings& settings() const { return m_settings; }
    // The device the control reported after the settings were applied.
    const QString& printerDeviceName() const { return m_printerDeviceName; }

    const std::vector<OutlineHeading>& outline() const { return m_outline; }
    int pageCounter() const { return m_pageCounter; }
    LayoutCursor& cursor() { return m_cursor; }
    const DocumentContext& context() const { return m_context; }
    PreviewControl& control() { return m_control; }

    // Outline entries made by the loader ("?R1", "?R2"); a level-2 entry before any
    // level-1 entry is not made.
    void addOutlineEntry(int level, const QString& heading);

    // Pictures and figure files of the last print-file load (cleared as each load starts).
    LoadCache& loadCache() { return m_loadCache; }
    // The work of the last load: the file's bytes, what the control recorded, the pictures
    // and figure files read, the outline entries (renewed as each load starts; the control
    // and the load cache charge it).
    WorkBudget& loadBudget() { return m_budget; }
    // The document takes no more: the control's page model is full, the load's budget is
    // spent, or the outline holds as many entries as the model holds tags.
    bool documentFull() const;

    // The figure renderer of the "FG" command: FigureRenderer over the control and the
    // program's folder unless replaced (an empty drawer draws no figures).
    void setFigureDrawer(FigureDrawer drawer) { m_figureDrawer = std::move(drawer); }

    // Called as each page begins (its number) and when the document is complete.
    std::function<void(int page)> onPageBegun;
    std::function<void()> onDocumentEnded;

    // Control events
    void onNewPage() override;
    void onBeforeHeader() override;
    void onBeforeFooter() override;
    void onEndDoc() override;

  private:
    HeaderFooterParts headerFooterParts(int slot) const;
    void prepareFreeTextDocument();
    // Renews the budget for a load that begins.
    void beginLoad();

    PreviewControl& m_control;
    DocumentContext m_context;
    SystemClock m_systemClock;
    PageSettings m_settings;
    QString m_printerDeviceName;
    int m_pageCounter = 0;
    LayoutCursor m_cursor;
    WorkBudget m_budget;
    LoadCache m_loadCache;
    std::unique_ptr<FigureRenderer> m_figureRenderer;
    FigureDrawer m_figureDrawer;
    std::vector<OutlineHeading> m_outline;
    int m_lastChapter = -1;
};

}  // namespace preview
