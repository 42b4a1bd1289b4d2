#include "trackdb/check_data.h"

#include <filesystem>
#include <system_error>

#include "platform/clock.h"
#include "base/call_stack.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "dbf/work_areas.h"
#include "shell/rx_helpers.h"
#include "trackdb/track_record.h"
#include "ui/ui.h"

namespace klango::trackdb {

namespace fs = std::filesystem;

namespace {

bool hasCurrentLayout(const dbf::DbfTable& table) {
    return table.fieldCount() == track::kFieldCount && table.recordLength() == NEWHEADLEN(trackStructure());
}

void removeQuietly(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
}

// Refills a new table from the old one kept as ".bak". The new table is written under a working
// name and only then takes the table's name, so that a stop in the middle leaves the ".bak" and
// no table: the next check starts the conversion again instead of taking a half-filled table.
bool convertFromBackup(const fs::path& tableFile, const fs::path& backup) {
    KLANGO_ROUTINE("CONVERTFROMBAK");
    fs::path work = tableFile;
    work.replace_extension(".tmp");
    removeQuietly(work);
    if (!dbf::DbfTable::create(work, trackStructure(), platform::clock().today())) return false;
    {
        auto target = dbf::DbfTable::open(work);
        auto source = dbf::DbfTable::open(backup);
        if (!target || !source) {
            if (target) target->close();
            removeQuietly(work);
            return false;
        }
        target->appendFrom(*source);
        source->close();
        target->close();
    }
    std::error_code ec;
    fs::rename(work, tableFile, ec);
    if (ec) {
        removeQuietly(work);
        return false;
    }
    removeQuietly(backup);
    return true;
}

}  // namespace

bool CHECKDATA(dbf::WorkAreas& areas, ui::Ui& ui, std::string_view name, CheckDataEnd end) {
    KLANGO_ROUTINE("CHECKDATA");
    const std::string base = shell::RXSTRCAPALL(databaseBaseName(name));
    ui.showMessage("Erzeugen der Datenbank ...");

    const fs::path tableFile = areas.resolve(base + ".dbf");
    const fs::path dataFolder = tableFile.parent_path();
    const fs::path backup = areas.resolve(base + ".bak", ".bak");
    std::error_code ec;

    // A table in the current layout stays open for building its orders.
    dbf::DbfTable* table = nullptr;
    if (fs::exists(tableFile, ec)) {
        ui.showMessage("Aktualisieren Datenbank ...");
        table = areas.useFile(tableFile, "DMP3");
        if (table && !hasCurrentLayout(*table)) {
            areas.close("DMP3");
            table = nullptr;
            fs::rename(tableFile, backup, ec);
            if (ec) return false;
        }
    }

    if (!fs::exists(tableFile, ec)) {
        if (fs::exists(backup, ec)) {
            if (!convertFromBackup(tableFile, backup)) return false;
        } else if (!dbf::DbfTable::create(tableFile, trackStructure(), platform::clock().today())) {
            return false;
        }
        for (int n = 1; n <= 6; ++n) removeQuietly(indexFile(dataFolder, base, n));
    }

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
        if (!key.build) continue;  // a foreign layout without the key fields; the handler was told
        if (table->addOrder(indexFile(dataFolder, base, order.number), std::move(key))) ++built;
    }
    ui.setWaitCursor(false);
    if (end == CheckDataEnd::KeepOpen && built == trackOrders().size()) {
        for (const std::string& alias : areas.aliases())
            if (alias != "DMP3") areas.close(alias);
        table->setOrder(1);
        table->goTop();
        return true;
    }
    areas.closeAll();
    return true;
}

}  // namespace klango::trackdb
