// What every klango-cli command shares: the program folder, the error printer, the console Ui,
// database names from the command line and the open track database with its six orders.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/error.h"
#include "dbf/dbf_table.h"
#include "dbf/work_areas.h"
#include "ui/ui.h"

namespace klango::cli {

struct Context {
    std::filesystem::path home;
    std::filesystem::path data() const { return home / "Daten"; }
};

// Prints "klango-cli: MESSAGE" (UTF-8) to standard error; returns the exit code 1.
int fail(const std::string& message);

// The installed error handler: prints what went wrong, the operation takes its default.
base::ErrorAnswer printError(const base::ErrorRecord& e);
// The handler of a run: printError, and the error log "Error.log" in the program folder as the
// desktop program writes it (offered at its next start); a crash signal writes the short log.
void installErrorLog(const Context& ctx);

// A database name from the command line as the core keeps it (CP1252); false, with the message
// printed, for a name the code page cannot hold or the program refuses.
bool databaseName(const std::string& arg, std::string& name);

bool databaseExists(const Context& ctx, const std::string& name);

// Checks the database NAME (CP1252) and leaves it open as DMP3 with its six orders, order 1
// active; nullptr with the message printed when it is missing or cannot be opened.
dbf::DbfTable* openTrackDatabase(const Context& ctx, dbf::WorkAreas& areas, ui::Ui& ui, const std::string& name);

// Messages of the routines, printed to standard error so that output stays clean for pipes.
class ConsoleUi : public ui::NullUi {
public:
    explicit ConsoleUi(bool verbose) : m_verbose(verbose) {}
    void info(const std::string& title, const std::string& text) override { print(title, text); }
    void infoWithNames(const std::string& title, const std::string& text,
                       const std::vector<std::string>& fileNames) override;
    void warning(const std::string& title, const std::string& text) override { print(title, text); }
    void alert(const std::string& text) override { print({}, text); }
    void showMessage(const std::string& text) override;

private:
    void print(const std::string& title, const std::string& text);
    bool m_verbose;
};

// One subcommand. Each file of app/cli registers its commands with KLANGO_CLI_COMMAND; the
// help lists them by `rank`.
struct Command {
    std::string name;
    std::string usage;  // lines of the help text, UTF-8, each indented as the others
    int rank = 0;
    int (*run)(const Context&, const std::vector<std::string>& args) = nullptr;
};

bool registerCommand(Command command);
const std::vector<Command>& commands();

}  // namespace klango::cli

#define KLANGO_CLI_CONCAT2(a, b) a##b
#define KLANGO_CLI_CONCAT(a, b) KLANGO_CLI_CONCAT2(a, b)
#define KLANGO_CLI_COMMAND(...) \
    static const bool KLANGO_CLI_CONCAT(klangoCliCommand, __LINE__) = ::klango::cli::registerCommand(__VA_ARGS__)
