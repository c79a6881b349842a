#include "preview/ui/FrmPreview.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "foundation/NumberFormat.h"
#include "foundation/PrivateProfile.h"
#include "foundation/WindowPlacement.h"
#include "preview/FileFailure.h"
#include "preview/PreviewTexts.h"
#include "preview/ui/PreviewCommands.h"
#include "preview/ui/PreviewToolbar.h"

namespace preview {

namespace {

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

frmPreview::frmPreview(PreviewControl& control, QWidget* view, UiServices& ui,
                       DocumentContext context, QWidget* parent)
    : QMainWindow(parent), m_control(control), m_ui(ui), m_context(std::move(context)) {
    setWindowTitle(qs(texts::ProgramTitle));
    m_toolBar = addToolBar(QStringLiteral("SSActiveToolBars1"));
    m_toolBar->setObjectName(QStringLiteral("SSActiveToolBars1"));
    m_toolBar->setMovable(false);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_tree = new QTreeWidget(m_splitter);
    m_tree->setObjectName(QStringLiteral("TreeView1"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_view = view ? view : new QWidget;
    m_view->setParent(m_splitter);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_view);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(this);
        statusBar()->addWidget(m_panels[i], i == 1 ? 1 : 0);
    }
    m_document = std::make_unique<PreviewDocument>(m_control, m_context);
    m_document->onDocumentEnded = [this] { emit documentEnded(!m_document->outline().empty()); };
    m_tools = new PreviewToolbar(*m_toolBar);
    m_commands = std::make_unique<PreviewCommands>(*this, m_control, m_ui, *m_tools, PDFOption);

    // Wide enough for the whole toolbar (paging tools included) where the screen allows.
    int width = std::max(900, m_toolBar->sizeHint().width());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        width = std::min(width, screen->availableGeometry().width());
    resize(width, 700);
}

frmPreview::~frmPreview() = default;

QString frmPreview::statusPanelText(int panel) const {
    return panel >= 1 && panel <= 3 ? m_panels[panel - 1]->text() : QString();
}

void frmPreview::Form_Load() {
    if (!UsrCaption.isEmpty()) setWindowTitle(UsrCaption);
    restorePlacement();
    m_control.setZoomLimits(25, 150);
    m_control.setZoomStep(25);
    m_control.setZoomMode(ZoomMode::Percentage);
    m_control.setZoom(100);
    show();
    setOutlineShown(true);  // as the outline tool starts: pressed
    m_panels[0]->setText(qs(texts::HelpHint));
    m_panels[2]->setText(QLatin1Char(' ') + qs(texts::LegalNotice));
    LoadDocument();
}

void frmPreview::LoadDocument() {
    if (UsrPreviewFile.isEmpty()) return;
    m_panels[1]->setText(UsrPreviewFile);
    const LoadOutcome outcome = m_document->LoadDocument(UsrPreviewFile);
    fillOutline();
    m_control.refresh();
    if (!outcome.ok) {
        m_ui.message(this, FileNotReadMessage(UsrPreviewFile, outcome.reason),
                     qs(texts::ProgramTitle), UiServices::Buttons::Ok, UiServices::Icon::Warning);
    } else if (outcome.truncatedAtPage > 0) {
        m_ui.message(this,
                     qs(texts::DocumentTruncated).arg(outcome.truncatedAtPage) + QLatin1Char('\n') +
                         UsrPreviewFile,
                     qs(texts::ProgramTitle), UiServices::Buttons::Ok, UiServices::Icon::Warning);
    }
    emit documentLoaded();
}

void frmPreview::setOutlineShown(bool shown) {
    QWidget* pane = m_splitter->widget(0);
    int total = 0;
    for (int size : m_splitter->sizes()) total += size;
    if (total <= 0) total = m_splitter->width();
    if (shown) {
        pane->show();
        const int width = static_cast<int>(std::lround(0.2 * this->width()));
        m_splitter->setSizes({width, std::max(0, total - width)});
    } else {
        m_splitter->setSizes({0, total});
        pane->hide();
    }
}

void frmPreview::fillOutline() {
    m_tree->clear();
    std::vector<QTreeWidgetItem*> items;
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const OutlineHeading& entry : m_document->outline()) {
        QTreeWidgetItem* item = nullptr;
        if (entry.parent >= 0 && static_cast<std::size_t>(entry.parent) < items.size()) {
            item = new QTreeWidgetItem(items[static_cast<std::size_t>(entry.parent)]);
        } else {
            item = new QTreeWidgetItem(m_tree);
        }
        item->setText(0, entry.text);
        item->setIcon(0, icon);
        items.push_back(item);
    }
    m_tree->expandAll();
}

void frmPreview::restorePlacement() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    const CPrivateProfile profile;
    const std::string& ini = m_context.iniPath;
    const char* section = ini_keys::Window;
    const int width = profile.GetValueLong(ini, section, "Width");
    const int height = profile.GetValueLong(ini, section, "Height");
    if (width > 0) resize(TwipsToPixels(width, dpiX), this->height());
    if (height > 0) resize(this->width(), TwipsToPixels(height, dpiY));
    const int top = PlaceOnAxis(profile.GetValueLong(ini, section, "Top"),
                                PixelsToTwips(screen->geometry().height(), dpiY),
                                PixelsToTwips(frameGeometry().height(), dpiY));
    const int left = PlaceOnAxis(profile.GetValueLong(ini, section, "Left"),
                                 PixelsToTwips(screen->geometry().width(), dpiX),
                                 PixelsToTwips(frameGeometry().width(), dpiX));
    move(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY));
}

void frmPreview::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    const CPrivateProfile profile;
    const std::string& ini = m_context.iniPath;
    profile.SetValueString(ini, ini_keys::Printer, ini_keys::Device,
                           m_control.device().toStdString());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const double dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    const auto write = [&](const char* key, int twips) {
        profile.SetValueString(ini, ini_keys::Window, key, FormatGeneralNumber(twips));
    };
    write("Top", PixelsToTwips(pos().y(), dpiY));
    write("Left", PixelsToTwips(pos().x(), dpiX));
    write("Width", PixelsToTwips(width(), dpiX));
    write("Height", PixelsToTwips(height(), dpiY));
}

void frmPreview::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

}  // namespace preview
