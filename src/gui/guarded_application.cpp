#include "gui/guarded_application.h"

#include <exception>

#include "base/cp1252.h"
#include "base/error.h"

namespace klango::gui {

namespace {
void raiseFromException(const char* what) {
    base::ErrorRecord e;
    e.genCode = base::kErrArgument;
    e.severity = base::kSevError;
    e.subsystem = "C++";
    e.description = base::utf8ToCp1252(what ? what : "unbekannte Ausnahme");
    e.operation = "Ereignis";
    e.canDefault = true;
    base::raiseError(e);
}
}  // namespace

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& ex) {
        raiseFromException(ex.what());
    } catch (...) {
        raiseFromException(nullptr);
    }
    return false;
}

}  // namespace klango::gui
