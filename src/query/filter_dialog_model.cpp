#include "query/filter_dialog_model.h"

#include <algorithm>

namespace klango::query {

FilterDialogModel::FilterDialogModel(FilterCriteria stored, ValuesOf valuesOf)
    : m_criteria(std::move(stored)), m_valuesOf(std::move(valuesOf)) {
    chooseCriterion(1);
}

void FilterDialogModel::chooseCriterion(int n) {
    if (n < 1 || n > kCriterionCount) return;
    m_criterion = n;
    m_values = m_valuesOf ? m_valuesOf(n) : std::vector<std::string>{};
    // The stored values of the criterion are selected again; the stored list itself stays as it
    // is until the user changes the selection.
    const auto& stored = m_criteria[size_t(n - 1)];
    m_selected.assign(m_values.size(), false);
    for (size_t i = 0; i < m_values.size(); ++i) {
        m_selected[i] = std::find(stored.begin(), stored.end(), m_values[i]) != stored.end();
    }
    changed();
}

void FilterDialogModel::storeSelection() {
    auto& stored = m_criteria[size_t(m_criterion - 1)];
    stored.clear();
    for (size_t i = 0; i < m_values.size(); ++i) {
        if (m_selected[i]) stored.push_back(m_values[i]);
    }
}

void FilterDialogModel::setSelected(size_t index, bool on) {
    if (index >= m_values.size()) return;
    m_selected[index] = on;
    storeSelection();
    changed();
}

void FilterDialogModel::toggle(size_t index) {
    if (index < m_values.size()) setSelected(index, !m_selected[index]);
}

void FilterDialogModel::proceed() {
    if (!canContinue()) return;
    m_accepted = true;
    requestClose();
}

void FilterDialogModel::activate(size_t index) {
    // The click of the double-click has toggled the entry already.
    if (index >= m_values.size()) return;
    proceed();
}

void FilterDialogModel::cancel() {
    m_accepted = false;
    requestClose();
}

}  // namespace klango::query
