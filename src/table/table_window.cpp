#include "table/table_window.h"

#include <filesystem>
#include <system_error>

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "dbf/work_areas.h"
#include "shell/rx_helpers.h"
#include "shell/settings_keys.h"
#include "shell/startup.h"
#include "table/edit_dialog_model.h"
#include "table/marking.h"
#include "table/table_sort.h"
#include "table/track_grid_model.h"
#include "trackdb/check_data.h"
#include "trackdb/track_record.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace klango::table {

namespace {

constexpr int kBasePixelsPerCharacter = 8;

bool isAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }

std::string lowerAZ(std::string text) {
    for (char& c : text)
        if (isAsciiUpper(c)) c = char(c - 'A' + 'a');
    return text;
}

// The chosen file lies in the data folder (where every database of the program lives)?
bool inFolder(const fs::path& file, const fs::path& folder) {
    std::error_code ec;
    const fs::path parent = fs::weakly_canonical(fs::absolute(file).parent_path(), ec);
    if (ec) return false;
    const fs::path data = fs::weakly_canonical(fs::absolute(folder), ec);
    if (ec) return false;
    return fs::equivalent(parent, data, ec) && !ec;
}

}  // namespace

TableWindow::TableWindow(shell::Shell& shell, const platform::Clock& clock) : m_shell(shell), m_clock(clock) {}

TableWindow::~TableWindow() = default;

dbf::DbfTable* TableWindow::table() const {
    if (!m_shell.areas) return nullptr;
    dbf::DbfTable* t = m_shell.areas->get(kAlias);
    return t && t->isOpen() ? t : nullptr;
}

std::string TableWindow::baseName(std::string_view file) {
    std::string text(file);
    for (char& c : text)
        if (c == '\\') c = '/';
    const size_t slash = text.rfind('/');
    if (slash != std::string::npos) text.erase(0, slash + 1);
    const size_t dot = text.rfind('.');
    if (dot != std::string::npos && dot > 0) text.erase(dot);
    text = base::upperAZ(text);
    return text.empty() ? text : text.substr(0, 1) + lowerAZ(text.substr(1));
}

void TableWindow::clearTableItems() {
    ui::Ui& ui = *m_shell.ui;
    ui.setMessageItem(ui::MessageItem::Base, "");
    ui.setMessageItem(ui::MessageItem::Records, "");
    ui.setMessageItem(ui::MessageItem::Tagged, "");
}

std::optional<bool> TableWindow::MP3TABLE(bool ask) {
    KLANGO_ROUTINE("MP3TABLE");
    shell::AppState& s = m_shell.state;
    ui::Ui& ui = *m_shell.ui;
    if (s.LTAB_OPEN) MP3DLGCLOSE();
    if (ask) {
        ui.showMessage("W\xE4hlen Sie die MP3-Datenbank ...");
        closeAllTables();
        ui::FileDialogRequest request;
        request.title = "MP3-Datenbank \xF6" "ffnen";
        request.filter = "MP3-Datenbanken (*.DBF)|*.DBF";
        request.filterIndex = 1;
        request.startFolder = base::utf8ToCp1252(s.dataFolder().string());
        s.CFILE = ui.openFile(request);
        s.NTAB_SORT = 1;
        ui.showMessage({});
        // Every database of the program lives in the data folder (search, append and the
        // delete dialog look there); one picked elsewhere would be taken for a new, empty one
        // of the same name.
        if (!s.CFILE.empty() && !inFolder(fs::path(base::cp1252ToUtf8(s.CFILE)), s.dataFolder())) {
            ui.warning("MP3-Datenbank \xF6" "ffnen",
                       "Die Datenbank " + s.CFILE +
                           " liegt nicht im Datenverzeichnis.\rBitte w\xE4hlen Sie eine Datenbank aus dem "
                           "Verzeichnis Daten.");
            s.CFILE.clear();
        }
    }
    ui.setWaitCursor(true);
    if (base::trim(s.CFILE).empty()) {
        s.CFILE.clear();
        clearTableItems();
        shell::RXSETMENU(m_shell);
        ui.setWaitCursor(false);
        return std::nullopt;
    }
    s.CFILE = baseName(s.CFILE);
    if (base::upperAZ(s.CFILE).rfind("MP3SUCH", 0) != 0) {
        s.settings().write(shell::keys::kDatabaseFile, s.CFILE);
    }
    ui.showMessage("Erzeugen Datenbank");
    const std::string shownName = shell::RXSTRCAPALL(lowerAZ(s.CFILE));
    ui.setMessageItemWidth(ui::MessageItem::Base, kBasePixelsPerCharacter * int(shownName.size()));
    ui.setMessageItem(ui::MessageItem::Base, shownName);

    if (!openTable()) {
        clearTableItems();
        shell::RXSETMENU(m_shell);
        ui.showMessage({});
        ui.setWaitCursor(false);
        return false;
    }
    ui.setDefaultMessage(kTableDefaultMessage);
    ui.showMessage({});
    showCounts();
    ui.setMessageItem(ui::MessageItem::Filter, "kein Filter", "N*/W");
    s.LTAB_FILT = false;
    ui.setWaitCursor(false);
    MP3STABLE();
    return true;
}

