// Mibrox: anchored sheet-pile wall design. The main window lives in the workspace.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("ミブロクス"));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
