// AppState: the application-wide variables that live for the whole run and that every command
// reads, under their given names; LOADPUBLICS fills them at start. Owned by the program's entry
// routine and handed by reference to the commands; only LOADPUBLICS resets it as a whole.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/settings.h"

namespace klango::shell {

// A font as the dialogs name it; the Qt layer maps it to a real font.
struct FontDescription {
    std::string family = "Ms Sans Serif";
    int height = 8;
    bool bold = false;
};

// The windows and window objects of the run (OWND, ODLG, OLBX, OBAR, OMENU, OMSG, the message-bar
// items OMP3BASE, OMP3RECS, OMP3TAGG, OMP3FILT and the menu items OM_SUCHEN, OM_DELMARK,
// OM_FILTOFF) are not kept here: the Qt layer owns them and the commands reach them through Ui.
struct AppState {
    // Folders and files. CRUNIN ends with a separator, so CRUNIN / "x" and the text CRUNIN + "x"
    // name the same file. CPRGPATH and CMYPATH are the program folder as text (CP1252) without a
    // trailing separator, as the settings dialog shows it and the settings file stores it.
    std::filesystem::path CRUNIN;
    std::filesystem::path CINIFILE;
    std::string CPRGPATH;
    std::string CMYPATH;
    std::string CRELEASE;               // program name and version: title, about box, error log, support mail
    std::string CFILE = "MP3BASE.DBF";  // the current track database; after opening its base name

    // The open table and its view.
    bool LTAB_OPEN = false;
    bool LTAB_FILT = false;
    bool LTAB_TAGG = false;
    int NTAB_SORT = 1;
    int NTABROWS = 0;
    bool LAUTOOPEN = false;

    // Dialog fonts and input colours (BGR numbers as the Windows API takes them).
    FontDescription OFONT{};
    FontDescription OFONTB{.bold = true};
    int NCOLF = 1;
    int NCOLB = 13697023;  // red 255, green 255, blue 208
    int NCOLBH = 9240575;  // red 255, green 255, blue 140

    // Settings held in memory from start (all others are read at the moment of use).
    std::string CS_EMAIL_M;
    std::string CS_EMAIL;
    std::string CS_WWW_M;
    std::string CS_WWW;
    bool LS_MARKDATE = false;
    bool LS_MARKHOUR = false;
    bool LS_MARKSORT = false;
    bool LS_SHOWTRAK = false;
    std::string CS_AMPPATH;  // the player's command line; empty: no player configured
    long long NS_DBLCLICK = 0;
    long long NS_FONTSIZE = 0;

    // Filter state.
    std::vector<std::string> AFILT1, AFILT2, AFILT3, AFILT4, AFILT5, AFILT6;
    std::vector<std::string> AFARRAY;
    bool LKILLED = false;

    // Search state: the criteria stay unset until the search dialog loads them.
    std::optional<std::string> CSU_GROUP;
    std::optional<std::string> CSU_ALBUM;
    std::optional<std::string> CSU_TITLE;
    std::optional<std::string> CSU_TEXT;
    std::vector<std::string> ASUCH_TXT;

    // The main window's rectangle at start and the desktop (top, left, bottom, right), in pixels;
    // filled by the entry routine before it creates the main window.
    int NW_TOP = 0;
    int NW_LEFT = 0;
    int NW_BOTTOM = 0;
    int NW_RIGHT = 0;
    int NW_WIDTH = 0;
    int NW_HEIGHT = 0;
    std::array<int, 4> AWNDSIZE{};

    // True when the settings file holds no settings saved by the settings dialog (no
    // System/AutoOpen key; LOADPUBLICS's MyPath creates the file anyway): the first showing of
    // the main window offers the dialog and clears it, as does saving in the dialog.
    bool settingsFileWasMissing = false;

    // The settings file.
    Settings settings() const { return Settings(CINIFILE); }
    // The data folder "Daten" below the program folder, found whatever its case.
    std::filesystem::path dataFolder() const;
    // A file of the program or data folder, found whatever the case of its name; a file that does
    // not exist gets the name as given.
    std::filesystem::path programFile(std::string_view name) const;
    std::filesystem::path dataFile(std::string_view name) const;
};

// Initialises every variable of state for the program in programFolder, reads the settings held
// in memory and writes Project/MyPath. Returns true; a settings file that cannot be written does
// not stop the start (the later writers report their own failures).
bool LOADPUBLICS(AppState& state, const std::filesystem::path& programFolder);

}  // namespace klango::shell
