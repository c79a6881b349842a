// The File menu, the toolbar, the recent-file list and the about box of frmMenuMain.
#include <QAction>
#include <QToolBar>

#include "foundation/Cp932.h"
#include "foundation/FileRoutines.h"
#include "foundation/PrivateProfile.h"
#include "foundation/ui/AboutBox.h"
#include "foundation/ui/CFileDialog.h"
#include "workspace/InputFile.h"
#include "workspace/ui/FileCommands.h"
#include "workspace/ui/MenuMain.h"
#include "workspace/ui/MenuMainTexts.h"

namespace t = menumain_text;

namespace {

const char* const kSection = "FileName";
const char* const kInitDir = "InitDir";

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string recentKey(int n) {
    return "FileName" + std::to_string(n);
}

// Recent entries and InitDir hold full paths, so they are read without the 127-byte limit.
std::string readFileNameKey(const std::string& iniPath, const std::string& key) {
    return CPrivateProfile().GetValueStringUnlimited(iniPath, kSection, key);
}

RecentFileList readRecentList(const std::string& iniPath) {
    RecentFileList list;
    for (int n = 1; n <= 4; ++n)
        list[static_cast<size_t>(n - 1)] = readFileNameKey(iniPath, recentKey(n));
    return list;
}

// The input-file dialogs share everything but the title, the flags and the start values.
void prepareDialog(CFileDialog& dialog, QWidget* owner) {
    dialog.sethWndParent(owner);
    dialog.setFilter(qs(t::DialogFilter));
    dialog.setFilterIndex(1);
    dialog.setDefaultExt(qs(t::DialogDefaultExt));
    dialog.setMaxFileSize(255);
}

}  // namespace

bool frmMenuMain::askSaveBeforeLeaving(Leaving reason) {
    if (!m_state.DataChanged) return true;
    const bool exit = reason == Leaving::Exit;
    const auto answer =
        m_ui.message(this,
                     exit ? ExitQuestionText(m_state.CurrentFilePath)
                          : OpenQuestionText(m_state.CurrentFilePath),
                     qs(exit ? t::ExitTitle : t::OpenTitle), UiServices::Buttons::YesNoCancel,
                     UiServices::Icon::Information);
    if (answer == UiServices::Answer::Cancel) return false;
    if (answer == UiServices::Answer::Yes) {
        mnuFileSave_Click();
        return !m_state.DataChanged;
    }
    return true;
}

void frmMenuMain::setCaptionForFile(const QString& fileTitle) {
    setWindowTitle(MainCaption(fileTitle));
}

void frmMenuMain::refreshRecentEntries() {
    const RecentFileList list = readRecentList(m_state.IniFilePath);
    for (int n = 1; n <= 4; ++n) {
        const std::string& path = list[static_cast<size_t>(n - 1)];
        QAction* entry = m_mnuFileName[static_cast<size_t>(n - 1)];
        if (!path.empty()) entry->setText(RecentEntryCaption(n, path));
        entry->setEnabled(!path.empty());
    }
}

void frmMenuMain::UpdateRecentFileList(const std::string& path) {
    // A path that Shift-JIS cannot hold would come back as a different path: not recorded.
    if (!path.empty() && cp932::canEncode(path)) {
        const RecentFileList list = RecentListAfterUse(readRecentList(m_state.IniFilePath), path);
        const CPrivateProfile profile;
        for (int n = 1; n <= 4; ++n) {
            profile.SetValueString(m_state.IniFilePath, kSection, recentKey(n),
                                   list[static_cast<size_t>(n - 1)]);
        }
    }
    refreshRecentEntries();
}

void frmMenuMain::storeInitDir() {
    if (!cp932::canEncode(m_currentFolder)) return;
    CPrivateProfile().SetValueString(m_state.IniFilePath, kSection, kInitDir, m_currentFolder);
}

void frmMenuMain::showReadError(int code) {
    m_ui.message(this, ReadErrorText(code), qs(t::ReadErrorTitle), UiServices::Buttons::Ok,
                 UiServices::Icon::Critical);
}

void frmMenuMain::showWriteError(int code) {
    m_ui.message(this, WriteErrorText(code), qs(t::WriteErrorTitle), UiServices::Buttons::Ok,
                 UiServices::Icon::Critical);
}

// Reads `path` into the model by its version. On failure the model is unchanged and `code`
// holds the reader's error number (7 for a file too large to read, 0 when the file was refused
// by its name or version).
bool frmMenuMain::openInputFile(const std::string& path, int& code, bool reportVersion) {
    code = 0;
    if (!HasMbwExtension(path)) return false;
    bool tooLarge = false;
    const std::string version = ReadInputFileVersion(path, &tooLarge);
    if (tooLarge) {
        code = inputfile::kErrTooLarge;
        return false;
    }
    if (version == "1.10") return LoadInputFile(m_state.Model, path, code);
    if (version == "1.00") return LoadInputFileV100(m_state.Model, path, code);
    if (reportVersion) {
        m_ui.message(this, NotSupportedText(version), qs(t::NotSupportedTitle),
                     UiServices::Buttons::Ok, UiServices::Icon::Critical);
    }
    return false;
}

