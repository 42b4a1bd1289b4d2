#include "trackdb/database_files.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/work_areas.h"
#include "platform/file_names.h"
#include "platform/file_removal.h"
#include "shell/rx_helpers.h"
#include "shell/startup.h"
#include "trackdb/check_data.h"
#include "trackdb/msg_meter.h"
#include "trackdb/track_record.h"
#include "ui/meter.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace klango::trackdb {
namespace {

constexpr const char* kDbfFilter = "MP3-Datenbanken (*.DBF)|*.DBF";

fs::path utf8Path(const std::string& cp1252) { return fs::path(base::cp1252ToUtf8(cp1252)); }
std::string cpText(const fs::path& p) { return base::utf8ToCp1252(p.string()); }

ui::FileDialogRequest dbfRequest(const shell::Shell& shell, const char* title) {
    ui::FileDialogRequest r;
    r.title = title;
    r.filter = kDbfFilter;
    r.startFolder = cpText(shell.state.dataFolder());
    return r;
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

// The file of a database the user picked: the picked file when it ends in ".dbf" (any case), else
// that name with ".dbf"; found case-blind in the picked folder (the data folder when none).
fs::path pickedTable(const shell::Shell& shell, const std::string& picked) {
    fs::path p = utf8Path(picked);
    fs::path folder = p.parent_path();
    if (folder.empty()) folder = shell.state.dataFolder();
    std::string name = p.filename().string();
    if (base::upperAZ(fs::path(name).extension().string()) != ".DBF") name += ".dbf";
    return platform::resolveCaseBlind(folder, name);
}

// Why a file could not be deleted, as a German clause (" (keine Berechtigung)"), or "".
std::string removalReason(const std::error_code& ec) {
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted) return " (keine Berechtigung)";
    if (ec == std::errc::read_only_file_system) return " (schreibgesch\xFCtzter Datentr\xE4ger)";
    if (ec == std::errc::device_or_resource_busy || ec == std::errc::text_file_busy) return " (die Datei ist in Gebrauch)";
    if (ec == std::errc::is_a_directory || ec == std::errc::directory_not_empty) return " (es ist ein Ordner)";
    if (ec == std::errc::io_error) return " (Fehler beim Zugriff auf den Datentr\xE4ger)";
    return "";
}

// The table panel closed by the caller comes back when the command ends with nothing done.
void showAgain(shell::Shell& shell) {
    if (!shell.state.LTAB_OPEN && shell.areas && shell.areas->get("DMP3") && shell.hooks.MP3TABLE) {
        shell.hooks.MP3TABLE(false);
    }
}

// Does every field of fields belong to the track record with its type, PATH among them?
bool holdsTracks(const dbf::Structure& fields) {
    const dbf::Structure& track = trackStructure();
    bool path = false;
    for (const dbf::FieldDef& f : fields) {
        bool known = false;
        for (const dbf::FieldDef& t : track) {
            if (t.name == f.name && t.type == f.type) known = true;
        }
        if (!known) return false;
        if (f.name == "PATH") path = true;
    }
    return path;
}

}  // namespace

std::string pickedDatabaseName(const std::string& picked) {
    std::string name = cpText(utf8Path(picked).filename());
    const size_t dot = name.find('.');
    if (dot != std::string::npos) name.resize(dot);
    return base::upperAZ(name);
}

