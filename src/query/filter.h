// The filter commands of the open table: MP3FILTER (the dialog, then the filter), FILTERNOW (the
// filtered view from the criteria, with FILTERHITS for a hit parade) and MP3KILLFILTER. The view
// itself is the QueryView shared with the search. Called through the shell's hooks (menu, button
// bar, context menu) and by klango-cli. GUI thread.
#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "query/filter_criteria.h"

namespace klango::shell {
struct Shell;
}

namespace klango::query {

class QueryView;

class Filter {
public:
    static constexpr const char* kFilterFile = "MP3FILT.NTX";

    Filter(shell::Shell& shell, QueryView& view, const platform::Clock& clock = platform::clock())
        : m_shell(shell), m_view(view), m_clock(clock) {}

    // The dialog; after "&Weiter" the filter from the criteria chosen (with those of earlier
    // openings). Leaving it otherwise keeps the view and the stored criteria as they were.
    void MP3FILTER();
    // Sets the filter from criteria and stores them (AFILT1 ... AFILT6). A filter that takes no
    // record is not set: a warning says so, and view and stored criteria stay. Returns the number
    // of records in the view (0: not set).
    uint32_t FILTERNOW(const FilterCriteria& criteria);
    // Removes a filter or search view and forgets the criteria; nothing when none is in force.
    void MP3KILLFILTER();

private:
    shell::Shell& m_shell;
    QueryView& m_view;
    const platform::Clock& m_clock;
};

}  // namespace klango::query
