#include "table/table_sort.h"

#include "base/german_sort.h"
#include "dbf/dbf_table.h"
#include "dbf/order.h"
#include "table/track_columns.h"

namespace klango::table {

TableSort::TableSort(dbf::DbfTable& table) : m_table(table) {}

void TableSort::selectInitial() {
    m_activeColumn = -1;
    select(columnOfOrder(1));
}

bool TableSort::headerClicked(int column) {
    if (column < 0 || column >= kColumnCount || column == m_activeColumn) return false;
    if (trackColumns()[size_t(column)].order == 0) return false;
    return select(column);
}

int TableSort::activeOrder() const {
    return m_activeColumn < 0 ? 0 : trackColumns()[size_t(m_activeColumn)].order;
}

bool TableSort::select(int column) {
    if (column < 0 || !m_table.isOpen()) return false;
    const int order = trackColumns()[size_t(column)].order;
    if (order < 1 || order > m_table.orderCount() || !m_table.order(order)) return false;
    // The record pointer is left alone: the same record stays current in the new order.
    if (!m_table.setOrder(order)) return false;
    m_activeColumn = column;
    return true;
}

std::optional<int> MP3GOTO(dbf::DbfTable& table, std::string_view letter) {
    if (!table.isOpen() || !table.currentOrder()) return std::nullopt;
    table.goTop();
    // The track orders compare names in their German sort form, so the letter is sought in it too.
    table.seek(base::germanSortText(letter), true);
    if (table.eof()) return std::nullopt;
    const uint32_t position = table.keyNo();
    if (position == 0) return std::nullopt;
    return int(position - 1);
}

}  // namespace klango::table
