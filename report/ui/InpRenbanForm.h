#pragma once
// frmInpRenban, the numbering-style form: how the report's headings are numbered and indented.
//
// A dialog on DialogBase (position kept in the section "InpRenban" of Mibrox.ini) with three
// pages behind a tab strip: the numbering method with its sample and the chapter start value,
// the number style of each of the four heading levels, and the indent of each level with its
// sample. Only the frame of the selected tab is enabled. The main window creates one per
// opening; its LoadData and SaveData handlers (objInpRenban_LoadData / objInpRenban_SaveData
// below) read and write the section Chapter (report/ui/ChapterSettings.h).
//
// Range checks: the start value (0..99) and the four indents (0..10) are checked when the box
// is left and again by OK whatever tab is shown, so a value left behind by a click on another
// tab cannot be saved: OK selects the tab of the first failing box and reports it there.

#include <QString>
#include <array>
#include <memory>
#include <string>

#include "foundation/ui/DialogBase.h"

class NumberBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class UiServices;

// The method sample: seven lines, each ended by CR LF, the four levels indented by 0, 2, 4
// and 8 blanks, an empty line, then levels 1 and 2 again. A method outside 0..3 shows as 0.
QString MethodSampleText(int method);
// The indent sample: as the method sample with level k indented by blanks[k - 1] blanks
// (a negative count gives none, a count above the indent limit gives the limit).
QString MarginSampleText(int method, const std::array<double, 4>& blanks);

class frmInpRenban : public DialogBase {
    Q_OBJECT

  public:
    // iniFilePath: Mibrox.ini (UTF-8 path), where the window position is kept.
    frmInpRenban(UiServices& ui, const std::string& iniFilePath, QWidget* parent = nullptr);

    // Shows the method sample of `index` in txtMethod.
    void optMethod_Click(int index);
    // Rebuilds the indent sample in txtMargin.
    void numMargin_Change();
    // Enables and shows the frame of the selected tab; the others are disabled.
    void TabStrip1_Click();
    // The highest method option that is on; 0 when none is.
    int selectedMethod() const;

    QTabBar* TabStrip1 = nullptr;
    QStackedWidget* Pages = nullptr;
    QFrame* Frame1 = nullptr;
    QFrame* Frame2 = nullptr;
    QFrame* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 4> optMethod{};
    QPlainTextEdit* txtMethod = nullptr;
    NumberBox* numInit = nullptr;
    std::array<QComboBox*, 4> cboStyle{};
    std::array<NumberBox*, 4> numMargin{};
    QPlainTextEdit* txtMargin = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

  protected:
    void afterLoadData() override;
    bool validateInputs() override;

  private:
    void buildControls(UiServices& ui);
    QFrame* buildMethodPage(UiServices& ui);
    QFrame* buildStylePage();
    QFrame* buildMarginPage(UiServices& ui);
};

// Fills the form from the section Chapter of `iniPath`: the method option (none when the stored
// method is outside 0..3), the start value, the style lists (no selection outside 1..9) and the
// indents (clamped to 0..10).
void objInpRenban_LoadData(frmInpRenban& form, const std::string& iniPath);

// Writes Method, Init, Style1..Style4 and Margin1..Margin4, in this order, into the section
// Chapter. A failed write is reported and sets `cancel`, so the form stays open.
void objInpRenban_SaveData(frmInpRenban& form, const std::string& iniPath, UiServices& ui,
                           bool& cancel);

// A new numbering-style form configured as the main window opens it (empty caption and help
// file, context 0) with both handlers connected.
std::unique_ptr<frmInpRenban> CreateNumberingForm(const std::string& iniPath, UiServices& ui,
                                                  QWidget* parent);

// Opens the numbering-style form modally; returns when it has closed.
void ShowNumberingForm(const std::string& iniPath, UiServices& ui, QWidget* parent);
