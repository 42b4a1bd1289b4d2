// The computer's facts as the desktop program collects them for the error handler: TSystemInfo
// with the colour depth of the display, which only the windowing layer can tell.
#pragma once

#include <functional>

#include "support/system_info.h"

namespace klango::gui {

// Reads the primary screen's colour depth now (at start, on the GUI thread) and gives the maker
// that the error handler calls for each error, on whichever thread it arose.
std::function<support::TSystemInfo()> systemInfoSource();

}  // namespace klango::gui
