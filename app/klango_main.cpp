// klango: the desktop program. Runs the start-up in its order, the main window's event loop and
// the exit clean-up; takes no command-line arguments and reads no environment variable.

#include <QApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMessageBox>
#include <QScreen>
#include <cstdlib>

#include "platform/executable_path.h"
#include "platform/program_start.h"
#include "platform/system_facts.h"
#include "base/error.h"
#include "support/crash_log.h"
#include "support/error_log_facts.h"
#include "support/error_log_review.h"
#include "support/error_sys.h"
#include "support/support_mail.h"
#include "support/system_info.h"
#include "shell/startup.h"
#include "query/queries.h"
#include "table/table_window.h"
#include "trackdb/mp3_import.h"
#include "trackdb/database_files.h"
#include "output/playlist_export.h"
#include "output/transfer_command.h"
#include "platform/media.h"
#include "gui/about_box.h"
#include "gui/artwork.h"
#include "gui/dialog_style.h"
#include "gui/edit_dialog_view.h"
#include "gui/error_dialog_view.h"
#include "gui/error_log_review_view.h"
#include "gui/guarded_application.h"
#include "gui/mail_preview_view.h"
#include "gui/mail_setup_view.h"
#include "gui/qt_log_printer.h"
#include "gui/filter_dialog_view.h"
#include "gui/help_window.h"
#include "gui/import_dialog_view.h"
#include "gui/main_window.h"
#include "gui/playlist_export_view.h"
#include "gui/playlist_sort_view.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "gui/setup_dialog_view.h"
#include "gui/setup_search_intro_view.h"
#include "gui/system_info_source.h"
#include "gui/update_dialog_view.h"
#include "settings/database_update.h"
#include "settings/setup.h"
#include "gui/search_dialog_view.h"
#include "gui/stats_dialog_view.h"
#include "gui/table_panel.h"
#include "gui/transfer_dialog_view.h"
#include "gui/transfer_media_views.h"

namespace {

using namespace klango;

// The titles of the program's top-level windows, in window order, for the error log.
std::vector<std::string> windowTitles() {
    std::vector<std::string> titles;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) titles.push_back(gui::fromQ(w->windowTitle()));
    return titles;
}

}  // namespace

