#include "query/search.h"

#include <system_error>

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "dbf/work_areas.h"
#include "query/database_files.h"
#include "query/query_view.h"
#include "query/search_dialog_model.h"
#include "shell/rx_helpers.h"
#include "shell/startup.h"
#include "trackdb/track_record.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace klango::query {

namespace {

constexpr const char* kResultAlias = "DIMP";
constexpr const char* kSourceAlias = "DCHK";
constexpr uint32_t kRecordsBetweenEvents = 4096;

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

void Search::setCriteria(const SearchCriteria& c, const SearchCondition& condition) {
    shell::AppState& s = m_shell.state;
    s.CSU_GROUP = c.group;
    s.CSU_ALBUM = c.album;
    s.CSU_TITLE = c.title;
    s.CSU_TEXT = c.text;
    s.ASUCH_TXT = condition.words();
}

bool Search::MP3SUCH() {
    KLANGO_ROUTINE("MP3SUCH");
    shell::AppState& s = m_shell.state;
    ui::Ui& ui = *m_shell.ui;
    s.ASUCH_TXT.clear();
    SearchDialogModel model(loadSearchCriteria(s.settings()), [this](SearchDialogModel& dialog) {
        if (dialog.criteria().inAll) {
            dialog.setRunning(true);
            SUCHINALL(dialog.criteria(), &dialog);
        } else {
            SUCHINONE(dialog.criteria());
        }
    });
    ui.runDialog(model);
    ui.setHelpTopic({});
    if (!model.searched()) return false;
    saveSearchCriteria(s.settings(), model.criteria());
    return true;
}

uint32_t Search::SUCHINONE(const SearchCriteria& criteria) {
    KLANGO_ROUTINE("SUCHINONE");
    dbf::DbfTable* t = m_view.table();
    if (!t) return 0;
    shell::AppState& s = m_shell.state;
    ui::Ui& ui = *m_shell.ui;
    SearchCondition condition(criteria, t->structure());
    if (condition.empty()) return 0;
    setCriteria(criteria, condition);
    ui.setWaitCursor(true);
    ui.showMessage("In der aktuellen MP3-Datenbank suchen");
    dbf::OrderOptions options;
    options.condition = dbf::ConditionSpec{condition.text(), [condition](const dbf::RecordView& r) { return condition(r); }};
    const uint32_t hits = m_view.show(s.dataFile(kSearchIndex),
                                      dbf::compileKey(t->structure(), "upper(DMP3->GROUP)", dbf::KeyCollation::kGerman),
                                      std::move(options));
    ui.showMessage({});
    ui.setWaitCursor(false);
    if (hits == 0) ui.warning("Problem", "Der Suchbegriff wurde nicht gefunden");
    if (m_shell.hooks.refreshGrid) m_shell.hooks.refreshGrid();
    if (m_shell.hooks.focusGrid) m_shell.hooks.focusGrid();
    return hits;
}

Search::AllResult Search::SUCHINALL(const SearchCriteria& criteria, SearchDialogModel* dialog) {
    KLANGO_ROUTINE("SUCHINALL");
    AllResult result;
    shell::AppState& s = m_shell.state;
    ui::Ui& ui = *m_shell.ui;
    dbf::WorkAreas* areas = m_shell.areas.get();
    if (!areas) return result;
    const std::string previous = s.CFILE;
    const bool previousWasResult = !previous.empty() && sameDatabase(trackdb::databaseBaseName(previous), kResultName);
    // The result database cannot be emptied while it is the open one: the panel and it close first.
    dbf::DbfTable* open = m_view.table();
    if (open && previousWasResult) {
        if (m_shell.hooks.MP3DLGCLOSE) m_shell.hooks.MP3DLGCLOSE();
        areas->close("DMP3");
        open = nullptr;
    }
    ui.setWaitCursor(true);
    ui.showMessage("In allen MP3-Datenbanken suchen");
    const std::string resultFile = std::string(kResultName) + ".dbf";
    dbf::DbfTable* out = nullptr;
    if (areas->create(resultFile, trackdb::trackStructure())) out = areas->use(resultFile, kResultAlias);
    if (!out) {
        // Nothing was searched (the error handler has had the failure). The database open before
        // comes back (the result database, closed above, as it was), and the user hears what
        // became of the search.
        result.failed = true;
        ui.setWaitCursor(false);
        ui.showMessage({});
        ui.warning("Suchmaschine", std::string(kNoResultFile));
        if (previousWasResult) {
            s.CFILE = previous;
            if (m_shell.hooks.MP3TABLE) m_shell.hooks.MP3TABLE(false);
        }
        return result;
    }
    const std::vector<fs::path> files = databaseFiles(s.dataFolder());
    const long total = long(files.size());
    for (long i = 0; i < total; ++i) {
        if (dialog && dialog->stopRequested()) break;
        const std::string name = databaseBase(files[size_t(i)]);
        if (dialog) {
            dialog->setProgress(base::utf8ToCp1252(s.CRUNIN.string()) + shell::RXSTRCAPALL("Daten/" + name + ".dbf"), i + 1,
                                total);
        }
        ui.processEvents();  // the progress moves; "&Abbrechen" gets through
        if (dialog && dialog->stopRequested()) break;
        if (sameDatabase(name, kResultName)) continue;
        dbf::DbfTable* source = open && sameFile(open->path(), files[size_t(i)]) ? open : nullptr;
        if (!source) source = areas->useFile(files[size_t(i)], kSourceAlias);
        if (!source) {
            // A damaged or refused table is passed over (a damaged one was told to the error
            // handler, a refused open is not) and named afterwards; the other databases are
            // searched all the same.
            result.skipped.push_back(base::utf8ToCp1252(files[size_t(i)].filename().string()));
            continue;
        }
        const SearchCondition condition(criteria, source->structure());
        // A large file lets the window through now and then, so that "&Abbrechen" stops the search
        // inside it; the rest of the file is then passed over.
        uint32_t visited = 0;
        out->appendFrom(*source, [&](const dbf::RecordView& r) {
            if (++visited % kRecordsBetweenEvents == 0) ui.processEvents();
            if (dialog && dialog->stopRequested()) return false;
            return condition(r);
        });
        if (source != open) areas->close(kSourceAlias);
    }
    result.stopped = dialog && dialog->stopRequested();
    result.hits = out->lastRec();
    areas->close(kResultAlias);
    if (open) areas->select("DMP3");
    ui.setWaitCursor(false);
    ui.showMessage({});
    {
        const SearchCondition condition(criteria, trackdb::trackStructure());
        setCriteria(criteria, condition);
    }
    if (!result.skipped.empty()) {
        std::string names;
        for (const std::string& name : result.skipped) names += (names.empty() ? "" : ", ") + name;
        ui.warning("Suchmaschine", std::string(kNotSearched) + names);
    }
    if (result.stopped) ui.info("Suchmaschine", "Die Suche wurde abgebrochen !");
    if (result.hits > 0) {
        s.CFILE = kResultName;
        if (m_shell.hooks.MP3TABLE) m_shell.hooks.MP3TABLE(false);
        return result;
    }
    if (!result.stopped) {
        ui.warning("Suchmaschine", previousWasResult ? "Die Suche war erfolglos, die Suchdatei ist nun leer."
                                                     : "Die Suche war erfolglos.");
    }
    if (previousWasResult) {
        // The empty result database is the open one again.
        s.CFILE = kResultName;
        if (m_shell.hooks.MP3TABLE) m_shell.hooks.MP3TABLE(false);
    } else {
        shell::RXDELALL(s.dataFolder(), "MP3SUCH.*", false);
    }
    return result;
}

}  // namespace klango::query
