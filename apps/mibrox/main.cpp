// Mibrox: anchored sheet-pile wall design by the deflection-curve method.
#include <QApplication>

#include "workspace/ui/MibroxApp.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    MibroxApp mibrox;
    mibrox.show();
    return app.exec();
}
