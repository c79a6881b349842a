#pragma once
// The base of every input and option dialog of both programs.
//
// The caller creates the dialog, sets the configuration fields, connects LoadData and
// SaveData, and shows it modally. The load step runs once, when the dialog is first shown, in
// this order: caption override (UsrCaption when not empty); window position; help set-up
// (Help button disabled, or hidden, when UsrHelpFile is empty); prepareForm() of the form;
// LoadData; afterLoadData() of the form.
//
// OK: every range-checked number box is checked first (validateInputs), so an out-of-range
// value is never saved; then SaveData(cancel) with cancel false, UsrTag := "OK" (also when a
// handler cancelled), and the dialog closes unless cancel was set. Cancel: UsrTag := "ｷｬﾝｾﾙ"
// and close, nothing raised. Any other close (close box, Escape) leaves UsrTag empty. Help
// sends the key F1 to the dialog; there is no help viewer on this platform, so F1 does nothing
// and no program-wide help file is kept.
//
// Position: with a position store the dialog reads the integers Top and Left (twips; a
// missing key reads 0) from the given INI section and centres each axis whose value is below
// 1; on every close it writes Top and Left back as the general-number text of twips. With
// keepSize it also restores Width and Height (applied only when above 0, after the centring)
// and writes them back. Without a store the dialog is always centred and nothing is written.
// All four describe one rectangle, the contents (inside the window frame): Top and Left its
// top-left corner, centred with its size, Width and Height its size. Storing what was restored
// gives back the same numbers whatever frame a window manager adds. Twips are converted
// through the primary screen's logical DPI (foundation/WindowPlacement.h).

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>

class QPushButton;

class DialogBase : public QDialog {
    Q_OBJECT

  public:
    explicit DialogBase(QWidget* parent = nullptr);

    // Configuration, set by the caller before showing (a new dialog holds "" and 0).
    QString UsrCaption;
    QString UsrHelpFile;
    std::int32_t UsrHelpContextID = 0;
    // How the dialog was closed: "OK", "ｷｬﾝｾﾙ", or empty.
    QString UsrTag;

    // Where the position is kept: the INI file (UTF-8 path) and the section, for example
    // Mibrox.ini and "InpJyoken". keepSize adds Width and Height.
    void setPositionStore(const std::string& iniPath, const std::string& section,
                          bool keepSize = false);
    // What an empty UsrHelpFile does to the Help button: disable it (default) or hide it.
    void setHideHelpWhenNoHelpFile(bool hide) { m_hideHelp = hide; }
    // Also centre an axis whose stored value lies at or beyond the screen's size (the main
    // window's rule), so that a position saved on a larger screen never opens off screen.
    void setCentreBeyondScreen(bool on) { m_centreBeyondScreen = on; }

    // Runs the load step now if it has not run yet (the first show runs it otherwise).
    void runLoadStep();
    bool loadStepDone() const { return m_loaded; }

  signals:
    void LoadData();
    void SaveData(bool& cancel);

  protected:
    // The form's own buttons; any may be null. The base connects their clicks.
    void setDialogButtons(QPushButton* ok, QPushButton* cancel, QPushButton* help);
    // Form-specific preparation, run after the help set-up and before LoadData.
    virtual void prepareForm() {}
    // Runs right after LoadData, for a form that refreshes itself from the filled controls.
    virtual void afterLoadData() {}
    // Checks the inputs before SaveData; the default runs validateNow() on every enabled,
    // range-checked NumberBox in focus order and stops at the first failure.
    virtual bool validateInputs();

    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void okClicked();
    void cancelClicked();
    void helpClicked();
    void restorePosition();
    void storePosition();

    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_help = nullptr;
    std::string m_iniPath;
    std::string m_section;
    bool m_keepSize = false;
    bool m_hideHelp = false;
    bool m_centreBeyondScreen = false;
    bool m_loaded = false;
};
