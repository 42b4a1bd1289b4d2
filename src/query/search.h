// The search commands: MP3SUCH (the dialog, the criteria kept in the settings file), SUCHINONE
// (the hits of the open table as a filtered view) and SUCHINALL (the hits of every database of
// the data folder copied into the search-result database "MP3SUCH", which is then opened).
// Called through the shell's hooks and by klango-cli. GUI thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "query/search_condition.h"

namespace klango::shell {
struct Shell;
}

namespace klango::query {

class QueryView;
class SearchDialogModel;

class Search {
public:
    static constexpr const char* kResultName = "MP3SUCH";
    static constexpr const char* kSearchIndex = "MP3TEMP.NTX";
    static constexpr const char* kNoResultFile =
        "Die Suchdatei MP3SUCH.DBF kann nicht angelegt werden, die Suche findet nicht statt.";
    // Followed by the file names, separated by ", ".
    static constexpr const char* kNotSearched =
        "Diese Datenbanken lassen sich nicht \xF6" "ffnen und wurden nicht durchsucht: ";

    Search(shell::Shell& shell, QueryView& view) : m_shell(shell), m_view(view) {}

    // The dialog; true when a search was run (the criteria are then written to the settings file).
    bool MP3SUCH();
    // The hits of the open table in artist order as a filtered view; without a hit a warning, and
    // the view shown before stays. Returns the number of hits.
    uint32_t SUCHINONE(const SearchCriteria& criteria);

    struct AllResult {
        uint32_t hits = 0;
        bool stopped = false;
        bool failed = false;  // the result database could not be made: nothing was searched
        std::vector<std::string> skipped;  // table files that could not be opened, passed over
    };
    // Searches every table file of the data folder, in name order, into "MP3SUCH"; progress and
    // the stop request go through dialog when given. A table file that cannot be opened is passed
    // over and named in a warning. With hits the result is opened in the table window (through
    // the MP3TABLE hook); without, or when the result database cannot be made, the database open
    // before is open again as it was.
    AllResult SUCHINALL(const SearchCriteria& criteria, SearchDialogModel* dialog = nullptr);

private:
    void setCriteria(const SearchCriteria& criteria, const SearchCondition& condition);

    shell::Shell& m_shell;
    QueryView& m_view;
};

}  // namespace klango::query