int main(int argc, char** argv) {
    gui::GuardedApplication app(argc, argv);
    const std::filesystem::path errorLog = platform::executableFolder() / support::kErrorLogName;
    // A crash signal writes the short log from the start on.
    support::installCrashLog(errorLog, "Klango");
    // Qt's own dialogs (files, folders, the standard buttons) speak German like the program.
    QTranslator qtGerman;
    if (qtGerman.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtGerman);

    gui::QtUi ui;
    gui::ImportDialogView::registerWith(ui);
    gui::EditDialogView::registerWith(ui);
    gui::PlaylistExportView::registerWith(ui);
    gui::PlaylistSortView::registerWith(ui);
    gui::SetupDialogView::registerWith(ui);
    gui::SetupSearchIntroView::registerWith(ui);
    gui::UpdateDialogView::registerWith(ui);
    gui::ErrorDialogView::registerWith(ui);
    gui::MailSetupView::registerWith(ui);
    gui::MailPreviewView::registerWith(ui);
    gui::FilterDialogView::registerWith(ui);
    gui::SearchDialogView::registerWith(ui);
    gui::StatsDialogView::registerWith(ui);
    gui::TransferDialogView::registerWith(ui);
    gui::registerTransferMediaViews(ui);
    shell::Shell sh(ui);
    ui.setState(sh.state);

    // ERRORSYS: every run-time error reaches the one handler from here on.
    bool eventLoopRunning = false;
    const auto systemInfo = gui::systemInfoSource();
    support::ErrorSys errorSys(ui, {errorLog,
                                    [&sh, &systemInfo] {
                                        return support::gatherErrorLogFacts(sh.state.CRELEASE, systemInfo(),
                                                                            sh.areas.get(), windowTitles());
                                    },
                                    [&eventLoopRunning] { return eventLoopRunning; },
                                    [](int code) {
                                        QApplication::closeAllWindows();
                                        std::exit(code);
                                    }});
    errorSys.install();

    // Steps 2 to 4: program folder, "Daten", LOADPUBLICS.
    const std::filesystem::path folder = platform::executableFolder();
    shell::startUp(sh, folder);
    gui::Artwork::setFolder(sh.state.CRUNIN / "art");

    // The start screen, closing itself after three seconds or on a click.
    {
        gui::AboutBox start(gui::toQ(sh.state.CRELEASE), true);
        start.exec();
    }

    // Steps 6 to 8: the error log of an earlier run, the table engine, the help.
    support::installCrashLog(errorLog, sh.state.CRELEASE);
    gui::HelpWindow help;
    help.setHelpFolder(sh.state.CRUNIN / "help");
    ui.setHelpWindow(&help);
    gui::ErrorLogReviewView::registerWith(ui, [&help] { help.showTopic({}); });
    sh.hooks.PRINTERR = [&sh, &ui] {
        // The main window is not shown yet: its rectangle places the dialog on its screen.
        const shell::DesktopRect desktop = gui::desktopRect(QGuiApplication::primaryScreen());
        shell::placeMainWindow(sh, desktop, gui::firstSize(sh.state, desktop));
        support::ReviewEnvironment env;
        env.programFolder = sh.state.CRUNIN;
        env.release = sh.state.CRELEASE;
        env.printer = [] { return std::make_unique<gui::QtLogPrinter>(QApplication::activeWindow()); };
        env.mail = [&sh, &ui](const std::string& subject, const std::filesystem::path& file) {
            const platform::UserFacts user = platform::readUserFacts();
            support::MailEnvironment mail;
            mail.folder = sh.state.CRUNIN;
            mail.release = sh.state.CRELEASE;
            mail.home = user.home;
            mail.userName = user.name;
            mail.startProgram = platform::startDetached;
            return support::MAILSUPPORT(ui, sh.state.settings(), mail, subject, file);
        };
        support::PRINTERR(ui, env);
    };
    shell::afterStartScreen(sh);

    // Steps 9 to 14: the main window at its rectangle, with menu, icon and message bar.
    const shell::DesktopRect desktop = gui::desktopRect(QGuiApplication::primaryScreen());
    const shell::WindowRect rect = shell::placeMainWindow(sh, desktop, gui::firstSize(sh.state, desktop));
    shell::buildMenu(sh);
    gui::MainWindow window(sh, ui);
    help.setPlacedOver(&window);
    shell::ShellHooks& hooks = sh.hooks;
    hooks.quit = [&window] { window.close(); };
    hooks.ABOUTINFO = [&window, &sh](bool start) {
        gui::AboutBox box(gui::toQ(sh.state.CRELEASE), start, &window);
        gui::placeDialog(&box, sh.state);
        box.exec();
    };
    hooks.helpContents = [&help] { help.showTopic({}); };
    hooks.helpIndex = [&help] { help.showIndex({}); };
    hooks.redrawMenu = [&window] { window.refreshMenu(); };
    hooks.MP3IMPORT = [&sh, &ui] { return trackdb::MP3IMPORT(sh.state, *sh.areas, ui); };
    hooks.SETUP = [&sh, &ui] { return settings::SETUP(sh.state, ui, settings::systemSearchPlaces(ui)); };
    // The structure update after an upgrade; a stopped update ends the program at once (the
    // marker stays, so the next start runs it again).
    settings::DatabaseUpdate databaseUpdate;
    hooks.CHKUPDATE = [&sh, &ui, &databaseUpdate] {
        if (databaseUpdate.CHKUPDATE(sh.state, *sh.areas, ui) != settings::UpdateResult::Stopped) return;
        shell::exitCleanup(sh);
        std::exit(0);
    };
    const platform::SystemMedia media;
    hooks.MP3TRANSFER = [&sh, &media] { output::MP3TRANSFER(sh, media); };
    // The open database: its panel over the client area, its commands behind the menu's hooks.
    table::TableWindow tableWindow(sh);
    gui::TablePanel panel(window);
    tableWindow.setView(&panel);
    tableWindow.install();
    // The playlists and the player; saving, deleting and appending databases.
    hooks.M3UEXPORT = [&sh] { output::PlaylistExport(sh).M3UEXPORT(); };
    hooks.M3UEXSINGLE = [&sh] { output::PlaylistExport(sh).M3UEXSINGLE(); };
    hooks.MP3SAVEAS = [&sh] { trackdb::MP3SAVEAS(sh); };
    hooks.MP3FDELETE = [&sh] { trackdb::MP3FDELETE(sh); };
    hooks.APPENDFROM = [&sh] { return trackdb::APPENDFROM(sh); };
    // Filter, search and statistics of the open database.
    query::Queries queries(sh);
    queries.install();
    window.applyRectangle(rect);
    window.show();

    eventLoopRunning = true;
    const int rc = app.exec();
    eventLoopRunning = false;

    // Step 15.
    help.close();
    shell::exitCleanup(sh);
    return rc;
}
