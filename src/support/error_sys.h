// ERRORSYS and ERRORDIALOG: the one error handler of the program. Settles division by zero and
// refused opens silently, writes "Error.log" for every other error and shows the error dialog,
// whose answer becomes retry, default, or the end of the program with exit code 1. An error that
// arrives while the handler is at work writes the short crash log and ends the program.
// Installed by the desktop program; tests give their own facts and ending.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "base/error.h"
#include "support/error_log.h"
#include "ui/ui.h"

namespace klango::support {

struct ErrorSysHooks {
    std::filesystem::path logFile;                                 // "Error.log" in the program folder
    std::function<ErrorLogFacts()> facts;                          // gathered anew for each error
    std::function<bool()> eventLoopRunning = [] { return true; };  // is the main event loop running?
    // Releases the windows and ends the program with the code; a test may throw instead.
    std::function<void(int code)> endProgram;
};

class ErrorSys {
  public:
    ErrorSys(ui::Ui& ui, ErrorSysHooks hooks);

    // ERRORSYS: makes ERRORDIALOG the handler of every run-time error.
    void install();

    // ERRORDIALOG: handles one error.
    base::ErrorAnswer ERRORDIALOG(const base::ErrorRecord& error);

  private:
    ui::Ui& m_ui;
    ErrorSysHooks m_hooks;
    bool m_active = false;
};

// DOBREAK: runs the protected work; a failure inside it leaves the section and is ignored.
// True when the work ran through.
bool DOBREAK(const std::function<bool()>& work);

}  // namespace klango::support
