#pragma once
// frmPreview: the only window of Preview. From top to bottom: the toolbar area, the splitter
// with the outline tree and the view of the preview control, and the status bar with three
// panels (help hint, path of the previewed file, legal notice). The document itself is built
// by PreviewDocument; this window only shows it, remembers its placement in Preview.ini and
// words the failures.

#include <QMainWindow>
#include <QString>
#include <memory>

#include "foundation/ui/UiServices.h"
#include "pagesetup/InpPDFOption.h"
#include "preview/PreviewDocument.h"

class QLabel;
class QSplitter;
class QToolBar;
class QTreeWidget;

namespace preview {

class PreviewCommands;
class PreviewToolbar;

class frmPreview : public QMainWindow {
    Q_OBJECT
  public:
    // `control` and `ui` outlive the window; the window takes `view` (the control's widget).
    frmPreview(PreviewControl& control, QWidget* view, UiServices& ui, DocumentContext context,
               QWidget* parent = nullptr);
    ~frmPreview() override;

    // Set before Form_Load.
    QString UsrCaption;
    QString UsrPreviewFile;
    QString UsrHelpFile;  // no help files on this platform: kept, not used
    int UsrHelpContextID = 0;
    // The PDF export option of this run (never saved; the window lives as long as the program).
    CInpPDFOption PDFOption;

    // Applies the caption, placement and view settings, shows the window and builds the
    // document of UsrPreviewFile.
    void Form_Load();
    // Saves the printer and the placement (also run when the window closes).
    void Form_Unload();
    // Builds the document again by the file's kind (the Update tool).
    void LoadDocument();
    // Shows the outline pane at a fifth of the window's width, or hides it.
    void setOutlineShown(bool shown);

    PreviewDocument& document() { return *m_document; }
    QTreeWidget* outlineTree() const { return m_tree; }
    QToolBar* toolBar() const { return m_toolBar; }
    QSplitter* splitter() const { return m_splitter; }
    QString statusPanelText(int panel) const;  // 1..3
    PreviewToolbar& tools() const { return *m_tools; }
    PreviewCommands& commands() const { return *m_commands; }

  signals:
    // The document is complete; hasOutline is false when it made no heading.
    void documentEnded(bool hasOutline);
    // LoadDocument has finished (whether the file was read or not).
    void documentLoaded();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void fillOutline();
    void restorePlacement();

    PreviewControl& m_control;
    UiServices& m_ui;
    std::unique_ptr<PreviewDocument> m_document;
    DocumentContext m_context;
    // Widgets
    QToolBar* m_toolBar = nullptr;
    QSplitter* m_splitter = nullptr;
    QTreeWidget* m_tree = nullptr;
    QWidget* m_view = nullptr;
    QLabel* m_panels[3] = {};
    bool m_unloaded = false;
    // Toolbar tools (owned by m_toolBar) and their commands
    PreviewToolbar* m_tools = nullptr;
    std::unique_ptr<PreviewCommands> m_commands;
};

}  // namespace preview
