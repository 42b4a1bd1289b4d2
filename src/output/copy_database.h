// The copy database: a track database in the data folder, open as DMPN while the copy dialog
// runs, that lists the copied tracks under the names their files were written to (TRANSDBASE,
// TRANSPUTDATA). It is never the open database, and an existing one is replaced only when the
// user says so. Owned by the copy dialog (or klango-cli's copy); GUI thread only.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>

#include "dbf/work_areas.h"
#include "shell/app_state.h"
#include "ui/ui.h"

namespace klango::output {

class CopyDatabase {
public:
    static constexpr const char* kAlias = "DMPN";

    CopyDatabase(const shell::AppState& state, dbf::WorkAreas& areas, ui::Ui& ui);

    // TRANSDBASE(true): asks for the name in the file dialog and opens the database; false when
    // the user cancelled or the name was refused. TRANSDBASE(false): discard().
    bool TRANSDBASE(bool on);

    // Opens the copy database name (CP1252 base name): an existing one is appended to unless
    // replace; a missing one is created. False (with a message) when it is the open database,
    // when it is no track table or cannot be made.
    bool open(const std::string& name, bool replace);
    // Closes DMPN and deletes the database when this dialog made it; CNEWFILE is emptied.
    void discard();
    // Writes what was entered and closes DMPN; the files stay.
    bool close();
    bool isOpen() const;

    // TRANSPUTDATA: enters the current record of track under key (the written file's path,
    // CP1252) unless a record of that PATH exists already. False when it could not be written.
    bool TRANSPUTDATA(dbf::DbfTable& track, std::string_view key);

    // CNEWFILE: the base name, first letter upper case, the rest lower case.
    const std::string& CNEWFILE() const { return m_name; }
    bool createdHere() const { return m_created; }

    // The name the file dialog's choice stands for: no folder, nothing from its first full stop,
    // "Abc" case.
    static std::string nameOf(std::string_view chosen);

private:
    dbf::DbfTable* table() const;
    bool isOpenDatabase(const std::string& name) const;
    void refuseOpenDatabase(const std::string& name);

    const shell::AppState& m_state;
    dbf::WorkAreas& m_areas;
    ui::Ui& m_ui;
    std::string m_name;
    bool m_created = false;
    std::unordered_set<std::string> m_paths;  // PATH of every record, trimmed: the index MP4TEMP
};

}  // namespace klango::output
