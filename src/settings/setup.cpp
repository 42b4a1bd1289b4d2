#include "settings/setup.h"

#include <cstdlib>

#include "shell/app_state.h"
#include "shell/rx_helpers.h"
#include "ui/ui.h"

namespace klango::settings {

PlayerSearchPlaces systemSearchPlaces(ui::Ui& ui) {
    const char* path = std::getenv("PATH");
    return {path ? path : "", [&ui] { return shell::GETLOCALDRIVES(platform::Volumes(), &ui); }};
}

bool SETUP(shell::AppState& state, ui::Ui& ui, PlayerSearchPlaces places) {
    SetupDialogModel model(state, ui, std::move(places));
    ui.runDialog(model);
    ui.setHelpTopic("Hauptauswahl");
    return model.fontSizeChanged();
}

bool settingsNeverSaved(const shell::AppState& state) {
    return !state.settings().has(shell::keys::kAutoOpen);
}

}  // namespace klango::settings
