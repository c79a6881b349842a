#pragma once
// frmInpJyoken, the conditions form: the case name and ten numbers of one case.
//
// A thin dialog on DialogBase (position kept in the section "InpJyoken" of Mibrox.ini). The
// main window creates one per opening, fills it in its LoadData handler and copies it back in
// its SaveData handler (objInpJyoken_LoadData / objInpJyoken_SaveData below). Leaving one of
// numH, numTai, numDL, numE, numI, numZ1, numZ2, numStep with a value outside its limits
// shows the range message; numF and numSsa are not checked.

#include <memory>
#include <string>

#include "foundation/ui/DialogBase.h"

class ByteLimitedLineEdit;
class NumberBox;
class QLabel;
class QPushButton;
class UiServices;
struct WorkspaceState;

class frmInpJyoken : public DialogBase {
    Q_OBJECT

  public:
    // iniFilePath: Mibrox.ini (UTF-8 path), where the window position is kept.
    frmInpJyoken(UiServices& ui, const std::string& iniFilePath, QWidget* parent = nullptr);

    // Controls, in the order the engineer meets them.
    ByteLimitedLineEdit* txtTitle = nullptr;  // at most 80 CP932 bytes, no double quote
    NumberBox* numH = nullptr;
    NumberBox* numTai = nullptr;
    NumberBox* numDL = nullptr;
    NumberBox* numE = nullptr;
    NumberBox* numI = nullptr;
    NumberBox* numZ1 = nullptr;
    NumberBox* numZ2 = nullptr;
    NumberBox* numF = nullptr;
    NumberBox* numSsa = nullptr;
    NumberBox* numStep = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

  private:
    void buildControls(UiServices& ui);
};

// Fills the form: every control with its default, then, when InputDataSet is true, each
// control with its condition slot (an empty slot empties the box; a slot that does not hold
// a number leaves the default).
void objInpJyoken_LoadData(frmInpJyoken& form, const WorkspaceState& state);

// Copies the controls into condition slots 1..11 (an empty box gives an empty slot) and sets
// InputDataSet and DataChanged. `cancel` is left as it is.
void objInpJyoken_SaveData(frmInpJyoken& form, WorkspaceState& state, bool& cancel);

// A new conditions form configured as the main window opens it (empty caption and help file,
// context 0) with both handlers connected to `state`.
std::unique_ptr<frmInpJyoken> CreateConditionsForm(WorkspaceState& state, UiServices& ui,
                                                   QWidget* parent);

// Opens the conditions form modally; returns when it has closed.
void ShowConditionsForm(WorkspaceState& state, UiServices& ui, QWidget* parent);
