#include "trackdb/msg_meter.h"

#include "base/call_stack.h"
#include "ui/ui.h"

namespace klango::trackdb {

void MSGMETER(ui::Ui& ui, const ui::MeterAction& action, const std::string& text, const std::string& title) {
    KLANGO_ROUTINE("MSGMETER");
    ui.runWithMeter(title.empty() ? std::string("Bitte warten") : title, text, action ? action : [](ui::Meter&) {});
}

}  // namespace klango::trackdb
