#include "gui/main_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QTimer>

#include "shell/menu_commands.h"
#include "gui/artwork.h"
#include "gui/dialog_style.h"
#include "gui/message_bar.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "gui/table_panel.h"

namespace klango::gui {

MainWindow::MainWindow(shell::Shell& shell, QtUi& ui, QWidget* parent)
    : QMainWindow(parent), m_shell(shell), m_ui(ui) {
    setObjectName(QStringLiteral("OWND"));
    setWindowTitle(toQ(shell.state.CRELEASE));
    const QIcon icon = Artwork::icon(QStringLiteral("KLANGO"));
    if (!icon.isNull()) setWindowIcon(icon);
    setFont(dialogFont(shell.state.OFONT));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    applyColorString(client, "N*/N");
    setCentralWidget(client);

    m_messageBar = new MessageBar(this);
    m_messageBar->setObjectName(QStringLiteral("OMSG"));
    setStatusBar(m_messageBar);
    m_ui.setMainWindow(this);
    m_ui.setMessageBar(m_messageBar);

    buildMenuBar();
    refreshMenu();

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] { m_ui.showHelp(); });
    m_ui.setHelpTopic(kMainHelpTopic);
}

QAction* MainWindow::bind(QAction* action, const std::string& message, shell::EnableRule rule,
                          shell::MenuCommand command, char letter, const std::string& caption) {
    const QString text = toQ(message);
    connect(action, &QAction::hovered, this, [this, text] { m_messageBar->showText(text); });
    connect(action, &QAction::triggered, this, [this, command, letter] {
        m_messageBar->showDefault();
        shell::runMenuCommand(m_shell, command, letter);
        refreshMenu();
    });
    m_bound.push_back({action, rule, command, caption});
    return action;
}

void MainWindow::buildMenuBar() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("OMENU"));
    for (const shell::Menu& menu : m_shell.menu.menus()) {
        if (!menu.isPopup()) {
            QAction* action = bar->addAction(toQ(menu.caption));
            bind(action, menu.message, menu.rule, menu.command, 0, menu.caption);
            continue;
        }
        QMenu* popup = bar->addMenu(toQ(menu.caption));
        connect(popup, &QMenu::aboutToShow, this, &MainWindow::refreshMenu);
        connect(popup, &QMenu::aboutToHide, m_messageBar, &MessageBar::showDefault);
        for (const shell::MenuEntry& entry : menu.entries) {
            if (entry.separator) {
                popup->addSeparator();
                continue;
            }
            bind(popup->addAction(toQ(entry.caption)), entry.message, entry.rule, entry.command, entry.letter,
                 entry.caption);
        }
    }
}

QAction* MainWindow::action(const std::string& caption) const {
    for (const Bound& b : m_bound)
        if (b.caption == caption) return b.action;
    return nullptr;
}

void MainWindow::refreshMenu() {
    for (const Bound& b : m_bound) b.action->setEnabled(shell::entryEnabled(m_shell, b.rule, b.command));
}

shell::DesktopRect desktopRect(const QScreen* screen) {
    if (!screen) return {0, 0, 480, 640};
    const QRect g = screen->availableGeometry();
    return {g.top(), g.left(), g.top() + g.height(), g.left() + g.width()};
}

shell::FirstSize firstSize(const shell::AppState& state, const shell::DesktopRect& desktop) {
    const int height = std::max(480, (desktop.bottom - desktop.top) * 2 / 3);
    return {TablePanel::wantedWidth(state), height, kFrameAllowanceWidth, kFrameAllowanceHeight};
}

shell::WindowPlacement MainWindow::placement() const {
    const QRect outer = frameGeometry();
    const int menuHeight = menuBar() ? menuBar()->height() : 0;
    return {outer.top(), outer.left(), height(), width(), width(), height() - menuHeight};
}

void MainWindow::applyRectangle(const shell::WindowRect& rect) {
    resize(std::max(1, rect.right - rect.left), std::max(1, rect.bottom - rect.top));
    move(rect.left, rect.top);
}

// The shell's handlers may open dialogs (the settings dialog, the database opened at start);
// they run after the event that asked for them, once for a burst of moves and resizes.
void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    m_moved = true;
    if (!m_handlersQueued) {
        m_handlersQueued = true;
        QTimer::singleShot(0, this, &MainWindow::runPendingHandlers);
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    m_resized = true;
    if (!m_handlersQueued) {
        m_handlersQueued = true;
        QTimer::singleShot(0, this, &MainWindow::runPendingHandlers);
    }
}

void MainWindow::runPendingHandlers() {
    m_handlersQueued = false;
    if (m_inHandler) return;  // a nested event loop of a handler's dialog; the flags stay for later
    m_inHandler = true;
    const bool resized = m_resized, moved = m_moved;
    m_resized = m_moved = false;
    if (resized)
        shell::onResize(m_shell, placement());
    else if (moved)
        shell::onMove(m_shell, placement());
    refreshMenu();
    m_inHandler = false;
    if ((m_moved || m_resized) && !m_handlersQueued) {
        m_handlersQueued = true;
        QTimer::singleShot(0, this, &MainWindow::runPendingHandlers);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shell::onCloseRequest(m_shell);
    event->accept();
}

}  // namespace klango::gui
