// The structure update of the databases after a program upgrade: CHKUPDATE finds the marker file
// "KLANGO.upd" an installation left in the program folder and runs CHKUPDATE2, which brings every
// database of the data folder to the current record layout with CHECKDATA, in the dialog
// "Datenbank-Update". Called at the first showing of the main window (shell hook CHKUPDATE) and
// by `klango-cli update`.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/dialog_model.h"

namespace klango::dbf {
class WorkAreas;
}
namespace klango::shell {
struct AppState;
}
namespace klango::ui {
class Ui;
}

namespace klango::settings {

inline constexpr const char* kUpdateMarker = "KLANGO.upd";

// The dialog: the warning text, the database in work, the meter and "&Unterbrechen", which asks
// the update to stop after the database in work (Escape and the close box do the same).
class UpdateDialogModel : public ui::DialogModel {
  public:
    std::string title() const override { return "Datenbank-Update"; }
    static std::string text();
    std::string icon() const { return "Import"; }
    std::string fileLabel() const { return "Datei"; }
    std::string interruptCaption() const { return "&Unterbrechen"; }
    std::string interruptToolTip() const { return "Update unterbrechen"; }

    // The database in work as the dialog shows it ("Rock.dbf").
    const std::string& file() const { return m_file; }
    long total() const { return m_total; }
    long position() const { return m_position; }
    void show(std::string file, long position);
    void setTotal(long total);

    // "&Unterbrechen": the stop request; the button disables itself.
    void interrupt();
    bool interrupted() const { return m_stop.load(); }
    // The flag itself, for a caller that stops from elsewhere (a signal in klango-cli).
    std::atomic<bool>& stopFlag() { return m_stop; }

  private:
    std::string m_file;
    long m_total = 0;
    long m_position = 0;
    std::atomic<bool> m_stop{false};
};

// CHKUPDATE2: CHECKDATA on every "*.dbf" of dataFolder, by name; a stop request ends the loop
// after the database in work. Returns the databases ("Name.dbf") whose update failed.
std::vector<std::string> CHKUPDATE2(dbf::WorkAreas& areas, ui::Ui& ui, UpdateDialogModel& dialog,
                                    const std::filesystem::path& dataFolder);

enum class UpdateResult {
    NoMarker,    // nothing to do
    AlreadyRan,  // the update runs at most once per start
    Done,        // every database updated, marker deleted
    Failed,      // some database failed: named to the user, marker kept for the next start
    Stopped,     // the user stopped: told, marker kept; the program ends
};

// CHKUPDATE with its guard: the first call of a run looks for the marker, later calls do nothing.
class DatabaseUpdate {
  public:
    UpdateResult CHKUPDATE(const shell::AppState& state, dbf::WorkAreas& areas, ui::Ui& ui);

  private:
    bool m_ran = false;
};

}  // namespace klango::settings
