#include "report/ui/MenuPrintForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "foundation/FileRoutines.h"
#include "foundation/PrivateProfile.h"
#include "foundation/ui/UiServices.h"
#include "foundation/ui/UiText.h"
#include "report/Reports.h"
#include "report/ui/ProcessStarter.h"
#include "report/ui/ReportUiTexts.h"

namespace t = report_ui_text;

namespace {

const char* const kSection = "MenuPrint";
const char* const kTickKey[2] = {"0", "1"};

QString fromPath(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// A new report file made current; empty when no name can be made.
std::string newCurrentReportFile(PrintSession& session) {
    try {
        std::string name = session.writer().NewReportFileName();
        session.writer().SetCurrentReportFile(name);
        return name;
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

frmMenuPrint::frmMenuPrint(UiServices& ui, ProcessStarter& starter, PrintMenuSetup setup,
                           QWidget* parent)
    : DialogBase(parent),
      m_ui(ui),
      m_starter(starter),
      m_setup(std::move(setup)),
      m_session(m_setup.dataFiles) {
    setWindowTitle(qs(t::MenuPrintCaption));
    setPositionStore(m_setup.iniFilePath, kSection);
    buildControls();
}

frmMenuPrint::~frmMenuPrint() {
    removeFiles();
}

void frmMenuPrint::buildControls() {
    Frame1 = new QGroupBox(qs(t::MenuPrintFrame), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* items = new QVBoxLayout(Frame1);
    for (int i = 0; i < 2; ++i) {
        auto* item = new QCheckBox(qs(t::PrintItem[i]), Frame1);
        item->setObjectName(QStringLiteral("chkPrintItem%1").arg(i));
        items->addWidget(item);
        chkPrintItem[static_cast<std::size_t>(i)] = item;
    }
    auto* checks = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(qs(t::CmdCheck[i]), this);
        button->setObjectName(QStringLiteral("cmdCheck%1").arg(i));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdCheck_Click(i); });
        checks->addWidget(button);
        cmdCheck[static_cast<std::size_t>(i)] = button;
    }
    checks->addStretch();
    cmdPreview = new QPushButton(qs(t::CmdPreview), this);
    cmdClose = new QPushButton(qs(t::CmdClose), this);
    cmdHelp = new QPushButton(qs(t::CmdHelp), this);
    cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdPreview->setDefault(true);
    cmdClose->setAutoDefault(false);
    cmdHelp->setAutoDefault(false);
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { reject(); });

    auto* top = new QHBoxLayout;
    top->addWidget(Frame1, 1);
    top->addLayout(checks);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdPreview);
    buttons->addWidget(cmdClose);
    buttons->addWidget(cmdHelp);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void frmMenuPrint::prepareForm() {
    const CPrivateProfile profile;
    for (std::size_t i = 0; i < 2; ++i) {
        chkPrintItem[i]->setChecked(
            profile.GetValueLong(m_setup.iniFilePath, kSection, kTickKey[i]) == 1);
    }
    if (!BuildPrintFiles()) cmdPreview->setEnabled(false);
}

bool frmMenuPrint::BuildPrintFiles() {
    m_session.BeginBuild(ReadNumberingSettings(m_setup.iniFilePath));
    m_reportFiles = {};
    m_combined.clear();
    std::array<bool, 2> written{};
    for (std::size_t k = 0; k < 2; ++k) {
        m_reportFiles[k] = newCurrentReportFile(m_session);
        if (m_reportFiles[k].empty() || !m_setup.writeReport) continue;
        try {
            written[k] = m_setup.writeReport(m_session, static_cast<int>(k));
        } catch (const std::exception&) {
            written[k] = false;
        }
    }
    m_combined = newCurrentReportFile(m_session);

    if (!written[0] || !written[1]) {
        QString text;
        for (std::size_t k = 0; k < 2; ++k) {
            if (!written[k]) text += QStringLiteral("\n") + qs(t::ReportFailed[k]);
        }
        m_ui.message(this, text, qs(t::ProductTitle), UiServices::Buttons::Ok,
                     UiServices::Icon::Critical);
    }
    return written[0] && written[1] && !m_combined.empty();
}

void frmMenuPrint::cmdCheck_Click(int index) {
    for (QCheckBox* item : chkPrintItem) {
        switch (index) {
            case 0:
                if (item->isEnabled()) item->setChecked(true);
                break;
            case 1:
                item->setChecked(false);
                break;
            case 2:
                item->setChecked(!item->isChecked() && item->isEnabled());
                break;
            default:
                return;
        }
    }
}

void frmMenuPrint::reportJoinFailure(const std::string& path) {
    m_ui.message(this, qs(t::JoinFailed) + QStringLiteral("\n") + fromPath(path),
                 qs(t::ProductTitle), UiServices::Buttons::Ok, UiServices::Icon::Critical);
}

bool frmMenuPrint::MergeSelectedPrintFiles() {
    const bool anyTicked = chkPrintItem[0]->isChecked() || chkPrintItem[1]->isChecked();
    if (!anyTicked) {
        m_ui.beep();
        m_ui.message(this, qs(t::NothingTicked), windowTitle(), UiServices::Buttons::Ok,
                     UiServices::Icon::Information);
        return false;
    }
    if (m_combined.empty()) return false;
    if (!CreateEmptyFile(m_combined)) {
        reportJoinFailure(m_combined);
        return false;
    }
    bool first = true;
    for (std::size_t k = 0; k < 2; ++k) {
        if (!chkPrintItem[k]->isChecked()) continue;
        if (!first) {
            // The form feed goes to the combined file by its path.
            m_session.writer().SetCurrentReportFile(m_combined);
            if (!m_session.writer().AppendFormFeed()) {
                reportJoinFailure(m_combined);
                return false;
            }
        }
        if (m_reportFiles[k].empty() || !AppendTextFile(m_combined, m_reportFiles[k])) {
            reportJoinFailure(m_combined);
            return false;
        }
        first = false;
    }
    return true;
}

void frmMenuPrint::cmdPreview_Click() {
    if (!MergeSelectedPrintFiles()) return;
    // Preview joins its arguments with blanks, so it reads: /INI="<folder>" <combined file>.
    const QString program = fromPath(joinPath(m_setup.programFolder, "Preview"));
    const QStringList arguments = {
        QStringLiteral("/INI=\"") + fromPath(m_setup.previewIniFolder) + QStringLiteral("\""),
        fromPath(m_combined)};
    if (!m_starter.startDetached(program, arguments)) {
        m_ui.message(this, qs(t::PreviewFailed) + QStringLiteral("\n") + program,
                     qs(t::ProductTitle), UiServices::Buttons::Ok, UiServices::Icon::Critical);
    }
}

void frmMenuPrint::storeTicks() {
    const CPrivateProfile profile;
    for (std::size_t i = 0; i < 2; ++i) {
        profile.SetValueString(m_setup.iniFilePath, kSection, kTickKey[i],
                               chkPrintItem[i]->isChecked() ? "1" : "0");
    }
}

void frmMenuPrint::removeFiles() {
    m_session.RemoveAllFiles();
    m_reportFiles = {};
    m_combined.clear();
}

void frmMenuPrint::done(int result) {
    if (loadStepDone()) storeTicks();
    DialogBase::done(result);  // writes Top and Left
    removeFiles();
}

std::unique_ptr<frmMenuPrint> CreatePrintMenu(const InputModel& model, const AnalysisResult& result,
                                              const PrintMenuPaths& paths, UiServices& ui,
                                              ProcessStarter& starter, QWidget* parent) {
    PrintMenuSetup setup;
    setup.iniFilePath = paths.iniFilePath;
    setup.programFolder = paths.programFolder;
    setup.previewIniFolder = paths.userDataFolder;
    setup.dataFiles = ReportDataFiles::InFolder(paths.programFolder);
    setup.dataFiles.FormatFilePath = paths.formatFilePath;
    setup.writeReport = [&model, &result](PrintSession& session, int index) {
        return index == 0 ? WriteConditionsReport(session, model, result)
                          : WriteResultReport(session, model, result);
    };
    return std::make_unique<frmMenuPrint>(ui, starter, std::move(setup), parent);
}

void ShowPrintMenu(const InputModel& model, const AnalysisResult& result,
                   const PrintMenuPaths& paths, UiServices& ui, QWidget* parent,
                   ProcessStarter* starter) {
    DetachedProcessStarter product;
    const std::unique_ptr<frmMenuPrint> menu =
        CreatePrintMenu(model, result, paths, ui, starter != nullptr ? *starter : product, parent);
    menu->exec();
}
