// The main window (OWND): title CRELEASE, the program icon, the main menu built from the menu
// data, the message bar with its four items, and the handlers of move, resize and close that
// run the shell's routines. While a table is open the table panel fills the client area (built
// later by the table window). Owned by the entry routine; GUI thread only.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <vector>

#include "shell/startup.h"

namespace klango::gui {

class MessageBar;
class QtUi;

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

    // The rectangle the shell stores: outer position and size, client area below the menu.
    shell::WindowPlacement placement() const;
    // Opens the window at a stored rectangle.
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
