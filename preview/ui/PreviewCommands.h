#pragma once
// The commands of the preview window: what its toolbar tools, its zoom list, its page box and
// its outline tree do (paging, zoom, outline pane, print, page setup, rebuild, PDF, VDF and
// Word export, close, about box).
//
// Pages are 1-based physical pages of the control; every page request is kept within
// 1..pageCount. Zoom is in per cent, within the limits the window set at load (25 to 150).
// Failures are worded here: a file that cannot be written or read, a print that failed. The
// modal steps (option dialogs, page setup, about box, Word export) sit behind `dialogs` so
// that tests can answer them; file dialogs and messages go through UiServices, and printing
// through the print dialog of PageView::installPrintDialog.
//
// Ownership: the window owns this object; the control, the UI services and the PDF option
// belong to the window's owner and outlive it.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "pagesetup/InpPDFOption.h"
#include "preview/PreviewControl.h"

class QTreeWidgetItem;
class QWidget;
class UiServices;

namespace preview {

class frmPreview;
class PreviewToolbar;

namespace command_texts {
inline constexpr const char* PdfTitle = "PDF形式でｴｸｽﾎﾟｰﾄ...";
inline constexpr const char* PdfFilter = "PDFﾌｧｲﾙ (*.pdf)|*.pdf|すべてのﾌｧｲﾙ (*.*)|*.*";
inline constexpr const char* VdfTitle = "VDF形式でｴｸｽﾎﾟｰﾄ...";
inline constexpr const char* VdfFilter = "VDFﾌｧｲﾙ (*.vdf)|*.vdf|すべてのﾌｧｲﾙ (*.*)|*.*";
// Messages: the file's path and the reason follow on their own lines.
inline constexpr const char* FileNotWritten = "ﾌｧｲﾙに書き込めませんでした。";
inline constexpr const char* PagesKept = "表示中のﾍﾟｰｼﾞはそのまま残します。";
inline constexpr const char* PrintFailed = "印刷できませんでした。";
}  // namespace command_texts

// The converter's options for the user's choice: the heading-tag prefix "%TOC|" and
// compression level 3, or 0 when IsCompress is 0.
PdfOptions PdfOptionsFor(const CInpPDFOption& option);

// The PDF export of the toolbar (and of the benchmark): the control's document with its
// outline written to `path`, replaced atomically; false with the reason, the old file kept.
bool ExportPdfDocument(PreviewControl& control, const QString& path, const CInpPDFOption& option,
                       QString* error);

class PreviewCommands : public QObject {
    Q_OBJECT
  public:
    // Modal steps. Each returns whether the command goes on, where it can stop it.
    struct Dialogs {
        std::function<bool(QWidget* parent, CInpPDFOption& option)> askPdfOptions;
        std::function<bool(QWidget* parent)> askWordOptions;
        std::function<void()> pageSetup;
        std::function<void()> about;
        std::function<void()> wordExport;
    };

    // Connects to the toolbar, the outline tree and the window's document signals, and relays
    // the control's zoom changes to SyncZoomCombo.
    PreviewCommands(frmPreview& window, PreviewControl& control, UiServices& ui,
                    PreviewToolbar& toolbar, CInpPDFOption& pdfOption);
    ~PreviewCommands() override;

    Dialogs dialogs;

    void SSActiveToolBars1_ToolClick(const QString& id);
    void SSActiveToolBars1_ZoomSelect(const QString& id);
    void SSActiveToolBars1_PageEntry(const QString& id);
    void UpdatePageIndicator();
    void SyncZoomCombo();
    void VSPrinter1_ZoomChanged() { SyncZoomCombo(); }
    // Jumps to the physical page of the heading (the page of its outline entry); a node that
    // is not a heading of the document is ignored.
    void TreeView1_NodeClick(QTreeWidgetItem* node);

  private:
    class EventRelay;

    void printDocument();
    void updateDocument();
    void exportPdf();
    void exportVdf();
    void exportWord();
    void zoomBy(int sign);
    void goToPage(double page);
    void documentLoaded();
    std::optional<QString> askSavePath(const char* title, const char* defaultExt,
                                       const char* filter);
    void tellWriteFailure(const QString& path, const QString& reason);
    void tell(const QString& text);

    // Collaborators
    frmPreview& m_window;
    PreviewControl& m_control;
    UiServices& m_ui;
    PreviewToolbar& m_toolbar;
    CInpPDFOption& m_pdfOption;
    std::unique_ptr<EventRelay> m_relay;
};

}  // namespace preview
