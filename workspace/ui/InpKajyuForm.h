#pragma once
// frmInpKajyu, the load-table form: one layered pressure table (thickness, pressure at the
// top, pressure at the bottom), one grid row per layer. One class serves both sides.
//
// A thin dialog on DialogBase (position and size kept in the section "InpKajyu" of
// Mibrox.ini). The main window creates one per opening, fills the grid in its LoadData handler
// and copies it back in its SaveData handler (objInpKajyuRiku_* / objInpKajyuUmi_* below). The
// grid's column limits are the only value check. An edit menu and a toolbar cut, copy and
// paste blocks and add, insert and delete rows; the status bar shows the input range of the
// grid's current cell while the grid has the focus. Row commands first commit an open cell
// editor, so Shift+Ins and Shift+Del act on rows also while a cell is being edited.

#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/ui/DialogBase.h"
#include "workspace/ui/DecimalGrid.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QToolBar;
class UiServices;
struct WorkspaceState;

enum class LoadSide { Land, Sea };

// The status-bar hint for a cell: "入力範囲：" and the range by the cell's kind, or "" for a
// kind without a hint.
QString CellInputHint(const DecimalGrid::CellType& cell);

// Resize layout of the form, in twips. The grid's left edge, the button tops and the picture
// left edges stay as designed.
struct KajyuLayoutInput {
    int innerWidth = 0;
    int innerHeight = 0;
    int okWidth = 0;
    int toolbarHeight = 0;
    int statusHeight = 0;
    int imageHeight = 0;
};
struct KajyuLayout {
    int gridTop = 0;
    int gridWidth = 0;   // never negative
    int gridHeight = 0;  // never negative
    int buttonLeft = 0;
    int imageTop = 0;
};
KajyuLayout ComputeKajyuLayout(const KajyuLayoutInput& in);

class frmInpKajyu : public DialogBase {
    Q_OBJECT

  public:
    // iniFilePath: Mibrox.ini (UTF-8 path), where the window position and size are kept.
    explicit frmInpKajyu(const std::string& iniFilePath, QWidget* parent = nullptr);

    // The largest row count that Add and Insert may create.
    std::int32_t UsrRecMax = 0;

    // Writes the values of a new row (0.1, 1.0, 1.0) into a grid row (0-based).
    void SetNewRowDefaults(int row);
    // Shows the input hint of the grid's current cell in panel 1 of the status bar.
    void ShowCellInputHint();
    // The toolbar's dispatch on a button key ("Cut", "Copy", "Paste", "Add", "Insert",
    // "Delete"); any other key does nothing.
    void Toolbar1_ButtonClick(const QString& key);

    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuEditAdd_Click();
    void mnuEditIns_Click();
    void mnuEditDel_Click();

    // Shows the picture of one side and hides the other.
    void showSidePicture(LoadSide side);
    // The hint in panel 1 of the status bar.
    QString statusHint() const;

    // Controls.
    DecimalGrid* vaSpread1 = nullptr;
    QMenuBar* menuBar = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditAdd = nullptr;
    QAction* mnuEditIns = nullptr;
    QAction* mnuEditDel = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* Image1 = nullptr;  // land side
    QLabel* Image2 = nullptr;  // sea side
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

    // The toolbar button of a key, or null.
    QAction* toolbarButton(const QString& key) const;

  protected:
    void prepareForm() override;
    bool validateInputs() override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildControls();
    void setAddInsertEnabled(bool enabled);
    void layoutControls();

    // status bar
    QLabel* m_panel1 = nullptr;
};

// Fills the grid from one side's table: row count first, then the cells (a slot that does
// not hold a number leaves its cell empty), active cell at the first row, the side's picture.
void objInpKajyu_LoadData(frmInpKajyu& form, const WorkspaceState& state, LoadSide side);
// Copies every grid row into the side's table (an empty cell gives 0), sets the count to the
// row count and DataChanged to true. `cancel` is left as it is.
void objInpKajyu_SaveData(frmInpKajyu& form, WorkspaceState& state, LoadSide side, bool& cancel);

inline void objInpKajyuRiku_LoadData(frmInpKajyu& form, const WorkspaceState& state) {
    objInpKajyu_LoadData(form, state, LoadSide::Land);
}
inline void objInpKajyuRiku_SaveData(frmInpKajyu& form, WorkspaceState& state, bool& cancel) {
    objInpKajyu_SaveData(form, state, LoadSide::Land, cancel);
}
inline void objInpKajyuUmi_LoadData(frmInpKajyu& form, const WorkspaceState& state) {
    objInpKajyu_LoadData(form, state, LoadSide::Sea);
}
inline void objInpKajyuUmi_SaveData(frmInpKajyu& form, WorkspaceState& state, bool& cancel) {
    objInpKajyu_SaveData(form, state, LoadSide::Sea, cancel);
}

// A new load-table form configured as the main window opens it (caption of the side, empty
// help file, context 0, UsrRecMax 99) with both handlers connected to `state`.
std::unique_ptr<frmInpKajyu> CreateLoadTableForm(WorkspaceState& state, QWidget* parent,
                                                 LoadSide side);

// Opens the load-table form of one side modally; returns when it has closed.
void ShowLoadTableForm(WorkspaceState& state, UiServices& ui, QWidget* parent, LoadSide side);
