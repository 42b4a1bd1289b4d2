// The support commands of klango-cli: errorlog shows, prints to PDF, or mails the last error log.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "cli/cli_support.h"
#include "platform/system_facts.h"
#include "shell/app_state.h"
#include "shell/settings.h"
#include "shell/settings_keys.h"
#include "support/crash_log.h"
#include "support/error_log.h"
#include "support/error_log_facts.h"
#include "support/error_log_review.h"
#include "support/error_sys.h"
#include "support/pdf_log_printer.h"
#include "support/support_mail.h"
#include "support/system_info.h"

namespace fs = std::filesystem;

namespace klango::cli {
namespace {

std::string readAll(const fs::path& file) {
    std::string bytes;
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return bytes;
    char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

// On the command line "--mail" is the user's consent: the questions before sending are answered
// yes; everything else as the console does.
class ConsentingUi : public ConsoleUi {
  public:
    ConsentingUi() : ConsoleUi(false) {}
    bool yesNo(const std::string&, const std::string&, bool) override { return true; }
};

int cmdErrorLog(const Context& ctx, const std::vector<std::string>& args) {
    std::string pdf;
    bool mail = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--print") {
            if (i + 1 >= args.size()) return fail("--print braucht einen Dateinamen (.pdf)");
            pdf = args[++i];
        } else if (args[i] == "--mail") {
            mail = true;
        } else {
            return fail("unbekanntes Argument \"" + args[i] + "\"");
        }
    }
    if (!pdf.empty() && mail) return fail("--print und --mail nur einzeln");
    const fs::path log = support::findErrorLog(ctx.home);
    if (log.empty()) {
        std::cerr << "Kein Fehlerprotokoll vorhanden.\n";
        return 0;
    }
    const shell::Settings settings(shell::Settings::fileIn(ctx.home));
    const std::string release =
        settings.text(shell::keys::kProgram) + " " + settings.text(shell::keys::kVersion);
    if (pdf.empty() && !mail) {
        for (const std::string& line : support::logLines(readAll(log)))
            std::cout << base::cp1252ToUtf8(line) << "\n";
        return 0;
    }

    support::ReviewEnvironment env;
    env.programFolder = ctx.home;
    env.release = release;
    env.printer = [&pdf]() -> std::unique_ptr<support::LogPrinter> {
        return std::make_unique<support::PdfLogPrinter>(pdf);
    };
    ConsentingUi ui;
    const platform::UserFacts user = platform::readUserFacts();
    env.mail = [&](const std::string& subject, const fs::path& file) {
        support::MailEnvironment mailEnv;
        mailEnv.folder = ctx.home;
        mailEnv.release = release;
        mailEnv.home = user.home;
        mailEnv.userName = user.name;
        // What is sent is shown in full before it goes.
        mailEnv.confirm = [](const std::string& text) {
            std::cout << base::cp1252ToUtf8(text);
            return true;
        };
        return support::MAILSUPPORT(ui, settings, mailEnv, subject, file);
    };
    support::DOWITHLOG(ui, env,
                       mail ? support::ErrorLogReviewModel::Mail : support::ErrorLogReviewModel::Print);
    // The log goes only when it was printed or sent.
    if (!support::findErrorLog(ctx.home).empty()) {
        return fail(mail ? "Das Fehlerprotokoll wurde nicht versandt und bleibt erhalten."
                         : "Das Fehlerprotokoll wurde nicht gedruckt und bleibt erhalten.");
    }
    return 0;
}

}  // namespace

void installErrorLog(const Context& ctx) {
    const shell::Settings settings(shell::Settings::fileIn(ctx.home));
    const std::string release =
        settings.text(shell::keys::kProgram) + " " + settings.text(shell::keys::kVersion);
    const fs::path log = ctx.home / support::kErrorLogName;
    support::installCrashLog(log, release);
    // A command may meet many errors (one per record of a long append) and takes the default for
    // each: the system facts are read once, at the first.
    auto info = std::make_shared<std::unique_ptr<support::TSystemInfo>>();
    base::setErrorHandler([log, release, info](const base::ErrorRecord& e) {
        // Writing the log may itself fail; the message is printed whatever happens.
        support::DOBREAK([&] {
            if (!*info) *info = std::make_unique<support::TSystemInfo>();
            const auto facts = support::gatherErrorLogFacts(release, **info, nullptr, {});
            return support::writeFileReplacing(log, support::errorLogText(e, facts));
        });
        return printError(e);
    });
}

KLANGO_CLI_COMMAND(
    {"errorlog",
     "  errorlog [--print DATEI.pdf] [--mail]\n"
     "                                das letzte Fehlerprotokoll zeigen, in eine PDF-Datei drucken\n"
     "                                oder per Email versenden (--mail ist die Zustimmung); gedruckt\n"
     "                                oder versandt wird es gelöscht\n",
     90, cmdErrorLog});

}  // namespace klango::cli
