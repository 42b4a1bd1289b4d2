// The playlist commands of klango-cli: mark, playlist and play, through the same routines as the
// desktop program (the sort dialog is skipped: the playlist takes the table's order).
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "cli/cli_support.h"
#include "output/playlist_export.h"
#include "shell/rx_helpers.h"
#include "shell/startup.h"
#include "table/marking.h"
#include "table/table_panel_state.h"
#include "trackdb/track_record.h"

namespace fs = std::filesystem;

namespace klango::cli {
namespace {

using trackdb::track::Field;

// A shell for one command: the settings of the program folder, the database open as DMP3.
struct CliShell {
    ConsoleUi ui{false};
    shell::Shell shell{ui};
    dbf::DbfTable* table = nullptr;

    bool open(const Context& ctx, const std::string& arg) {
        std::string name;
        if (!databaseName(arg, name)) return false;
        shell::LOADPUBLICS(shell.state, ctx.home);
        shell.areas = std::make_unique<dbf::WorkAreas>(ctx.data());
        table = openTrackDatabase(ctx, *shell.areas, ui, name);
        if (!table) return false;
        shell.state.CFILE = trackdb::databaseBaseName(name);
        shell.state.LTAB_OPEN = true;  // the table stands where the panel would show it
        return true;
    }
    long marked() { return shell::NUMTAGGED(*table, true, shell.state); }
};

// "artist=Band" and its kin: the field and the text it must hold (trailing blanks aside, a to z
// in any case).
std::optional<std::pair<int, std::string>> whereClause(const std::string& text) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos) return std::nullopt;
    const std::string key = text.substr(0, eq);
    int field = -1;
    if (key == "artist") field = Field::GROUP;
    if (key == "album") field = Field::ALBUM;
    if (key == "title") field = Field::TITLE;
    if (key == "genre") field = Field::GENRE;
    if (field < 0) return std::nullopt;
    return std::make_pair(field, base::upperAZ(base::utf8ToCp1252(text.substr(eq + 1))));
}

int cmdMark(const Context& ctx, const std::vector<std::string>& args) {
    std::optional<std::string> name, mode, where;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--all" || args[i] == "--none") {
            mode = args[i];
        } else if (args[i] == "--where") {
            if (i + 1 >= args.size()) return fail("--where braucht eine Bedingung wie artist=NAME");
            where = args[++i];
            mode = "--where";
        } else if (!name && !args[i].empty() && args[i][0] != '-') {
            name = args[i];
        } else {
            return fail("unbekanntes Argument \"" + args[i] + "\"");
        }
    }
    if (!name || !mode) return fail("mark braucht NAME und --all, --none oder --where FELD=TEXT");
    std::optional<std::pair<int, std::string>> clause;
    if (where) {
        clause = whereClause(*where);
        if (!clause) return fail("--where versteht artist=, album=, title= und genre=, nicht \"" + *where + "\"");
    }
    CliShell cli;
    if (!cli.open(ctx, *name)) return 1;
    table::TablePanelState panel;
    table::Marking marking(cli.table, cli.shell.state, cli.ui, panel);
    if (*mode == "--all") {
        marking.MARKALL();
    } else if (*mode == "--none") {
        marking.DELMARKED();
    } else {
        dbf::DbfTable& t = *cli.table;
        dbf::DbfTable::BulkChange bulk(t);
        for (t.goTop(); !t.eof(); t.skip(1)) {
            if (base::upperAZ(base::trimRight(t.raw(clause->first))) == clause->second) t.putL(Field::TAGGED, true);
        }
    }
    const long marked = cli.marked();
    const bool flushed = cli.table->flush();
    cli.shell.areas->closeAll();
    if (!flushed) return fail("die Markierungen konnten nicht gespeichert werden");
    std::cout << "Markiert: " << marked << "\n";
    return 0;
}

