#include "workspace/ui/InpKajyuForm.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "foundation/NumberFormat.h"
#include "foundation/WindowPlacement.h"
#include "workspace/WorkspaceState.h"

namespace {

// Designed geometry, in pixels at 96 dpi.
constexpr int kDesignWidth = 520;
constexpr int kDesignHeight = 470;
constexpr int kGridLeft = 8;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 26;
constexpr int kButtonTop = 40;  // below the top of the inner area
constexpr int kButtonGap = 6;
constexpr int kImageLeft = 8;
constexpr int kImageWidth = 260;
constexpr int kImageHeight = 110;

constexpr double kNewRow[3] = {0.1, 1.0, 1.0};

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString rangeText(double lower, double upper) {
    return fromUtf8(FormatGeneralNumber(lower)) + QStringLiteral("～") +
           fromUtf8(FormatGeneralNumber(upper));
}

// A sketch of the pressure acting on the wall: a trapezoid from PU at the layer top to PL at
// its bottom, on the land side (left of the wall) or the sea side (right of the wall).
QPixmap sidePicture(LoadSide side) {
    QPixmap pixmap(kImageWidth, kImageHeight);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    const bool land = side == LoadSide::Land;
    const int wallX = land ? 170 : 90;
    const int top = 14;
    const int bottom = kImageHeight - 14;
    const int dir = land ? -1 : 1;  // towards the loaded side
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(wallX, 4, wallX, kImageHeight - 4);
    QPainterPath load;
    load.moveTo(wallX, top);
    load.lineTo(wallX + dir * 40, top);
    load.lineTo(wallX + dir * 90, bottom);
    load.lineTo(wallX, bottom);
    load.closeSubpath();
    p.setPen(QPen(Qt::darkBlue, 1));
    p.setBrush(QColor(200, 220, 255));
    p.drawPath(load);
    for (int y = top + 12; y < bottom; y += 16) {  // pressure arrows towards the wall
        const int reach = 40 + 50 * (y - top) / (bottom - top);
        p.drawLine(wallX + dir * reach, y, wallX + dir * 4, y);
        p.drawLine(wallX + dir * 4, y, wallX + dir * 9, y - 3);
        p.drawLine(wallX + dir * 4, y, wallX + dir * 9, y + 3);
    }
    p.setPen(Qt::black);
    const int textX = land ? wallX + dir * 40 - 34 : wallX + dir * 40 + 4;
    p.drawText(textX, top + 4, QStringLiteral("ＰU"));
    p.drawText(land ? wallX + dir * 90 - 34 : wallX + dir * 90 + 4, bottom, QStringLiteral("ＰL"));
    const int dimX = land ? wallX + 12 : wallX - 12;
    p.drawLine(dimX, top, dimX, bottom);
    p.drawText(land ? dimX + 4 : dimX - 22, (top + bottom) / 2 + 5, QStringLiteral("Ｈ"));
    return pixmap;
}

}  // namespace

QString CellInputHint(const DecimalGrid::CellType& cell) {
    const QString head = QStringLiteral("入力範囲：");
    switch (cell.kind) {
        case DecimalGrid::KindDate:
            return head + QStringLiteral("[M|T|S|H]YY/MM/DD（f3:本日，f4:ｶﾚﾝﾀﾞｰ表示）");
        case DecimalGrid::KindText:
            return head + fromUtf8(FormatGeneralNumber(cell.maxLength)) +
                   QStringLiteral("ﾊﾞｲﾄ以内の文字列");
        case DecimalGrid::KindDecimal:
        case DecimalGrid::KindInteger:
        case DecimalGrid::KindPercent:
            return head + rangeText(cell.lower, cell.upper);
        case DecimalGrid::KindList:
            return head + QStringLiteral("(選択ﾘｽﾄ一覧より選択)");
        default:
            return {};
    }
}

