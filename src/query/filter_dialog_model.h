// The filter dialog "Daten filtern" as a model: the radio group of the six criteria, the list of
// the chosen criterion's values with several entries selectable, "&Weiter" enabled while the
// shown criterion has a selected value, "&Unterbrechen". It works on a copy of the stored
// criteria, so leaving it in any way but "&Weiter" changes nothing. Built by Filter::MP3FILTER;
// the Qt view (FilterDialogView) and the tests drive it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "query/filter_criteria.h"
#include "ui/dialog_model.h"

namespace klango::query {

class FilterDialogModel : public ui::DialogModel {
public:
    static constexpr const char* kTitle = "Daten filtern";
    static constexpr const char* kHelpTopic = "Filter setzen";

    // valuesOf lists the values of a criterion (MAKEFARRAY); the dialog shows the genres first.
    using ValuesOf = std::function<std::vector<std::string>(int criterion)>;
    FilterDialogModel(FilterCriteria stored, ValuesOf valuesOf);

    std::string title() const override { return kTitle; }
    std::string helpTopic() const override { return kHelpTopic; }

    // The radio group: choosing entry n (1..6) shows its values with the stored ones selected.
    int criterion() const { return m_criterion; }
    void chooseCriterion(int n);

    // The list (AFARRAY) and its selection; a click toggles an entry (FILTERARR follows).
    const std::vector<std::string>& values() const { return m_values; }
    bool isSelected(size_t index) const { return index < m_selected.size() && m_selected[index]; }
    void toggle(size_t index);
    void setSelected(size_t index, bool on);
    // AFILTER: the selected values of the criterion shown.
    const std::vector<std::string>& selection() const { return m_criteria[size_t(m_criterion - 1)]; }

    bool canContinue() const { return !selection().empty(); }  // "&Weiter"
    void proceed();                                             // "&Weiter"
    void activate(size_t index);                                // a double-click on an entry
    void cancel();  // "&Unterbrechen", Escape or the close box

    bool accepted() const { return m_accepted; }
    // The criteria to set the filter from, after "&Weiter".
    const FilterCriteria& criteria() const { return m_criteria; }

private:
    void storeSelection();  // FILTERARR

    FilterCriteria m_criteria;
    ValuesOf m_valuesOf;
    int m_criterion = 1;
    std::vector<std::string> m_values;
    std::vector<bool> m_selected;
    bool m_accepted = false;
};

}  // namespace klango::query
