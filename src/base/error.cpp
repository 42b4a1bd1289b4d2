#include "base/error.h"

#include <utility>

#include "base/cp1252.h"

namespace klango::base {

namespace {
ErrorHandler& handlerSlot() {
    static ErrorHandler handler;
    return handler;
}
bool g_netErr = false;
}  // namespace

ErrorHandler setErrorHandler(ErrorHandler handler) { return std::exchange(handlerSlot(), std::move(handler)); }

bool netErr() { return g_netErr; }
void setNetErr(bool on) { g_netErr = on; }

ErrorAnswer raiseError(const ErrorRecord& error) {
    if (error.genCode == kErrZeroDiv) return ErrorAnswer::withValue(0);
    bool refusedOpen = error.genCode == kErrOpen &&
                       (error.osCode == kOsSharingViolation || error.osCode == kOsAccessDenied);
    if ((refusedOpen || error.genCode == kErrAppendLock) && error.canDefault) {
        g_netErr = true;
        return ErrorAnswer::fallBack();
    }
    ErrorHandler& handler = handlerSlot();
    if (!handler) return ErrorAnswer::fallBack();
    ErrorAnswer answer = handler(error);
    // An answer the operation does not allow degrades to the default.
    if (answer.kind == ErrorAnswer::kRetry && !error.canRetry) return ErrorAnswer::fallBack();
    return answer;
}

double divide(double a, double b) {
    if (b == 0) {
        ErrorRecord e;
        e.genCode = kErrZeroDiv;
        e.subsystem = "BASE";
        e.subCode = 1340;
        e.description = "Zero divisor";
        e.operation = "/";
        e.canDefault = true;
        ErrorAnswer answer = raiseError(e);
        return answer.kind == ErrorAnswer::kValue ? answer.value : 0;
    }
    return a / b;
}

std::string errorMessage(const ErrorRecord& e) {
    std::string out;
    if (e.osCode == 0) {
        out = e.severity > kSevWarning ? "Fehler " : "Warnung ";
    } else {
        out = "(DOS-Fehler " + std::to_string(e.osCode) + ") ";
    }
    out += e.subsystem.empty() ? "???" : e.subsystem;
    out += e.subCode ? "/" + std::to_string(*e.subCode) : "/???";
    if (!e.description.empty()) out += "  " + e.description;
    if (!e.fileName.empty()) {
        out += ": " + utf8ToCp1252(e.fileName);
    } else if (!e.operation.empty()) {
        out += ": " + e.operation;
    }
    return out;
}

}  // namespace klango::base
