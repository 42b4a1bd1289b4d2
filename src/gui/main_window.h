// The main window (OWND): title CRELEASE, the program icon, the main menu built from the menu
// data, the message bar with its four items, and the handlers of move, resize and close that
// run the shell's routines. While a table is open the table panel fills the client area (built
// later by the table window). Owned by the entry routine; GUI thread only.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <vector>

#include "shell/startup.h"

namespace klango::gui {

class MessageBar;
class QtUi;

// The desktop the main window is placed on: the screen's area without the desktop's panels
// (0, 0, 480, 640 without a screen).
shell::DesktopRect desktopRect(const QScreen* screen);
// What the first start asks for: the width that shows the whole button bar and the first
// columns, two thirds of the desktop's height but at least 480 pixels, room for a usual frame.
shell::FirstSize firstSize(const shell::AppState& state, const shell::DesktopRect& desktop);

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The main help topic, set while no dialog is open.
    static constexpr const char* kMainHelpTopic = "Hauptauswahl";

    MainWindow(shell::Shell& shell, QtUi& ui, QWidget* parent = nullptr);

    MessageBar* messageBar() const { return m_messageBar; }
    // The action of an entry by its caption (CP1252), or nullptr.
    QAction* action(const std::string& caption) const;
    // Re-evaluates every entry's enable rule (RXSETMENU's redraw, and whenever a menu opens).
    void refreshMenu();

    // The rectangle the shell stores: the frame's top left corner, the window's own size (the
    // frame left out: it is not known before the window manager has framed the window, and a
    // size with it would grow the window at every start), the client area below the menu.
    shell::WindowPlacement placement() const;
    // Gives the window a rectangle before it is shown: its frame at top and left, its own size
    // from the rectangle; whatever frame it gets comes around that.
    void applyRectangle(const shell::WindowRect& rect);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Bound {
        QAction* action;
        shell::EnableRule rule;
        shell::MenuCommand command;
        std::string caption;
    };
    void buildMenuBar();
    QAction* bind(QAction* action, const std::string& message, shell::EnableRule rule,
                  shell::MenuCommand command, char letter, const std::string& caption);
    void runPendingHandlers();

    shell::Shell& m_shell;
    QtUi& m_ui;
    MessageBar* m_messageBar;
    std::vector<Bound> m_bound;
    bool m_moved = false;
    bool m_resized = false;
    bool m_handlersQueued = false;
    bool m_inHandler = false;
};

}  // namespace klango::gui
