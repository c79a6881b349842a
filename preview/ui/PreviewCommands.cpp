#include "preview/ui/PreviewCommands.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <cmath>

#include "foundation/NumberFormat.h"
#include "foundation/Numeric.h"
#include "foundation/ui/AboutBox.h"
#include "foundation/ui/CFileDialog.h"
#include "foundation/ui/UiServices.h"
#include "pagesetup/CWordReport.h"
#include "pagesetup/ExportOptionForms.h"
#include "pagesetup/PageSetupForm.h"
#include "preview/FileFailure.h"
#include "preview/PageControl.h"
#include "preview/PreviewTexts.h"
#include "preview/ui/FrmPreview.h"
#include "preview/ui/PageView.h"
#include "preview/ui/PreviewToolbar.h"

namespace preview {

namespace {

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

bool is(const QString& id, const char* toolId) {
    return id == QLatin1String(toolId);
}

// Save-dialog flags: prompt before overwriting, no read-only box.
constexpr std::int32_t kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;

// The window disabled (and, for the PDF export, the hourglass) while a command runs; undone
// on every way out.
class BusyState {
  public:
    BusyState(QWidget& window, bool hourglass) : m_window(window), m_hourglass(hourglass) {
        m_window.setEnabled(false);
        if (m_hourglass) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_window.repaint();
    }
    ~BusyState() {
        m_window.setEnabled(true);
        if (m_hourglass) QGuiApplication::restoreOverrideCursor();
        m_window.repaint();
    }
    BusyState(const BusyState&) = delete;
    BusyState& operator=(const BusyState&) = delete;

  private:
    QWidget& m_window;
    bool m_hourglass;
};

}  // namespace

PdfOptions PdfOptionsFor(const CInpPDFOption& option) {
    PdfOptions options;
    options.tagPrefix = qs(texts::OutlineTagPrefix);
    options.compressionLevel = option.IsCompress != 0 ? 3 : 0;
    return options;
}

bool ExportPdfDocument(PreviewControl& control, const QString& path, const CInpPDFOption& option,
                       QString* error) {
    return control.exportPdf(path, PdfOptionsFor(option), error);
}

// Passes every control event on to the document and tells the commands of a zoom or page
// change.
class PreviewCommands::EventRelay final : public PreviewControlEvents {
  public:
    EventRelay(PreviewControlEvents& target, PreviewCommands& commands)
        : m_target(target), m_commands(commands) {}
    void onNewPage() override { m_target.onNewPage(); }
    void onBeforeHeader() override { m_target.onBeforeHeader(); }
    void onBeforeFooter() override { m_target.onBeforeFooter(); }
    void onEndDoc() override { m_target.onEndDoc(); }
    void onZoomChanged() override {
        m_target.onZoomChanged();
        m_commands.VSPrinter1_ZoomChanged();
    }
    // Every change of the page shown (toolbar, outline, paging keys, thumbnail click).
    void onPreviewPageChanged() override {
        m_target.onPreviewPageChanged();
        m_commands.UpdatePageIndicator();
    }

