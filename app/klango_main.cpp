// klango: the desktop program. Runs the start-up in its order, the main window's event loop and
// the exit clean-up; takes no command-line arguments and reads no environment variable.

#include <QApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMessageBox>
#include <QScreen>

#include "platform/executable_path.h"
#include "base/error.h"
#include "shell/startup.h"
#include "table/table_window.h"
#include "trackdb/mp3_import.h"
#include "output/transfer_command.h"
#include "platform/media.h"
#include "gui/about_box.h"
#include "gui/artwork.h"
#include "gui/dialog_style.h"
#include "gui/edit_dialog_view.h"
#include "gui/help_window.h"
#include "gui/import_dialog_view.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "gui/table_panel.h"
#include "gui/transfer_dialog_view.h"
#include "gui/transfer_media_views.h"

namespace {

using namespace klango;

// The error handler of the run, installed before anything else. Until the error log exists it
// tells the user what failed and lets the operation take its default result.
void installErrorHandler() {
    base::setErrorHandler([](const base::ErrorRecord& error) {
        QMessageBox::warning(QApplication::activeWindow(), gui::u8q("Fehler"), gui::toQ(base::errorMessage(error)));
        return base::ErrorAnswer::fallBack();
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt's own dialogs (files, folders, the standard buttons) speak German like the program.
    QTranslator qtGerman;
    if (qtGerman.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtGerman);
    installErrorHandler();

    gui::QtUi ui;
    gui::ImportDialogView::registerWith(ui);
    gui::EditDialogView::registerWith(ui);
    gui::TransferDialogView::registerWith(ui);
    gui::registerTransferMediaViews(ui);
    shell::Shell sh(ui);
    ui.setState(sh.state);

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
    shell::afterStartScreen(sh);
    gui::HelpWindow help;
    help.setHelpFolder(sh.state.CRUNIN / "help");
    ui.setHelpWindow(&help);

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
    const platform::SystemMedia media;
    hooks.MP3TRANSFER = [&sh, &media] { output::MP3TRANSFER(sh, media); };
    // The open database: its panel over the client area, its commands behind the menu's hooks.
    table::TableWindow tableWindow(sh);
    gui::TablePanel panel(window);
    tableWindow.setView(&panel);
    tableWindow.install();
    window.applyRectangle(rect);
    window.show();

    const int rc = app.exec();

    // Step 15.
    help.close();
    shell::exitCleanup(sh);
    return rc;
}
