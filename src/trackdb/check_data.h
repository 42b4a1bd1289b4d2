// CHECKDATA makes a track database ready to be opened: present, in the current record layout
// (older layouts are converted through a ".bak" copy) and with its six index files freshly built.
// Called by whoever opens, imports into, searches into or updates a database.
#pragma once

#include <string_view>

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

// Closes every open table before it returns (with KeepOpen all but DMP3; when the orders could
// not all be built, DMP3 too). False when the table could not be created or opened (the error
// handler has been told); true otherwise.
bool CHECKDATA(dbf::WorkAreas& areas, ui::Ui& ui, std::string_view name,
               CheckDataEnd end = CheckDataEnd::CloseAll);

}  // namespace klango::trackdb