  private:
    PreviewControlEvents& m_target;
    PreviewCommands& m_commands;
};

PreviewCommands::PreviewCommands(frmPreview& window, PreviewControl& control, UiServices& ui,
                                 PreviewToolbar& toolbar, CInpPDFOption& pdfOption)
    : m_window(window),
      m_control(control),
      m_ui(ui),
      m_toolbar(toolbar),
      m_pdfOption(pdfOption),
      m_relay(std::make_unique<EventRelay>(window.document(), *this)) {
    m_control.setEvents(m_relay.get());

    dialogs.askPdfOptions = [](QWidget* parent, CInpPDFOption& option) {
        return AskPdfExportOptions(parent, option);
    };
    dialogs.askWordOptions = [](QWidget* parent) { return AskWordExportOptions(parent); };
    dialogs.pageSetup = [this] {
        ShowPageSetupDialog(&m_window, m_ui, m_window.document().context().iniPath,
                            m_window.document().printerDeviceName(), m_window.UsrHelpFile);
    };
    dialogs.about = [this] {
        frmAbout about(m_ui, AboutProgram::Preview, &m_window);
        about.exec();
    };
    dialogs.wordExport = [this] {
        const DocumentContext& context = m_window.document().context();
        word::WordExportPaths paths;
        paths.previewIniPath = QString::fromStdString(context.iniPath);
        paths.printFileFolder = context.printFileFolder;
        paths.programFolder = context.programFolder;
        word::exportWord(&m_window, m_ui, paths, m_window.UsrPreviewFile);
    };
    // Printing asks for the printer and the page range first.
    if (auto* pageControl = dynamic_cast<PageControl*>(&m_control))
        PageView::installPrintDialog(*pageControl, &m_window);

    connect(&m_toolbar, &PreviewToolbar::ToolClick, this,
            &PreviewCommands::SSActiveToolBars1_ToolClick);
    connect(&m_toolbar, &PreviewToolbar::ZoomSelect, this,
            &PreviewCommands::SSActiveToolBars1_ZoomSelect);
    connect(&m_toolbar, &PreviewToolbar::PageEntry, this,
            &PreviewCommands::SSActiveToolBars1_PageEntry);
    connect(m_window.outlineTree(), &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { TreeView1_NodeClick(node); });
    connect(&m_window, &frmPreview::documentEnded, this, [this](bool hasOutline) {
        // The pane stays as it is; only the tool is released.
        if (!hasOutline) m_toolbar.tool(QString::fromLatin1(tool_ids::TOC))->setChecked(false);
    });
    connect(&m_window, &frmPreview::documentLoaded, this, &PreviewCommands::documentLoaded);
    m_window.document().onPageBegun = [this](int page) {
        m_toolbar.pageBox()->setText(QString::number(page));
    };
    // The outline pane is shown as the window was designed.
    m_toolbar.tool(QString::fromLatin1(tool_ids::TOC))->setChecked(true);
}

PreviewCommands::~PreviewCommands() {
    m_window.document().onPageBegun = nullptr;
    if (auto* pageControl = dynamic_cast<PageControl*>(&m_control))
        pageControl->setPrintDialog(nullptr);
    m_control.setEvents(&m_window.document());
}

void PreviewCommands::SSActiveToolBars1_ToolClick(const QString& id) {
    using namespace tool_ids;
    if (is(id, TOC)) {
        m_window.setOutlineShown(m_toolbar.tool(id)->isChecked());
    } else if (is(id, Print)) {
        printDocument();
    } else if (is(id, PageSetup)) {
        if (dialogs.pageSetup) dialogs.pageSetup();
    } else if (is(id, Update)) {
        updateDocument();
    } else if (is(id, ExportPDF)) {
        exportPdf();
    } else if (is(id, ExportVDF)) {
        exportVdf();
    } else if (is(id, ExportWord)) {
        exportWord();
    } else if (is(id, ZoomOut)) {
        zoomBy(-1);
    } else if (is(id, ZoomIn)) {
        zoomBy(+1);
    } else if (is(id, Top)) {
        goToPage(1);
    } else if (is(id, Back)) {
        goToPage(m_control.previewPage() - 1);
    } else if (is(id, Forward)) {
        goToPage(m_control.previewPage() + 1);
    } else if (is(id, Bottom)) {
        goToPage(m_control.pageCount());
    } else if (is(id, Close)) {
        m_window.close();
    } else if (is(id, About)) {
        if (dialogs.about) dialogs.about();
    }
}

void PreviewCommands::SSActiveToolBars1_ZoomSelect(const QString& id) {
    if (!is(id, tool_ids::Zoom)) return;
    const QString text = m_toolbar.zoomList()->currentText();
    for (const ZoomEntry& entry : ZoomTable()) {
        if (text != qs(entry.text)) continue;
        if (entry.mode == ZoomMode::Percentage) {
            m_control.setZoom(entry.percent);
        } else {
            m_control.setZoomMode(entry.mode);
        }
        return;
    }
}

void PreviewCommands::SSActiveToolBars1_PageEntry(const QString& id) {
    if (!is(id, tool_ids::Page)) return;
    goToPage(Val(m_toolbar.pageBox()->text().toStdString()));
}

void PreviewCommands::UpdatePageIndicator() {
    const int count = m_control.pageCount();
    m_toolbar.pageBox()->setText(
        count == 0 ? QStringLiteral("0/0")
                   : QStringLiteral("%1/%2").arg(m_control.previewPage()).arg(count));
}

void PreviewCommands::SyncZoomCombo() {
    const QString text =
        QString::fromStdString(FormatGeneralNumber(m_control.zoom())) + QLatin1Char('%');
    const auto entries = ZoomTable();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].mode == ZoomMode::Percentage && text == qs(entries[i].text)) {
            m_toolbar.zoomList()->setCurrentIndex(static_cast<int>(i));
            return;
        }
    }
}

