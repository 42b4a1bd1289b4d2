#include "query/filter.h"

#include <system_error>

#include "base/call_stack.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "query/filter_dialog_model.h"
#include "query/query_view.h"
#include "shell/startup.h"
#include "ui/ui.h"

namespace klango::query {

void Filter::MP3FILTER() {
    KLANGO_ROUTINE("MP3FILTER");
    dbf::DbfTable* t = m_view.table();
    if (!t) return;
    ui::Ui& ui = *m_shell.ui;
    FilterDialogModel model(storedCriteria(m_shell.state), [t, &ui](int criterion) {
        ui.setWaitCursor(true);
        std::vector<std::string> values = MAKEFARRAY(*t, criterion);
        ui.setWaitCursor(false);
        return values;
    });
    ui.runDialog(model);
    ui.setHelpTopic({});
    if (model.accepted()) FILTERNOW(model.criteria());
    m_view.showCounts();
    shell::RXSETMENU(m_shell);
    if (m_shell.hooks.refreshGrid) m_shell.hooks.refreshGrid();
    if (m_shell.hooks.focusGrid) m_shell.hooks.focusGrid();
}

uint32_t Filter::FILTERNOW(const FilterCriteria& criteria) {
    KLANGO_ROUTINE("FILTERNOW");
    dbf::DbfTable* t = m_view.table();
    if (!t || !anyCriterion(criteria)) return 0;
    ui::Ui& ui = *m_shell.ui;
    ui.setWaitCursor(true);
    const std::filesystem::path file = m_shell.state.programFile(kFilterFile);
    std::vector<uint32_t> hits;
    const auto& hitOptions = criteria[kHits - 1];
    HitParade parade;
    if (!hitOptions.empty()) {
        parade = hitParadeOf(hitOptions.front());  // only the first option counts
        hits = FILTERHITS(*t, parade, file);
    }
    dbf::OrderOptions options;
    options.descending = !hitOptions.empty() && parade.top;
    options.condition = dbf::ConditionSpec{
        kFilterConditionText, nullptr,
        [condition = FilterCondition(criteria, t->structure(), hits, m_clock.now())](
            const dbf::RecordView& record, uint32_t recno) { return condition(record, recno); }};
    dbf::KeySpec key =
        dbf::compileKey(t->structure(), hitOptions.empty() ? kFilterKey : kHitsKey, dbf::KeyCollation::kGerman);
    const uint32_t count = m_view.show(file, std::move(key), std::move(options));
    ui.setWaitCursor(false);
    if (count == 0) {
        ui.warning("Problem", "Kein Titel erf\xFC" "llt die Filterbedingungen.");
        return 0;
    }
    storeCriteria(m_shell.state, criteria);
    return count;
}

void Filter::MP3KILLFILTER() {
    KLANGO_ROUTINE("MP3KILLFILTER");
    shell::AppState& s = m_shell.state;
    if (!s.LTAB_FILT) return;
    ui::Ui& ui = *m_shell.ui;
    ui.setWaitCursor(true);
    m_view.remove();
    storeCriteria(s, {});
    std::error_code ec;
    std::filesystem::remove(s.programFile(kFilterFile), ec);
    if (m_shell.hooks.refreshGrid) m_shell.hooks.refreshGrid();
    ui.setWaitCursor(false);
}

}  // namespace klango::query
