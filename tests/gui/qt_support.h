// Helpers of the view tests: a program folder with a started shell, screenshots into the build
// folder, and running the event loop until a condition holds.
#pragma once

#include <QAction>
#include <QApplication>
#include <QStringList>
#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "shell/startup.h"
#include "test_helpers/test_helpers.h"
#include "gui/qt_ui.h"

namespace klango::gui::test {

// Saves widget as <build>/screenshots/<name>.png; returns the file.
inline std::filesystem::path screenshot(QWidget* widget, const char* name) {
    const std::filesystem::path folder = std::filesystem::path(KLANGO_BINARY_DIR) / "screenshots";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / (std::string(name) + ".png");
    widget->grab().save(QString::fromStdString(file.string()));
    return file;
}

// The captions of a menu's actions, "-" for a separator.
inline QStringList menuTexts(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

// Lets events through until done() holds or about two seconds of events passed.
inline bool spinUntil(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > 2000) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A program folder and a shell started in it the way the program starts, current folder restored.
struct StartedShell {
    explicit StartedShell(const std::string& ini = {}) {
        const auto cwd = std::filesystem::current_path();
        if (!ini.empty()) klango::test::writeFileBytes(home.root() / "KLANGO.INI", ini);
        shell::startUp(shell, home.root());
        shell::afterStartScreen(shell);
        std::filesystem::current_path(cwd);
        ui.setState(shell.state);
        shell::placeMainWindow(shell, {0, 0, 768, 1024});
        shell::buildMenu(shell);
    }
    klango::test::TempHome home;
    QtUi ui;
    shell::Shell shell{ui};
};

}  // namespace klango::gui::test
