// The statistics commands: MP3STATS (the figures of the open database in their dialog), STATINALL
// (every database of the data folder evaluated into "Statist.dbf" in the program folder) and
// MP3ALLSTATS (that table with its grand totals). They read the tables and never touch the open
// table's orders, so the view and sort order in force stay. Called through the MP3STATS hook and
// by klango-cli. GUI thread.
#pragma once

#include <optional>
#include <vector>

#include "query/statistics.h"

namespace klango::shell {
struct Shell;
}

namespace klango::query {

class StatsDialogModel;

class StatsCommand {
public:
    static constexpr const char* kTableFile = "Statist.dbf";

    explicit StatsCommand(shell::Shell& shell) : m_shell(shell) {}

    void MP3STATS();
    // The rows of every database in name order (the open one read as it stands), written to
    // "Statist.dbf"; nullopt when a table file could not be opened (the error handler was told).
    std::optional<std::vector<DatabaseStats>> STATINALL(StatsDialogModel* dialog = nullptr);
    void MP3ALLSTATS(std::vector<DatabaseStats> rows);

private:
    shell::Shell& m_shell;
};

}  // namespace klango::query
