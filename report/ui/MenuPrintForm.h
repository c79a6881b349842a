#pragma once
// frmMenuPrint, the print menu: between the analysis and the preview program.
//
// Each time it loads it writes both reports into new temporary report files of its own print
// session (report/ReportWriter.h), numbered from the section Chapter of Mibrox.ini, and takes
// the name of the combined print file. The user ticks the reports to print; 印刷 joins the
// ticked ones into the combined file (a form feed between two reports) and starts Preview on
// it. Every report and figure file of the session is deleted when the window closes, however
// it closes (閉じる, Escape, the close box, destruction). The ticks and the position are kept
// in the section MenuPrint of Mibrox.ini.
//
// Failures: a report that cannot be written (or gets no file name) is named in one message
// and disables 印刷, as does a missing combined file name. A failed step while joining stops
// the join with a message and nothing is started; a failed start of Preview is reported.

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "foundation/ui/DialogBase.h"
#include "report/ReportWriter.h"

class ProcessStarter;
class QCheckBox;
class QGroupBox;
class QPushButton;
class UiServices;
struct AnalysisResult;
struct InputModel;

// Writes report `index` (0 conditions, 1 results) into the session's current report file;
// false when the report failed.
using PrintReportWriter = std::function<bool(PrintSession& session, int index)>;

// What the print menu works with. Paths are UTF-8.
struct PrintMenuSetup {
    std::string iniFilePath;       // Mibrox.ini: sections MenuPrint and Chapter
    std::string programFolder;     // Preview is started from this folder
    std::string previewIniFolder;  // the folder passed to Preview after "/INI="
    ReportDataFiles dataFiles;     // Mibrox.fmt and the two drawing-definition files
    PrintReportWriter writeReport;
};

class frmMenuPrint : public DialogBase {
    Q_OBJECT

  public:
    frmMenuPrint(UiServices& ui, ProcessStarter& starter, PrintMenuSetup setup,
                 QWidget* parent = nullptr);
    ~frmMenuPrint() override;

    // Writes both reports and takes the combined file's name; true when all three are there.
    bool BuildPrintFiles();
    // Joins the ticked reports into the combined file; false (after a message) when nothing
    // is ticked or a step failed.
    bool MergeSelectedPrintFiles();
    // 0 ticks every enabled item, 1 clears every item, 2 inverts (a disabled item is never
    // ticked).
    void cmdCheck_Click(int index);
    void cmdPreview_Click();

    PrintSession& session() { return m_session; }
    // The report files of the current build (empty when a name could not be made).
    const std::string& reportFile(int index) const {
        return m_reportFiles.at(static_cast<std::size_t>(index));
    }
    const std::string& CombinedPrintFile() const { return m_combined; }

    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 2> chkPrintItem{};
    std::array<QPushButton*, 3> cmdCheck{};
    QPushButton* cmdPreview = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdHelp = nullptr;

  protected:
    void prepareForm() override;
    void done(int result) override;

  private:
    void buildControls();
    void storeTicks();
    void removeFiles();
    void reportJoinFailure(const std::string& path);

    UiServices& m_ui;
    ProcessStarter& m_starter;
    PrintMenuSetup m_setup;
    PrintSession m_session;
    std::array<std::string, 2> m_reportFiles;
    std::string m_combined;
};

// The files of Mibrox the print menu works with. Paths are UTF-8.
struct PrintMenuPaths {
    std::string iniFilePath;     // Mibrox.ini
    std::string programFolder;   // Preview and the drawing-definition files
    std::string formatFilePath;  // Mibrox.fmt
    std::string userDataFolder;  // per-user folder of Mibrox: Preview keeps Preview.ini there
};

// A print menu over a model and its last analysis; both must outlive the menu.
std::unique_ptr<frmMenuPrint> CreatePrintMenu(const InputModel& model, const AnalysisResult& result,
                                              const PrintMenuPaths& paths, UiServices& ui,
                                              ProcessStarter& starter, QWidget* parent);

// Opens the print menu modally and returns when it has closed; `starter` null: a detached
// process.
void ShowPrintMenu(const InputModel& model, const AnalysisResult& result,
                   const PrintMenuPaths& paths, UiServices& ui, QWidget* parent,
                   ProcessStarter* starter = nullptr);