void printResult(const output::PlaylistResult& r) {
    std::cout << "Playliste: " << r.file.string() << "\n"
              << "Titel: " << r.tracks << "\n";
    if (r.leftOut > 0) std::cout << "Ausgelassen: " << r.leftOut << "\n";
}

int cmdPlaylist(const Context& ctx, const std::vector<std::string>& args) {
    std::optional<std::string> name, out;
    bool all = false, play = false, unmark = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--all") {
            all = true;
        } else if (args[i] == "--play") {
            play = true;
        } else if (args[i] == "--unmark") {
            unmark = true;
        } else if (args[i] == "--out") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return fail("--out braucht einen Dateinamen");
            out = args[++i];
        } else if (!name && !args[i].empty() && args[i][0] != '-') {
            name = args[i];
        } else {
            return fail("unbekanntes Argument \"" + args[i] + "\"");
        }
    }
    if (!name) return fail("playlist braucht einen Datenbanknamen");
    CliShell cli;
    if (!cli.open(ctx, *name)) return 1;
    cli.shell.state.LS_MARKSORT = true;
    output::PlaylistExport exporter(cli.shell);
    std::string file = base::utf8ToCp1252(fs::path(cli.shell.state.settings().text(shell::keys::kPlayFile)).string());
    if (out) {
        std::error_code ec;
        const fs::path target = fs::absolute(*out, ec);
        exporter.setFolder(target.parent_path());
        file = base::utf8ToCp1252(target.filename().string());
    }
    const output::PlaylistResult r = exporter.M3USORT(file, !all, play, unmark, false);
    cli.shell.areas->closeAll();
    if (!r.written) return 1;
    printResult(r);
    if (play && !r.playerStarted) return 1;
    return 0;
}

int cmdPlay(const Context& ctx, const std::vector<std::string>& args) {
    std::optional<std::string> name;
    long record = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--record") {
            if (i + 1 >= args.size()) return fail("--record braucht eine Satznummer");
            try {
                record = std::stol(args[++i]);
            } catch (...) {
                return fail("--record braucht eine Satznummer");
            }
        } else if (!name && !args[i].empty() && args[i][0] != '-') {
            name = args[i];
        } else {
            return fail("unbekanntes Argument \"" + args[i] + "\"");
        }
    }
    if (!name || record <= 0) return fail("play braucht NAME und --record N");
    CliShell cli;
    if (!cli.open(ctx, *name)) return 1;
    dbf::DbfTable& t = *cli.table;
    if (uint32_t(record) > t.lastRec()) return fail("Datensatz " + std::to_string(record) + " gibt es nicht");
    t.goTo(uint32_t(record));
    if (t.isDeleted()) return fail("Datensatz " + std::to_string(record) + " ist gelöscht");
    output::PlaylistExport player(cli.shell);
    const output::PlaylistResult r = player.M3UEXSINGLE();
    cli.shell.areas->closeAll();
    if (!r.written) return 1;
    printResult(r);
    return r.playerStarted ? 0 : 1;
}

KLANGO_CLI_COMMAND({"mark",
                    "  mark NAME (--all | --none | --where FELD=TEXT)\n"
                    "                                Titel markieren: alle, keinen, oder die, deren Feld\n"
                    "                                (artist, album, title, genre) gleich TEXT ist\n",
                    40, cmdMark});
KLANGO_CLI_COMMAND({"playlist",
                    "  playlist NAME [--all] [--out DATEI] [--play] [--unmark]\n"
                    "                                Playliste der markierten (mit --all aller) Titel schreiben,\n"
                    "                                ihre Abspieldaten setzen, mit --play den Player starten,\n"
                    "                                mit --unmark danach alle Markierungen entfernen\n",
                    50, cmdPlaylist});
KLANGO_CLI_COMMAND({"play",
                    "  play NAME --record N          Datensatz N sofort abspielen (Playliste KLANGO.M3U)\n",
                    60, cmdPlay});

}  // namespace
}  // namespace klango::cli
