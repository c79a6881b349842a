#pragma once
// frmResOutKekka, the results form: the main results of the last analysis in a fixed table of
// labels. Display only: no UsrTag is used and no SaveData is raised.
//
// A thin dialog on DialogBase (position kept in the section "ResOutKekka" of Mibrox.ini, Top
// and Left only). Each value label starts with its display pattern as its text until the main
// window's LoadData handler (objResOutKekka_LoadData) fills it.

#include <QList>
#include <memory>
#include <string>

#include "foundation/ui/DialogBase.h"

class QLabel;
class QPushButton;
class UiServices;
struct WorkspaceState;

class frmResOutKekka : public DialogBase {
    Q_OBJECT

  public:
    // iniFilePath: Mibrox.ini (UTF-8 path), where the window position is kept.
    explicit frmResOutKekka(const std::string& iniFilePath, QWidget* parent = nullptr);

    // Row captions, top to bottom.
    QList<QLabel*> lblTitle;
    // Value labels.
    QLabel* lblNeire = nullptr;
    QLabel* lblELFD = nullptr;
    QLabel* lblMmax = nullptr;
    QLabel* lblMaDL = nullptr;
    QLabel* lblMmin = nullptr;
    QLabel* lblMiDL = nullptr;
    QLabel* lblM = nullptr;
    QLabel* lblRa = nullptr;
    QLabel* lblRb = nullptr;
    QLabel* lblDmax = nullptr;
    QLabel* lblDmin = nullptr;
    QLabel* lblSmax = nullptr;
    QLabel* lblSmin = nullptr;
    QLabel* Label1 = nullptr;  // the note on the output pitch
    QLabel* Label2 = nullptr;  // "(注意)"
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdHelp = nullptr;

  private:
    void buildControls();
};

// Fills the value labels from the last analysis result; the stresses only when both section
// moduli (condition slots 7 and 8) are at least 1, else "-----". A statement that fails (a
// slot that is not a number) is skipped and the label keeps its text.
void objResOutKekka_LoadData(frmResOutKekka& form, const WorkspaceState& state);

// A new results form configured as the main window opens it, with LoadData connected.
std::unique_ptr<frmResOutKekka> CreateResultsForm(const WorkspaceState& state, QWidget* parent);

// Opens the results form modally; returns when it has closed.
void ShowResultsForm(WorkspaceState& state, UiServices& ui, QWidget* parent);