// CHECKDATA makes the table and its six index files ready and leaves it open as DMP3 with the
// orders attached in their numbers' order, the first controlling; a table whose orders it could
// not all build is opened here with what its index files hold.
bool TableWindow::openTable() {
    shell::AppState& s = m_shell.state;
    if (!m_shell.areas) return false;
    if (!trackdb::CHECKDATA(*m_shell.areas, *m_shell.ui, s.CFILE, trackdb::CheckDataEnd::KeepOpen)) return false;
    if (table()) return true;  // CHECKDATA left it open with the six orders it just built
    dbf::DbfTable* t = m_shell.areas->use(s.CFILE + ".dbf", kAlias);
    if (!t) return false;
    reattachOrders();
    return true;
}

void TableWindow::reattachOrders() {
    dbf::DbfTable* t = table();
    if (!t) return;
    t->detachOrders();
    const fs::path folder = m_shell.state.dataFolder();
    for (const trackdb::TrackOrder& o : trackdb::trackOrders()) {
        t->attachOrder(trackdb::indexFile(folder, m_shell.state.CFILE, o.number),
                       trackdb::trackOrderKey(t->structure(), o));
    }
    t->setOrder(1);
}

void TableWindow::showCounts() {
    dbf::DbfTable* t = table();
    if (!t) return;
    ui::Ui& ui = *m_shell.ui;
    shell::showRecordCount(ui, t);
    const long tagged = shell::NUMTAGGED(*t, true, m_shell.state);
    ui.setMessageItem(ui::MessageItem::Tagged, "Markiert: " + std::to_string(tagged));
    m_panel.playlistEnabled = m_shell.state.LTAB_TAGG;
    const MarkAllLook look = markAllButton(m_shell.state.LTAB_TAGG);
    m_panel.markAllPicture = look.picture;
    m_panel.markAllText = look.text;
}

void TableWindow::closeAllTables() {
    if (m_shell.areas) m_shell.areas->closeAll();
}

bool TableWindow::MP3STABLE() {
    KLANGO_ROUTINE("MP3STABLE");
    dbf::DbfTable* t = table();
    if (!t) return true;
    shell::AppState& s = m_shell.state;
    m_panel.NLBXREC = t->eof() ? 0 : t->recNo();
    m_panel.NLBXPOS1 = 1;
    const std::array<double, kColumnCount> widths = columnWidths(s.settings());
    m_shell.ui->setHelpTopic(kHelpTopic);
    m_panelTable = t;
    m_rows = std::make_unique<TrackGridModel>(*t);
    m_sort = std::make_unique<TableSort>(*t);
    m_sort->selectInitial();
    s.NTABROWS = m_view ? m_view->show(*this, widths) : 0;
    s.LTAB_OPEN = true;
    shell::RXSETMENU(m_shell);
    return true;
}

