#include "preview/ui/PreviewToolbar.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QToolBar>

namespace preview {

namespace {

constexpr ToolDef kTools[] = {
    {tool_ids::TOC, "見出し", "見出し", ToolKind::TwoState},
    {nullptr, nullptr, nullptr, ToolKind::Separator},
    {tool_ids::Print, "印刷(&P)...", "印刷", ToolKind::Button},
    {nullptr, nullptr, nullptr, ToolKind::Separator},
    {tool_ids::PageSetup, "ﾍﾟｰｼﾞ設定", "ﾍﾟｰｼﾞ設定", ToolKind::Button},
    {tool_ids::Update, "更新", "更新", ToolKind::Button},
    {nullptr, nullptr, nullptr, ToolKind::Separator},
    {tool_ids::ExportPDF, "PDF形式でｴｸｽﾎﾟｰﾄ...", "PDF形式でｴｸｽﾎﾟｰﾄ...", ToolKind::Button},
    {tool_ids::ExportVDF, "VDF形式でｴｸｽﾎﾟｰﾄ...", "VDF形式でｴｸｽﾎﾟｰﾄ...", ToolKind::Button},
    {tool_ids::ExportWord, "Word形式でｴｸｽﾎﾟｰﾄ...", "Word形式でｴｸｽﾎﾟｰﾄ...", ToolKind::Button},
    {nullptr, nullptr, nullptr, ToolKind::Separator},
    {tool_ids::ZoomOut, "縮小", "ズームアウト", ToolKind::Button},
    {tool_ids::ZoomIn, "拡大", "ズームイン", ToolKind::Button},
    {tool_ids::Zoom, "ズーム", "ズーム", ToolKind::List},
    {nullptr, nullptr, nullptr, ToolKind::Separator},
    {tool_ids::Top, "先頭ﾍﾟｰｼﾞ", "先頭ﾍﾟｰｼﾞ", ToolKind::Button},
    {tool_ids::Back, "前ﾍﾟｰｼﾞ", "前ﾍﾟｰｼﾞ", ToolKind::Button},
    {tool_ids::Page, "ページ№", "ページ№", ToolKind::TextBox},
    {tool_ids::Forward, "次ﾍﾟｰｼﾞ", "次ﾍﾟｰｼﾞ", ToolKind::Button},
    {tool_ids::Bottom, "最終ﾍﾟｰｼﾞ", "最終ﾍﾟｰｼﾞ", ToolKind::Button},
    {nullptr, nullptr, nullptr, ToolKind::Separator},
    {tool_ids::Close, "閉じる(&C)", "閉じる", ToolKind::Button},
    {tool_ids::About, "About...", "ﾊﾞｰｼﾞｮﾝ情報...", ToolKind::Button},
};

constexpr ZoomEntry kZoom[] = {
    {"ﾍﾟｰｼﾞ全体", ZoomMode::WholePage, 0}, {"ﾍﾟｰｼﾞ幅", ZoomMode::PageWidth, 0},
    {"2ﾍﾟｰｼﾞ", ZoomMode::TwoPages, 0},     {"ｻﾑﾈｲﾙ", ZoomMode::Thumbnail, 0},
    {"150%", ZoomMode::Percentage, 150},   {"125%", ZoomMode::Percentage, 125},
    {"100%", ZoomMode::Percentage, 100},   {"75%", ZoomMode::Percentage, 75},
    {"50%", ZoomMode::Percentage, 50},     {"25%", ZoomMode::Percentage, 25},
};

// Desktop theme icons where the theme has one; without, the button shows its caption.
QIcon themeIcon(const char* id) {
    const QString name = QString::fromLatin1(id);
    const char* icon = nullptr;
    if (name == QLatin1String(tool_ids::Print)) icon = "document-print";
    if (name == QLatin1String(tool_ids::PageSetup)) icon = "document-page-setup";
    if (name == QLatin1String(tool_ids::Update)) icon = "view-refresh";
    if (name == QLatin1String(tool_ids::ZoomOut)) icon = "zoom-out";
    if (name == QLatin1String(tool_ids::ZoomIn)) icon = "zoom-in";
    if (name == QLatin1String(tool_ids::Top)) icon = "go-first";
    if (name == QLatin1String(tool_ids::Back)) icon = "go-previous";
    if (name == QLatin1String(tool_ids::Forward)) icon = "go-next";
    if (name == QLatin1String(tool_ids::Bottom)) icon = "go-last";
    if (name == QLatin1String(tool_ids::Close)) icon = "window-close";
    if (name == QLatin1String(tool_ids::About)) icon = "help-about";
    return icon ? QIcon::fromTheme(QString::fromLatin1(icon)) : QIcon();
}

}  // namespace

std::span<const ToolDef> ToolTable() {
    return kTools;
}

std::span<const ZoomEntry> ZoomTable() {
    return kZoom;
}

PreviewToolbar::PreviewToolbar(QToolBar& bar) : QObject(&bar), m_bar(bar) {
    m_bar.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const ToolDef& def : kTools) {
        if (def.kind == ToolKind::Separator) {
            m_bar.addSeparator();
            continue;
        }
        const QString id = QString::fromLatin1(def.id);
        QAction* action = nullptr;
        if (def.kind == ToolKind::List) {
            m_zoomList = new QComboBox(&m_bar);
            m_zoomList->setObjectName(id);
            for (const ZoomEntry& entry : kZoom) m_zoomList->addItem(QString::fromUtf8(entry.text));
            m_zoomList->setCurrentIndex(kInitialZoomEntry);
            m_zoomList->setToolTip(QString::fromUtf8(def.tooltip));
            // activated, not currentIndexChanged: the list follows the view without firing.
            connect(m_zoomList, &QComboBox::activated, this, [this, id] { emit ZoomSelect(id); });
            action = m_bar.addWidget(m_zoomList);
        } else if (def.kind == ToolKind::TextBox) {
            m_pageBox = new QLineEdit(&m_bar);
            m_pageBox->setObjectName(id);
            m_pageBox->setMaximumWidth(
                m_pageBox->fontMetrics().horizontalAdvance(QStringLiteral("00000/00000")) + 12);
            m_pageBox->setAlignment(Qt::AlignCenter);
            m_pageBox->setToolTip(QString::fromUtf8(def.tooltip));
            connect(m_pageBox, &QLineEdit::returnPressed, this, [this, id] { emit PageEntry(id); });
            action = m_bar.addWidget(m_pageBox);
        } else {
            action = m_bar.addAction(themeIcon(def.id), QString());
            action->setCheckable(def.kind == ToolKind::TwoState);
            connect(action, &QAction::triggered, this, [this, id] { emit ToolClick(id); });
        }
        action->setObjectName(id);
        action->setText(QString::fromUtf8(def.caption));
        action->setIconText(QString::fromUtf8(def.caption));
        action->setToolTip(QString::fromUtf8(def.tooltip));
    }
}

QAction* PreviewToolbar::tool(const QString& id) const {
    for (QAction* action : m_bar.actions()) {
        if (!action->isSeparator() && action->objectName() == id) return action;
    }
    return nullptr;
}

}  // namespace preview
