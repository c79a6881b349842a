#pragma once
// frmMenuMain: the start-up window of Mibrox and the only one open for the whole run. It sets
// up the workspace paths and the per-user folder, restores its position (twips, section
// MenuMain of Mibrox.ini), offers the six main-menu buttons, the File menu with the recent
// files, the toolbar and the about box, and on close asks about unsaved input and stores its
// position. The model, paths and flags live in the WorkspaceState it is given; messages,
// beeps and file dialogs go through the given UiServices.
//
// While a main-menu command runs, the window's own controls (menu bar, toolbar, buttons) are
// disabled, not the window itself, so that the modal forms it opens stay enabled.

#include <QMainWindow>
#include <array>
#include <string>

#include "foundation/ui/UiServices.h"
#include "workspace/WorkspaceState.h"

class ProcessStarter;
class QAction;
class QGroupBox;
class QPushButton;
class QToolBar;

// Where the window finds its files. Empty fields take the product defaults.
struct MenuMainSetup {
    std::string programFolder;       // folder of the executable (Mibrox.ini, Mibrox.fmt)
    std::string executableName;      // without extension; names the per-user folder
    std::string localAppDataFolder;  // base of the per-user folder; empty: the user's own
    std::string iniFilePath;         // empty: SettingsFilePath (foundation/UserFolder.h)
    ProcessStarter* previewStarter = nullptr;  // starts Preview; null: a detached process
};

class frmMenuMain : public QMainWindow {
    Q_OBJECT
  public:
    // Runs the start-up sequence (Form_Load) before returning.
    frmMenuMain(WorkspaceState& state, UiServices& ui, MenuMainSetup setup,
                QWidget* parent = nullptr);
    ~frmMenuMain() override;

    // Main menu
    void cmdMenu_Click(int index);
    void cmdExit_Click();
    void Form_Activate();

    // File menu and toolbar
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSaveAs_Click();
    void mnuFileSave_Click();
    void mnuFileName_Click(int index);
    void mnuFileExit_Click();
    void mnuAbout_Click();
    void tbrMenu_ButtonClick(const QString& key);
    void UpdateRecentFileList(const std::string& path);

    // Controls, for the tests
    QGroupBox* Frame1() const { return m_frame1; }
    QPushButton* cmdMenu(int index) const { return m_cmdMenu.at(static_cast<size_t>(index)); }
    QPushButton* cmdExit() const { return m_cmdExit; }
    QToolBar* tbrMenu() const { return m_tbrMenu; }
    QAction* tbrButton(const QString& key) const;
    QAction* mnuFileName(int index) const { return m_mnuFileName.at(static_cast<size_t>(index)); }
    QAction* mnuFileNew() const { return m_mnuFileNew; }
    QAction* mnuFileOpen() const { return m_mnuFileOpen; }
    QAction* mnuFileSaveAs() const { return m_mnuFileSaveAs; }
    QAction* mnuFileSave() const { return m_mnuFileSave; }
    QAction* mnuFileExit() const { return m_mnuFileExit; }
    QAction* mnuAbout() const { return m_mnuAbout; }

    // The folder the open dialog and the recent open leave behind (the program's notion of
    // the current folder; the process's working folder is not changed).
    const std::string& currentFolder() const { return m_currentFolder; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void Form_Load();
    void Form_Unload(bool& cancel);
    void restorePosition();
    void storePosition();
    void setCommandRunning(bool running);

    // File command helpers (MenuMainFile.cpp)
    // Offers to save unsaved input (Yes / No / Cancel) with the exit or the open wording;
    // false when the caller must stop (Cancel, or Yes and the input is still unsaved).
    enum class Leaving { Exit, Open };
    bool askSaveBeforeLeaving(Leaving reason);
    void refreshRecentEntries();
    void setCaptionForFile(const QString& fileTitle);
    void storeInitDir();
    void showReadError(int code);
    void showWriteError(int code);
    bool openInputFile(const std::string& path, int& code, bool reportVersion);

    WorkspaceState& m_state;
    UiServices& m_ui;
    MenuMainSetup m_setup;
    std::string m_currentFolder;

    // Controls
    QGroupBox* m_frame1 = nullptr;
    std::array<QPushButton*, 6> m_cmdMenu{};
    QPushButton* m_cmdExit = nullptr;
    QToolBar* m_tbrMenu = nullptr;
    QAction* m_mnuFileNew = nullptr;
    QAction* m_mnuFileOpen = nullptr;
    QAction* m_mnuFileSaveAs = nullptr;
    QAction* m_mnuFileSave = nullptr;
    std::array<QAction*, 4> m_mnuFileName{};
    QAction* m_mnuFileExit = nullptr;
    QAction* m_mnuAbout = nullptr;
};
