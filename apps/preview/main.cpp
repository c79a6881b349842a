// Preview: the print-preview program. Its arguments, joined with blanks, are the command line
// that Main reads (/INI="<folder>" <print file>, or a print file dropped on the icon).
#include <QApplication>
#include <QTranslator>

#include "foundation/UserFolder.h"
#include "foundation/ui/AppSetup.h"
#include "preview/PageControl.h"
#include "preview/ui/PageView.h"
#include "preview/ui/PreviewMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    const std::unique_ptr<QTranslator> translation = InstallQtTranslation(app);
    QtUiServices ui;

    preview::StartUpEnvironment environment;
    environment.localDataFolder = GetLocalAppDataFolder();
    environment.programFolder = QCoreApplication::applicationDirPath().toStdString();

    const preview::ControlFactory makeControl = [] {
        auto control = std::make_unique<preview::PageControl>();
        auto* view = new preview::PageView(*control);
        preview::PageView::installPrintDialog(*control, view);
        return preview::ControlAndView{std::move(control), view};
    };
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const preview::PreviewProgram program =
        preview::Main(preview::JoinArguments(arguments), environment, ui, makeControl);
    if (!program.window) return 0;
    return app.exec();
}
