// The settings commands of klango-cli: update (the structure update a program upgrade asks for)
// and findplayer (the player search of the settings dialog).
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "cli/cli_support.h"
#include "settings/database_update.h"
#include "settings/player_search.h"
#include "shell/app_state.h"
#include "shell/rx_helpers.h"

namespace fs = std::filesystem;

namespace klango::cli {
namespace {

// Ctrl-C asks the update to stop after the database in work, as "&Unterbrechen" does.
std::atomic<bool>* g_updateStop = nullptr;

extern "C" void stopUpdate(int) {
    if (g_updateStop) g_updateStop->store(true);
}

// Prints each database as the update takes it up.
class UpdateConsoleUi : public ConsoleUi {
  public:
    UpdateConsoleUi() : ConsoleUi(false) {}
    void runDialog(ui::DialogModel& model, const std::function<void()>& onShown) override {
        auto* dialog = dynamic_cast<settings::UpdateDialogModel*>(&model);
        long shown = 0;
        if (dialog) {
            g_updateStop = &dialog->stopFlag();
            dialog->onChanged = [dialog, &shown] {
                if (dialog->position() == shown) return;
                shown = dialog->position();
                std::cout << shown << "/" << dialog->total() << " " << base::cp1252ToUtf8(dialog->file())
                          << std::endl;
            };
        }
        if (onShown) onShown();
        if (dialog) {
            dialog->onChanged = nullptr;
            g_updateStop = nullptr;
        }
    }
};

int cmdUpdate(const Context& ctx, const std::vector<std::string>& args) {
    if (!args.empty()) return fail("update erwartet keine Argumente");
    shell::AppState state;
    state.CRUNIN = ctx.home / "";
    UpdateConsoleUi ui;
    struct sigaction action {};
    action.sa_handler = stopUpdate;
    sigemptyset(&action.sa_mask);
    struct sigaction before {};
    sigaction(SIGINT, &action, &before);
    dbf::WorkAreas areas(state.dataFolder());
    settings::DatabaseUpdate update;
    const settings::UpdateResult result = update.CHKUPDATE(state, areas, ui);
    sigaction(SIGINT, &before, nullptr);
    switch (result) {
        case settings::UpdateResult::NoMarker:
        case settings::UpdateResult::AlreadyRan:
            std::cout << "Kein Update n\u00f6tig: keine Datei " << settings::kUpdateMarker << "\n";
            return 0;
        case settings::UpdateResult::Done:
            std::cout << "Update abgeschlossen\n";
            return 0;
        case settings::UpdateResult::Failed:
        case settings::UpdateResult::Stopped:
            return 1;
    }
    return 1;
}

int cmdFindPlayer(const Context&, const std::vector<std::string>& args) {
    std::vector<fs::path> roots;
    for (const std::string& a : args) {
        if (!a.empty() && a[0] == '-') return fail("unbekanntes Argument \"" + a + "\"");
        roots.emplace_back(a);
    }
    const char* path = std::getenv("PATH");
    std::string found = settings::findPlayerInPath(path ? path : "");
    if (found.empty()) {
        ConsoleUi ui(false);
        if (roots.empty()) roots = shell::GETLOCALDRIVES(platform::Volumes(), &ui);
        std::atomic<bool> stop{false};
        settings::PlayerSearch search(stop);
        for (const fs::path& root : roots) {
            if (search.MAKETREE(root)) {
                found = search.found();
                break;
            }
        }
    }
    if (found.empty()) return fail("WinAmp wurde nicht gefunden !");
    std::cout << base::cp1252ToUtf8(found) << "\n";
    return 0;
}

}  // namespace

KLANGO_CLI_COMMAND({"update",
                    "  update                        nach einem Programm-Update (Datei KLANGO.upd) alle\n"
                    "                                Datenbanken auf die aktuelle Struktur bringen\n",
                    60, cmdUpdate});
KLANGO_CLI_COMMAND(
    {"findplayer",
     "  findplayer [ORDNER ...]       einen MP3-Player suchen: erst im PATH, dann winamp.exe\n"
     "                                oder studio.exe in den Ordnern (Vorgabe: alle Laufwerke)\n",
     70, cmdFindPlayer});

}  // namespace klango::cli
