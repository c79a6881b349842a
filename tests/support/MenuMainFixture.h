#pragma once
// The main window over a scratch program folder: the folder, the workspace state, the
// recording UI fake, the window once opened, and access to the window's Mibrox.ini.

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/PrivateProfile.h"
#include "tests/support/FakeUiServices.h"
#include "workspace/WorkspaceState.h"
#include "workspace/ui/MenuMain.h"

struct MenuMainFixture {
    QTemporaryDir dir;
    WorkspaceState state;
    FakeUiServices ui;
    std::unique_ptr<frmMenuMain> window;

    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string ini() const { return path("Mibrox.ini"); }
    void setIni(std::string_view section, std::string_view key, std::string_view value) const {
        CPrivateProfile().SetValueString(ini(), section, key, value);
    }
    long iniLong(std::string_view section, std::string_view key) const {
        return CPrivateProfile().GetValueLong(ini(), section, key);
    }

    // The program in `dir`, its per-user folder under `dir`/appdata.
    MenuMainSetup setup() const {
        MenuMainSetup setup;
        setup.programFolder = dir.path().toStdString();
        setup.executableName = "Mibrox";
        setup.localAppDataFolder = path("appdata");
        return setup;
    }
    // Builds the window (running its start-up) without showing it.
    frmMenuMain& open() {
        window = std::make_unique<frmMenuMain>(state, ui, setup());
        return *window;
    }
};
