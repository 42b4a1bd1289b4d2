// klango: the desktop program. Runs the start-up in its order, the main window's event loop and
// the exit clean-up; takes no command-line arguments and reads no environment variable.

#include <QApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMessageBox>
#include <QScreen>

#include "platform/executable_path.h"
#include "runtime/error.h"
#include "shell/startup.h"
#include "table/table_window.h"
#include "trackdb/mp3_import.h"
#include "ui/qt/about_box.h"
#include "ui/qt/artwork.h"
#include "ui/qt/dialog_style.h"
#include "ui/qt/edit_dialog_view.h"
#include "ui/qt/help_window.h"
#include "ui/qt/import_dialog_view.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_ui.h"
#include "ui/qt/table_panel.h"

namespace {

using namespace klango;

// The error handler of the run, installed before anything else. Until the error log exists it
// tells the user what failed and lets the operation take its default result.
void installErrorHandler() {
    runtime::setErrorHandler([](const runtime::ErrorRecord& error) {
        QMessageBox::warning(QApplication::activeWindow(), qt::u8q("Fehler"), qt::toQ(runtime::errorMessage(error)));
        return runtime::ErrorAnswer::fallBack();
    });
}

shell::DesktopRect desktopRect() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, 480, 640};
    const QRect g = screen->geometry();
    return {g.top(), g.left(), g.top() + g.height(), g.left() + g.width()};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt's own dialogs (files, folders, the standard buttons) speak German like the program.
    QTranslator qtGerman;
    if (qtGerman.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtGerman);
    installErrorHandler();

    qt::QtUi ui;
    qt::ImportDialogView::registerWith(ui);
    qt::EditDialogView::registerWith(ui);
    shell::Shell sh(ui);
    ui.setState(sh.state);

    // Steps 2 to 4: program folder, "Daten", LOADPUBLICS.
    const std::filesystem::path folder = platform::executableFolder();
    shell::startUp(sh, folder);
    qt::Artwork::setFolder(sh.state.CRUNIN / "art");

    // The start screen, closing itself after three seconds or on a click.
    {
        qt::AboutBox start(qt::toQ(sh.state.CRELEASE), true);
        start.exec();
    }

    // Steps 6 to 8: the error log of an earlier run, the table engine, the help.
    shell::afterStartScreen(sh);
    qt::HelpWindow help;
    help.setHelpFolder(sh.state.CRUNIN / "help");
    ui.setHelpWindow(&help);

    // Steps 9 to 14: the main window at its rectangle, with menu, icon and message bar.
    const shell::WindowRect rect = shell::placeMainWindow(sh, desktopRect());
    shell::buildMenu(sh);
    qt::MainWindow window(sh, ui);
    shell::ShellHooks& hooks = sh.hooks;
    hooks.quit = [&window] { window.close(); };
    hooks.ABOUTINFO = [&window, &sh](bool start) {
        qt::AboutBox box(qt::toQ(sh.state.CRELEASE), start, &window);
        qt::placeDialog(&box, sh.state);
        box.exec();
    };
    hooks.helpContents = [&help] { help.showTopic({}); };
    hooks.helpIndex = [&help] { help.showIndex({}); };
    hooks.redrawMenu = [&window] { window.refreshMenu(); };
    hooks.MP3IMPORT = [&sh, &ui] { return trackdb::MP3IMPORT(sh.state, *sh.areas, ui); };
    // The open database: its panel over the client area, its commands behind the menu's hooks.
    table::TableWindow tableWindow(sh);
    qt::TablePanel panel(window);
    tableWindow.setView(&panel);
    tableWindow.install();
    window.applyRectangle(rect);
    window.show();
    window.applyRectangle(rect);  // now that the frame is known

    const int rc = app.exec();

    // Step 15.
    help.close();
    shell::exitCleanup(sh);
    return rc;
}
