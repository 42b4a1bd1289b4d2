#include "shell/menu_commands.h"

#include "dbf/dbf_table.h"
#include "shell/rx_helpers.h"

namespace klango::shell {

namespace {

void refresh(Shell& shell) {
    if (shell.hooks.refreshGrid) shell.hooks.refreshGrid();
}

void focus(Shell& shell) {
    if (shell.state.LTAB_OPEN && shell.hooks.focusGrid) shell.hooks.focusGrid();
}

void reopen(Shell& shell) { shell.hooks.MP3TABLE(false); }

// Without the table window the new database cannot be shown yet; the message bar still tells
// its name and how many titles it holds. The table is opened only to count and closed again.
void showImportCounts(Shell& shell) {
    AppState& s = shell.state;
    shell.ui->setMessageItem(ui::MessageItem::Base, s.CFILE);
    dbf::DbfTable* table = nullptr;
    if (shell.areas && !s.CFILE.empty()) table = shell.areas->use(s.CFILE + ".dbf", "DMP3");
    showRecordCount(*shell.ui, table);
    if (shell.areas && !s.CFILE.empty()) shell.areas->closeAll();
}

}  // namespace

bool commandAvailable(MenuCommand command, const ShellHooks& h) {
    switch (command) {
        case MenuCommand::None:
            return false;
        case MenuCommand::New:
            return bool(h.MP3IMPORT);
        case MenuCommand::Open:
            return bool(h.MP3TABLE);
        case MenuCommand::AppendFrom:
            return bool(h.APPENDFROM) && bool(h.MP3KILLFILTER) && bool(h.MP3TABLE);
        case MenuCommand::SaveAs:
            return bool(h.MP3SAVEAS);
        case MenuCommand::DeleteFile:
            return bool(h.MP3FDELETE);
        case MenuCommand::MarkAll:
            return bool(h.MARKALL);
        case MenuCommand::UnmarkAll:
            return bool(h.DELMARKED);
        case MenuCommand::DeleteMarked:
            return bool(h.MP3TDELETE);
        case MenuCommand::MakePlaylist:
            return bool(h.M3UEXPORT);
        case MenuCommand::Statistics:
            return bool(h.MP3STATS);
        case MenuCommand::DataCopy:
            return bool(h.MP3TRANSFER);
        case MenuCommand::Quit:
            return bool(h.quit);
        case MenuCommand::Edit:
            return bool(h.MP3EDIT);
        case MenuCommand::DeleteRecord:
            return bool(h.MP3DELETE);
        case MenuCommand::PlayTrack:
            return bool(h.M3UEXSINGLE);
        case MenuCommand::GotoLetter:
            return bool(h.MP3GOTO);
        case MenuCommand::GotoTop:
            return bool(h.gotoTop);
        case MenuCommand::GotoBottom:
            return bool(h.gotoBottom);
        case MenuCommand::SetFilter:
            return bool(h.MP3FILTER);
        case MenuCommand::KillFilter:
            return bool(h.MP3KILLFILTER);
        case MenuCommand::Search:
            return bool(h.MP3SUCH);
        case MenuCommand::Settings:
            return bool(h.SETUP) && bool(h.MP3TABLE);
        case MenuCommand::Documentation:
            return bool(h.helpContents);
        case MenuCommand::HelpIndex:
            return bool(h.helpIndex);
        case MenuCommand::HomePage:
        case MenuCommand::SupportMail:
            return true;  // the program start is always there
        case MenuCommand::About:
            return bool(h.ABOUTINFO);
    }
    return false;
}

bool entryEnabled(const Shell& shell, EnableRule rule, MenuCommand command) {
    return MainMenu::isEnabled(rule, command, menuState(shell.state),
                               [&](MenuCommand c) { return commandAvailable(c, shell.hooks); });
}

void runMenuCommand(Shell& shell, MenuCommand command, char letter) {
    if (!commandAvailable(command, shell.hooks)) return;
    ShellHooks& h = shell.hooks;
    AppState& s = shell.state;
    switch (command) {
        case MenuCommand::None:
            return;
        case MenuCommand::New: {
            const bool wasOpen = s.LTAB_OPEN;
            const std::string previous = s.CFILE;
            if (s.LTAB_OPEN) {
                if (h.MP3DLGCLOSE) h.MP3DLGCLOSE();
                RXDELALL(s.dataFolder(), "*.NT?", false, shell.areas.get());
            }
            if (!h.MP3IMPORT()) {
                // Nothing was imported: the database that was open is shown again.
                if (wasOpen && h.MP3TABLE) {
                    s.CFILE = previous;
                    reopen(shell);
                }
                return;
            }
            if (h.MP3TABLE) {
                reopen(shell);
            } else {
                showImportCounts(shell);
            }
            return;
        }
        case MenuCommand::Open:
            h.MP3TABLE(true);
            return;
        case MenuCommand::AppendFrom:
            h.MP3KILLFILTER();
            if (h.APPENDFROM()) reopen(shell);
            focus(shell);
            return;
        case MenuCommand::SaveAs:
            if (s.LTAB_OPEN && h.MP3DLGCLOSE) h.MP3DLGCLOSE();
            h.MP3SAVEAS();
            return;
        case MenuCommand::DeleteFile:
            h.MP3FDELETE();
            return;
        case MenuCommand::MarkAll:
            h.MARKALL();
            RXSETMENU(shell);
            refresh(shell);
            focus(shell);
            return;
        case MenuCommand::UnmarkAll:
            h.DELMARKED();
            refresh(shell);
            focus(shell);
            return;
        case MenuCommand::DeleteMarked:
            h.MP3TDELETE();
            refresh(shell);
            focus(shell);
            return;
        case MenuCommand::MakePlaylist:
            h.M3UEXPORT();
            refresh(shell);
            focus(shell);
            return;
        case MenuCommand::Statistics:
            h.MP3STATS();
            focus(shell);
            return;
        case MenuCommand::DataCopy:
            h.MP3TRANSFER();
            focus(shell);
            return;
        case MenuCommand::Quit:
            h.quit();
            return;
        case MenuCommand::Edit:
            h.MP3EDIT();
            return;
        case MenuCommand::DeleteRecord:
            h.MP3DELETE();
            refresh(shell);
            focus(shell);
            return;
        case MenuCommand::PlayTrack:
            h.M3UEXSINGLE();
            return;
        case MenuCommand::GotoLetter:
            h.MP3GOTO(letter);
            return;
        case MenuCommand::GotoTop:
            h.gotoTop();
            refresh(shell);
            return;
        case MenuCommand::GotoBottom:
            h.gotoBottom();
            refresh(shell);
            return;
        case MenuCommand::SetFilter:
            h.MP3FILTER();
            return;
        case MenuCommand::KillFilter:
            h.MP3KILLFILTER();
            return;
        case MenuCommand::Search:
            if (h.MP3SUCH()) refresh(shell);
            focus(shell);
            return;
        case MenuCommand::Settings: {
            // Saved settings show in the database that was open; with none open there is
            // nothing to show again (opening would create an empty default database).
            const bool wasOpen = s.LTAB_OPEN;
            if (h.SETUP() && wasOpen) reopen(shell);
            refresh(shell);
            focus(shell);
            return;
        }
        case MenuCommand::Documentation:
            h.helpContents();
            return;
        case MenuCommand::HelpIndex:
            h.helpIndex();
            return;
        case MenuCommand::HomePage:
            startProgramLine(shell, homePageCommand(shell.menu.wwwTarget()));
            return;
        case MenuCommand::SupportMail:
            startProgramLine(shell, supportMailCommand(shell.menu.emailTarget()));
            return;
        case MenuCommand::About:
            h.ABOUTINFO(false);
            focus(shell);
            return;
    }
}

}  // namespace klango::shell
