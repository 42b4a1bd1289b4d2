#include "trackdb/check_data.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/dbf_header_check.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "dbf/work_areas.h"
#include "platform/binary_file.h"
#include "platform/clock.h"
#include "platform/file_names.h"
#include "shell/rx_helpers.h"
#include "trackdb/track_record.h"
#include "ui/ui.h"

namespace klango::trackdb {

namespace fs = std::filesystem;

// The backups of a table: "NAME.bak", then "NAME.1.bak", "NAME.2.bak" ... (a name the index
// files NAME1.NTX ... can never take).
fs::path conversionBackup(const fs::path& folder, std::string_view name, int n) {
    // In the case of the table file, like the index files ("MUSIK.dbf", "MUSIK.bak").
    return databaseFile(folder, base::trim(name), n == 0 ? std::string(".bak") : "." + std::to_string(n) + ".bak");
}

std::vector<fs::path> conversionBackups(const fs::path& folder, std::string_view name) {
    std::vector<fs::path> found;
    for (int n = 0; n <= kMaxBackups; ++n) {
        fs::path b = conversionBackup(folder, name, n);
        std::error_code ec;
        if (!fs::exists(b, ec)) break;
        found.push_back(std::move(b));
    }
    return found;
}

namespace {

enum class Layout { Current, Convertible, Foreign };

void removeQuietly(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
}

bool fileExists(const fs::path& file) {
    std::error_code ec;
    return fs::exists(file, ec);
}

std::string shownName(const fs::path& file) { return base::utf8ToCp1252(file.filename().string()); }

// Which layout a consistent table has. The current layout is the track record exactly. An older
// layout is converted only when every field of it is a track field of a fitting type and width
// (none would be left behind or cut), PATH among them, and at least two thirds of the track
// fields are there; anything else is not a track table of ours, or a damaged one.
Layout layoutOf(const dbf::Structure& fields, std::string& why) {
    const dbf::Structure& track = trackStructure();
    if (fields == track) return Layout::Current;
    if (int(fields.size()) == track::kFieldCount && dbf::recordLengthOf(fields) == NEWHEADLEN(track)) {
        why = "Felder weichen vom Titelsatz ab";
        return Layout::Foreign;
    }
    int known = 0;
    for (const dbf::FieldDef& f : fields) {
        const int at = dbf::fieldIndexOf(track, f.name);
        if (at < 0) {
            why = "unbekanntes Feld " + f.name;
            return Layout::Foreign;
        }
        const dbf::FieldDef& want = track[size_t(at)];
        const bool fits = f.type == want.type && f.width <= want.width &&
                          (f.type != dbf::FieldType::kNumeric || f.decimals == want.decimals);
        if (!fits) {
            why = "Feld " + f.name + " passt nicht zum Titelsatz";
            return Layout::Foreign;
        }
        ++known;
    }
    if (dbf::fieldIndexOf(fields, "PATH") < 0 || known * 3 < track::kFieldCount * 2) {
        why = "zu wenige Felder des Titelsatzes";
        return Layout::Foreign;
    }
    return Layout::Convertible;
}

// A record whose first byte is no deletion flag means the records do not start where the
// header says.
std::string recordDamage(const dbf::DbfTable& table) {
    for (uint32_t r = 1; r <= table.lastRec(); ++r) {
        const char flag = table.recordBytes(r)[0];
        if (flag != dbf::dbf::kValidFlag && flag != dbf::dbf::kDeletedFlag) {
            return "Satz " + std::to_string(r) + " ohne L\xF6schmarke";
        }
    }
    return {};
}

bool refuseDamaged(ui::Ui& ui, const fs::path& file, const std::string& why) {
    ui.alert("Die Datenbank " + shownName(file) + " ist besch\xE4" "digt (" + why +
             ") und wird nicht ver\xE4ndert.");
    return false;
}

// Reads a table file as a candidate for this check: nothing when it is consistent, opens and is
// of a layout we know, else why not. The table is left closed; nothing is written.
std::string damageOf(const fs::path& file, Layout& layout) {
    const dbf::TableFileFacts facts = dbf::inspectTableFile(file);
    if (facts.readable && !facts.damage.empty()) return facts.damage;
    auto table = dbf::DbfTable::open(file);
    if (!table) return "l\xE4sst sich nicht \xF6" "ffnen";
    std::string why = recordDamage(*table);
    if (why.empty()) layout = layoutOf(table->structure(), why);
    return why;
}

std::string trimmedField(const dbf::DbfTable& table, uint32_t recno, int field) {
    const dbf::FieldDef& f = table.structure()[size_t(field)];
    return std::string(base::trimRight(std::string_view(table.recordBytes(recno) + f.offset, size_t(f.width))));
}

// Writes the table converted from source under the working name work, flushed to the disk.
// True only when every visible record of source arrived there whole, in its order and with
// its PATH; otherwise work is removed and why says what went wrong.
bool writeConverted(const fs::path& source, const fs::path& work, std::string& why) {
    KLANGO_ROUTINE("CONVERTTABLE");
    removeQuietly(work);
    why = "Schreiben fehlgeschlagen";
    if (!dbf::DbfTable::create(work, trackStructure(), platform::clock().today())) return false;
    auto from = dbf::DbfTable::open(source);
    bool ok = false;
    if (from) {
        std::vector<uint32_t> visible;
        for (uint32_t r = 1; r <= from->lastRec(); ++r) {
            if (from->recordBytes(r)[0] != dbf::dbf::kDeletedFlag) visible.push_back(r);
        }
        if (auto target = dbf::DbfTable::open(work)) {
            target->appendFrom(*from);
            target->close();
        }
        // What reached the disk, read back: count, end mark and every record with its PATH.
        const dbf::TableFileFacts facts = dbf::inspectTableFile(work);
        auto written = facts.consistent() && facts.closedCleanly() && facts.wholeRecords == visible.size()
                           ? dbf::DbfTable::open(work)
                           : nullptr;
        if (written && written->lastRec() == visible.size()) {
            const int pathFrom = from->fieldPos("PATH");
            const int pathTo = written->fieldPos("PATH");
            ok = true;
            for (uint32_t i = 0; ok && i < visible.size(); ++i) {
                ok = written->recordBytes(i + 1)[0] == dbf::dbf::kValidFlag &&
                     trimmedField(*written, i + 1, pathTo) == trimmedField(*from, visible[i], pathFrom);
            }
        }
        if (written) written->close();
        if (!ok) why = "nicht alle S\xE4tze geschrieben";
        from->close();
    }
    if (ok) {
        int os = 0;
        auto file = platform::BinaryFile::open(work, os);
        ok = file && file->sync();
        ok = file && file->close() && ok;
        if (!ok) why = "Schreiben auf den Datentr\xE4ger fehlgeschlagen";
    }
    if (!ok) removeQuietly(work);
    return ok;
}

// The newest backup left by an earlier conversion, or an empty path.
fs::path newestBackup(const fs::path& dataFolder, const std::string& base) {
    const std::vector<fs::path> backups = conversionBackups(dataFolder, base);
    return backups.empty() ? fs::path() : backups.back();
}

// Converts the table in place: the new table is written beside it and takes its name only when
// complete; the old one stays as a backup until then. An existing backup is never overwritten:
// the old table is then kept under the next free name, and both stay.
bool convertInPlace(ui::Ui& ui, const std::string& base, const fs::path& tableFile, const fs::path& work) {
    const fs::path dataFolder = tableFile.parent_path();
    std::string why;
    if (!writeConverted(tableFile, work, why)) {
        ui.alert("Die Datenbank " + shownName(tableFile) + " konnte nicht umgewandelt werden (" + why +
                 ") und bleibt unver\xE4ndert.");
        return false;
    }
    fs::path backup;
    for (int n = 0; n <= kMaxBackups && backup.empty(); ++n) {
        fs::path b = conversionBackup(dataFolder, base, n);
        if (!fileExists(b)) backup = b;
    }
    if (backup.empty()) {
        removeQuietly(work);
        ui.alert("Die Datenbank " + shownName(tableFile) + " bleibt unver\xE4ndert: kein freier Name f\xFCr ihre Sicherung.");
        return false;
    }
    const bool keepBackup = backup != conversionBackup(dataFolder, base, 0);
    std::error_code ec;
    fs::rename(tableFile, backup, ec);
    if (ec) {
        removeQuietly(work);
        return false;
    }
    fs::rename(work, tableFile, ec);
    if (ec) {
        std::error_code back;
        fs::rename(backup, tableFile, back);
        removeQuietly(work);
        return false;
    }
    if (keepBackup) {
        ui.info("Sicherung", "Es gibt schon eine Sicherung " + shownName(conversionBackup(dataFolder, base, 0)) +
                                 "; sie bleibt erhalten. Die Datenbank vor der Umwandlung ist als " +
                                 shownName(backup) + " gesichert.");
    } else {
        removeQuietly(backup);
    }
    return true;
}

// A stop during a conversion left a backup and no table: the table is made again from it.
bool restoreFromBackup(ui::Ui& ui, const fs::path& tableFile, const fs::path& backup, bool keepBackup,
                       const fs::path& work) {
    KLANGO_ROUTINE("CONVERTFROMBAK");
    std::string why;
    if (!writeConverted(backup, work, why)) {
        ui.alert("Die Datenbank " + shownName(tableFile) + " konnte nicht aus " + shownName(backup) +
                 " wiederhergestellt werden (" + why + ").");
        return false;
    }
    std::error_code ec;
    fs::rename(work, tableFile, ec);
    if (ec) {
        removeQuietly(work);
        return false;
    }
    if (!keepBackup) removeQuietly(backup);
    return true;
}

}  // namespace

namespace {

bool checkData(dbf::WorkAreas& areas, ui::Ui& ui, std::string_view name, CheckDataEnd end) {
    const std::string base = shell::RXSTRCAPALL(databaseBaseName(name));
    ui.showMessage("Erzeugen der Datenbank ...");

    const fs::path tableFile = areas.resolve(base + ".dbf");
    const fs::path dataFolder = tableFile.parent_path();
    fs::path work = tableFile;
    work.replace_extension(".tmp");
    // A working table left by a stop during a conversion is never a table of its own.
    removeQuietly(work);

    // A table in the current layout stays open for building its orders.
    dbf::DbfTable* table = nullptr;
    if (fileExists(tableFile)) {
        ui.showMessage("Aktualisieren Datenbank ...");
        const dbf::TableFileFacts facts = dbf::inspectTableFile(tableFile);
        if (facts.readable && !facts.damage.empty()) return refuseDamaged(ui, tableFile, facts.damage);
        table = areas.useFile(tableFile, "DMP3");
        if (!table) return false;
        std::string why = recordDamage(*table);
        const Layout layout = why.empty() ? layoutOf(table->structure(), why) : Layout::Foreign;
        if (layout != Layout::Current) {
            areas.close("DMP3");
            table = nullptr;
            if (layout == Layout::Foreign) return refuseDamaged(ui, tableFile, why);
            if (!convertInPlace(ui, base, tableFile, work)) return false;
        } else if (facts.readable && !facts.closedCleanly()) {
            // Stopped while appending: the header does not yet tell the records the file holds.
            areas.close("DMP3");
            table = nullptr;
            if (!dbf::repairCountAndEndMark(tableFile, facts)) return false;
        }
    } else if (const fs::path backup = newestBackup(dataFolder, base); !backup.empty()) {
        Layout layout = Layout::Foreign;
        if (std::string why = damageOf(backup, layout); !why.empty()) return refuseDamaged(ui, backup, why);
        if (!restoreFromBackup(ui, tableFile, backup, backup != conversionBackup(dataFolder, base, 0), work)) return false;
    } else {
        if (!dbf::DbfTable::create(tableFile, trackStructure(), platform::clock().today())) return false;
    }
    // The index files are built anew; one that cannot be written is then missing, not stale.
    for (int n = 1; n <= 6; ++n) removeQuietly(indexFile(dataFolder, base, n));

    ui.showMessage("Generieren Suchdateien ...");
    ui.setWaitCursor(true);
    if (!table) table = areas.useFile(tableFile, "DMP3");
    if (!table) {
        ui.setWaitCursor(false);
        areas.closeAll();
        return false;
    }
    size_t built = 0;
    for (const TrackOrder& order : trackOrders()) {
        dbf::KeySpec key = trackOrderKey(table->structure(), order);
        const fs::path file = indexFile(dataFolder, base, order.number);
        std::error_code ec;
        if (key.build && table->addOrder(file, std::move(key)) && fs::is_regular_file(file, ec)) ++built;
    }
    ui.setWaitCursor(false);
    if (built != trackOrders().size()) {
        areas.closeAll();
        ui.alert("Die Suchdateien der Datenbank " + shownName(tableFile) + " konnten nicht angelegt werden.");
        return false;
    }
    if (end == CheckDataEnd::KeepOpen) {
        for (const std::string& alias : areas.aliases())
            if (alias != "DMP3") areas.close(alias);
        table->setOrder(1);
        table->goTop();
        return true;
    }
    areas.closeAll();
    return true;
}

}  // namespace

bool CHECKDATA(dbf::WorkAreas& areas, ui::Ui& ui, std::string_view name, CheckDataEnd end) {
    KLANGO_ROUTINE("CHECKDATA");
    if (checkData(areas, ui, name, end)) return true;
    areas.closeAll();
    return false;
}

}  // namespace klango::trackdb