KajyuLayout ComputeKajyuLayout(const KajyuLayoutInput& in) {
    KajyuLayout out;
    const int w = in.okWidth + 240;
    out.gridTop = in.toolbarHeight;
    out.gridWidth = std::max(0, in.innerWidth - (w + 360));
    out.gridHeight =
        std::max(0, in.innerHeight - (in.statusHeight + in.toolbarHeight + in.imageHeight + 240));
    out.buttonLeft = in.innerWidth - w;
    out.imageTop = out.gridTop + out.gridHeight + 120;
    return out;
}

frmInpKajyu::frmInpKajyu(const std::string& iniFilePath, QWidget* parent) : DialogBase(parent) {
    setWindowTitle(QStringLiteral("荷重条件の入力"));
    setPositionStore(iniFilePath, "InpKajyu", true);
    buildControls();
    setDialogButtons(cmdOK, cmdCancel, cmdHelp);
    resize(kDesignWidth, kDesignHeight);
    layoutControls();
}

void frmInpKajyu::buildControls() {
    // Created first so that the grid takes the focus when the form opens.
    vaSpread1 = new DecimalGrid(this);
    vaSpread1->setObjectName(QStringLiteral("vaSpread1"));
    vaSpread1->setColumns({{QStringLiteral("Ｈ(ｍ)"), 0.001, 99.999, 3},
                           {QStringLiteral("ＰU(kN/m2)"), 0, 9999.999, 3},
                           {QStringLiteral("ＰL(kN/m2)"), 0, 9999.999, 3}});
    vaSpread1->setRowCount(0);

    menuBar = new QMenuBar(this);
    mnuEdit = menuBar->addMenu(QStringLiteral("編集(&E)"));
    auto menuItem = [this](const QString& caption, void (frmInpKajyu::*slot)()) {
        QAction* a = mnuEdit->addAction(caption);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuEditCut = menuItem(QStringLiteral("切り取り(&T)"), &frmInpKajyu::mnuEditCut_Click);
    mnuEditCopy = menuItem(QStringLiteral("ｺﾋﾟｰ(&C)"), &frmInpKajyu::mnuEditCopy_Click);
    mnuEditPaste = menuItem(QStringLiteral("貼り付け(&P)"), &frmInpKajyu::mnuEditPaste_Click);
    mnuEdit->addSeparator();
    mnuEditAdd = menuItem(QStringLiteral("ﾃﾞｰﾀ行追加(&A)"), &frmInpKajyu::mnuEditAdd_Click);
    mnuEditIns = menuItem(QStringLiteral("ﾃﾞｰﾀ行挿入(&I)"), &frmInpKajyu::mnuEditIns_Click);
    mnuEditDel = menuItem(QStringLiteral("ﾃﾞｰﾀ行削除(&D) "), &frmInpKajyu::mnuEditDel_Click);
    mnuEditIns->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    mnuEditDel->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));

    Toolbar1 = new QToolBar(this);
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    const struct {
        const char* key;
        QString text;
        QString tip;
    } buttons[] = {
        {"Cut", QStringLiteral("切り取り"), QStringLiteral("切り取り(Ctrl+X)")},
        {"Copy", QStringLiteral("ｺﾋﾟｰ"), QStringLiteral("ｺﾋﾟｰ(Ctrl+C)")},
        {"Paste", QStringLiteral("貼り付け"), QStringLiteral("貼り付け(Ctrl+V)")},
        {nullptr, {}, {}},
        {"Add", QStringLiteral("ﾃﾞｰﾀ行追加"), QStringLiteral("ﾃﾞｰﾀ行追加")},
        {"Insert", QStringLiteral("ﾃﾞｰﾀ行挿入"), QStringLiteral("ﾃﾞｰﾀ行挿入(Shift+Ins)")},
        {"Delete", QStringLiteral("ﾃﾞｰﾀ行削除"), QStringLiteral("ﾃﾞｰﾀ行削除(Shift+Del)")},
    };
    for (const auto& b : buttons) {
        if (b.key == nullptr) {
            Toolbar1->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        QAction* a = Toolbar1->addAction(b.text);
        a->setObjectName(key);
        a->setData(key);
        a->setToolTip(b.tip);
        connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
    }

    StatusBar1 = new QStatusBar(this);
    m_panel1 = new QLabel(StatusBar1);
    StatusBar1->addWidget(m_panel1, 1);

    Image1 = new QLabel(this);
    Image1->setPixmap(sidePicture(LoadSide::Land));
    Image2 = new QLabel(this);
    Image2->setPixmap(sidePicture(LoadSide::Sea));

    cmdOK = new QPushButton(QStringLiteral("OK(&O)"), this);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
    cmdHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);

    connect(vaSpread1, &DecimalGrid::focusEntered, this, &frmInpKajyu::ShowCellInputHint);
    // The label itself receives the leave, so that a grid losing the focus while the form is
    // destroyed reaches no half-destroyed form.
    connect(vaSpread1, &DecimalGrid::focusLeft, m_panel1, &QLabel::clear);
    connect(vaSpread1, &DecimalGrid::leaveCell, this, [this](int, int, int newCol, int newRow) {
        if (newCol >= 0 && newRow >= 0 && vaSpread1->hasFocusWithin()) ShowCellInputHint();
    });
}

