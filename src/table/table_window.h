// TableWindow: the open track database in the main window. Opens it (MP3TABLE), builds and closes
// the table panel (MP3STABLE, MP3DLGCLOSE), carries out the commands of the panel's button bar
// and context menu and the grid's clicks, and keeps the message bar's items current. Owns the
// panel's row source, sort and marking anchor while the panel is shown; the table itself lives
// in the work area DMP3. The Qt panel implements TablePanelView and forwards the user's actions;
// install() fills the shell's hooks so that the main menu reaches the same routines. GUI thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "table/panel_commands.h"
#include "table/table_panel_state.h"
#include "table/track_columns.h"

namespace klango::dbf {
class DbfTable;
}
namespace klango::shell {
struct Shell;
}

namespace klango::table {

class Marking;
class TableSort;
class TableWindow;
class TrackGridModel;

// What the table window asks of the panel on the screen. Rows are 0-based positions in the
// table's current order.
class TablePanelView {
public:
    virtual ~TablePanelView() = default;
    // Builds the panel (button bar, grid over window.rows() with the given column widths) over
    // the main window's client area and shows it. Returns the number of grid rows that fit.
    virtual int show(TableWindow& window, const std::array<double, kColumnCount>& widths) = 0;
    // The grid's current column widths, left to right.
    virtual std::vector<double> columnWidths() const = 0;
    // Closes the panel; the main window gets the focus.
    virtual void close() = 0;
    // The grid follows the table: row count, the current record's row current and visible,
    // the buttons redrawn from the panel state.
    virtual void refresh() = 0;
    // The last page with the last record current.
    virtual void showLastPage() = 0;
    virtual void focusGrid() = 0;
};

class TableWindow {
public:
    static constexpr const char* kAlias = "DMP3";
    static constexpr const char* kHelpTopic = "Hauptauswahl";

    explicit TableWindow(shell::Shell& shell, const platform::Clock& clock = platform::clock());
    ~TableWindow();
    TableWindow(const TableWindow&) = delete;
    TableWindow& operator=(const TableWindow&) = delete;

    // The panel on the screen; without one (tests, the command line) the panel exists in state
    // only. Set before the first MP3TABLE.
    void setView(TablePanelView* view) { m_view = view; }
    // Fills the shell's hooks: MP3TABLE, MP3DLGCLOSE, MARKALL, DELMARKED, MP3TDELETE, MP3EDIT,
    // MP3DELETE, MP3GOTO, gotoTop, gotoBottom, refreshGrid, focusGrid.
    void install();

    // MP3TABLE: opens the database (ask: the user picks it; else CFILE as it stands) and builds
    // the panel. True when a table was opened, nullopt when the user cancelled or no database is
    // named, false when it could not be made ready or opened (the error handler has told why).
    std::optional<bool> MP3TABLE(bool ask);
    // MP3STABLE: builds the panel on the open DMP3 table.
    bool MP3STABLE();
    // MP3DLGCLOSE: stores the column widths, removes an active filter and closes the panel; the
    // table stays open. Always true. A panel whose table is closed under it closes the same way.
    bool MP3DLGCLOSE();
    // MP3GOTO: the first record whose key in the current order is at or after letter; the last
    // record when none is (the play-time and rating keys begin with digits).
    bool MP3GOTO(std::string_view letter);
    void gotoTop();
    void gotoBottom();
    // MP3EDIT on record recno (the record the user picked); the record moves to its new place in
    // the order when saved.
    bool MP3EDIT(uint32_t recno);

    // The grid's events, by row.
    void rowClicked(int row, bool shift);
    void rowActivated(int row);  // double click or Enter
    void currentRowChanged(int row);
    // A header click; true when the order changed.
    bool headerClicked(int column);

    // The panel's commands (buttons and context menu). letter: the jump of GotoLetter.
    void run(PanelCommand command, char letter = 0);
    bool enabled(PanelCommand command) const;

    // While the panel is shown: its pieces. nullptr / empty otherwise.
    dbf::DbfTable* table() const;
    TrackGridModel* rows() const { return m_rows.get(); }
    TableSort* sort() const { return m_sort.get(); }
    const TablePanelState& panelState() const { return m_panel; }
    bool panelShown() const { return m_rows != nullptr; }
    const platform::Clock& clock() const { return m_clock; }
    const shell::Shell& shell() const { return m_shell; }

private:
    // The database name in CFILE reduced to its base name, first letter upper case.
    static std::string baseName(std::string_view file);
    bool openTable();
    void clearTableItems();
    void showCounts();
    void refresh();
    void focus();
    void marksChanged();
    void closeAllTables();
    uint32_t currentRecord() const;
    // The marking commands on the open table (none: they do nothing).
    Marking markingOnTable();
    void toggleMark(uint32_t recno);
    void markRange(uint32_t recno);
    void reattachOrders();
    void closePanel();

    shell::Shell& m_shell;
    const platform::Clock& m_clock;
    TablePanelView* m_view = nullptr;
    TablePanelState m_panel;
    std::unique_ptr<TrackGridModel> m_rows;
    std::unique_ptr<TableSort> m_sort;
    dbf::DbfTable* m_panelTable = nullptr;  // the table the panel's pieces borrow
};

}  // namespace klango::table
