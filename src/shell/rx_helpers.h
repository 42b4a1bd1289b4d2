// The small routines many commands share: capitalising names, counting marks and path pieces,
// deleting files by mask, proposing a database name for an import source, free space, dialog
// placement, drive readiness and the drive list. Stateless; GUI thread (the commands) only.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/volumes.h"

namespace klango::dbf {
class DbfTable;
class WorkAreas;
}  // namespace klango::dbf

namespace klango::ui {
class Ui;
}

namespace klango::shell {

struct AppState;

// cText with the first character of every token in upper case (a to z only); a token starts at
// the beginning and after each of the 26 separators (NUL, tab, line feed, form feed, 0x1A, blank,
// the CP1252 bytes 138 and 140, and , . ; : ! ? / \ < > ( ) # & % + - *). Nothing is lowered.
std::string RXSTRCAPALL(std::string_view cText);

// The number of pieces of cText between separators, plus one: counting starts at piece 1 and
// stops at the first piece that is empty after trimming blanks. Every character of cSep is a
// separator (the callers pass one); with a blank separator a run of blanks separates once.
// One separator at the very start is passed over, so that an absolute path "/Musik/Rock/a.mp3"
// counts from its first folder the way "C:\Musik\Rock\a.mp3" counts from its drive: with the
// result r, piece r - 1 is the file name, r - 2 its folder and r - 3 the folder above.
int NUMTOKEN(std::string_view cText, std::string_view cSep);
// Piece n (from 1) as NUMTOKEN counts them, with its blanks; empty when there is none.
std::string tokenPiece(std::string_view cText, std::string_view cSep, int n);

// Counts the marked (TAGGED true) records the table shows (deleted records and records hidden by
// the current order's condition are not visited), then goes to the first record when lTop, else
// back to the record that was current. Sets state.LTAB_TAGG; shows the wait cursor meanwhile when
// a Ui is given. A table without a TAGGED field counts 0.
long NUMTAGGED(dbf::DbfTable& table, bool lTop, AppState& state, ui::Ui* ui = nullptr);

// The message bar's counter "Titel: n" with the number of records table shows: deleted records and
// records outside the current order's condition are not counted. Empty when no table is given.
// Every writer of the counter goes through here.
void showRecordCount(ui::Ui& ui, dbf::DbfTable* table);

// Closes every table of areas first when lClose (areas may be null), then deletes each ordinary,
// not hidden file of cFolder whose name matches cMask case-blind. A file that cannot be deleted
// is left alone. Returns true.
bool RXDELALL(const std::filesystem::path& cFolder, std::string_view cMask, bool lClose,
              dbf::WorkAreas* areas = nullptr);

// The proposed file name of a new track database for the import source folder cSource (a core
// text ending with "/"). For a drive root (the mount point of a local, removable or CD file
// system): its volume label trimmed, without any ".", with ".dbf" appended (".dbf" alone for a
// medium without label; "" when the volume cannot be asked, so the user types a name). A label
// character that cannot stand in a file name ("/", control characters) becomes "_". Otherwise
// the last folder name in upper case (a to z) with ".DBF".
std::string RXMAKEFILE(std::string_view cSource, const platform::Volumes& volumes = platform::Volumes());

// Free bytes on the file system that holds cDrive (a drive root or any path on the drive); 0 when
// it cannot be asked. The current folder is not touched, so the program folder stays current.
uint64_t RXDISKSPACE(const std::filesystem::path& cDrive,
                     const platform::Volumes& volumes = platform::Volumes());

// Centres a dialog on the main window's start rectangle (top, left, bottom, right): aRect[0..3]
// hold the dialog's own top, left, bottom and right, aRect[4..7] receive the centred ones.
// Halves are truncated towards zero. Returns aRect.
std::array<int, 8>& RX_CENTERDIALOG(std::array<int, 8>& aRect, int top, int left, int bottom, int right);
// The same on the start rectangle kept in state (NW_TOP, NW_LEFT, NW_BOTTOM, NW_RIGHT).
std::array<int, 8>& RX_CENTERDIALOG(std::array<int, 8>& aRect, const AppState& state);

// Readiness of a drive root (a mount point): 0 ready; -1 not ready (missing, nothing mounted
// there, or not readable: the medium is out); -2 any other error.
int ISDRIVEREADY(const std::filesystem::path& cDrive, const platform::Volumes& volumes = platform::Volumes());

// The drive roots, each ending with "/" ("/", "/media/cd/"), in the order the system mounted them.
std::vector<std::filesystem::path> GETLOCALDRIVES(const platform::Volumes& volumes = platform::Volumes(),
                                                  ui::Ui* ui = nullptr);

// Fills cBuffer with the drive roots, each followed by a NUL, and a final NUL, the way the system
// reports logical drive strings; returns the length without the final NUL (0 when there is no
// drive). There is no size limit: every drive is reported. When the mount table cannot be read,
// the alert "Error code: <n> loading <mount table>" goes to ui (when given) and 0 is returned.
size_t ACPGETDRIVES(std::string& cBuffer, const platform::Volumes& volumes = platform::Volumes(),
                    ui::Ui* ui = nullptr);

}  // namespace klango::shell
