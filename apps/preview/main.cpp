// Preview: the print-preview program. Its window is filled in by the preview subsystem.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
