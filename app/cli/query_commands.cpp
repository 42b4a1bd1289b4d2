// The query commands of klango-cli: search, filter and stats, the routines of the desktop
// program without windows. The hits and views are printed as `list` prints a table.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/text_format.h"
#include "cli/cli_support.h"
#include "query/queries.h"
#include "query/stats_dialog_model.h"
#include "shell/rx_helpers.h"
#include "shell/startup.h"
#include "trackdb/record_export.h"
#include "trackdb/track_record.h"

namespace klango::cli {
namespace {

// A shell without windows over the program folder of ctx: the state the routines read, the work
// areas in the data folder and the console for their messages.
struct CliShell {
    explicit CliShell(const Context& ctx) : ui(false), shell(ui), queries(shell) {
        shell.state.CRUNIN = ctx.home / "";
        shell.state.CINIFILE = shell::Settings::fileIn(shell.state.CRUNIN);
        shell.areas = std::make_unique<dbf::WorkAreas>(ctx.data());
    }
    ~CliShell() { shell.areas->closeAll(); }

    // Opens NAME as the open database (DMP3 with its six orders).
    dbf::DbfTable* open(const Context& ctx, const std::string& arg) {
        std::string name;
        if (!databaseName(arg, name)) return nullptr;
        dbf::DbfTable* t = openTrackDatabase(ctx, *shell.areas, ui, name);
        if (t) shell.state.CFILE = shell::RXSTRCAPALL(trackdb::databaseBaseName(name));
        return t;
    }

    ConsoleUi ui;
    shell::Shell shell;
    query::Queries queries;
};

bool takeValue(const std::vector<std::string>& args, size_t& i, std::string& out) {
    if (i + 1 >= args.size()) return false;
    out = base::utf8ToCp1252(args[++i]);
    return true;
}

int printView(dbf::DbfTable& table) {
    trackdb::writeRecords(table, std::cout, false);
    std::cout.flush();
    return std::cout ? 0 : 1;
}

int cmdSearch(const Context& ctx, const std::vector<std::string>& args) {
    query::SearchCriteria c;
    std::optional<std::string> name;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool ok = true;
        if (a == "--all") {
            c.inAll = true;
        } else if (a == "--artist") {
            ok = takeValue(args, i, c.group);
        } else if (a == "--album") {
            ok = takeValue(args, i, c.album);
        } else if (a == "--title") {
            ok = takeValue(args, i, c.title);
        } else if (a == "--words") {
            ok = takeValue(args, i, c.text);
        } else if (a == "--or1") {
            c.andOr1 = query::kOr;
        } else if (a == "--or2") {
            c.andOr2 = query::kOr;
        } else if (!name && !a.empty() && a[0] != '-') {
            name = a;
        } else {
            return fail("unbekanntes Argument \"" + a + "\"");
        }
        if (!ok) return fail(a + " braucht einen Suchbegriff");
    }
    if (c.group.size() > size_t(query::kTermWidth) || c.album.size() > size_t(query::kTermWidth) ||
        c.title.size() > size_t(query::kTermWidth) || c.text.size() > size_t(query::kTextWidth)) {
        return fail("Suchbegriffe haben h\xC3\xB6" "chstens 40 Zeichen, die Volltextsuche 50");
    }
    if (!c.anyTerm()) return fail("search braucht einen Suchbegriff (--artist, --album, --title oder --words)");
    if (!c.inAll && !name) return fail("search braucht einen Datenbanknamen oder --all");
    CliShell cli(ctx);
    if (name && !cli.open(ctx, *name)) return 1;
    if (!c.inAll) {
        if (cli.queries.search.SUCHINONE(c) == 0) return 1;
        return printView(*cli.queries.view.table());
    }
    const query::Search::AllResult result = cli.queries.search.SUCHINALL(c);
    if (result.failed) return 1;
    if (result.hits == 0) return 1;
    cli.shell.areas->closeAll();
    dbf::DbfTable* hits = cli.open(ctx, query::Search::kResultName);
    const int printed = hits ? printView(*hits) : 1;
    // The hits of the others are printed, but a database passed over is no success.
    return result.skipped.empty() ? printed : 1;
}

// A mark or hit-parade option as the dialog lists it.
template <size_t N>
bool knownOption(const std::array<const char*, N>& options, const std::string& value) {
    for (const char* o : options) {
        if (value == o) return true;
    }
    return false;
}

int cmdFilter(const Context& ctx, const std::vector<std::string>& args) {
    query::FilterCriteria c;
    std::optional<std::string> name;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        int criterion = 0;
        if (a == "--genre") criterion = query::kGenre;
        else if (a == "--album") criterion = query::kAlbum;
        else if (a == "--artist") criterion = query::kArtist;
        else if (a == "--year") criterion = query::kYear;
        else if (a == "--marks") criterion = query::kMarks;
        else if (a == "--hits") criterion = query::kHits;
        if (criterion == 0) {
            if (!name && !a.empty() && a[0] != '-') {
                name = a;
                continue;
            }
            return fail("unbekanntes Argument \"" + a + "\"");
        }
        std::string value;
        if (!takeValue(args, i, value)) return fail(a + " braucht einen Wert");
        if (criterion == query::kYear) {
            if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos) {
                return fail("--year braucht ein Jahr aus Ziffern, zum Beispiel 1999");
            }
            value = base::strNumber(double(base::leadingNumber(value)), 4);
        }
        if (criterion == query::kMarks && !knownOption(query::kMarkOptions, value)) {
            return fail("--marks kennt: \"Markierte Datens\xC3\xA4tze\", \"Nicht markierte Datens\xC3\xA4tze\", "
                        "\"Heute gespielte Titel\", \"Titel der letzten 2 Stunden\"");
        }
        if (criterion == query::kHits && !knownOption(query::kHitOptions, value)) {
            return fail("--hits kennt: \"Top 10\", \"Top 40\", \"Top 100\", \"Less 100\", \"Less 40\", \"Less 10\"");
        }
        c[size_t(criterion - 1)].push_back(value);
    }
    if (!name) return fail("filter braucht einen Datenbanknamen");
    if (!query::anyCriterion(c)) return fail("filter braucht mindestens ein Kriterium");
    CliShell cli(ctx);
    if (!cli.open(ctx, *name)) return 1;
    if (cli.queries.filter.FILTERNOW(c) == 0) return 1;
    return printView(*cli.queries.view.table());
}

