// The database commands of klango-cli: check, list and import.
#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "cli/cli_support.h"
#include "shell/app_state.h"
#include "shell/rx_helpers.h"
#include "trackdb/check_data.h"
#include "trackdb/import_dialog_model.h"
#include "trackdb/mp3_import.h"
#include "trackdb/record_export.h"
#include "trackdb/track_record.h"

namespace fs = std::filesystem;

namespace klango::cli {
namespace {

int cmdCheck(const Context& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return fail("check braucht genau einen Datenbanknamen");
    std::string name;
    if (!databaseName(args[0], name)) return 1;
    dbf::WorkAreas areas(ctx.data());
    ConsoleUi ui(false);
    if (!trackdb::CHECKDATA(areas, ui, name, trackdb::CheckDataEnd::KeepOpen)) {
        return fail("Datenbank \"" + args[0] + "\" konnte nicht geprüft werden");
    }
    const std::string base = shell::RXSTRCAPALL(trackdb::databaseBaseName(name));
    // The check leaves the table open when it could build every order; else it is opened again.
    dbf::DbfTable* table = areas.get("DMP3");
    if (!table) table = areas.use(base, "DMP3");
    if (!table) return fail("Datenbank \"" + args[0] + "\" lässt sich nicht öffnen");
    std::cout << "Datenbank: " << base::cp1252ToUtf8(base) << "\n"
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
    std::string cpName;
    if (!databaseName(*name, cpName)) return 1;
    dbf::WorkAreas areas(ctx.data());
    ConsoleUi ui(false);
    dbf::DbfTable* table = openTrackDatabase(ctx, areas, ui, cpName);
    if (!table) return 1;
    if (!table->setOrder(order)) return fail("Sortierung " + std::to_string(order) + " nicht verfügbar");
    trackdb::writeRecords(*table, std::cout, csv);
    std::cout.flush();
    areas.closeAll();
    return std::cout ? 0 : 1;
}

// The import's dialogs answered from the command line: the source folder, the database name
// (the proposal unless --db names one) and the two questions. Progress goes to a terminal only.
class ImportUi : public ConsoleUi {
public:
    ImportUi(std::string source, std::optional<std::string> db, bool update, bool deleteMissing)
        : ConsoleUi(false), m_source(std::move(source)), m_db(std::move(db)), m_update(update),
          m_deleteMissing(deleteMissing), m_progress(isatty(STDERR_FILENO) != 0) {}

    std::string chooseFolder(const std::string&, const std::string&) override { return m_source; }
    std::string saveFile(const ui::FileDialogRequest& request) override {
        if (m_askedName++) return {};  // a refused name is not asked again: cancel
        return m_db ? *m_db : request.defaultName;
    }
    bool yesNo(const std::string&, const std::string& text, bool) override {
        if (text.rfind("Die Datei existiert bereits", 0) == 0) return m_update;
        if (text.rfind("Nicht vorhandene", 0) == 0) return m_deleteMissing;
        // Naming the database without --update is the consent to replace it.
        if (text.find(trackdb::kReplaceQuestion) != std::string::npos) return true;
        return false;
    }
    void runDialog(ui::DialogModel& model, const std::function<void()>& onShown) override {
        auto* import = dynamic_cast<trackdb::ImportDialogModel*>(&model);
        const auto start = std::chrono::steady_clock::now();
        auto last = start;
        if (import && m_progress) {
            model.onChanged = [&, import] {
                auto now = std::chrono::steady_clock::now();
                if (now - last < std::chrono::milliseconds(200)) return;
                last = now;
                double secs = std::chrono::duration<double>(now - start).count();
                std::fprintf(stderr, "\r%ld / %ld Dateien, %.0f Dateien/s   ", import->position(), import->total(),
                             secs > 0 ? double(import->position()) / secs : 0.0);
                std::fflush(stderr);
            };
        }
        if (onShown) onShown();
        model.onChanged = nullptr;
        if (import && m_progress) std::fprintf(stderr, "\n");
    }

private:
    std::string m_source;
    std::optional<std::string> m_db;
    bool m_update;
    bool m_deleteMissing;
    bool m_progress;
    int m_askedName = 0;
};

int cmdImport(const Context& ctx, const std::vector<std::string>& args) {
    std::optional<std::string> source, db;
    bool update = false, deleteMissing = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--update") {
            update = true;
        } else if (args[i] == "--delete-missing") {
            deleteMissing = true;
        } else if (args[i] == "--db") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return fail("--db braucht einen Datenbanknamen");
            std::string name;
            if (!databaseName(args[++i], name)) return 1;
            db = name;
        } else if (!source && (args[i].empty() || args[i][0] != '-')) {
            source = args[i];
        } else {
            return fail("unbekanntes Argument \"" + args[i] + "\"");
        }
    }
    if (!source) return fail("import braucht einen Quellordner");
    if (deleteMissing && !update) return fail("--delete-missing gilt nur zusammen mit --update");
    std::error_code ec;
    fs::path folder = fs::absolute(*source, ec);
    if (ec || !fs::is_directory(folder, ec)) return fail("Quellordner \"" + *source + "\" nicht gefunden");
    std::string text = folder.lexically_normal().string();
    if (base::cp1252ToUtf8(base::utf8ToCp1252(text)) != text)
        return fail("der Ordnername \"" + text + "\" lässt sich in Klangos Datenbanken nicht speichern");
    if (text.empty() || text.back() != '/') text += '/';

    shell::AppState state;
    shell::LOADPUBLICS(state, ctx.home);
    dbf::WorkAreas areas(ctx.data());
    ImportUi ui(base::utf8ToCp1252(text), db, update, deleteMissing);
    trackdb::Mp3Import import(state, areas, ui);
    if (!import.MP3IMPORT()) return fail("Import abgebrochen: kein gültiger Datenbankname");
    const auto& s = import.session();
    std::cout << "Datenbank: " << base::cp1252ToUtf8(state.CFILE) << "\n"
              << "Angefügt: " << s.NRECADD << "\n"
              << "Gelöscht: " << s.NRECDEL << "\n"
              << "Übersprungen: " << s.skippedCount << "\n";
    if (s.writeFailed) return fail("Import fehlgeschlagen: die Datenbank konnte nicht geschrieben werden");
    return 0;
}


KLANGO_CLI_COMMAND({"check",
                    "  check NAME                    Datenbank NAME prüfen, anlegen oder umwandeln und ihre\n"
                    "                                sechs Suchdateien neu erzeugen\n",
                    10, cmdCheck});
KLANGO_CLI_COMMAND({"list",
                    "  list NAME [--order 1..6] [--csv]\n"
                    "                                alle Titel der Datenbank in der gewählten Sortierung\n"
                    "                                (1 Interpret, 2 Album, 3 Songtitel, 4 Genre, 5 Zeit, 6 Note)\n",
                    20, cmdList});
KLANGO_CLI_COMMAND({"import",
                    "  import QUELLE [--db NAME] [--update] [--delete-missing]\n"
                    "                                MP3-Dateien aus dem Ordner QUELLE und allen Ordnern darunter\n"
                    "                                einlesen (Vorgabe für NAME: Datenträgername bzw. letzter\n"
                    "                                Ordnername); eine vorhandene Datenbank wird ersetzt, mit\n"
                    "                                --update aktualisiert, --delete-missing löscht dann die\n"
                    "                                Einträge nicht mehr vorhandener Dateien unter QUELLE\n",
                    30, cmdImport});

}  // namespace
}  // namespace klango::cli
