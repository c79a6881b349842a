#pragma once
// The toolbar of the preview window (SSActiveToolBars1): the tools of the table below, in the
// order the band shows them, each a QAction whose objectName is the tool's ID. Buttons raise
// ToolClick, the zoom list ID_Zoom raises ZoomSelect when the user picks an entry (also the
// one already shown) and the page box ID_Page raises PageEntry when Enter is pressed. What the
// tools do is PreviewCommands' business; this class only builds and reports.
//
// Captions, icon texts and tooltips are set explicitly: QAction would strip "&" and "..." from
// the caption when it derives the other two.

#include <QObject>
#include <QString>
#include <span>

#include "preview/PreviewControl.h"

class QAction;
class QComboBox;
class QLineEdit;
class QToolBar;

namespace preview {

namespace tool_ids {
inline constexpr const char* TOC = "ID_TOC";
inline constexpr const char* Print = "ID_Print";
inline constexpr const char* PageSetup = "ID_PageSetup";
inline constexpr const char* Update = "ID_Update";
inline constexpr const char* ExportPDF = "ID_ExportPDF";
inline constexpr const char* ExportVDF = "ID_ExportVDF";
inline constexpr const char* ExportWord = "ID_ExportWord";
inline constexpr const char* ZoomOut = "ID_ZoomOut";
inline constexpr const char* ZoomIn = "ID_ZoomIn";
inline constexpr const char* Zoom = "ID_Zoom";
inline constexpr const char* Top = "ID_Top";
inline constexpr const char* Back = "ID_Back";
inline constexpr const char* Page = "ID_Page";
inline constexpr const char* Forward = "ID_Forward";
inline constexpr const char* Bottom = "ID_Bottom";
inline constexpr const char* Close = "ID_Close";
inline constexpr const char* About = "ID_About";
}  // namespace tool_ids

enum class ToolKind { Button, TwoState, List, TextBox, Separator };

// One row of the toolbar: ID, caption and tooltip (UTF-8); a separator has no ID.
struct ToolDef {
    const char* id;
    const char* caption;
    const char* tooltip;
    ToolKind kind;
};
std::span<const ToolDef> ToolTable();

// One entry of the zoom list: a zoom mode, or a percentage (mode Percentage).
struct ZoomEntry {
    const char* text;
    ZoomMode mode;
    int percent;
};
std::span<const ZoomEntry> ZoomTable();
// The entry the window shows at load ("100%").
inline constexpr int kInitialZoomEntry = 6;

class PreviewToolbar : public QObject {
    Q_OBJECT
  public:
    // Fills `bar` (owned by the window) with the tools.
    explicit PreviewToolbar(QToolBar& bar);

    // The tool with this ID (the list and the text box included); null for an unknown ID.
    QAction* tool(const QString& id) const;
    QComboBox* zoomList() const { return m_zoomList; }
    QLineEdit* pageBox() const { return m_pageBox; }
    QToolBar& bar() const { return m_bar; }

  signals:
    void ToolClick(const QString& id);
    void ZoomSelect(const QString& id);
    void PageEntry(const QString& id);

  private:
    QToolBar& m_bar;
    QComboBox* m_zoomList = nullptr;
    QLineEdit* m_pageBox = nullptr;
};

}  // namespace preview
