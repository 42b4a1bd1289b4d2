// The copy command of klango-cli: the marked tracks of a database copied into a folder, as the
// copy dialog does it, without windows. A medium that is not in its drive ends the run with a
// message naming it.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "cli/cli_support.h"
#include "output/copy_database.h"
#include "output/transfer_media.h"
#include "output/transfer_run.h"
#include "platform/media.h"
#include "shell/app_state.h"
#include "shell/rx_helpers.h"
#include "trackdb/track_record.h"

namespace fs = std::filesystem;

namespace klango::cli {
namespace {

int cmdCopy(const Context& ctx, const std::vector<std::string>& args) {
    std::string name;
    std::string to;
    std::string newDatabase;
    output::TransferOptions options;
    options.LTAGGED = true;
    bool nameOptions = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* what) -> const std::string* {
            if (i + 1 >= args.size()) return nullptr;
            (void)what;
            return &args[++i];
        };
        if (a == "--to") {
            const std::string* v = value("--to");
            if (!v || v->empty()) return fail("--to braucht einen Zielordner");
            to = *v;
        } else if (a == "--flat") {
            options.LORDNER = false;
        } else if (a == "--artist") {
            options.LGROUP = nameOptions = true;
        } else if (a == "--album") {
            options.LALBUM = nameOptions = true;
        } else if (a == "--number") {
            options.LTRACK = nameOptions = true;
        } else if (a == "--all") {
            options.LTAGGED = false;
        } else if (a == "--from-note") {
            const std::string* v = value("--from-note");
            if (!v || v->size() != 1 || (*v)[0] < '0' || (*v)[0] > '9')
                return fail("--from-note braucht eine Note von 0 bis 9");
            options.NAUSWAHL = 2;
            options.NNOTE = (*v)[0] - '0';
        } else if (a == "--database") {
            const std::string* v = value("--database");
            if (!v || v->empty()) return fail("--database braucht einen Datenbanknamen");
            newDatabase = *v;
        } else if (name.empty() && !a.empty() && a[0] != '-') {
            name = a;
        } else {
            return fail("unbekanntes Argument \"" + a + "\"");
        }
    }
    if (name.empty()) return fail("copy braucht einen Datenbanknamen");
    if (to.empty()) return fail("copy braucht --to ZIELORDNER");
    if (nameOptions && options.LORDNER) return fail("--artist, --album und --number gelten nur mit --flat");
    std::error_code ec;
    if (!fs::is_directory(to, ec)) return fail("Zielordner \"" + to + "\" nicht gefunden");
    options.CPATH = base::utf8ToCp1252(fs::absolute(to, ec).lexically_normal().string());

    std::string cpName;
    if (!databaseName(name, cpName)) return 1;
    std::string cpCopy;
    if (!newDatabase.empty() && !databaseName(newDatabase, cpCopy)) return 1;

    dbf::WorkAreas areas(ctx.data());
    ConsoleUi ui(false);
    dbf::DbfTable* table = openTrackDatabase(ctx, areas, ui, cpName);
    if (!table) return 1;

    shell::AppState state;
    state.CRUNIN = ctx.home;
    state.CFILE = trackdb::databaseBaseName(cpName);
    if (options.LTAGGED && shell::NUMTAGGED(*table, false, state) == 0) {
        areas.closeAll();
        return fail("Sie haben keine Daten markiert!");
    }
    output::CopyDatabase database(state, areas, ui);
    if (!cpCopy.empty() && !database.open(output::CopyDatabase::nameOf(cpCopy), false)) {
        areas.closeAll();
        return 1;
    }

    platform::SystemMedia media;
    const std::optional<std::string> programLabel = media.label(media.driveOf(ctx.home));
    output::TransferRun run(options, media, ui, *table, database.isOpen() ? &database : nullptr,
                            programLabel ? base::utf8ToCp1252(*programLabel) : std::string());
    run.askMediaList = [](const std::vector<std::string>& names) {
        std::cerr << "Benötigte Medien:";
        for (const std::string& n : names) std::cerr << " '" << base::cp1252ToUtf8(n) << "'";
        std::cerr << "\n";
        return true;
    };
    std::string missing;
    run.askMedium = [&](const fs::path& drive, const std::string& medium, const fs::path& file) {
        if (output::TRANSCHKDRIVE(media, drive, medium, file) == 0) return true;
        missing = medium;
        return false;
    };
    run.TRANSFERIT();
    const output::TransferSummary& s = run.summary();
    const bool databaseOk = database.close();
    areas.closeAll();
    if (!missing.empty())
        return fail("Bitte legen Sie nun das Medium '" + base::cp1252ToUtf8(missing) + "' ein ! (" +
                    std::to_string(s.processed) + " Titel kopiert)");
    std::cout << s.processed << " Titel kopiert\n";
    if (!cpCopy.empty()) std::cout << "Datenbank: " << base::cp1252ToUtf8(output::CopyDatabase::nameOf(cpCopy)) << ".dbf\n";
    return s.failed > 0 || s.destinationFull || s.stopped || !s.flushed || !databaseOk ? 1 : 0;
}

}  // namespace

KLANGO_CLI_COMMAND({"copy",
                    "  copy NAME --to ORDNER [--flat] [--artist] [--album] [--number] [--from-note N]\n"
                    "       [--database NEUNAME] [--all]\n"
                    "                                die markierten Titel (mit --all alle) in den Ordner ORDNER\n"
                    "                                kopieren, mit ihrer Ordnerstruktur oder (--flat) unter\n"
                    "                                Namen aus Interpret, Album, Titelnummer und Titel; ab Note N;\n"
                    "                                die Kopien in der Datenbank NEUNAME verzeichnen (eine\n"
                    "                                vorhandene wird ergänzt)\n",
                    60, cmdCopy});

}  // namespace klango::cli
