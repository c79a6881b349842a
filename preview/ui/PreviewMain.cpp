#include "preview/ui/PreviewMain.h"

#include "foundation/ProgramVersion.h"
#include "preview/PreviewTexts.h"
#include "preview/StartUp.h"

namespace preview {

std::string JoinArguments(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' ')).toStdString();
}

PreviewProgram Main(const std::string& commandLine, const StartUpEnvironment& environment,
                    UiServices& ui, const ControlFactory& makeControl) {
    const ParsedCommandLine parsed = ParseCommandLine(commandLine);
    if (parsed.empty) {
        ui.message(nullptr, QString::fromUtf8(texts::EmptyCommandLine),
                   QString::fromUtf8(texts::ProgramTitle), UiServices::Buttons::Ok,
                   UiServices::Icon::Information);
        return {};
    }
    const StartUpPlan plan =
        PrepareStartUp(parsed, environment.localDataFolder, environment.programFolder);

    DocumentContext context;
    context.iniPath = plan.iniPath;
    context.printFileFolder = QString::fromStdString(plan.printFileFolder);
    context.programFolder = QString::fromStdString(environment.programFolder);
    context.clock = environment.clock;

    PreviewProgram program;
    ControlAndView made = makeControl();
    program.control = std::move(made.control);
    program.window = std::make_unique<frmPreview>(*program.control, made.view, ui, context);
    frmPreview& window = *program.window;
    window.UsrCaption = QString::fromStdString(PreviewCaption(program_version::Preview.major,
                                                              program_version::Preview.minor,
                                                              program_version::Preview.revision));
    window.UsrPreviewFile = QString::fromStdString(plan.printFilePath);
    window.UsrHelpContextID = 3010;
    window.Form_Load();
    return program;
}

}  // namespace preview
