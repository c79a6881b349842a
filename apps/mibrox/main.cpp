// Mibrox: anchored sheet-pile wall design by the deflection-curve method.
#include <QApplication>
#include <QTranslator>

#include "foundation/ui/AppSetup.h"
#include "workspace/ui/MibroxApp.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    const std::unique_ptr<QTranslator> translation = InstallQtTranslation(app);
    MibroxApp mibrox;
    mibrox.show();
    return app.exec();
}
