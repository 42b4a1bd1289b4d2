#include "table/track_grid_model.h"

#include <algorithm>

#include "dbf/dbf_table.h"
#include "dbf/order.h"

namespace klango::table {

TrackGridModel::TrackGridModel(dbf::DbfTable& table) : m_table(table) {}

const std::vector<uint32_t>& TrackGridModel::naturalRows() const {
    if (!m_naturalValid) {
        m_natural.clear();
        const uint32_t last = m_table.lastRec();
        for (uint32_t r = 1; r <= last; ++r) {
            if (!m_table.view(r).isDeleted()) m_natural.push_back(r);
        }
        m_naturalValid = true;
    }
    return m_natural;
}

int TrackGridModel::rowCount() const {
    if (!m_table.isOpen()) return 0;
    if (const dbf::Order* order = m_table.currentOrder()) return int(order->size());
    return int(naturalRows().size());
}

uint32_t TrackGridModel::recordAt(int row) const {
    if (row < 0 || row >= rowCount()) return 0;
    if (const dbf::Order* order = m_table.currentOrder()) return order->recnoAt(size_t(row));
    return naturalRows()[size_t(row)];
}

std::optional<int> TrackGridModel::rowOf(uint32_t recno) const {
    if (!m_table.isOpen() || recno < 1 || recno > m_table.lastRec()) return std::nullopt;
    if (const dbf::Order* order = m_table.currentOrder()) {
        if (auto position = order->positionOf(recno)) return int(*position);
        return std::nullopt;
    }
    const auto& rows = naturalRows();
    auto it = std::lower_bound(rows.begin(), rows.end(), recno);
    if (it == rows.end() || *it != recno) return std::nullopt;
    return int(it - rows.begin());
}

std::optional<int> TrackGridModel::currentRow() const {
    if (!m_table.isOpen() || m_table.eof()) return std::nullopt;
    return rowOf(m_table.recNo());
}

bool TrackGridModel::goToRow(int row) {
    const uint32_t recno = recordAt(row);
    if (recno == 0) return false;
    m_table.goTo(recno);
    return true;
}

void TrackGridModel::refresh() { m_naturalValid = false; }

std::string TrackGridModel::cellText(int row, int column, bool showTrak) const {
    const uint32_t recno = recordAt(row);
    if (recno == 0) return {};
    return table::cellText(m_table.view(recno), column, showTrak);
}

const char* TrackGridModel::statePicture(int row, const platform::Clock& clock) const {
    const uint32_t recno = recordAt(row);
    if (recno == 0) return "MWhite";
    return table::statePicture(m_table.view(recno), clock.now());
}

Rgb TrackGridModel::background(int row) const {
    const uint32_t recno = recordAt(row);
    return rowBackground(static_cast<unsigned long>(row) + 1, recno != 0 && m_table.view(recno).isDeleted());
}

}  // namespace klango::table