void frmMenuMain::mnuFileNew_Click() {
    // The confirm-new question itself says that the input is discarded.
    if (m_ui.message(this, qs(t::ConfirmNewText), qs(t::ConfirmNewTitle),
                     UiServices::Buttons::OkCancel,
                     UiServices::Icon::Information) != UiServices::Answer::Ok) {
        return;
    }
    ClearInputData(m_state.Model);
    m_state.CurrentFilePath.clear();
    m_state.DataChanged = false;
    setCaptionForFile({});
    Form_Activate();
}

void frmMenuMain::mnuFileOpen_Click() {
    if (!askSaveBeforeLeaving(Leaving::Open)) return;
    CFileDialog dialog(m_ui);
    prepareDialog(dialog, this);
    dialog.setDialogTitle(qs(t::OpenDialogTitle));
    dialog.setFlags(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
    std::string initDir = readFileNameKey(m_state.IniFilePath, kInitDir);
    if (initDir.empty()) initDir = m_state.ProgramFolder;
    dialog.setInitialDir(QString::fromStdString(initDir));
    if (dialog.Show(true)) {
        const std::string name = dialog.FileName().toStdString();
        m_currentFolder = FolderOf(name);
        int code = 0;
        const bool ok = openInputFile(name, code, true);
        Form_Activate();
        if (ok) {
            setCaptionForFile(dialog.FileTitle());
            m_state.CurrentFilePath = name;
            UpdateRecentFileList(name);
            m_state.DataChanged = false;
        } else {
            // The model, the current file and the caption still belong together.
            showReadError(code);
        }
    }
    storeInitDir();
}

void frmMenuMain::mnuFileSaveAs_Click() {
    CFileDialog dialog(m_ui);
    prepareDialog(dialog, this);
    dialog.setDialogTitle(qs(t::SaveAsDialogTitle));
    dialog.setFlags(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    dialog.setFileName(QString::fromStdString(m_state.CurrentFilePath));
    if (dialog.Show(false)) {
        const std::string name = dialog.FileName().toStdString();
        m_currentFolder = FolderOf(name);
        int code = 0;
        if (SaveInputFile(m_state.Model, name, code)) {
            setCaptionForFile(dialog.FileTitle());
            m_state.CurrentFilePath = name;
            UpdateRecentFileList(name);
            m_state.DataChanged = false;
        } else {
            showWriteError(code);
        }
    }
    storeInitDir();
}

void frmMenuMain::mnuFileSave_Click() {
    if (m_state.CurrentFilePath.empty()) {
        mnuFileSaveAs_Click();
        return;
    }
    int code = 0;
    if (SaveInputFile(m_state.Model, m_state.CurrentFilePath, code)) {
        UpdateRecentFileList(m_state.CurrentFilePath);
        m_state.DataChanged = false;
    } else {
        showWriteError(code);
    }
}

void frmMenuMain::mnuFileName_Click(int index) {
    if (index < 0 || index > 3 || !askSaveBeforeLeaving(Leaving::Open)) return;
    const std::string path = readFileNameKey(m_state.IniFilePath, recentKey(index + 1));
    int code = 0;
    const bool ok = openInputFile(path, code, false);
    Form_Activate();
    if (!ok) {
        showReadError(code);
        return;
    }
    setCaptionForFile(QString::fromStdString(FileTitleOf(path)));
    m_state.CurrentFilePath = path;
    UpdateRecentFileList(path);
    const std::string folder = FolderOf(path);
    if (!folder.empty()) m_currentFolder = folder;
    storeInitDir();
    m_state.DataChanged = false;
}

void frmMenuMain::mnuFileExit_Click() {
    cmdExit_Click();
}

void frmMenuMain::mnuAbout_Click() {
    frmAbout about(m_ui, AboutProgram::Mibrox, this);
    about.exec();
}

void frmMenuMain::tbrMenu_ButtonClick(const QString& key) {
    if (key == QLatin1String("New")) {
        mnuFileNew_Click();
    } else if (key == QLatin1String("Open")) {
        mnuFileOpen_Click();
    } else if (key == QLatin1String("SaveAs")) {
        mnuFileSaveAs_Click();
    } else if (key == QLatin1String("Save")) {
        mnuFileSave_Click();
    }
}

QAction* frmMenuMain::tbrButton(const QString& key) const {
    for (QAction* action : m_tbrMenu->actions()) {
        if (action->data().toString() == key) return action;
    }
    return nullptr;
}
