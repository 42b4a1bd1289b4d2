#include "gui/table_panel.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QToolButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "table/panel_commands.h"
#include "table/table_panel_state.h"
#include "table/track_columns.h"
#include "gui/artwork.h"
#include "gui/main_window.h"
#include "gui/message_bar.h"
#include "gui/qt_text.h"
#include "gui/track_grid_view.h"

namespace klango::gui {

namespace {

QIcon buttonIcon(const char* picture, const char* disabledPicture) {
    QIcon icon = Artwork::icon(QString::fromLatin1(picture));
    if (disabledPicture) {
        const QPixmap off = Artwork::pixmap(QString::fromLatin1(disabledPicture),
                                            QSize(TablePanel::kButtonSide, TablePanel::kButtonSide));
        if (!off.isNull()) icon.addPixmap(off, QIcon::Disabled);
    }
    return icon;
}

// Shows a text in the message bar while the mouse is on a widget and the default text after.
class MessageOnHover : public QObject {
public:
    MessageOnHover(MessageBar* bar, QObject* parent) : QObject(parent), m_bar(bar) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Leave && m_bar) m_bar->showDefault();
        return QObject::eventFilter(watched, event);
    }

private:
    MessageBar* m_bar;
};

// The grid's message-bar text while it has the focus.
class FocusMessage : public QObject {
public:
    FocusMessage(MessageBar* bar, QObject* parent) : QObject(parent), m_bar(bar) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (m_bar && event->type() == QEvent::FocusIn) m_bar->showText(u8q(TrackGridView::kFocusMessage));
        if (m_bar && event->type() == QEvent::FocusOut) m_bar->showDefault();
        return QObject::eventFilter(watched, event);
    }

private:
    MessageBar* m_bar;
};

}  // namespace

TablePanel::TablePanel(MainWindow& mainWindow) : QWidget(mainWindow.centralWidget()), m_main(mainWindow) {
    setObjectName(QStringLiteral("ODLG"));
    QWidget* client = mainWindow.centralWidget();
    auto* clientLayout = qobject_cast<QVBoxLayout*>(client->layout());
    if (!clientLayout) {
        clientLayout = new QVBoxLayout(client);
        clientLayout->setContentsMargins(0, 0, 0, 0);
        clientLayout->setSpacing(0);
    }
    clientLayout->addWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setAutoFillBackground(true);
    QWidget::hide();
}

int TablePanel::show(table::TableWindow& window, const std::array<double, table::kColumnCount>& widths) {
    if (m_grid || m_bar) close();
    m_window = &window;
    buildBar();
    m_grid = new TrackGridView(*window.rows(), *window.sort(), window.shell().state, window.clock(), this);
    m_grid->setColumnWidths(widths);
    m_grid->installEventFilter(new FocusMessage(m_main.messageBar(), m_grid));
    layout()->addWidget(m_grid);
    connectGrid();
    QWidget::show();
    layout()->activate();
    m_grid->refresh();
    m_grid->setFocus();
    updateButtons();
    return m_grid->rowsThatFit();
}

namespace {

// The button bar with its buttons, not yet connected; each action with the button it stands for.
QToolBar* newButtonBar(QWidget* parent, std::vector<std::pair<QAction*, const table::BarButton*>>& actions) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("OBAR"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->setIconSize(QSize(TablePanel::kButtonSide, TablePanel::kButtonSide));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const table::BarButton& b : table::barButtons()) {
        if (b.groupStart && !actions.empty()) bar->addSeparator();
        QAction* action = bar->addAction(buttonIcon(b.picture, b.disabledPicture), toQ(b.toolTip));
        action->setObjectName(QString::fromLatin1(b.picture));
        action->setToolTip(toQ(b.toolTip));
        actions.emplace_back(action, &b);
    }
    return bar;
}

}  // namespace

int TablePanel::wantedWidth(const shell::AppState& state) {
    QWidget scratch;
    std::vector<std::pair<QAction*, const table::BarButton*>> actions;
    const int barWidth = newButtonBar(&scratch, actions)->sizeHint().width();
    const std::array<double, table::kColumnCount> widths = table::columnWidths(state.settings());
    double columns = 0;
    for (int c = 0; c < kFirstColumnsShown; ++c) columns += std::isfinite(widths[size_t(c)]) ? widths[size_t(c)] : 0;
    const int scrollBar = scratch.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int frame = 2 * scratch.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int gridWidth = int(std::ceil(std::clamp(columns, 0.0, 10000.0))) + scrollBar + frame;
    return std::max(barWidth, gridWidth);
}