int cmdStats(const Context& ctx, const std::vector<std::string>& args) {
    bool all = false;
    std::optional<std::string> name;
    for (const std::string& a : args) {
        if (a == "--all") {
            all = true;
        } else if (!name && !a.empty() && a[0] != '-') {
            name = a;
        } else {
            return fail("unbekanntes Argument \"" + a + "\"");
        }
    }
    if (!all && !name) return fail("stats braucht einen Datenbanknamen oder --all");
    CliShell cli(ctx);
    if (name && !cli.open(ctx, *name)) return 1;
    auto out = [](const std::string& text) { std::cout << base::cp1252ToUtf8(text) << "\n"; };
    if (!all) {
        query::StatsDialogModel model(query::tableFigures(*cli.queries.view.table(), false), nullptr);
        out(model.title());
        for (const auto& [label, value] : model.lines()) out(label + ": " + value);
        out(model.note());
        return std::cout ? 0 : 1;
    }
    auto rows = cli.queries.stats.STATINALL();
    if (!rows) return 1;
    query::AllStatsDialogModel model(cli.queries.stats.inNameOrder(std::move(*rows)));
    out(model.title());
    std::string line;
    for (const char* heading : query::AllStatsDialogModel::kHeadings) line += std::string(heading) + "|";
    out(line);
    for (int r = 0; r < model.rowCount(); ++r) {
        line.clear();
        for (int col = 0; col < query::AllStatsDialogModel::kColumns; ++col) line += model.cellText(r, col) + "|";
        out(line);
    }
    out(model.summary());
    return std::cout ? 0 : 1;
}

}  // namespace

KLANGO_CLI_COMMAND({"search",
                    "  search [--all] [--artist T] [--album T] [--title T] [--words \"W ...\"]\n"
                    "         [--or1] [--or2] [NAME]\n"
                    "                                Titel in NAME oder mit --all in allen Datenbanken suchen\n"
                    "                                (--or1/--or2: \"oder\" statt \"und\"; Treffer von --all\n"
                    "                                bleiben in MP3SUCH.dbf)\n",
                    40, cmdSearch});
KLANGO_CLI_COMMAND({"filter",
                    "  filter NAME [--genre G ...] [--album A ...] [--artist A ...] [--year Y ...]\n"
                    "         [--marks OPTION ...] [--hits \"Top 10\"]\n"
                    "                                die Titel von NAME, die dem Filter entsprechen\n",
                    41, cmdFilter});
KLANGO_CLI_COMMAND({"stats",
                    "  stats NAME | stats --all      Statistik der Datenbank NAME oder aller Datenbanken\n"
                    "                                (--all schreibt Statist.dbf und seinen Namensindex\n"
                    "                                MP3TEMP.NTX, in dessen Folge es die Zeilen zeigt)\n",
                    42, cmdStats});

}  // namespace klango::cli
