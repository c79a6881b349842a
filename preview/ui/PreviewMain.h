#pragma once
// Main of Preview: reads the command line, fixes where Preview.ini lies (writing the factory
// file when it is missing) and opens the preview window without waiting for it.

#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "foundation/ui/UiServices.h"
#include "preview/HeaderFooter.h"
#include "preview/PreviewControl.h"
#include "preview/ui/FrmPreview.h"

namespace preview {

// The program's surroundings, injected so that the start can be tested.
struct StartUpEnvironment {
    std::string localDataFolder;  // the user's data folder; empty when unknown
    std::string programFolder;    // the executable's folder
    const Clock* clock = nullptr;  // null: the system clock
};

// The control and its view widget, made for the window.
struct ControlAndView {
    std::unique_ptr<PreviewControl> control;
    QWidget* view = nullptr;  // handed to the window, which owns it
};
using ControlFactory = std::function<ControlAndView()>;

// What Main leaves running: the control and its window (both empty when the program ends
// at once).
struct PreviewProgram {
    std::unique_ptr<PreviewControl> control;
    std::unique_ptr<frmPreview> window;
};

// The arguments joined with blanks into one command line.
std::string JoinArguments(const QStringList& arguments);

// An empty command line shows the start-up message and returns an empty program.
PreviewProgram Main(const std::string& commandLine, const StartUpEnvironment& environment,
                    UiServices& ui, const ControlFactory& makeControl);

}  // namespace preview
