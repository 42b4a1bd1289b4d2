// TransferDialogModel: the copy dialog "Datenkopie erstellen" (MP3TRANSFER) as a dialog model:
// destination, selection, rating, the option boxes with their links and enable rules, the copy
// database's name, the progress text and meter, free and needed space, and the three buttons.
// The command behind it (transfer_command) supplies the actions; the Qt view binds it. While a
// copy runs, "&Abbruch" and the close box stop the copy instead of closing. GUI thread only.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "output/transfer_options.h"
#include "output/transfer_run.h"
#include "ui/dialog_model.h"

namespace klango::output {

class TransferDialogModel : public ui::DialogModel {
public:
    struct Actions {
        std::function<std::string(const std::string& start)> chooseFolder;  // "" = cancelled
        std::function<double(const std::string& destination)> freeMB;
        std::function<bool(bool on)> database;  // TRANSDBASE
        std::function<bool()> copy;             // TRANSFERIT
    };

    TransferDialogModel(TransferOptions options, bool tableHasMarks, double neededMB, Actions actions);

    std::string title() const override { return "Datenkopie erstellen"; }
    std::string helpTopic() const override { return "Datenkopie"; }
    std::string icon() const { return "MakeCopy"; }

    const TransferOptions& options() const { return m_options; }
    const std::string& destination() const { return m_options.CPATH; }
    // The "..." button: the folder-browse dialog "Ziel-Ordner".
    void chooseDestination();

    void setSelection(int selection);  // 1 all tracks, 2 by rating
    void setNote(int note);            // one digit
    void setTagged(bool on);
    // " &Ordnerstruktur beibehalten": on clears the three name boxes, off sets them.
    void setStructured(bool on);
    void setArtist(bool on);
    void setAlbum(bool on);
    void setNumber(bool on);
    // " &Neue Datenbank erzeugen": asks for the copy database; cleared again when that fails.
    void setDatabase(bool on);
    void setOpenAfter(bool on);
    bool database() const { return m_database; }
    bool openAfter() const { return m_openAfter; }
    void setDatabaseName(std::string name) { m_databaseName = std::move(name); }
    // The "Datenbank" field: CNEWFILE + ".dbf", empty without a copy database.
    std::string databaseText() const { return m_databaseName.empty() ? std::string() : m_databaseName + ".dbf"; }

    // Enable rules.
    bool noteEnabled() const { return !m_running && m_options.NAUSWAHL == 2; }
    bool taggedEnabled() const { return !m_running && m_hasMarks; }
    bool nameOptionsEnabled() const { return !m_running && !m_options.LORDNER; }
    bool openAfterEnabled() const { return !m_running && m_database; }
    bool optionsEnabled() const { return !m_running; }
    bool copyEnabled() const { return !m_running && !m_options.CPATH.empty(); }
    bool running() const { return m_running; }

    // Lower area.
    const std::string& progressText() const { return m_progress.text; }  // CCOPY
    long meterTotal() const { return m_progress.total; }
    long meterPosition() const { return m_progress.position; }
    double freeMB() const { return m_freeMB; }
    double neededMB() const { return m_neededMB; }
    // "999.999,99": comma as decimal mark, full stops between thousands.
    static std::string megabytes(double mb);
    void setProgress(const TransferProgress& progress);

    // "&Kopieren": runs the copy; closes as completed when it returns true.
    void copy();
    // "&Abbruch": closes (the copy database made here is dropped); during a copy it stops it.
    void abort();
    // The close box and Escape: close without dropping anything; during a copy they stop it.
    void closeBox();
    // The running copy's stop flag, set by the command while the copy runs.
    void setStopFlag(std::atomic<bool>* stop) { m_stop = stop; }

    bool completed() const { return m_completed; }
    bool aborted() const { return m_aborted; }

private:
    TransferOptions m_options;
    bool m_hasMarks;
    double m_neededMB;
    double m_freeMB = 0;
    Actions m_actions;
    bool m_database = false;
    bool m_openAfter = false;
    std::string m_databaseName;
    TransferProgress m_progress;
    bool m_running = false;
    bool m_completed = false;
    bool m_aborted = false;
    std::atomic<bool>* m_stop = nullptr;
};

}  // namespace klango::output