void PreviewCommands::TreeView1_NodeClick(QTreeWidgetItem* node) {
    if (node == nullptr) return;
    // The tree holds the outline entries in document order (chapters with their sections).
    const auto& outline = m_window.document().outline();
    std::size_t index = 0;
    QTreeWidgetItemIterator it(m_window.outlineTree());
    for (; *it && *it != node; ++it) ++index;
    if (!*it || index >= outline.size() || outline[index].text != node->text(0)) return;
    if (outline[index].page < 1) return;
    goToPage(outline[index].page);
}

void PreviewCommands::printDocument() {
    QString error;
    if (m_control.print(true, &error) || error.isEmpty()) return;  // printed, or cancelled
    tell(qs(command_texts::PrintFailed) + QLatin1Char('\n') + error);
}

void PreviewCommands::updateDocument() {
    const QString path = m_window.UsrPreviewFile;
    if (path.isEmpty()) return;
    // A file that is gone or unreadable would leave the rebuilt document empty: keep the pages.
    QFile file(path);
    QString reason;
    if (!QFileInfo(path).isFile()) {
        reason = QStringLiteral("ﾌｧｲﾙが見つからないか、通常のﾌｧｲﾙではありません");
    } else if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("ﾌｧｲﾙを開けません");
    }
    file.close();
    if (!reason.isEmpty()) {
        m_ui.beep();
        tell(FileNotReadMessage(path, reason) + QLatin1Char('\n') + qs(command_texts::PagesKept));
        return;
    }
    m_window.LoadDocument();
}

void PreviewCommands::exportPdf() {
    if (m_control.pageCount() == 0) {
        m_ui.beep();
        return;
    }
    if (!dialogs.askPdfOptions || !dialogs.askPdfOptions(&m_window, m_pdfOption)) return;
    const std::optional<QString> path =
        askSavePath(command_texts::PdfTitle, ".pdf", command_texts::PdfFilter);
    if (!path) return;
    QString error;
    bool written = false;
    {
        const BusyState busy(m_window, true);
        written = ExportPdfDocument(m_control, *path, m_pdfOption, &error);
    }
    if (!written) tellWriteFailure(*path, error);
}

void PreviewCommands::exportVdf() {
    const std::optional<QString> path =
        askSavePath(command_texts::VdfTitle, ".vdf", command_texts::VdfFilter);
    if (!path) return;
    QString error;
    if (!m_control.saveDocument(*path, &error)) tellWriteFailure(*path, error);
}

void PreviewCommands::exportWord() {
    if (!dialogs.askWordOptions || !dialogs.askWordOptions(&m_window)) return;
    m_window.setEnabled(false);
    if (dialogs.wordExport) dialogs.wordExport();
    m_window.setEnabled(true);
}

void PreviewCommands::zoomBy(int sign) {
    const std::optional<std::int16_t> step = ToInt16HalfEven(m_control.zoomStep());
    if (!step) return;
    m_control.setZoom(m_control.zoom() + sign * *step);
    SyncZoomCombo();
}

void PreviewCommands::goToPage(double page) {
    const int count = m_control.pageCount();
    if (count > 0 && !std::isnan(page)) {
        const double kept = std::clamp(page, 1.0, static_cast<double>(count));
        m_control.setPreviewPage(ToInt32HalfEven(kept).value_or(1));
    }
    UpdatePageIndicator();
}

void PreviewCommands::documentLoaded() {
    const QString kind = PreviewDocument::FileKindOf(m_window.UsrPreviewFile);
    if (kind == QLatin1String("RTF") || kind == QLatin1String("VDF"))
        m_toolbar.tool(QString::fromLatin1(tool_ids::ExportWord))->setEnabled(false);
    UpdatePageIndicator();
}

std::optional<QString> PreviewCommands::askSavePath(const char* title, const char* defaultExt,
                                                    const char* filter) {
    CFileDialog dialog(m_ui);
    dialog.setDialogTitle(qs(title));
    dialog.setDefaultExt(QString::fromLatin1(defaultExt));
    dialog.setFilter(qs(filter));
    dialog.setFilterIndex(0);
    dialog.setFlags(kSaveFlags);
    dialog.sethWndParent(&m_window);
    dialog.setMaxFileSize(255);
    if (!dialog.Show(false)) return std::nullopt;
    return dialog.FileName();
}

void PreviewCommands::tellWriteFailure(const QString& path, const QString& reason) {
    tell(qs(command_texts::FileNotWritten) + QLatin1Char('\n') + path + QLatin1Char('\n') + reason);
}

void PreviewCommands::tell(const QString& text) {
    m_ui.message(&m_window, text, qs(texts::ProgramTitle), UiServices::Buttons::Ok,
                 UiServices::Icon::Warning);
}

}  // namespace preview
