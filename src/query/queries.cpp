#include "query/queries.h"

#include "shell/startup.h"

namespace klango::query {

void Queries::install() {
    shell::ShellHooks& h = m_shell.hooks;
    h.MP3FILTER = [this] { filter.MP3FILTER(); };
    h.MP3KILLFILTER = [this] { filter.MP3KILLFILTER(); };
    h.MP3SUCH = [this] { return search.MP3SUCH(); };
    h.MP3STATS = [this] { stats.MP3STATS(); };
}

}  // namespace klango::query
