// The work areas of the program: open tables under their aliases (DMP3, DIMP, DMPN, DSTAT, DCHK),
// one of them selected. Owns the open tables; names without a folder are found in the data
// folder, case-blind. Used by the commands through the application state.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/dbf_structure.h"
#include "dbf/dbf_table.h"

namespace klango::dbf {

class WorkAreas {
public:
    explicit WorkAreas(std::filesystem::path defaultFolder);
    ~WorkAreas();
    WorkAreas(const WorkAreas&) = delete;
    WorkAreas& operator=(const WorkAreas&) = delete;

    // Opens a table exclusively under alias (case-blind), closing what that alias held first, and
    // selects it. nullptr when the open failed (the error handler and the network-error flag
    // have been told).
    DbfTable* use(std::string_view nameOrPath, std::string_view alias);
    // The same for a file already resolved (a path as the file system names it).
    DbfTable* useFile(const std::filesystem::path& file, std::string_view alias);
    // Creates an empty table with today's date; an existing file of that name (any case) is
    // replaced, a new one gets the name as given.
    bool create(std::string_view nameOrPath, const Structure& fields);
    // The file a name (CP1252 text) stands for: without a folder in the default folder, with
    // defaultExtension when it has none, the file name matched case-blind to an existing file.
    std::filesystem::path resolve(std::string_view nameOrPath, std::string_view defaultExtension = ".dbf") const;

    DbfTable* get(std::string_view alias) const;
    bool select(std::string_view alias);  // false (selection unchanged) when no table has it
    DbfTable* selected() const;
    std::string selectedAlias() const { return m_selected; }
    void close(std::string_view alias);
    void closeAll();
    // Aliases of the open tables, in the order they were opened.
    std::vector<std::string> aliases() const;

    const std::filesystem::path& defaultFolder() const { return m_defaultFolder; }

    // Told just before a table closes (close, closeAll, or use() on its alias), while the table is
    // still there: whoever borrows it lets go. The listener must not open or close tables.
    using CloseListener = std::function<void(const std::string& alias, DbfTable& table)>;
    void setCloseListener(CloseListener listener);

private:
    struct Area {
        std::string alias;  // capitals
        std::unique_ptr<DbfTable> table;
    };
    void closing(const Area& area);
    Area* find(std::string_view alias);
    const Area* find(std::string_view alias) const;

    std::filesystem::path m_defaultFolder;
    std::vector<Area> m_areas;
    std::string m_selected;
    CloseListener m_closeListener;
};

}  // namespace klango::dbf
