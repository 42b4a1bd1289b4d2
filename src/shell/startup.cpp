#include "shell/startup.h"

#include <fstream>
#include <system_error>

#include "platform/file_names.h"
#include "platform/program_start.h"
#include "base/cp1252.h"
#include "base/error.h"
#include "shell/player_command.h"
#include "shell/rx_helpers.h"

namespace klango::shell {

namespace fs = std::filesystem;

namespace {

void removeQuietly(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);  // a missing file or one in use is no error at exit
}

bool isFile(const fs::path& file) {
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

void closeAllTables(Shell& shell) {
    if (shell.areas) shell.areas->closeAll();
}

// At the first showing of the main window the settings dialog opens once, while the settings
// file holds nothing the dialog saved (LOADPUBLICS's MyPath alone makes the file exist).
void offerSettingsWhileMissing(Shell& shell) {
    if (!shell.state.settingsFileWasMissing) return;
    shell.state.settingsFileWasMissing = false;
    if (shell.state.settings().has(keys::kAutoOpen)) return;
    if (shell.hooks.SETUP) shell.hooks.SETUP();
}


}  // namespace

void ensureDataFolder(const AppState& state) {
    std::error_code ec;
    const fs::path data = state.dataFolder();
    if (!fs::is_directory(data, ec)) fs::create_directories(data, ec);
}

void startUp(Shell& shell, const fs::path& programFolder) {
    std::error_code ec;
    fs::current_path(programFolder, ec);
    AppState probe;
    probe.CRUNIN = programFolder / "";
    ensureDataFolder(probe);
    LOADPUBLICS(shell.state, programFolder);
}

void tableEngineDefaults(Shell& shell) {
    shell.areas = std::make_unique<dbf::WorkAreas>(shell.state.dataFolder());
    base::setNetErr(false);
}

void afterStartScreen(Shell& shell) {
    if (shell.hooks.PRINTERR) shell.hooks.PRINTERR();
    tableEngineDefaults(shell);
    ensureDataFolder(shell.state);
}

WindowRect placeMainWindow(Shell& shell, const DesktopRect& desktop, const FirstSize& first) {
    AppState& s = shell.state;
    s.AWNDSIZE = {desktop.top, desktop.left, desktop.bottom, desktop.right};
    const WindowRect r = startRectangle(desktop, s.settings(), first);
    s.NW_TOP = r.top;
    s.NW_LEFT = r.left;
    s.NW_BOTTOM = r.bottom;
    s.NW_RIGHT = r.right;
    s.NW_WIDTH = r.width;
    s.NW_HEIGHT = r.height;
    return r;
}

void buildMenu(Shell& shell) {
    const AppState& s = shell.state;
    shell.menu = MAKEMENU({s.CS_WWW_M, s.CS_WWW, s.CS_EMAIL_M, s.CS_EMAIL});
}

MenuState menuState(const AppState& s) { return {s.LTAB_OPEN, s.LTAB_TAGG, s.LTAB_FILT, !s.CS_AMPPATH.empty()}; }

MainMenu::Switched RXSETMENU(Shell& shell) {
    const MainMenu::Switched switched = MainMenu::RXSETMENU(menuState(shell.state));
    if (shell.hooks.redrawMenu) shell.hooks.redrawMenu();
    return switched;
}

void onMove(Shell& shell, const WindowPlacement& placement) {
    offerSettingsWhileMissing(shell);
    PUTCOORDS(shell.state.settings(), placement);
}

void onResize(Shell& shell, const WindowPlacement& placement) {
    onMove(shell, placement);
    if (shell.hooks.CHKUPDATE) shell.hooks.CHKUPDATE();
    AppState& s = shell.state;
    if (s.LTAB_OPEN) {
        // The table panel follows the new size by its layout and keeps its order, current
        // record and column widths.
        s.LAUTOOPEN = false;
    } else {
        s.LAUTOOPEN = CHKAUTOOPEN(shell);
    }
}

void onCloseRequest(Shell& shell) {
    if (shell.state.LTAB_OPEN && shell.hooks.MP3DLGCLOSE) shell.hooks.MP3DLGCLOSE();
}

fs::path playlistFolder(const AppState& state) {
    std::string folder = std::string(base::trim(state.settings().text(keys::kPlayList)));
    if (folder.empty()) return state.CRUNIN;
    // The folder and the file name are joined with exactly one separator, whichever the user wrote.
    for (char& c : folder)
        if (c == '\\') c = '/';
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    fs::path p(base::cp1252ToUtf8(folder));
    if (p.is_relative()) p = state.CRUNIN / p;
    return p / "";
}

fs::path playlistFile(const AppState& state, const char* name) {
    return platform::resolveCaseBlind(playlistFolder(state), name);
}

bool copyFileWhole(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::path temp = to;
    temp += ".tmp~";
    if (!fs::copy_file(from, temp, fs::copy_options::overwrite_existing, ec)) {
        fs::remove(temp, ec);
        return false;
    }
    fs::rename(temp, to, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool startProgramLine(Shell& shell, const std::string& commandLine) {
    const bool started =
        shell.hooks.startProgram ? shell.hooks.startProgram(commandLine) : platform::startProgram(commandLine);
    if (!started) {
        shell.ui->warning(base::utf8ToCp1252("Programmstart"),
                          base::utf8ToCp1252("Das Programm konnte nicht gestartet werden:\n") + commandLine);
    }
    return started;
}

bool startProgramCall(Shell& shell, const platform::ProgramCall& call) {
    const bool started =
        shell.hooks.startCall ? shell.hooks.startCall(call) : platform::startDetached(call.program, call.args);
    if (!started) {
        shell.ui->warning(base::utf8ToCp1252("Programmstart"),
                          base::utf8ToCp1252("Das Programm konnte nicht gestartet werden:\n" + call.program));
    }
    return started;
}

bool CHKAUTOOPEN(Shell& shell) {
    AppState& s = shell.state;
    shell.ui->setWaitCursor(true);
    const Settings settings = s.settings();
    const bool autoOpen = settings.on(keys::kAutoOpen);
    const bool autoStart = settings.on(keys::kAutoStart);
    if (autoOpen) {
        s.CFILE = settings.text(keys::kDatabaseFile);
        if (!s.CFILE.empty()) {
            const fs::path old = playlistFile(s, kOldPlaylistFile);
            // Without a player command there is nothing to start the playlist with.
            if (autoStart && isFile(old) && !s.CS_AMPPATH.empty()) {
                const fs::path m3u = playlistFile(s, kPlaylistFile);
                if (copyFileWhole(old, m3u)) {
                    if (auto call = playerCall(s.CS_AMPPATH, false, m3u.string())) startProgramCall(shell, *call);
                }
            }
            if (shell.hooks.MP3TABLE) shell.hooks.MP3TABLE(false);
        }
    }
    RXSETMENU(shell);
    shell.ui->setWaitCursor(false);
    return true;
}

void exitCleanup(Shell& shell) {
    const AppState& s = shell.state;
    const fs::path m3u = playlistFile(s, kPlaylistFile);
    // The playlist is removed only once it is safe in "KLANGO.OLD".
    bool playlistKept = true;
    if (isFile(m3u)) playlistKept = copyFileWhole(m3u, playlistFile(s, kOldPlaylistFile));
    closeAllTables(shell);
    if (playlistKept) removeQuietly(m3u);
    for (const char* name : kProgramWorkFiles) removeQuietly(s.programFile(name));
    RXDELALL(s.dataFolder(), "*.NT?", true, shell.areas.get());
    RXDELALL(s.CRUNIN, "Statist.*", true, shell.areas.get());
    const fs::path search = s.dataFile(kSearchTable);
    if (isFile(search)) {
        closeAllTables(shell);
        removeQuietly(search);
    }
}

}  // namespace klango::shell
