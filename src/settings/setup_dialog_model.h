// SetupDialogModel: the settings dialog "Einstellungen" (SETUP) with its four pages "Start&up",
// "&WinAmp", "Player &2" and "&Tabelle": the values it edits, the linked boxes, the enable rules,
// the file pickers, the player search (IMPDRIVES on a worker thread, stopped by "&Unterbrechen")
// and saving in the order the settings file expects. SETUP (setup.h) runs it; the Qt view
// setup_dialog_view binds to it. GUI thread, apart from the search's worker.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ui/dialog_model.h"

namespace klango::shell {
struct AppState;
}
namespace klango::ui {
class Ui;
}

namespace klango::settings {

// Where the player search looks: the PATH text and the drive roots (asked when the search starts).
struct PlayerSearchPlaces {
    std::string pathList;
    std::function<std::vector<std::filesystem::path>()> drives;
};

// The values the dialog edits, with the settings file's defaults.
struct SetupValues {
    bool autoOpen = false;
    bool autoStart = false;
    std::string ampPath;  // CAMPPATH
    bool ampAddPl = true;
    bool ampUseIt = true;
    std::string pl2Path;   // CPL2PATH
    std::string pl2PList;  // CPL2FILE
    bool pl2AddPl = false;
    bool pl2UseIt = false;
    bool markDate = true;
    bool markHour = true;
    bool markSort = true;
    bool showTrak = true;
    long long dblClick = 1;  // 1 mark, 2 play, 3 edit
    long long fontSize = 1;  // 1 small, 2 normal, 3 large
    long long dimension = 1;
};

enum class SetupControl {
    AutoOpen,
    AutoStart,
    AmpPathButton,
    AmpSearch,
    AmpInterrupt,
    AmpAddPl,
    AmpUseIt,
    Pl2PathButton,
    Pl2ListButton,
    Pl2AddPl,
    Pl2UseIt,
    MarkDate,
    MarkHour,
    MarkSort,
    ShowTrak,
    DblClick,
    FontSize,
    Save,
    Help,
    End,
};

// The intro of the player search, "WinAmp suchen": "&Weiter" starts it, anything else does not.
class SearchIntroModel : public ui::DialogModel {
  public:
    std::string title() const override { return "WinAmp suchen"; }
    std::string helpTopic() const override { return "Einstellungen"; }
    static std::string text();
    static std::string hint();
    void proceed() {
        m_go = true;
        requestClose();
    }
    void cancel() { requestClose(); }
    bool go() const { return m_go; }

  private:
    bool m_go = false;
};

class SetupDialogModel : public ui::DialogModel {
  public:
    // Reads the values from state's settings file (wait cursor on meanwhile).
    SetupDialogModel(shell::AppState& state, ui::Ui& ui, PlayerSearchPlaces places);
    ~SetupDialogModel() override;

    std::string title() const override { return "Einstellungen"; }
    std::string helpTopic() const override { return "Einstellungen"; }

    const SetupValues& values() const { return m_values; }
    bool enabled(SetupControl control) const;
    // The text of the "WinAmp-Pfad" field: the path, or where the search is while it runs.
    const std::string& ampPathField() const { return m_searching ? m_searchStatus : m_values.ampPath; }

    void setAutoOpen(bool on);
    void setAutoStart(bool on);
    void setAmpAddPl(bool on);
    void setAmpUseIt(bool on);  // player 2 becomes the opposite
    void setPl2AddPl(bool on);
    void setPl2UseIt(bool on);  // WinAmp becomes the opposite
    void setMarkDate(bool on);  // off clears "in den letzten 2 Stunden" too
    void setMarkHour(bool on);
    void setMarkSort(bool on);
    void setShowTrak(bool on);
    void setDblClick(long long n);
    void setFontSize(long long n);

    // The "..." buttons.
    void chooseAmpPath();
    void choosePl2Path();
    void choosePl2PList();

    // "Su&chen": IMPDRIVES with the other controls disabled. Returns when the search has ended.
    void search();
    // "&Unterbrechen": sets LBREAK; the search stops before its next folder.
    void interrupt();
    bool searching() const { return m_searching; }
    // IMPDRIVES: the intro, then the PATH and the drives; the result is the WinAmp path.
    bool IMPDRIVES();

    // "&Speichern": writes the settings file and closes. False (the dialog stays open) when a
    // value holds a line break or the file cannot be written; the user has been told.
    bool save();
    // "&Ende": closes without writing.
    void end();
    // The close box: as "&Ende"; during a search the search is stopped first and the dialog closes
    // when it has ended.
    void closeBox();

    bool saved() const { return m_saved; }
    // True when saved with another font size than at opening: the table window is rebuilt.
    bool fontSizeChanged() const { return m_saved && m_values.fontSize != m_fontAtOpening; }

  private:
    void setSearchStatus(std::string text);
    bool acceptPath(const std::string& path);

    shell::AppState& m_state;
    ui::Ui& m_ui;
    PlayerSearchPlaces m_places;
    SetupValues m_values;
    long long m_fontAtOpening = 1;
    bool m_ampAddPlEnabled = true;
    bool m_searching = false;
    bool m_closeAfterSearch = false;
    bool m_saved = false;
    std::string m_searchStatus;
    std::atomic<bool> m_break{false};  // LBREAK
};

// The playlist folder of a player's program path: its folder when a file can be written there, else
// programFolder (a player's folder is often the system's). Empty for an empty path. withSeparator:
// the folder ends in its separator, as player 2's is kept; else it has none, as WinAmp's.
std::string playlistFolderFor(const std::string& programPath, const std::string& programFolder,
                              bool withSeparator = false);

}  // namespace klango::settings
