// klango-cli: the catalogue from a shell. The same routines as the desktop program, without
// windows: questions take their defaults, errors are printed and take the default.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/executable_path.h"
#include "platform/file_names.h"
#include "runtime/cp1252.h"
#include "runtime/dbf_table.h"
#include "runtime/error.h"
#include "runtime/key_expression.h"
#include "runtime/order.h"
#include "runtime/work_areas.h"
#include "shell/rx_helpers.h"
#include "trackdb/check_data.h"
#include "trackdb/record_export.h"
#include "trackdb/track_record.h"
#include "ui/ui.h"

namespace fs = std::filesystem;
using namespace klango;

namespace {

constexpr const char* kUsage =
    "Aufruf: klango-cli [--home ORDNER] BEFEHL ...\n"
    "\n"
    "Klango verwaltet eine Sammlung von MP3-Dateien in Datenbanken im Ordner \"Daten\"\n"
    "des Programmordners.\n"
    "\n"
    "Befehle:\n"
    "  check NAME                    Datenbank NAME prüfen, anlegen oder umwandeln und ihre\n"
    "                                sechs Suchdateien neu erzeugen\n"
    "  list NAME [--order 1..6] [--csv]\n"
    "                                alle Titel der Datenbank in der gewählten Sortierung\n"
    "                                (1 Interpret, 2 Album, 3 Songtitel, 4 Genre, 5 Zeit, 6 Note)\n"
    "\n"
    "Optionen:\n"
    "  --home ORDNER   Programmordner mit KLANGO.INI und Daten/ (Vorgabe: Ordner des Programms)\n"
    "  --help          diese Hilfe\n";

// Prints what went wrong and lets the operation fail with its default result.
runtime::ErrorAnswer printError(const runtime::ErrorRecord& e) {
    std::cerr << "klango-cli: " << runtime::cp1252ToUtf8(runtime::errorMessage(e)) << "\n";
    return runtime::ErrorAnswer::fallBack();
}

int fail(const std::string& message) {
    std::cerr << "klango-cli: " << message << "\n";
    return 1;
}

// Messages of the routines, printed to standard error so that output stays clean for pipes.
class ConsoleUi : public ui::NullUi {
public:
    explicit ConsoleUi(bool verbose) : m_verbose(verbose) {}
    void info(const std::string& title, const std::string& text) override { print(title, text); }
    void warning(const std::string& title, const std::string& text) override { print(title, text); }
    void alert(const std::string& text) override { print({}, text); }
    void showMessage(const std::string& text) override {
        if (m_verbose) std::cerr << runtime::cp1252ToUtf8(text) << "\n";
    }

private:
    void print(const std::string& title, const std::string& text) {
        std::cerr << runtime::cp1252ToUtf8(title.empty() ? text : title + ": " + text) << "\n";
    }
    bool m_verbose;
};

struct Context {
    fs::path home;
    fs::path data() const { return home / "Daten"; }
};

bool databaseExists(const Context& ctx, const std::string& name) {
    std::error_code ec;
    return fs::exists(platform::resolveCaseBlind(ctx.data(), trackdb::databaseBaseName(name) + ".dbf"), ec);
}

int cmdCheck(const Context& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return fail("check braucht genau einen Datenbanknamen");
    const std::string name = runtime::utf8ToCp1252(args[0]);
    runtime::WorkAreas areas(ctx.data());
    ConsoleUi ui(false);
    if (!trackdb::CHECKDATA(areas, ui, name)) return fail("Datenbank \"" + args[0] + "\" konnte nicht geprüft werden");
    const std::string base = shell::RXSTRCAPALL(trackdb::databaseBaseName(name));
    runtime::DbfTable* table = areas.use(base, "DMP3");
    if (!table) return fail("Datenbank \"" + args[0] + "\" lässt sich nicht öffnen");
    std::cout << "Datenbank: " << runtime::cp1252ToUtf8(base) << "\n"
              << "Felder: " << table->fieldCount() << "\n"
              << "Datensätze: " << table->lastRec() << "\n"
              << "Satzlänge: " << table->recordLength() << "\n"
              << "Suchdateien:";
    for (int n = 1; n <= 6; ++n) {
        std::error_code ec;
        fs::path index = trackdb::indexFile(ctx.data(), base, n);
        if (fs::exists(index, ec)) std::cout << " " << index.filename().string();
    }
    std::cout << "\n";
    areas.closeAll();
    return 0;
}

int cmdList(const Context& ctx, const std::vector<std::string>& args) {
    std::optional<std::string> name;
    int order = 1;
    bool csv = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--csv") {
            csv = true;
        } else if (args[i] == "--order") {
            if (i + 1 >= args.size()) return fail("--order braucht eine Zahl von 1 bis 6");
            const std::string& v = args[++i];
            if (v.size() != 1 || v[0] < '1' || v[0] > '6') return fail("--order braucht eine Zahl von 1 bis 6");
            order = v[0] - '0';
        } else if (!name && (args[i].empty() || args[i][0] != '-')) {
            name = args[i];
        } else {
            return fail("unbekanntes Argument \"" + args[i] + "\"");
        }
    }
    if (!name) return fail("list braucht einen Datenbanknamen");
    const std::string cpName = runtime::utf8ToCp1252(*name);
    if (!databaseExists(ctx, cpName)) return fail("Datenbank \"" + *name + "\" nicht gefunden");

    runtime::WorkAreas areas(ctx.data());
    ConsoleUi ui(false);
    if (!trackdb::CHECKDATA(areas, ui, cpName)) return fail("Datenbank \"" + *name + "\" konnte nicht geprüft werden");
    const std::string base = shell::RXSTRCAPALL(trackdb::databaseBaseName(cpName));
    runtime::DbfTable* table = areas.use(base, "DMP3");
    if (!table) return fail("Datenbank \"" + *name + "\" lässt sich nicht öffnen");
    for (const auto& o : trackdb::trackOrders()) {
        table->attachOrder(trackdb::indexFile(ctx.data(), base, o.number),
                           runtime::compileKey(table->structure(), o.expression));
    }
    if (!table->setOrder(order)) return fail("Sortierung " + std::to_string(order) + " nicht verfügbar");
    trackdb::writeRecords(*table, std::cout, csv);
    std::cout.flush();
    areas.closeAll();
    return std::cout ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    Context ctx{platform::executableFolder()};
    size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (args[i] == "--home") {
            if (i + 1 >= args.size()) return fail("--home braucht einen Ordner");
            ctx.home = args[++i];
            continue;
        }
        break;
    }
    if (i >= args.size()) {
        std::cerr << kUsage;
        return 1;
    }
    std::error_code ec;
    if (!fs::is_directory(ctx.home, ec)) return fail("Programmordner \"" + ctx.home.string() + "\" nicht gefunden");
    fs::create_directories(ctx.data(), ec);

    runtime::setErrorHandler(printError);
    const std::string command = args[i];
    std::vector<std::string> rest(args.begin() + long(i) + 1, args.end());
    for (const auto& a : rest) {
        if (a == "--help") {
            std::cout << kUsage;
            return 0;
        }
    }
    if (command == "check") return cmdCheck(ctx, rest);
    if (command == "list") return cmdList(ctx, rest);
    return fail("unbekannter Befehl \"" + command + "\" (siehe --help)");
}
