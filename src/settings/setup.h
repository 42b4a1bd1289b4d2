// SETUP: the settings dialog as the main menu, the table window's "SETUPK" button and the first
// start open it. Called through the shell's hook SETUP, filled by the desktop program.
#pragma once

#include "settings/setup_dialog_model.h"

namespace klango::shell {
struct AppState;
}
namespace klango::ui {
class Ui;
}

namespace klango::settings {

// Where the player search looks on this system: the PATH and the mounted local file systems.
PlayerSearchPlaces systemSearchPlaces(ui::Ui& ui);

// Shows the dialog. True when the user saved with another font size than at opening (the caller
// rebuilds the table window); false otherwise. The help topic is "Hauptauswahl" afterwards.
bool SETUP(shell::AppState& state, ui::Ui& ui, PlayerSearchPlaces places);

// The first start: while the settings file holds no settings saved by the dialog, it is offered.
bool settingsNeverSaved(const shell::AppState& state);

}  // namespace klango::settings
