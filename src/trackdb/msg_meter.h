// MSGMETER: a small modal "please wait" window with a text line and a progress bar, in which a
// command runs. The window is the Ui's; this is the routine the commands call.
#pragma once

#include <string>

#include "ui/meter.h"

namespace klango::ui {
class Ui;
}

namespace klango::trackdb {

// Runs action inside the window (progress total 10, position 0 at the start); the window closes
// when action returns. An empty action does nothing.
void MSGMETER(ui::Ui& ui, const ui::MeterAction& action, const std::string& text,
              const std::string& title = "Bitte warten");

}  // namespace klango::trackdb
