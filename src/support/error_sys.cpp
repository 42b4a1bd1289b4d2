#include "support/error_sys.h"

#include <cstdlib>

#include "support/crash_log.h"
#include "support/error_dialog_model.h"

namespace klango::support {

ErrorSys::ErrorSys(ui::Ui& ui, ErrorSysHooks hooks) : m_ui(ui), m_hooks(std::move(hooks)) {
    if (!m_hooks.endProgram) m_hooks.endProgram = [](int code) { std::exit(code); };
}

void ErrorSys::install() {
    base::setErrorHandler([this](const base::ErrorRecord& e) { return ERRORDIALOG(e); });
}

bool DOBREAK(const std::function<bool()>& work) {
    try {
        return work();
    } catch (...) {
        return false;
    }
}

base::ErrorAnswer ErrorSys::ERRORDIALOG(const base::ErrorRecord& error) {
    // The silent cases answer before anything is written.
    if (error.genCode == base::kErrZeroDiv) return base::ErrorAnswer::withValue(0);
    const bool refusedOpen = error.genCode == base::kErrOpen && (error.osCode == base::kOsSharingViolation ||
                                                                 error.osCode == base::kOsAccessDenied);
    if ((refusedOpen || error.genCode == base::kErrAppendLock) && error.canDefault) {
        base::setNetErr(true);
        return base::ErrorAnswer::fallBack();
    }
    if (m_active) {
        // An error raised by the handler's own work: no second dialog, no recursion.
        writeCrashLog("Fehler im Fehler-Handler");
        m_hooks.endProgram(1);
        return base::ErrorAnswer::fallBack();
    }
    m_active = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{m_active};

    ErrorLogFacts facts;
    DOBREAK([&] {
        if (m_hooks.facts) facts = m_hooks.facts();
        return true;
    });
    DOBREAK([&] { return writeFileReplacing(m_hooks.logFile, errorLogText(error, facts)); });

    ErrorDialogModel dialog(base::errorMessage(error), facts.stack, error.canRetry, error.canDefault);
    m_ui.runDialog(dialog);
    const ErrorDialogModel::Choice choice = dialog.result();
    if (choice == ErrorDialogModel::Choice::End ||
        (choice == ErrorDialogModel::Choice::Retry && !m_hooks.eventLoopRunning())) {
        m_active = false;
        m_hooks.endProgram(1);
        return base::ErrorAnswer::fallBack();
    }
    return choice == ErrorDialogModel::Choice::Retry ? base::ErrorAnswer::retry()
                                                     : base::ErrorAnswer::fallBack();
}

}  // namespace klango::support
