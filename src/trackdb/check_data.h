// CHECKDATA makes a track database ready to be opened: present, in the current record layout
// (older layouts are converted through a ".bak" copy) and with its six index files freshly built.
// Called by whoever opens, imports into, searches into or updates a database.
#pragma once

#include <string_view>

namespace klango::runtime {
class WorkAreas;
}
namespace klango::ui {
class Ui;
}

namespace klango::trackdb {

// Closes every open table before it returns. False when the table could not be created or opened
// (the error handler has been told); true otherwise.
bool CHECKDATA(runtime::WorkAreas& areas, ui::Ui& ui, std::string_view name);

}  // namespace klango::trackdb