bool TableWindow::MP3DLGCLOSE() {
    KLANGO_ROUTINE("MP3DLGCLOSE");
    shell::AppState& s = m_shell.state;
    if (!s.LTAB_OPEN && !panelShown()) return true;
    if (s.LTAB_FILT && m_shell.hooks.MP3KILLFILTER) m_shell.hooks.MP3KILLFILTER();
    closePanel();
    return true;
}

// The widths go to the settings file, then the panel and everything that borrows the table.
void TableWindow::closePanel() {
    shell::AppState& s = m_shell.state;
    std::vector<double> widths;
    if (m_view && panelShown()) {
        widths = m_view->columnWidths();
    } else {
        const auto stored = columnWidths(s.settings());
        widths.assign(stored.begin(), stored.end());
    }
    saveColumnWidths(s.settings(), widths);
    if (m_view && panelShown()) m_view->close();
    m_rows.reset();
    m_sort.reset();
    m_panelTable = nullptr;
    s.LTAB_OPEN = false;
}

uint32_t TableWindow::currentRecord() const {
    dbf::DbfTable* t = table();
    if (!t || t->eof()) return 0;
    return t->recNo();
}

void TableWindow::refresh() {
    if (m_rows) m_rows->refresh();
    if (m_view && panelShown()) m_view->refresh();
}

void TableWindow::focus() {
    if (m_view && panelShown()) m_view->focusGrid();
}

void TableWindow::marksChanged() {
    shell::RXSETMENU(m_shell);
    refresh();
}

bool TableWindow::MP3GOTO(std::string_view letter) {
    KLANGO_ROUTINE("MP3GOTO");
    dbf::DbfTable* t = table();
    if (!t || !panelShown()) return true;
    if (!table::MP3GOTO(*t, letter)) {
        // No key at or after the letter: the grid stands on the last record.
        t->goBottom();
        if (m_view) m_view->showLastPage();
    } else {
        refresh();
    }
    focus();
    return true;
}

void TableWindow::gotoTop() {
    dbf::DbfTable* t = table();
    if (!t || !panelShown()) return;
    t->goTop();
    refresh();
}

void TableWindow::gotoBottom() {
    dbf::DbfTable* t = table();
    if (!t || !panelShown()) return;
    t->goBottom();
    if (m_rows) m_rows->refresh();
    if (m_view) m_view->showLastPage();
}

bool TableWindow::MP3EDIT(uint32_t recno) {
    KLANGO_ROUTINE("MP3EDIT");
    dbf::DbfTable* t = table();
    if (!t || !panelShown() || recno == 0) return true;
    EditDialogModel model(*t, recno, m_shell.state, m_shell.ui);
    if (!model.loaded()) return true;
    ui::Ui& ui = *m_shell.ui;
    ui.runDialog(model);  // the dialog carries its own help topic while it is open
    if (model.commit()) refresh();
    focus();
    ui.setHelpTopic(kHelpTopic);
    return true;
}

Marking TableWindow::markingOnTable() {
    return Marking(table(), m_shell.state, *m_shell.ui, m_panel, m_clock);
}

void TableWindow::toggleMark(uint32_t recno) {
    dbf::DbfTable* t = table();
    if (!t || recno == 0) return;
    Marking marking = markingOnTable();
    if (marking.MP3TAGGIT(recno)) marksChanged();
}

void TableWindow::markRange(uint32_t recno) {
    dbf::DbfTable* t = table();
    if (!t || recno == 0) return;
    Marking marking = markingOnTable();
    if (marking.MP3TAGMORE(m_panel.NLBXREC, recno)) marksChanged();
}

void TableWindow::rowClicked(int row, bool shift) {
    if (!m_rows || !m_rows->goToRow(row)) return;
    const uint32_t recno = currentRecord();
    if (shift) markRange(recno);
    m_panel.NLBXREC = recno;
    m_panel.NLBXPOS1 = row + 1;
}