std::optional<bool> MP3SAVEAS(shell::Shell& shell) {
    KLANGO_ROUTINE("MP3SAVEAS");
    shell::AppState& s = shell.state;
    ui::Ui& ui = *shell.ui;
    dbf::DbfTable* table = shell.areas ? shell.areas->get("DMP3") : nullptr;
    if (!table) return true;
    const std::string title = "Speichern als ...";
    const std::string name = pickedDatabaseName(ui.saveFile(dbfRequest(shell, "MP3-Datenbank speichern unter ...")));
    if (name.empty()) {
        showAgain(shell);
        return true;
    }
    std::string refusal = databaseNameRefusal(name);
    if (refusal.empty()) {
        if (name == base::upperAZ(databaseBaseName(s.CFILE))) {
            refusal = "Die ge\xF6" "ffnete MP3-Datenbank '" + name +
                      "' kann nicht unter ihrem eigenen Namen gespeichert werden.";
        } else if (name == "MP3SUCH" || name == "STATIST") {
            refusal = "Der Name '" + name + "' geh\xF6rt dem Programm; bitte w\xE4hlen Sie einen anderen.";
        }
    }
    if (!refusal.empty()) {
        ui.warning(title, refusal);
        showAgain(shell);
        return std::nullopt;
    }
    const fs::path target = shell.areas->resolve(name, ".dbf");
    std::error_code ec;
    if (fs::exists(target, ec) &&
        !ui.yesNo(title, "MP3-Datenbank '" + name.substr(0, 8) + "' \xDC" "berschreiben ?", true)) {
        showAgain(shell);
        return std::nullopt;
    }

    ui.setWaitCursor(true);
    // The copy is made beside the target and renamed over it, so an old database of that name is
    // either kept or replaced whole.
    fs::path temp = target;
    temp += ".tmp~";
    bool copied = table->copyTo(temp);
    if (copied) {
        fs::rename(temp, target, ec);
        copied = !ec;
    }
    if (!copied) {
        fs::remove(temp, ec);
        ui.setWaitCursor(false);
        ui.warning(title, "Die MP3-Datenbank '" + name + "' konnte nicht geschrieben werden.");
        showAgain(shell);
        return std::nullopt;
    }
    s.CFILE = name;
    shell.areas->closeAll();
    ui.setWaitCursor(false);
    s.LTAB_FILT = false;
    if (shell.hooks.MP3TABLE) shell.hooks.MP3TABLE(false);
    return true;
}

bool MP3FDELETE(shell::Shell& shell) {
    KLANGO_ROUTINE("MP3FDELETE");
    shell::AppState& s = shell.state;
    ui::Ui& ui = *shell.ui;
    if (s.LTAB_OPEN && shell.hooks.MP3DLGCLOSE) shell.hooks.MP3DLGCLOSE();
    if (shell.areas) shell.areas->closeAll();
    const std::string picked = ui.saveFile(dbfRequest(shell, "MP3-Datenbank l\xF6schen"));
    if (picked.empty()) return true;
    const fs::path file = pickedTable(shell, picked);
    const std::string base = cpText(file.stem());
    const std::string shown = base::upperAZ(base).substr(0, 12);
    const std::string title = "L\xF6schen";
    if (!ui.yesNo(title, "Wollen Sie die Datenbank '" + shown + "' l\xF6schen ?", true)) return true;

    std::error_code ec;
    if (!platform::removeFile(file, ec)) {
        // Nothing else goes: the index files and backups stay with the table, the settings as they are.
        ui.warning(title, "Die Datenbank '" + cpText(file) + "' konnte nicht gel\xF6scht werden" +
                                 removalReason(ec) + ".\nEs wurde nichts ge\xE4ndert.");
        return true;
    }
    // Its index files and the backups of its conversions go with it: CHECKDATA would make a new
    // database of this name again from such a backup, with the deleted records.
    std::vector<fs::path> belonging;
    for (int n = 1; n <= 6; ++n) belonging.push_back(indexFile(file.parent_path(), base, n));
    for (fs::path& b : conversionBackups(file.parent_path(), base)) belonging.push_back(std::move(b));
    std::string left;
    for (const fs::path& f : belonging) {
        if (!platform::removeFile(f, ec)) left += "\n" + cpText(f) + removalReason(ec);
    }
    // The next start must not make the deleted database again, empty.
    const shell::Settings settings = s.settings();
    const std::string remembered = settings.text(shell::keys::kDatabaseFile);
    if (!remembered.empty() && sameFile(file.parent_path(), s.dataFolder()) &&
        base::upperAZ(databaseBaseName(remembered)) == base::upperAZ(base)) {
        settings.write(shell::keys::kDatabaseFile, "");
    }
    if (!left.empty()) {
        ui.warning(title, "Die Datenbank '" + cpText(file) +
                                 "' ist gel\xF6scht, diese Dateien von ihr aber nicht:" + left);
    }

    ui.setMessageItem(ui::MessageItem::Base, "");
    ui.setMessageItem(ui::MessageItem::Records, "Titel: 0");
    ui.setMessageItem(ui::MessageItem::Tagged, "Markiert: 0");
    ui.setMessageItem(ui::MessageItem::Filter, "Kein Filter", "N*/W");
    s.LTAB_TAGG = false;
    shell::RXSETMENU(shell);
    return true;
}

