// The statistics commands: MP3STATS (the figures of the open database in their dialog), STATINALL
// (every database of the data folder evaluated into "Statist.dbf" in the program folder) and
// MP3ALLSTATS (that table, in the order of its name index, with its grand totals). They read the
// tables and never touch the open table's orders, so the view and sort order in force stay.
// Called through the MP3STATS hook and by klango-cli. GUI thread.
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
    // The name index of the table, in the program folder beside it: a data-folder file of that
    // name may be the order of a search view in force.
    static constexpr const char* kIndexFile = "MP3TEMP.NTX";
    static constexpr const char* kIndexTag = "FILENAME";

    explicit StatsCommand(shell::Shell& shell) : m_shell(shell) {}

    void MP3STATS();
    // The rows of every database in name order (the open one read as it stands), written to
    // "Statist.dbf"; nullopt when a table file could not be opened (the error handler was told).
    std::optional<std::vector<DatabaseStats>> STATINALL(StatsDialogModel* dialog = nullptr);
    // Shows the rows in the order the grid gives them (inNameOrder).
    void MP3ALLSTATS(std::vector<DatabaseStats> rows);
    // The rows of "Statist.dbf" (one per record, in record order) as the grid shows them: through
    // the unique index on FILENAME, built into kIndexFile with the tag kIndexTag. A database whose
    // 20-character name an earlier one already holds is not left out: it follows the row of that
    // name. When the table or its index cannot be had (the error handler was told), the rows as
    // they came.
    std::vector<DatabaseStats> inNameOrder(std::vector<DatabaseStats> rows);

private:
    shell::Shell& m_shell;
};

}  // namespace klango::query