void TableWindow::rowActivated(int row) {
    if (!m_rows || !m_rows->goToRow(row)) return;
    const uint32_t recno = currentRecord();
    const long long action = m_shell.state.NS_DBLCLICK;
    if (action == 1) {
        toggleMark(recno);
    } else if (action == 2) {
        if (m_shell.hooks.M3UEXSINGLE) m_shell.hooks.M3UEXSINGLE();
    } else {
        MP3EDIT(recno);
    }
    refresh();
    focus();
}

void TableWindow::currentRowChanged(int row) {
    if (m_rows) m_rows->goToRow(row);
}

bool TableWindow::headerClicked(int column) {
    // A filter or search view keeps its own order; the sort orders wait behind it.
    if (!m_sort || m_shell.state.LTAB_FILT) return false;
    if (!m_sort->headerClicked(column)) return false;
    refresh();
    return true;
}

bool TableWindow::enabled(PanelCommand command) const {
    const shell::AppState& s = m_shell.state;
    const shell::ShellHooks& h = m_shell.hooks;
    const bool open = panelShown() && table() != nullptr;
    switch (command) {
        case PanelCommand::NewFile:
            return bool(h.MP3IMPORT);
        case PanelCommand::OpenFile:
            return true;
        case PanelCommand::SaveAs:
            return open && bool(h.MP3SAVEAS);
        case PanelCommand::MarkAllOrNone:
        case PanelCommand::ToggleMark:
        case PanelCommand::MarkAll:
        case PanelCommand::RangeStart:
        case PanelCommand::Edit:
        case PanelCommand::Delete:
        case PanelCommand::GotoLetter:
            return open;
        case PanelCommand::UnmarkAll:
            return open && s.LTAB_TAGG;
        case PanelCommand::RangeEnd:
            return open && m_panel.NLBXREC > 0;
        case PanelCommand::Play:
            return open && bool(h.M3UEXSINGLE);
        case PanelCommand::Playlist:
            return open && s.LTAB_TAGG && !s.CS_AMPPATH.empty() && bool(h.M3UEXPORT);
        case PanelCommand::DataCopy:
            return open && bool(h.MP3TRANSFER);
        case PanelCommand::Statistics:
            return open && bool(h.MP3STATS);
        case PanelCommand::Search:
            return open && bool(h.MP3SUCH);
        case PanelCommand::SetFilter:
            return open && bool(h.MP3FILTER);
        case PanelCommand::KillFilter:
            return open && s.LTAB_FILT && bool(h.MP3KILLFILTER);
        case PanelCommand::ShowAll:
            return open && s.LTAB_FILT;
        case PanelCommand::Settings:
            return bool(h.SETUP);
        case PanelCommand::Help:
            return bool(h.helpContents);
        case PanelCommand::Quit:
            return bool(h.quit);
    }
    return false;
}

