#include "query/stats_command.h"

#include <map>
#include <system_error>

#include "base/call_stack.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "dbf/order.h"
#include "dbf/work_areas.h"
#include "query/database_files.h"
#include "query/stats_dialog_model.h"
#include "shell/rx_helpers.h"
#include "shell/startup.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace klango::query {

namespace {

constexpr const char* kCheckAlias = "DCHK";
constexpr const char* kStatAlias = "DSTAT";

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

std::string lowerAZ(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

}  // namespace

void StatsCommand::MP3STATS() {
    KLANGO_ROUTINE("MP3STATS");
    if (!m_shell.areas) return;
    dbf::DbfTable* t = m_shell.areas->get("DMP3");
    if (!t || !t->isOpen()) return;
    ui::Ui& ui = *m_shell.ui;
    ui.setWaitCursor(true);
    const StatFigures figures = tableFigures(*t, false);
    ui.setWaitCursor(false);
    StatsDialogModel model(figures, [this](StatsDialogModel& dialog) {
        if (auto rows = STATINALL(&dialog)) MP3ALLSTATS(std::move(*rows));
    });
    ui.runDialog(model);
    ui.setHelpTopic("Hauptauswahl");
    if (m_shell.hooks.focusGrid) m_shell.hooks.focusGrid();
}

std::optional<std::vector<DatabaseStats>> StatsCommand::STATINALL(StatsDialogModel* dialog) {
    KLANGO_ROUTINE("STATINALL");
    shell::AppState& s = m_shell.state;
    ui::Ui& ui = *m_shell.ui;
    dbf::WorkAreas* areas = m_shell.areas.get();
    if (!areas) return std::nullopt;
    dbf::DbfTable* open = areas->get("DMP3");
    if (open && !open->isOpen()) open = nullptr;
    ui.setWaitCursor(true);
    ui.showMessage("Ermitteln der Statistik-Daten ...");
    const std::vector<fs::path> files = databaseFiles(s.dataFolder());
    std::vector<DatabaseStats> rows;
    bool failed = false;
    for (size_t i = 0; i < files.size(); ++i) {
        if (dialog) dialog->setProgress(long(i + 1), long(files.size()));
        ui.processEvents();
        DatabaseStats row;
        row.name = shell::RXSTRCAPALL(lowerAZ(databaseBase(files[i])));
        if (open && sameFile(open->path(), files[i])) {
            row.figures = tableFigures(*open, true);
        } else {
            dbf::DbfTable* t = areas->useFile(files[i], kCheckAlias);
            if (!t) {
                failed = true;
                break;
            }
            row.figures = tableFigures(*t, true);
            areas->close(kCheckAlias);
        }
        rows.push_back(std::move(row));
    }
    if (open) areas->select("DMP3");
    if (!failed) {
        ui.showMessage("Erzeugen der Datenbank ...");
        failed = !writeStatisticsTable(s.programFile(kTableFile), rows);
    }
    ui.showMessage({});
    ui.setWaitCursor(false);
    if (failed) return std::nullopt;
    return rows;
}

void StatsCommand::MP3ALLSTATS(std::vector<DatabaseStats> rows) {
    KLANGO_ROUTINE("MP3ALLSTATS");
    AllStatsDialogModel model(inNameOrder(std::move(rows)));
    m_shell.ui->runDialog(model);
}

std::vector<DatabaseStats> StatsCommand::inNameOrder(std::vector<DatabaseStats> rows) {
    KLANGO_ROUTINE("MP3ALLSTATS");
    dbf::WorkAreas* areas = m_shell.areas.get();
    if (!areas) return rows;
    const shell::AppState& s = m_shell.state;
    const std::string selected = areas->selectedAlias();
    dbf::DbfTable* t = areas->useFile(s.programFile(kTableFile), kStatAlias);
    std::vector<DatabaseStats> shown;
    if (t && t->lastRec() == rows.size()) {
        dbf::OrderOptions options;
        options.name = kIndexTag;
        options.unique = true;
        const dbf::Order* order =
            t->createOrder(s.programFile(kIndexFile), dbf::compileKey(t->structure(), "FILENAME"), options);
        if (order) {
            const int field = t->fieldPos("FILENAME");
            // The records of each name in record order: the first one is the order's entry, the
            // others wait behind it.
            std::map<std::string, std::vector<uint32_t>, std::less<>> byName;
            for (uint32_t r = 1; r <= t->lastRec(); ++r) byName[std::string(t->view(r).raw(field))].push_back(r);
            shown.reserve(rows.size());
            for (size_t i = 0; i < order->size(); ++i) {
                const auto same = byName.find(t->view(order->recnoAt(i)).raw(field));
                if (same == byName.end()) continue;
                for (uint32_t r : same->second) shown.push_back(rows[r - 1]);
            }
        }
    }
    if (t) areas->close(kStatAlias);
    if (!selected.empty()) areas->select(selected);
    if (shown.size() != rows.size()) return rows;
    return shown;
}

}  // namespace klango::query
