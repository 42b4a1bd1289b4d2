// The commands on whole track databases: saving the open table under a new name (MP3SAVEAS),
// deleting a database (MP3FDELETE) and appending another database to the open one (APPENDFROM
// with its record loop RXAPPEND). They ask through the Ui, work on the data folder and the work
// areas of the shell, and reopen a database through the shell's MP3TABLE hook. Called from the
// main menu and the table panel through the shell's hooks; GUI thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace klango::dbf {
class DbfTable;
}
namespace klango::shell {
struct Shell;
}
namespace klango::ui {
class Meter;
class Ui;
}  // namespace klango::ui

namespace klango::trackdb {

// The database name of a file the user picked (CP1252): the file name in capitals up to its first
// ".".
std::string pickedDatabaseName(const std::string& picked);

// True when done or cancelled; nullopt when the user declined to overwrite or the name was
// refused (the table stays open and is shown again). Needs DMP3 open.
std::optional<bool> MP3SAVEAS(shell::Shell& shell);
// Deletes the picked table, then its index files and conversion backups. A table that cannot be
// deleted is named in a warning and nothing else changes; files of it left behind are named too.
// Always true; the database stays closed.
bool MP3FDELETE(shell::Shell& shell);
// True when records were appended (the caller reopens the database); false when cancelled,
// refused or nothing could be appended. Needs DMP3 open.
bool APPENDFROM(shell::Shell& shell);

struct AppendOutcome {
    uint32_t appended = 0;  // records of the source now in the target
    uint32_t total = 0;     // visible records of the source
    bool failed = false;    // stopped because the target could not be written
};
// Appends every visible record of source to target in record order, the fields taken by name
// (a field the target lacks is left out, one the source lacks stays blank); the meter shows the
// source's record number and window messages are let through. Stops at the first write failure;
// the records written before stay, their orders up to date.
AppendOutcome RXAPPEND(dbf::DbfTable& source, dbf::DbfTable& target, ui::Meter& meter, ui::Ui& ui);

}  // namespace klango::trackdb