QAction* frmInpKajyu::toolbarButton(const QString& key) const {
    for (QAction* a : Toolbar1->actions()) {
        if (!a->isSeparator() && a->data().toString() == key) return a;
    }
    return nullptr;
}

QString frmInpKajyu::statusHint() const {
    return m_panel1->text();
}

void frmInpKajyu::prepareForm() {
    // The active cell is highlighted in the tooltip background colour.
    QPalette pal = vaSpread1->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, pal.color(QPalette::ToolTipBase));
        pal.setColor(group, QPalette::HighlightedText, pal.color(QPalette::ToolTipText));
    }
    vaSpread1->setPalette(pal);
}

bool frmInpKajyu::validateInputs() {
    vaSpread1->commitOpenEditor();
    return DialogBase::validateInputs();
}

void frmInpKajyu::resizeEvent(QResizeEvent* event) {
    DialogBase::resizeEvent(event);
    layoutControls();
}

void frmInpKajyu::layoutControls() {
    const QScreen* s = screen();
    const double dpiX = s ? s->logicalDotsPerInchX() : 96.0;
    const double dpiY = s ? s->logicalDotsPerInchY() : 96.0;
    const int menuHeight = menuBar->sizeHint().height();
    const int toolbarHeight = Toolbar1->sizeHint().height();
    const int statusHeight = StatusBar1->sizeHint().height();
    const int innerWidth = width();
    const int innerHeight = std::max(0, height() - menuHeight);

    KajyuLayoutInput in;
    in.innerWidth = PixelsToTwips(innerWidth, dpiX);
    in.innerHeight = PixelsToTwips(innerHeight, dpiY);
    in.okWidth = PixelsToTwips(kButtonWidth, dpiX);
    in.toolbarHeight = PixelsToTwips(toolbarHeight, dpiY);
    in.statusHeight = PixelsToTwips(statusHeight, dpiY);
    in.imageHeight = PixelsToTwips(kImageHeight, dpiY);
    const KajyuLayout out = ComputeKajyuLayout(in);

    menuBar->setGeometry(0, 0, innerWidth, menuHeight);
    Toolbar1->setGeometry(0, menuHeight, innerWidth, toolbarHeight);
    vaSpread1->setGeometry(kGridLeft, menuHeight + TwipsToPixels(out.gridTop, dpiY),
                           TwipsToPixels(out.gridWidth, dpiX), TwipsToPixels(out.gridHeight, dpiY));
    const int buttonLeft = TwipsToPixels(out.buttonLeft, dpiX);
    int top = menuHeight + kButtonTop;
    for (QPushButton* b : {cmdOK, cmdCancel, cmdHelp}) {
        b->setGeometry(buttonLeft, top, kButtonWidth, kButtonHeight);
        top += kButtonHeight + kButtonGap;
    }
    const int imageTop = menuHeight + TwipsToPixels(out.imageTop, dpiY);
    Image1->setGeometry(kImageLeft, imageTop, kImageWidth, kImageHeight);
    Image2->setGeometry(kImageLeft, imageTop, kImageWidth, kImageHeight);
    StatusBar1->setGeometry(0, height() - statusHeight, innerWidth, statusHeight);
}

