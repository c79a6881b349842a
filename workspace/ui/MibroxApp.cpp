#include "workspace/ui/MibroxApp.h"

#include <QCoreApplication>
#include <QFileInfo>

MibroxApp::MibroxApp() : m_ui(std::make_unique<QtUiServices>()) {
    MenuMainSetup setup;
    setup.programFolder = QCoreApplication::applicationDirPath().toStdString();
    setup.executableName =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
    m_mainWindow = std::make_unique<frmMenuMain>(m_state, *m_ui, std::move(setup));
}

MibroxApp::~MibroxApp() = default;

void MibroxApp::show() {
    m_mainWindow->show();
}
