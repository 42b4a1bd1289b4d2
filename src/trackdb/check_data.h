// CHECKDATA makes a track database ready to be opened: present, in the current record layout
// (older layouts are converted through a ".bak" copy) and with its six index files freshly built.
// Called by whoever opens, imports into, searches into or updates a database.
//
// A table that is not consistent in itself (see dbf/dbf_header_check.h), whose records do not
// start with a deletion flag, or that is no track table (of the current layout, or an older one
// whose every field is a track field of a fitting type, PATH among them) is refused as damaged
// and left untouched. A conversion writes the new table under the working name NAME.tmp and
// replaces the table only when every visible record arrived and the file is on the disk; the
// old table goes to NAME.bak for that moment, or, when NAME.bak exists already, to the first free
// NAME.1.bak, NAME.2.bak ... and stays there. A table of the current layout whose header count
// or end mark lags behind its whole records (a stop while appending) gets them repaired.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace klango::dbf {
class WorkAreas;
}
namespace klango::ui {
class Ui;
}

namespace klango::trackdb {

// What CHECKDATA leaves open: nothing, or the table under the alias DMP3 with its six orders
// attached in their numbers' order, the first current (what opening it would do, without reading
// the index files just written once more).
enum class CheckDataEnd { CloseAll, KeepOpen };

// Closes every open table before it returns (with KeepOpen all but DMP3). False when the table
// could not be created, opened, converted or its six orders built, or is damaged (the error
// handler or the Ui has been told); true otherwise.
bool CHECKDATA(dbf::WorkAreas& areas, ui::Ui& ui, std::string_view name,
               CheckDataEnd end = CheckDataEnd::CloseAll);

// How many backups beside the first one ("NAME.1.bak" ...) a conversion makes and looks for.
constexpr int kMaxBackups = 99;

// Backup n of the database base in folder: "NAME.bak" for 0, else "NAME.n.bak", in the case of
// the table file (a backup there in another case is found too).
std::filesystem::path conversionBackup(const std::filesystem::path& folder, std::string_view name, int n);
// The backups CHECKDATA would take the table back from, oldest first: NAME.bak, NAME.1.bak ... up
// to the first one missing. Whoever deletes a database deletes these with it.
std::vector<std::filesystem::path> conversionBackups(const std::filesystem::path& folder, std::string_view name);

}  // namespace klango::trackdb
