#include "workspace/ui/MenuMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "engine/WallAnalysis.h"
#include "foundation/NumberFormat.h"
#include "foundation/PrivateProfile.h"
#include "foundation/UserFolder.h"
#include "foundation/WindowPlacement.h"
#include "report/ui/InpRenbanForm.h"
#include "report/ui/MenuPrintForm.h"
#include "workspace/ui/FileCommands.h"
#include "workspace/ui/InpJyokenForm.h"
#include "workspace/ui/InpKajyuForm.h"
#include "workspace/ui/MenuMainTexts.h"
#include "workspace/ui/ResOutKekkaForm.h"

namespace t = menumain_text;

namespace {

const char* const kSection = "MenuMain";
const char* const kTop = "Top";
const char* const kLeft = "Left";

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

frmMenuMain::frmMenuMain(WorkspaceState& state, UiServices& ui, MenuMainSetup setup,
                         QWidget* parent)
    : QMainWindow(parent), m_state(state), m_ui(ui), m_setup(std::move(setup)) {
    buildControls();
    Form_Load();
}

frmMenuMain::~frmMenuMain() = default;

void frmMenuMain::buildControls() {
    // File menu
    QMenu* mnuFile = menuBar()->addMenu(qs(t::MnuFile));
    m_mnuFileNew = mnuFile->addAction(qs(t::MnuFileNew), this, [this] { mnuFileNew_Click(); });
    m_mnuFileOpen = mnuFile->addAction(qs(t::MnuFileOpen), this, [this] { mnuFileOpen_Click(); });
    m_mnuFileSaveAs =
        mnuFile->addAction(qs(t::MnuFileSaveAs), this, [this] { mnuFileSaveAs_Click(); });
    m_mnuFileSave = mnuFile->addAction(qs(t::MnuFileSave), this, [this] { mnuFileSave_Click(); });
    mnuFile->addSeparator();  // mnuFileBar2
    for (int i = 0; i < 4; ++i) {
        QAction* entry = mnuFile->addAction(QStringLiteral("&%1").arg(i + 1), this,
                                            [this, i] { mnuFileName_Click(i); });
        entry->setEnabled(false);
        m_mnuFileName[static_cast<size_t>(i)] = entry;
    }
    mnuFile->addSeparator();  // mnuFileBar3
    m_mnuFileExit = mnuFile->addAction(qs(t::MnuFileExit), this, [this] { mnuFileExit_Click(); });
    m_mnuAbout = menuBar()->addAction(qs(t::MnuAbout), this, [this] { mnuAbout_Click(); });

    // Toolbar
    m_tbrMenu = addToolBar(QStringLiteral("tbrMenu"));
    m_tbrMenu->setObjectName(QStringLiteral("tbrMenu"));
    m_tbrMenu->setMovable(false);
    m_tbrMenu->setFloatable(false);
    m_tbrMenu->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    struct Tool {
        const char* key;
        const char* tip;
        QStyle::StandardPixmap icon;
    };
    const Tool tools[] = {{"New", t::TipNew, QStyle::SP_FileIcon},
                          {"Open", t::TipOpen, QStyle::SP_DialogOpenButton},
                          {"SaveAs", t::TipSaveAs, QStyle::SP_DriveFDIcon},
                          {"Save", t::TipSave, QStyle::SP_DialogSaveButton}};
    for (const Tool& tool : tools) {
        const QString key = QString::fromLatin1(tool.key);
        QAction* button = m_tbrMenu->addAction(style()->standardIcon(tool.icon), qs(tool.tip));
        button->setObjectName(key);
        button->setData(key);
        button->setToolTip(qs(tool.tip));
        connect(button, &QAction::triggered, this, [this, key] { tbrMenu_ButtonClick(key); });
    }

    // Main menu buttons
    auto* central = new QWidget(this);
    m_frame1 = new QGroupBox(qs(t::Frame1), central);
    auto* frameLayout = new QVBoxLayout(m_frame1);
    for (int i = 0; i < 6; ++i) {
        auto* button = new QPushButton(qs(t::CmdMenu[i]), m_frame1);
        button->setMinimumSize(240, 40);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdMenu_Click(i); });
        frameLayout->addWidget(button);
        m_cmdMenu[static_cast<size_t>(i)] = button;
    }
    m_cmdExit = new QPushButton(qs(t::CmdExit), central);
    m_cmdExit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_cmdExit->setMinimumHeight(36);
    connect(m_cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(m_frame1);
    layout->addWidget(m_cmdExit);
    setCentralWidget(central);

    adjustSize();
    setFixedSize(size());
}