void frmInpKajyu::SetNewRowDefaults(int row) {
    for (int c = 0; c < 3; ++c) vaSpread1->setValue(row, c, kNewRow[c]);
}

void frmInpKajyu::ShowCellInputHint() {
    const int row = vaSpread1->activeRow();
    const int col = vaSpread1->activeCol();
    if (row < 0 || col < 0) {  // an empty grid has no cell to describe
        m_panel1->clear();
        return;
    }
    m_panel1->setText(CellInputHint(vaSpread1->cellType(row, col)));
}

void frmInpKajyu::Toolbar1_ButtonClick(const QString& key) {
    if (key == QLatin1String("Cut")) {
        mnuEditCut_Click();
    } else if (key == QLatin1String("Copy")) {
        mnuEditCopy_Click();
    } else if (key == QLatin1String("Paste")) {
        mnuEditPaste_Click();
    } else if (key == QLatin1String("Add")) {
        mnuEditAdd_Click();
    } else if (key == QLatin1String("Insert")) {
        mnuEditIns_Click();
    } else if (key == QLatin1String("Delete")) {
        mnuEditDel_Click();
    }
}

void frmInpKajyu::mnuEditCut_Click() {
    vaSpread1->commitOpenEditor();
    vaSpread1->cutToClipboard();
}

void frmInpKajyu::mnuEditCopy_Click() {
    vaSpread1->commitOpenEditor();
    vaSpread1->copyToClipboard();
}

void frmInpKajyu::mnuEditPaste_Click() {
    vaSpread1->commitOpenEditor();
    vaSpread1->pasteFromClipboard();
}

void frmInpKajyu::mnuEditAdd_Click() {
    vaSpread1->commitOpenEditor();
    const int rows = vaSpread1->rowCount();
    if (rows >= UsrRecMax) return;
    vaSpread1->setRowCount(rows + 1);
    SetNewRowDefaults(rows);
    if (vaSpread1->activeRow() < 0) vaSpread1->setActiveCell(0, 0);
    vaSpread1->selectActiveCellOnly();
    if (rows + 1 == UsrRecMax) setAddInsertEnabled(false);
}

void frmInpKajyu::mnuEditIns_Click() {
    vaSpread1->commitOpenEditor();
    const int rows = vaSpread1->rowCount();
    if (rows >= UsrRecMax) return;
    const int row = std::max(0, vaSpread1->activeRow());
    const int col = std::max(0, vaSpread1->activeCol());
    vaSpread1->insertEmptyRow(row);
    SetNewRowDefaults(row);
    vaSpread1->setActiveCell(row, col);  // the active cell stays on the inserted row
    if (rows + 1 == UsrRecMax) setAddInsertEnabled(false);
}

void frmInpKajyu::mnuEditDel_Click() {
    vaSpread1->commitOpenEditor();
    if (vaSpread1->rowCount() <= 0 || vaSpread1->activeRow() < 0) return;
    // The active cell keeps its place; the row below moves up into it.
    const int row = vaSpread1->activeRow();
    const int col = std::max(0, vaSpread1->activeCol());
    vaSpread1->deleteRow(row);
    vaSpread1->setActiveCell(std::min(row, vaSpread1->rowCount() - 1), col);
    vaSpread1->selectActiveCellOnly();
    setAddInsertEnabled(true);
}