void TableWindow::run(PanelCommand command, char letter) {
    if (!enabled(command)) return;
    shell::AppState& s = m_shell.state;
    shell::ShellHooks& h = m_shell.hooks;
    ui::Ui& ui = *m_shell.ui;
    dbf::DbfTable* t = table();
    switch (command) {
        case PanelCommand::NewFile: {
            const std::string previous = s.CFILE;
            MP3DLGCLOSE();
            closeAllTables();
            shell::RXDELALL(s.dataFolder(), "*.NTX", true, m_shell.areas.get());
            // Without an import the database that was open is shown again.
            if (!h.MP3IMPORT()) s.CFILE = previous;
            MP3TABLE(false);
            shell::RXSETMENU(m_shell);
            return;
        }
        case PanelCommand::OpenFile:
            ui.showMessage("W\xE4hlen Sie Ihre Option");
            MP3TABLE(true);
            return;
        case PanelCommand::SaveAs:
            h.MP3SAVEAS();
            focus();
            return;
        case PanelCommand::MarkAllOrNone: {
            Marking marking = markingOnTable();
            if (s.LTAB_TAGG) {
                marking.DELMARKED();
            } else {
                marking.MARKALL();
            }
            marksChanged();
            focus();
            return;
        }
        case PanelCommand::ToggleMark:
            toggleMark(currentRecord());
            focus();
            return;
        case PanelCommand::MarkAll:
            markingOnTable().MARKALL();
            marksChanged();
            focus();
            return;
        case PanelCommand::UnmarkAll:
            markingOnTable().DELMARKED();
            marksChanged();
            focus();
            return;
        case PanelCommand::RangeStart: {
            m_panel.NLBXREC = currentRecord();
            const std::optional<int> row = m_rows ? m_rows->currentRow() : std::nullopt;
            m_panel.NLBXPOS1 = row ? *row + 1 : 1;
            return;
        }
        case PanelCommand::RangeEnd:
            markRange(currentRecord());
            focus();
            return;
        case PanelCommand::Edit:
            MP3EDIT(currentRecord());
            return;
        case PanelCommand::Play:
            h.M3UEXSINGLE();
            refresh();
            return;
        case PanelCommand::Delete:
            markingOnTable().MP3DELETE();
            marksChanged();
            focus();
            return;
        case PanelCommand::Playlist:
            h.M3UEXPORT();
            refresh();
            focus();
            return;
        case PanelCommand::DataCopy:
            h.MP3TRANSFER();
            refresh();
            focus();
            return;
        case PanelCommand::Statistics:
            h.MP3STATS();
            focus();
            return;
        case PanelCommand::GotoLetter:
            MP3GOTO(std::string(1, letter));
            return;
        case PanelCommand::Search:
            if (h.MP3SUCH()) refresh();
            focus();
            return;
        case PanelCommand::SetFilter:
            h.MP3FILTER();
            return;
        case PanelCommand::KillFilter:
            h.MP3KILLFILTER();
            focus();
            return;
        case PanelCommand::ShowAll:
            // Every record again in the artist order; what the filter was set to stays.
            reattachOrders();
            if (m_sort) m_sort->selectInitial();
            if (t) t->goTop();
            refresh();
            return;
        case PanelCommand::Settings:
            if (h.SETUP()) MP3TABLE(false);
            refresh();
            focus();
            return;
        case PanelCommand::Help:
            h.helpContents();
            return;
        case PanelCommand::Quit:
            MP3DLGCLOSE();
            h.quit();
            return;
    }
}

void TableWindow::install() {
    // A command that closes the tables behind the panel's back (a search over all databases, a
    // structure update) takes the panel with it, before the grid could read a closed table.
    if (m_shell.areas) {
        m_shell.areas->setCloseListener([this](const std::string&, dbf::DbfTable& closing) {
            if (panelShown() && &closing == m_panelTable) closePanel();
        });
    }
    shell::ShellHooks& h = m_shell.hooks;
    h.MP3TABLE = [this](bool ask) { return MP3TABLE(ask).value_or(false); };
    h.MP3DLGCLOSE = [this] { MP3DLGCLOSE(); };
    h.MARKALL = [this] {
        if (panelShown()) markingOnTable().MARKALL();
    };
    h.DELMARKED = [this] {
        if (panelShown()) markingOnTable().DELMARKED();
        shell::RXSETMENU(m_shell);
    };
    h.MP3TDELETE = [this] {
        if (panelShown()) markingOnTable().MP3TDELETE();
        shell::RXSETMENU(m_shell);
    };
    h.MP3DELETE = [this] {
        if (panelShown()) markingOnTable().MP3DELETE();
        shell::RXSETMENU(m_shell);
    };
    h.MP3EDIT = [this] { MP3EDIT(currentRecord()); };
    h.MP3GOTO = [this](char letter) { MP3GOTO(std::string(1, letter)); };
    h.gotoTop = [this] { gotoTop(); };
    h.gotoBottom = [this] { gotoBottom(); };
    h.refreshGrid = [this] { refresh(); };
    h.focusGrid = [this] { focus(); };
}

}  // namespace klango::table