void frmMenuMain::Form_Load() {
    setWindowTitle(qs(t::ProductTitle));

    const std::string programFolder = m_setup.programFolder;
    m_state.ProgramFolder = programFolder;
    m_state.FormatFilePath = joinPath(programFolder, "Mibrox.fmt");
    m_state.CurrentFilePath.clear();
    m_currentFolder = QDir::currentPath().toStdString();

    // Per-user folder, created with its parents; failures are ignored.
    const std::string base =
        m_setup.localAppDataFolder.empty() ? GetLocalAppDataFolder() : m_setup.localAppDataFolder;
    m_state.UserDataFolder = UserDataFolderPath(base, m_setup.executableName);
    if (!base.empty()) QDir().mkpath(QString::fromStdString(m_state.UserDataFolder));

    // Mibrox.ini beside the program, or in the per-user folder when it cannot be written there.
    m_state.IniFilePath =
        m_setup.iniFilePath.empty()
            ? SettingsFilePath(programFolder, m_state.UserDataFolder, "Mibrox.ini")
            : m_setup.iniFilePath;

    restorePosition();
    refreshRecentEntries();
    ClearInputData(m_state.Model);
    m_state.DataChanged = false;
    Form_Activate();
}

void frmMenuMain::restorePosition() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    const CPrivateProfile profile;
    const QSize window = frameGeometry().size();
    const std::int32_t top = PlaceMainWindowOnAxis(
        profile.GetValueLong(m_state.IniFilePath, kSection, kTop),
        PixelsToTwips(screen->geometry().height(), dpiY), PixelsToTwips(window.height(), dpiY));
    const std::int32_t left = PlaceMainWindowOnAxis(
        profile.GetValueLong(m_state.IniFilePath, kSection, kLeft),
        PixelsToTwips(screen->geometry().width(), dpiX), PixelsToTwips(window.width(), dpiX));
    move(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY));
}

void frmMenuMain::storePosition() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const CPrivateProfile profile;
    const std::int32_t top = PixelsToTwips(pos().y(), screen->logicalDotsPerInchY());
    const std::int32_t left = PixelsToTwips(pos().x(), screen->logicalDotsPerInchX());
    profile.SetValueString(m_state.IniFilePath, kSection, kTop,
                           FormatGeneralNumber(static_cast<double>(top)));
    profile.SetValueString(m_state.IniFilePath, kSection, kLeft,
                           FormatGeneralNumber(static_cast<double>(left)));
}

void frmMenuMain::Form_Activate() {
    const QColor highlight = QGuiApplication::palette().color(QPalette::Highlight);
    const QColor buttonText = QGuiApplication::palette().color(QPalette::ButtonText);
    const bool filled[3] = {m_state.Model.InputDataSet, m_state.Model.LandLoadCount >= 1,
                            m_state.Model.SeaLoadCount >= 1};
    for (int i = 0; i < 3; ++i) {
        QPushButton* button = m_cmdMenu[static_cast<size_t>(i)];
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, filled[i] ? highlight : buttonText);
        button->setPalette(palette);
    }
}

void frmMenuMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
    QMainWindow::changeEvent(event);
}

void frmMenuMain::setCommandRunning(bool running) {
    centralWidget()->setEnabled(!running);
    menuBar()->setEnabled(!running);
    m_tbrMenu->setEnabled(!running);
}

void frmMenuMain::cmdMenu_Click(int index) {
    if (index < 0 || index > 5 || !centralWidget()->isEnabled()) return;
    setCommandRunning(true);
    const auto analyse = [this] {
        if (RunWallAnalysis(m_state.Model, *m_state.Result)) return true;
        m_ui.beep();
        m_ui.message(this, qs(t::AnalysisError), qs(t::ProductTitle), UiServices::Buttons::Ok,
                     UiServices::Icon::Critical);
        return false;
    };
    switch (index) {
        case 0:
            ShowConditionsForm(m_state, m_ui, this);
            break;
        case 1:
            ShowLoadTableForm(m_state, m_ui, this, LoadSide::Land);
            break;
        case 2:
            ShowLoadTableForm(m_state, m_ui, this, LoadSide::Sea);
            break;
        case 3:
            if (analyse()) ShowResultsForm(m_state, m_ui, this);
            break;
        case 4:
            if (analyse()) ShowPrintMenu(m_state, m_ui, this, m_setup.previewStarter);
            break;
        default:
            ShowNumberingForm(m_state.IniFilePath, m_ui, this);
            break;
    }
    setCommandRunning(false);
    Form_Activate();
}

void frmMenuMain::cmdExit_Click() {
    close();
}

void frmMenuMain::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
}

void frmMenuMain::Form_Unload(bool& cancel) {
    // Yes saves first; an unsaved outcome (failed or cancelled save) keeps the program running.
    if (!askSaveBeforeLeaving(Leaving::Exit)) {
        cancel = true;
        return;
    }
    storePosition();
}