void frmInpKajyu::setAddInsertEnabled(bool enabled) {
    mnuEditAdd->setEnabled(enabled);
    mnuEditIns->setEnabled(enabled);
    if (QAction* a = toolbarButton(QStringLiteral("Add"))) a->setEnabled(enabled);
    if (QAction* a = toolbarButton(QStringLiteral("Insert"))) a->setEnabled(enabled);
}

void frmInpKajyu::showSidePicture(LoadSide side) {
    QLabel* shown = side == LoadSide::Land ? Image1 : Image2;
    QLabel* hidden = side == LoadSide::Land ? Image2 : Image1;
    shown->show();
    shown->raise();
    hidden->hide();
}

namespace {

LoadTable& sideTable(InputModel& model, LoadSide side) {
    return side == LoadSide::Land ? model.LandLoads : model.SeaLoads;
}
const LoadTable& sideTable(const InputModel& model, LoadSide side) {
    return side == LoadSide::Land ? model.LandLoads : model.SeaLoads;
}
int& sideCount(InputModel& model, LoadSide side) {
    return side == LoadSide::Land ? model.LandLoadCount : model.SeaLoadCount;
}

}  // namespace

void objInpKajyu_LoadData(frmInpKajyu& form, const WorkspaceState& state, LoadSide side) {
    const InputModel& model = state.Model;
    const int count = std::clamp(side == LoadSide::Land ? model.LandLoadCount : model.SeaLoadCount,
                                 0, kMaxLoadLayers);
    const LoadTable& table = sideTable(model, side);
    DecimalGrid& grid = *form.vaSpread1;
    grid.setRowCount(count);  // before the cells: a cell past the last row would be lost
    for (int row = 1; row <= count; ++row) {
        for (int field = 1; field <= 3; ++field) {
            // A slot that does not hold a number leaves its cell empty.
            if (const auto v = table(field, row).toNumber()) grid.setValue(row - 1, field - 1, *v);
        }
    }
    grid.setActiveCell(0, 0);
    form.showSidePicture(side);
}

void objInpKajyu_SaveData(frmInpKajyu& form, WorkspaceState& state, LoadSide side, bool&) {
    DecimalGrid& grid = *form.vaSpread1;
    grid.commitOpenEditor();
    const int rows = std::min(grid.rowCount(), kMaxLoadLayers);
    LoadTable& table = sideTable(state.Model, side);
    for (int row = 1; row <= rows; ++row) {
        for (int field = 1; field <= 3; ++field) {
            // The cell's number as stored, not its three-decimal display; empty gives 0.
            table(field, row) = Slot::number(grid.value(row - 1, field - 1).value_or(0.0));
        }
    }
    sideCount(state.Model, side) = rows;
    state.DataChanged = true;
}

std::unique_ptr<frmInpKajyu> CreateLoadTableForm(WorkspaceState& state, QWidget* parent,
                                                 LoadSide side) {
    auto form = std::make_unique<frmInpKajyu>(state.IniFilePath, parent);
    form->UsrCaption = side == LoadSide::Land ? QStringLiteral("陸側荷重条件の入力")
                                              : QStringLiteral("海側荷重条件の入力");
    form->UsrHelpFile.clear();
    form->UsrHelpContextID = 0;
    form->UsrRecMax = kMaxLoadLayers;
    frmInpKajyu* f = form.get();
    QObject::connect(f, &DialogBase::LoadData, f,
                     [f, &state, side] { objInpKajyu_LoadData(*f, state, side); });
    QObject::connect(f, &DialogBase::SaveData, f, [f, &state, side](bool& cancel) {
        objInpKajyu_SaveData(*f, state, side, cancel);
    });
    return form;
}

void ShowLoadTableForm(WorkspaceState& state, UiServices&, QWidget* parent, LoadSide side) {
    const auto form = CreateLoadTableForm(state, parent, side);
    form->exec();
}