void TablePanel::buildBar() {
    std::vector<std::pair<QAction*, const table::BarButton*>> actions;
    m_bar = newButtonBar(this, actions);
    m_bar->installEventFilter(new MessageOnHover(m_main.messageBar(), m_bar));
    layout()->addWidget(m_bar);
    m_actions.clear();
    for (const auto& [action, button] : actions) {
        const table::BarButton& b = *button;
        const QString message = toQ(b.message);
        const bool markAll = b.command == table::PanelCommand::MarkAllOrNone;
        connect(action, &QAction::hovered, this, [this, message, markAll] {
            if (!m_main.messageBar()) return;
            // The mark-all button speaks of what it would do now.
            m_main.messageBar()->showText(markAll && m_window ? toQ(m_window->panelState().markAllText) : message);
        });
        const table::PanelCommand command = b.command;
        const char letter = b.letter;
        connect(action, &QAction::triggered, this, [this, command, letter] { runCommand(command, letter); });
        m_actions.push_back({action, &b});
    }
}

void TablePanel::connectGrid() {
    TrackGridView* grid = m_grid;
    connect(grid, &TrackGridView::rowClicked, this, [this](int row, bool shift) {
        m_window->rowClicked(row, shift);
        afterCommand();
    });
    connect(grid, &TrackGridView::rowActivated, this, [this](int row) {
        m_window->rowActivated(row);
        afterCommand();
    });
    connect(grid, &TrackGridView::currentRowChanged, this, [this](int row) { m_window->currentRowChanged(row); });
    connect(grid, &TrackGridView::contextMenuAt, this, [this](int, QPoint pos) { showContextMenu(pos); });
}

std::vector<double> TablePanel::columnWidths() const {
    if (!m_grid) return {};
    return m_grid->columnWidths();
}

void TablePanel::close() {
    // The bar or grid may be the sender of the command that closes the panel: they go once the
    // event is done; meanwhile they are hidden and the grid no longer reads the table.
    if (m_grid) {
        m_grid->hide();
        m_grid->disconnect(this);
        m_grid->setModel(nullptr);
        m_grid->deleteLater();
    }
    if (m_bar) {
        m_bar->hide();
        m_bar->deleteLater();
    }
    m_grid = nullptr;
    m_bar = nullptr;
    m_actions.clear();
    QWidget::hide();
    m_main.setFocus();
}

void TablePanel::refresh() {
    if (m_grid) m_grid->refresh();
    updateButtons();
}

void TablePanel::showLastPage() {
    if (m_grid) m_grid->showLastPage();
}

void TablePanel::focusGrid() {
    if (m_grid) m_grid->setFocus();
}

QAction* TablePanel::button(const char* picture) const {
    for (const BarAction& a : m_actions)
        if (QString::fromLatin1(a.button->picture) == QLatin1String(picture)) return a.action;
    return nullptr;
}

void TablePanel::updateButtons() {
    if (!m_window || !m_bar) return;
    const table::TablePanelState& panel = m_window->panelState();
    for (const BarAction& a : m_actions) {
        a.action->setEnabled(m_window->enabled(a.button->command));
        if (a.button->command == table::PanelCommand::MarkAllOrNone) {
            a.action->setIcon(Artwork::icon(QString::fromStdString(panel.markAllPicture)));
            a.action->setToolTip(toQ(panel.markAllText));
            a.action->setText(toQ(panel.markAllText));
        }
    }
}

void TablePanel::runCommand(table::PanelCommand command, char letter) {
    if (!m_window) return;
    if (m_main.messageBar()) m_main.messageBar()->showDefault();
    m_window->run(command, letter);
    afterCommand();
}

void TablePanel::afterCommand() {
    if (m_window && m_window->panelShown()) updateButtons();
    m_main.refreshMenu();
}

QMenu* TablePanel::buildContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("contextMenu"));
    QMenu* marks = menu->addMenu(toQ(table::kMarkMenuCaption));
    MessageBar* bar = m_main.messageBar();
    for (const table::ContextEntry& e : table::contextEntries()) {
        QMenu* into = e.inMarkMenu ? marks : menu;
        if (e.separatorBefore) into->addSeparator();
        QAction* action = into->addAction(toQ(e.caption));
        action->setEnabled(m_window && m_window->enabled(e.command));
        const QString message = toQ(e.message);
        connect(action, &QAction::hovered, menu, [bar, message] {
            if (bar) bar->showText(message);
        });
        const table::PanelCommand command = e.command;
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    if (bar) connect(menu, &QMenu::aboutToHide, bar, &MessageBar::showDefault);
    return menu;
}

void TablePanel::showContextMenu(const QPoint& globalPos) {
    QMenu* menu = buildContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

}  // namespace klango::gui
