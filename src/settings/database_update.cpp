#include "settings/database_update.h"

#include <system_error>

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/work_areas.h"
#include "platform/file_names.h"
#include "shell/app_state.h"
#include "shell/rx_helpers.h"
#include "trackdb/check_data.h"
#include "ui/ui.h"

namespace klango::settings {

namespace fs = std::filesystem;

std::string UpdateDialogModel::text() {
    return "Die Strukturen Ihrer MP3-Datenbanken m\xFCssen aktualisiert werden - Sie sollten diesen Vorgang "
           "nicht "
           "unterbrechen !";
}

void UpdateDialogModel::show(std::string file, long position) {
    m_file = std::move(file);
    m_position = position;
    changed();
}

void UpdateDialogModel::setTotal(long total) {
    m_total = total;
    changed();
}

void UpdateDialogModel::interrupt() {
    m_stop = true;
    changed();
}

std::vector<std::string> CHKUPDATE2(dbf::WorkAreas& areas, ui::Ui& ui, UpdateDialogModel& dialog,
                                    const fs::path& dataFolder) {
    KLANGO_ROUTINE("CHKUPDATE2");
    const std::vector<fs::path> tables = platform::listMatching(dataFolder, "*.dbf");
    dialog.setTotal(long(tables.size()));
    std::vector<std::string> failed;
    long position = 0;
    for (const fs::path& table : tables) {
        // A stop pressed while the previous database was in work arrives here, before the next.
        ui.processEvents();
        if (dialog.interrupted()) break;
        const std::string name = base::utf8ToCp1252(table.stem().string());
        dialog.show(shell::RXSTRCAPALL(name) + ".dbf", ++position);
        ui.processEvents();
        if (!trackdb::CHECKDATA(areas, ui, name))
            failed.push_back(base::utf8ToCp1252(table.filename().string()));
        // The database in work is always finished; a stop request skips the rest.
        if (dialog.interrupted()) break;
    }
    return failed;
}

UpdateResult DatabaseUpdate::CHKUPDATE(const shell::AppState& state, dbf::WorkAreas& areas, ui::Ui& ui) {
    KLANGO_ROUTINE("CHKUPDATE");
    if (m_ran) return UpdateResult::AlreadyRan;
    m_ran = true;
    const fs::path marker = state.programFile(kUpdateMarker);
    std::error_code ec;
    if (!fs::is_regular_file(marker, ec)) return UpdateResult::NoMarker;

    UpdateDialogModel dialog;
    std::vector<std::string> failed;
    ui.runDialog(dialog, [&] {
        failed = CHKUPDATE2(areas, ui, dialog, state.dataFolder());
        dialog.requestClose();
    });
    if (dialog.interrupted()) {
        ui.warning("Problem", "Das Datenbankupdate wurde unterbrochen, das Program wird beendet !");
        return UpdateResult::Stopped;
    }
    if (!failed.empty()) {
        std::string names;
        for (const std::string& f : failed) names += (names.empty() ? "" : ", ") + f;
        ui.warning("Problem", "Diese Datenbanken konnten nicht aktualisiert werden: " + names +
                                  "\rIhre Sicherungen bleiben erhalten; das Update wird beim n\xE4"
                                  "chsten Start "
                                  "wiederholt.");
        return UpdateResult::Failed;
    }
    fs::remove(marker, ec);
    return UpdateResult::Done;
}

}  // namespace klango::settings
