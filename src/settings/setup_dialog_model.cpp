#include "settings/setup_dialog_model.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>

#include "base/cp1252.h"
#include "settings/player_search.h"
#include "shell/app_state.h"
#include "shell/settings_keys.h"
#include "ui/ui.h"

namespace klango::settings {

namespace fs = std::filesystem;
using namespace shell::keys;

namespace {

constexpr const char* kProblem = "Problem";

bool holdsLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

// The folder part of a path written with either separator; empty when there is none.
std::string folderOf(const std::string& path, bool withSeparator) {
    const size_t pos = path.find_last_of("\\/");
    if (pos == std::string::npos) return {};
    if (withSeparator) return path.substr(0, pos + 1);
    return pos == 0 ? path.substr(0, 1) : path.substr(0, pos);
}

bool folderWritable(const std::string& folder) {
    std::error_code ec;
    const fs::path dir(base::cp1252ToUtf8(folder));
    if (folder.empty() || !fs::is_directory(dir, ec)) return false;
    const fs::path probe = dir / (".klango-write-test-" + std::to_string(::getpid()));
    bool ok = false;
    {
        std::ofstream out(probe, std::ios::binary);
        ok = bool(out);
    }
    fs::remove(probe, ec);
    return ok;
}

}  // namespace

std::string SearchIntroModel::text() {
    return "Klango sucht nun WinAmp auf allen lokalen und Netzwerk-Laufwerken. Klicken Sie auf 'Weiter' um "
           "die "
           "Suche zu starten, oder beenden Sie diesen Dialog.";
}

std::string SearchIntroModel::hint() {
    return "Klicken Sie nach dem Start auf 'Unterbrechen', um die automatische Suche abzubrechen.";
}

std::string playlistFolderFor(const std::string& programPath, const std::string& programFolder,
                              bool withSeparator) {
    if (programPath.empty()) return {};
    if (folderWritable(folderOf(programPath, false))) return folderOf(programPath, withSeparator);
    if (!withSeparator || programFolder.empty() || programFolder.back() == '/' ||
        programFolder.back() == '\\')
        return programFolder;
    return programFolder + '/';
}

SetupDialogModel::SetupDialogModel(shell::AppState& state, ui::Ui& ui, PlayerSearchPlaces places)
    : m_state(state), m_ui(ui), m_places(std::move(places)) {
    m_ui.setWaitCursor(true);
    const shell::Settings s = state.settings();
    SetupValues& v = m_values;
    v.autoOpen = s.on(kAutoOpen);
    v.autoStart = s.on(kAutoStart);
    v.ampPath = s.text(kAmpPath);
    v.ampAddPl = s.on(kAmpAddPl);
    v.ampUseIt = s.on(kAmpUseIt);
    v.pl2Path = s.text(kPl2Path);
    v.pl2PList = s.text(kPl2PList);
    v.pl2AddPl = s.on(kPl2AddPl);
    v.pl2UseIt = s.on(kPl2UseIt);
    // The shared values as the run holds them.
    v.markDate = state.LS_MARKDATE;
    v.markHour = state.LS_MARKHOUR;
    v.markSort = state.LS_MARKSORT;
    v.showTrak = state.LS_SHOWTRAK;
    v.dblClick = state.NS_DBLCLICK;
    v.fontSize = state.NS_FONTSIZE;
    v.dimension = s.number(kDimension);
    m_fontAtOpening = v.fontSize;
    m_ui.setWaitCursor(false);
}

SetupDialogModel::~SetupDialogModel() = default;

bool SetupDialogModel::enabled(SetupControl c) const {
    if (m_searching) return c == SetupControl::AmpInterrupt;
    switch (c) {
        case SetupControl::AmpInterrupt:
            return false;
        case SetupControl::AmpAddPl:
            return m_ampAddPlEnabled;
        case SetupControl::MarkHour:
            return m_values.markDate;
        case SetupControl::Save:
            // The player in use needs a program to start.
            return !(m_values.ampUseIt ? m_values.ampPath : m_values.pl2Path).empty();
        default:
            return true;
    }
}

void SetupDialogModel::setAutoOpen(bool on) { m_values.autoOpen = on, changed(); }
void SetupDialogModel::setAutoStart(bool on) { m_values.autoStart = on, changed(); }
void SetupDialogModel::setAmpAddPl(bool on) { m_values.ampAddPl = on, changed(); }
void SetupDialogModel::setPl2AddPl(bool on) { m_values.pl2AddPl = on, changed(); }
void SetupDialogModel::setMarkHour(bool on) { m_values.markHour = on && m_values.markDate, changed(); }
void SetupDialogModel::setMarkSort(bool on) { m_values.markSort = on, changed(); }
void SetupDialogModel::setShowTrak(bool on) { m_values.showTrak = on, changed(); }
void SetupDialogModel::setDblClick(long long n) { m_values.dblClick = n, changed(); }
void SetupDialogModel::setFontSize(long long n) { m_values.fontSize = n, changed(); }

void SetupDialogModel::setAmpUseIt(bool on) {
    m_values.ampUseIt = on;
    m_values.pl2UseIt = !on;
    changed();
}

void SetupDialogModel::setPl2UseIt(bool on) {
    m_values.pl2UseIt = on;
    m_values.ampUseIt = !on;
    changed();
}

void SetupDialogModel::setMarkDate(bool on) {
    m_values.markDate = on;
    if (!on) m_values.markHour = false;
    changed();
}

bool SetupDialogModel::acceptPath(const std::string& path) {
    if (!holdsLineBreak(path)) return true;
    m_ui.warning(kProblem, "Ein Pfad mit einem Zeilenumbruch kann nicht gespeichert werden.");
    return false;
}

void SetupDialogModel::chooseAmpPath() {
    const std::string& cur = m_values.ampPath;
    const std::string start = cur.empty() ? std::string("/") : folderOf(cur, true);
    // Linux players have no ".exe": every file can be picked through the second filter entry.
    const std::string path =
        m_ui.RXGETFILE("WinAmp-Player | *.Exe|Alle Dateien|*", "WinAmp-Programmpfad", 1, start, false, cur);
    if (acceptPath(path)) m_values.ampPath = path;
    changed();
}

void SetupDialogModel::choosePl2Path() {
    const std::string& cur = m_values.pl2Path;
    const std::string start = cur.empty() ? std::string("/") : folderOf(cur, true);
    const std::string path =
        m_ui.RXGETFILE("Player 2 | *.exe|Alle Dateien|*", "Player-2 Programmpfad", 1, start, false, cur);
    if (acceptPath(path)) {
        m_values.pl2Path = path;
        m_values.pl2PList = playlistFolderFor(path, m_state.CPRGPATH, true);
    }
    changed();
}

void SetupDialogModel::choosePl2PList() {
    std::string folder = m_ui.chooseFolder("Player-2 Playliste", "/");
    if (!folder.empty() && acceptPath(folder)) {
        if (folder.back() != '/' && folder.back() != '\\') folder += '/';
        m_values.pl2PList = folder;
    }
    changed();
}

void SetupDialogModel::setSearchStatus(std::string text) {
    m_searchStatus = std::move(text);
    changed();
}

void SetupDialogModel::interrupt() {
    m_break = true;
    changed();
}

void SetupDialogModel::search() {
    if (m_searching) return;
    m_searching = true;
    m_searchStatus = m_values.ampPath;
    changed();
    IMPDRIVES();
    m_searching = false;
    m_ampAddPlEnabled = !m_values.ampPath.empty();
    m_values.ampAddPl = m_ampAddPlEnabled;
    changed();
    if (m_closeAfterSearch) requestClose();
}

bool SetupDialogModel::IMPDRIVES() {
    SearchIntroModel intro;
    m_ui.runDialog(intro);
    if (!intro.go()) return true;

    // The worker searches; this thread shows where it is and lets the "&Unterbrechen" through.
    struct Shared {
        std::mutex mutex;
        std::condition_variable wake;
        std::string status;
        bool statusNew = false;
        bool done = false;
    } shared;
    const std::vector<fs::path> drives = m_places.drives ? m_places.drives() : std::vector<fs::path>{};
    const std::string pathList = m_places.pathList;
    std::string result = m_values.ampPath;
    bool stoppedBeforeStart = false;

    auto show = [&shared](std::string text) {
        std::lock_guard lock(shared.mutex);
        shared.status = std::move(text);
        shared.statusNew = true;
    };
    std::thread worker([&] {
        PlayerSearch search(m_break);
        search.onFolder = show;
        if (m_break.exchange(false)) {
            stoppedBeforeStart = true;
        } else {
            result = findPlayerInPath(pathList);
            if (result.empty()) {
                for (const fs::path& drive : drives) {
                    if (m_break.exchange(false)) break;
                    show("Durchsuche Laufwerk: " + base::utf8ToCp1252(drive.string()));
                    if (search.MAKETREE(drive)) {
                        result = search.found();
                        break;
                    }
                }
            }
        }
        std::lock_guard lock(shared.mutex);
        shared.done = true;
        shared.wake.notify_all();
    });
    for (;;) {
        m_ui.processEvents();
        std::string status;
        bool fresh = false;
        bool done = false;
        {
            std::unique_lock lock(shared.mutex);
            shared.wake.wait_for(lock, std::chrono::milliseconds(10), [&] { return shared.done; });
            done = shared.done;
            if (shared.statusNew) {
                status = std::move(shared.status);
                shared.statusNew = false;
                fresh = true;
            }
        }
        if (fresh) setSearchStatus(std::move(status));
        if (done) break;
    }
    worker.join();
    // A stop pressed during this search belongs to it, not to the next one.
    if (!stoppedBeforeStart) m_break = false;

    m_values.ampPath = result;
    setSearchStatus(result);  // the field shows the result under the message
    // A dialog being closed has no one left to tell.
    if (m_closeAfterSearch) return true;
    if (result.empty())
        m_ui.warning(kProblem, "WinAmp wurde nicht gefunden !");
    else if (!stoppedBeforeStart)
        m_ui.info("Fertig", "WinAmp gefunden in '" + result + "'");
    return true;
}

bool SetupDialogModel::save() {
    SetupValues& v = m_values;
    if (!enabled(SetupControl::Save)) return false;
    for (const std::string* text : {&v.ampPath, &v.pl2Path, &v.pl2PList}) {
        if (!acceptPath(*text)) return false;
    }
    const std::string ampList = playlistFolderFor(v.ampPath, m_state.CPRGPATH);
    const shell::Settings s = m_state.settings();
    const bool written =
        s.writeSwitch(kAutoOpen, v.autoOpen) && s.writeSwitch(kAutoStart, v.autoStart) &&
        s.write(kAmpPath, v.ampPath) && s.write(kAmpPList, ampList) && s.writeSwitch(kAmpAddPl, v.ampAddPl) &&
        s.writeSwitch(kAmpUseIt, v.ampUseIt) && s.write(kPl2Path, v.pl2Path) &&
        s.write(kPl2PList, v.pl2PList) && s.writeSwitch(kPl2AddPl, v.pl2AddPl) &&
        s.writeSwitch(kPl2UseIt, v.pl2UseIt) && s.writeSwitch(kMarkDate, v.markDate) &&
        s.writeSwitch(kMarkHour, v.markHour) && s.writeSwitch(kMarkSort, v.markSort) &&
        s.writeSwitch(kShowTrak, v.showTrak) && s.writeNumberRight10(kDblClick, v.dblClick) &&
        s.writeNumberRight10(kFontSize, v.fontSize) && s.writeNumberRight10(kDimension, v.dimension) &&
        s.write(kPlayPath, v.ampUseIt ? v.ampPath : v.pl2Path) &&
        s.write(kPlayList, v.ampUseIt ? ampList : v.pl2PList) &&
        s.writeSwitch(kAddPList, v.ampUseIt ? v.ampAddPl : v.pl2AddPl);
    if (!written) {
        m_ui.warning(kProblem, "Die Einstellungen konnten nicht in die Datei " +
                                   base::utf8ToCp1252(s.file().string()) + " geschrieben werden.");
        return false;
    }
    // The run takes the saved values at once.
    m_state.LS_MARKDATE = v.markDate;
    m_state.LS_MARKHOUR = v.markHour;
    m_state.LS_MARKSORT = v.markSort;
    m_state.LS_SHOWTRAK = v.showTrak;
    m_state.NS_DBLCLICK = v.dblClick;
    m_state.NS_FONTSIZE = v.fontSize;
    m_state.CS_AMPPATH = v.ampUseIt ? v.ampPath : v.pl2Path;
    m_state.settingsFileWasMissing = false;
    m_saved = true;
    requestClose();
    return true;
}

void SetupDialogModel::end() {
    if (m_searching) return;
    requestClose();
}

void SetupDialogModel::closeBox() {
    if (m_searching) {
        m_closeAfterSearch = true;
        interrupt();
        return;
    }
    requestClose();
}

}  // namespace klango::settings
