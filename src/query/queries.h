// The query subsystem as the program holds it: the filtered view shared by the filter and the
// search, the filter, the search and the statistics commands. install() fills the shell's hooks
// MP3FILTER, MP3KILLFILTER, MP3SUCH and MP3STATS. Owned by the program's entry routine (and by
// klango-cli and tests) for as long as the shell lives.
#pragma once

#include "platform/clock.h"
#include "query/filter.h"
#include "query/query_view.h"
#include "query/search.h"
#include "query/stats_command.h"

namespace klango::query {

struct Queries {
    explicit Queries(shell::Shell& shell, const platform::Clock& clock = platform::clock())
        : view(shell), filter(shell, view, clock), search(shell, view), stats(shell), m_shell(shell) {}

    void install();

    QueryView view;
    Filter filter;
    Search search;
    StatsCommand stats;

private:
    shell::Shell& m_shell;
};

}  // namespace klango::query