bool APPENDFROM(shell::Shell& shell) {
    KLANGO_ROUTINE("APPENDFROM");
    ui::Ui& ui = *shell.ui;
    dbf::DbfTable* target = shell.areas ? shell.areas->get("DMP3") : nullptr;
    if (!target) return false;
    const std::string title = "Datei anf\xFCgen";
    const std::string picked = ui.openFile(dbfRequest(shell, "MP3-Datenbank anf\xFCgen"));
    if (picked.empty()) return false;
    if (!ui.yesNo(title, "Wollen Sie die Daten aus der MP3-Datenbank '" + pickedDatabaseName(picked) + "' anf\xFCgen",
                  true)) {
        return false;
    }
    const fs::path file = pickedTable(shell, picked);
    if (sameFile(file, target->path())) {
        ui.warning(title, "Die ge\xF6" "ffnete MP3-Datenbank kann nicht an sich selbst angef\xFCgt werden.");
        return false;
    }
    dbf::DbfTable* source = shell.areas->useFile(file, "DIMP");
    if (!source) return false;  // the error handler has told why
    if (!holdsTracks(source->structure())) {
        shell.areas->close("DIMP");
        ui.warning(title, "Die Datei '" + cpText(file) + "' ist keine MP3-Datenbank und wird nicht angef\xFCgt.");
        return false;
    }
    AppendOutcome outcome;
    fs::path shown = file;
    shown.replace_extension();
    MSGMETER(
        ui, [&](ui::Meter& meter) { outcome = RXAPPEND(*source, *target, meter, ui); },
        cpText(shown) + ".DBF importieren");
    shell.areas->closeAll();
    if (outcome.failed) {
        ui.warning(title, "Die MP3-Datenbank konnte nicht weiter geschrieben werden: " +
                              std::to_string(outcome.appended) + " von " + std::to_string(outcome.total) +
                              " Titeln wurden angef\xFCgt.");
    }
    return outcome.appended > 0;
}

AppendOutcome RXAPPEND(dbf::DbfTable& source, dbf::DbfTable& target, ui::Meter& meter, ui::Ui& ui) {
    KLANGO_ROUTINE("RXAPPEND");
    AppendOutcome outcome;
    struct Pair {
        int from;
        int to;
        dbf::FieldType type;
    };
    std::vector<Pair> pairs;
    for (int i = 0; i < source.fieldCount(); ++i) {
        const dbf::FieldDef& f = source.structure()[size_t(i)];
        const int to = target.fieldPos(f.name);
        if (to >= 0 && target.structure()[size_t(to)].type == f.type) pairs.push_back({i, to, f.type});
    }
    source.setOrder(0);
    outcome.total = source.count();
    meter.setTotal(long(source.lastRec()));
    for (source.goTop(); !source.eof(); source.skip(1)) {
        const uint32_t before = target.lastRec();
        target.appendBlank();
        if (target.lastRec() == before) {
            outcome.failed = true;
            break;
        }
        for (const Pair& p : pairs) {
            switch (p.type) {
                case dbf::FieldType::kCharacter:
                    target.putC(p.to, source.raw(p.from));
                    break;
                case dbf::FieldType::kNumeric:
                    target.putN(p.to, source.getN(p.from));
                    break;
                case dbf::FieldType::kDate:
                    target.putD(p.to, source.getD(p.from));
                    break;
                case dbf::FieldType::kLogical:
                    target.putL(p.to, source.getL(p.from));
                    break;
            }
        }
        // Each record goes to the file with the header's count, so that a failure leaves exactly the
        // records reported as appended.
        if (!target.flush()) {
            outcome.failed = true;
            break;
        }
        ++outcome.appended;
        meter.setPosition(long(source.recNo()));
        ui.processEvents();
    }
    return outcome;
}

}  // namespace klango::trackdb
