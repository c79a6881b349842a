#pragma once
// The application object of Mibrox: owns the workspace state, the UI services and the main
// window for the whole run. main() creates one and shows it.

#include <memory>

#include "foundation/ui/UiServices.h"
#include "workspace/WorkspaceState.h"
#include "workspace/ui/MenuMain.h"

class MibroxApp {
  public:
    // The program's folder and name come from the running executable. Needs a QApplication.
    MibroxApp();
    ~MibroxApp();

    frmMenuMain& mainWindow() { return *m_mainWindow; }
    void show();

  private:
    WorkspaceState m_state;
    std::unique_ptr<UiServices> m_ui;
    std::unique_ptr<frmMenuMain> m_mainWindow;
};
