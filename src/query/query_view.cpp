#include "query/query_view.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "dbf/dbf_table.h"
#include "dbf/order.h"
#include "dbf/work_areas.h"
#include "shell/rx_helpers.h"
#include "shell/startup.h"
#include "ui/ui.h"

namespace klango::query {

dbf::DbfTable* QueryView::table() const {
    if (!m_shell.areas) return nullptr;
    dbf::DbfTable* t = m_shell.areas->get("DMP3");
    return t && t->isOpen() ? t : nullptr;
}

int QueryView::position() const {
    dbf::DbfTable* t = table();
    if (!t || t != m_table || !m_order) return 0;
    for (int i = 1; i <= t->orderCount(); ++i) {
        // A table opened since may sit where the old one was: the file tells the view apart.
        if (t->order(i) == m_order && m_order->file() == m_file) return i;
    }
    return 0;
}

bool QueryView::inForce() const { return position() > 0; }

void QueryView::forget() {
    m_table = nullptr;
    m_order = nullptr;
    m_file.clear();
    m_returnOrder = 0;
    m_marksOrder = nullptr;
}

// "Markiert:" counts the marks of the records shown: read from the record bytes of the view's
// entries, or, when the current order shows every record, the count the table keeps.
long QueryView::countMarks(const dbf::DbfTable& t) {
    const int field = t.fieldPos("TAGGED");
    if (field < 0) return 0;
    const int offset = t.structure()[size_t(field)].offset;
    auto marked = [offset](const char* bytes) {
        const char c = bytes[offset];
        return c == 'T' || c == 't' || c == 'Y' || c == 'y';
    };
    long count = 0;
    const dbf::Order* order = t.currentOrder();
    if (order && order->options().condition) {
        // Read in record order: neighbours share pages, and pages given back after the view's
        // build come back once each rather than once per record on them.
        std::vector<uint32_t> recnos(order->size());
        for (size_t i = 0; i < recnos.size(); ++i) recnos[i] = order->recnoAt(i);
        std::sort(recnos.begin(), recnos.end());
        for (uint32_t r : recnos) count += marked(t.recordBytes(r)) ? 1 : 0;
    } else if (const std::optional<long long> kept = t.trueCount(field)) {
        // The table keeps this count as records change: no pass over a million records.
        count = long(*kept);
    } else {
        for (uint32_t r = 1; r <= t.lastRec(); ++r) {
            const char* bytes = t.recordBytes(r);
            if (bytes[0] != '*' && marked(bytes)) ++count;
        }
    }
    return count;
}

void QueryView::showCounts() {
    dbf::DbfTable* t = table();
    if (!t) return;
    ui::Ui& ui = *m_shell.ui;
    shell::showRecordCount(ui, t);
    const bool counted = m_marksOrder && t == m_table && t->currentOrder() == m_marksOrder &&
                         t->changeCount() == m_marksAt;
    const long tagged = counted ? m_marks : countMarks(*t);
    m_shell.state.LTAB_TAGG = tagged > 0;
    ui.setMessageItem(ui::MessageItem::Tagged, "Markiert: " + std::to_string(tagged));
}

uint32_t QueryView::show(const std::filesystem::path& file, dbf::KeySpec key, dbf::OrderOptions options) {
    dbf::DbfTable* t = table();
    if (!t) return 0;
    const int before = t->orderNumber();
    const uint32_t recno = t->eof() ? 0 : t->recNo();
    const int old = position();
    if (old == 0) forget();  // a view of a table closed since, or none
    // The build reads every record the condition passes: their marks are counted on the way,
    // so that "Markiert:" need not read them again.
    auto marks = std::make_shared<long>(0);
    const int tagged = t->fieldPos("TAGGED");
    const int tagOffset = tagged >= 0 ? t->structure()[size_t(tagged)].offset : -1;
    auto countMark = [marks, tagOffset](const dbf::RecordView& record) {
        if (tagOffset < 0) return;
        const char c = record.bytes()[tagOffset];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y') ++*marks;
    };
    if (options.condition && options.condition->testRecord) {
        options.condition->testRecord = [test = std::move(options.condition->testRecord), countMark](
                                             const dbf::RecordView& r, uint32_t recno) {
            const bool in = test(r, recno);
            if (in) countMark(r);
            return in;
        };
    } else if (options.condition && options.condition->test) {
        options.condition->test = [test = std::move(options.condition->test), countMark](const dbf::RecordView& r) {
            const bool in = test(r);
            if (in) countMark(r);
            return in;
        };
    }
    dbf::Order* order = t->addOrder(file, std::move(key), std::move(options));
    const long marksOfOrder = *marks;
    if (!order) {
        t->setOrder(before);
        return 0;
    }
    const uint32_t count = uint32_t(order->size());
    if (count == 0) {
        t->detachOrder(t->orderCount(), false);
        if (!old || m_file != file) {
            std::error_code ec;
            std::filesystem::remove(file, ec);
        }
        t->setOrder(before);
        if (recno) t->goTo(recno);
        return 0;
    }
    const int returnOrder = old ? m_returnOrder : before;
    if (old) t->detachOrder(old, false);  // its file is ours and goes or is rewritten
    if (old && m_file != file) {
        std::error_code ec;
        std::filesystem::remove(m_file, ec);
    }
    m_table = t;
    m_order = order;
    m_file = file;
    m_returnOrder = returnOrder;
    m_marksOrder = order;
    m_marksAt = t->changeCount();
    m_marks = marksOfOrder;
    t->setOrder(position());
    t->goTop();
    m_shell.state.LTAB_FILT = true;
    showCounts();
    m_shell.ui->setMessageItem(ui::MessageItem::Filter, "Filter !", "W*+/R");
    shell::RXSETMENU(m_shell);
    return count;
}

void QueryView::remove() {
    dbf::DbfTable* t = table();
    const int pos = position();
    if (t && pos) {
        t->detachOrder(pos, false);
        if (!t->setOrder(m_returnOrder)) t->setOrder(t->orderCount() > 0 ? 1 : 0);
        t->goTop();
        std::error_code ec;
        std::filesystem::remove(m_file, ec);
    }
    forget();
    m_shell.state.LTAB_FILT = false;
    if (t) showCounts();
    m_shell.ui->setMessageItem(ui::MessageItem::Filter, "kein Filter", "N*/W");
    shell::RXSETMENU(m_shell);
}

}  // namespace klango::query
