// Run-time error records and the one installed error handler. Any layer may raise an error;
// the handler (the program's error dialog, or the command-line tool's printer) answers retry,
// default or a value. Division by zero and refused table opens are settled here before the
// handler is asked, so that every handler behaves the same for them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/value.h"

namespace klango::base {

// General error codes of the runtime's standard code table.
enum GenCode : int {
    kErrArgument = 1,
    kErrBound = 2,
    kErrNumOverflow = 4,
    kErrZeroDiv = 5,
    kErrSyntax = 7,
    kErrMemory = 11,
    kErrNoVar = 14,
    kErrCreate = 20,
    kErrOpen = 21,
    kErrClose = 22,
    kErrRead = 23,
    kErrWrite = 24,
    kErrUnsupported = 30,
    kErrLimit = 31,
    kErrCorruption = 32,
    kErrDataType = 33,
    kErrDataWidth = 34,
    kErrNoTable = 35,
    kErrNoOrder = 36,
    kErrShared = 37,
    kErrAppendLock = 40,
};

// Operating-system codes the handler looks at.
constexpr int kOsAccessDenied = 5;
constexpr int kOsNotReady = 21;
constexpr int kOsSharingViolation = 32;

enum Severity : int { kSevIgnorable = 0, kSevWarning = 1, kSevError = 2, kSevCatastrophic = 3 };

struct ErrorRecord {
    int genCode = 0;
    std::optional<int> subCode;
    int osCode = 0;
    int severity = kSevError;
    std::string subsystem;    // empty: none
    std::string description;  // empty: none
    std::string fileName;     // as the file system names it (UTF-8 on Linux)
    std::string operation;
    std::optional<std::vector<Value>> args;  // the arguments of the failed operation, when it had any
    bool canRetry = false;
    bool canDefault = false;
};

// What the handler tells the failed operation to do.
struct ErrorAnswer {
    enum Kind { kDefault, kRetry, kValue } kind = kDefault;
    double value = 0;
    static ErrorAnswer retry() { return {kRetry, 0}; }
    static ErrorAnswer fallBack() { return {kDefault, 0}; }
    static ErrorAnswer withValue(double v) { return {kValue, v}; }
};

using ErrorHandler = std::function<ErrorAnswer(const ErrorRecord&)>;

// Installs the handler for the whole run; returns the one it replaces. An empty handler
// means "take the default" for every error.
ErrorHandler setErrorHandler(ErrorHandler handler);

// Hands an error to the handler after the silent rules: division by zero yields the value 0;
// an open refused by sharing or access, or an append-lock error, sets the network-error flag
// and falls back when it may.
ErrorAnswer raiseError(const ErrorRecord& error);

// The table engine's network-error flag: set when an open was refused by sharing or access.
bool netErr();
void setNetErr(bool on);

// Division as the runtime does it: by zero gives what the handler says (0 by the silent rule).
double divide(double a, double b);

// The one-line description of an error as the error log and dialog show it (CP1252; the file
// name is converted from the file system's UTF-8, so it reads as the user named it).
std::string errorMessage(const ErrorRecord& error);

}  // namespace klango::base
