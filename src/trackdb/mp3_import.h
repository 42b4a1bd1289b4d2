// Mp3Import: the import of an MP3 folder or drive into a track database: MP3IMPORT (the command),
// MAKEDBF (the target database), SCANDRIVE (the import dialog) and GETINDIR (collection and file
// loop). Owns the ImportSession of one run; borrows the application state, the work areas and
// the Ui. Called by the main menu's "&Neu" and the table panel's new-database button.
#pragma once

#include <filesystem>
#include <string>

#include "platform/volumes.h"
#include "trackdb/import_session.h"

namespace klango::dbf {
class WorkAreas;
}
namespace klango::shell {
struct AppState;
}
namespace klango::ui {
class Ui;
}

namespace klango::trackdb {

class ImportDialogModel;

// Working index files of the import, in the program folder.
constexpr const char* kImportPathIndex = "MP3TEMP.NT1";
constexpr const char* kImportGroupIndex = "MP3TEMP.NT2";

// The second question before a database with tracks is replaced by a new import.
constexpr const char* kReplaceQuestion =
    "Bewertungen, Abspielzahlen und Infotexte gehen verloren.\rWollen Sie die Datenbank trotzdem ersetzen ?";

class Mp3Import {
  public:
    Mp3Import(shell::AppState& state, dbf::WorkAreas& areas, ui::Ui& ui,
              platform::Volumes volumes = platform::Volumes());

    // True when a database was filled (also after an interruption or a write failure, which
    // session().writeFailed tells); false when the folder or the database choice was cancelled.
    // Afterwards no table is open.
    bool MP3IMPORT();
    // Asks for the target database, prepares it and opens it as DMP3 with the import orders
    // "PATH" (current) and "GROUP". An existing database that is not updated stays as it is: the
    // new one is built as a working table beside it and replaces it when the import is complete.
    // False when cancelled or when the table cannot be opened.
    bool MAKEDBF(const std::string& cFolder);
    // Shows the import dialog and runs the collection in it; warns after an interruption.
    bool SCANDRIVE(const std::string& cFolder);
    // Collects the files matching cMask (a folder text with a file pattern, "/" separators) in
    // its folder and below, reads each and enters it into DMP3, driving oMeter's fields and bar.
    // The table is flushed whenever the clock's second changes, so that a kill loses at most the
    // last second. Stops at the first record that cannot be written (session().writeFailed).
    void GETINDIR(const std::string& cMask, ImportDialogModel& oMeter);

    ImportSession& session() { return m_session; }
    const ImportSession& session() const { return m_session; }

  private:
    void deleteMissing();
    void reportSkipped();
    // Closes the tables and removes the working files; a working table replaces the database
    // when complete, else it is dropped and the database stays as it was.
    void cleanUp(bool complete);
    bool replaceDatabase();
    bool replaceConfirmed(const std::filesystem::path& tableFile);

    shell::AppState& m_state;
    dbf::WorkAreas& m_areas;
    ui::Ui& m_ui;
    platform::Volumes m_volumes;
    ImportSession m_session;
    std::filesystem::path m_replaced;   // the database a re-import replaces
    std::filesystem::path m_workTable;  // where the re-import builds the new one
};

// The working table of a re-import of the database file table: beside it under another
// extension, so that nothing looking for "*.dbf" takes it for a database.
std::filesystem::path importWorkTable(const std::filesystem::path& table);

// The command as the menu calls it.
bool MP3IMPORT(shell::AppState& state, dbf::WorkAreas& areas, ui::Ui& ui);

}  // namespace klango::trackdb
