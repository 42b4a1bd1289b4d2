// TablePanel (ODLG): the table panel over the main window's client area while a database is
// open: the button bar (OBAR) across the top and the track grid (OLBX) below it, plus the grid's
// context menu. It is the screen side of the core's table window: it builds its buttons and menu
// from the core's lists, forwards every click to the table window and redraws what the commands
// changed. Made once by the entry routine; each show() builds bar and grid anew for the table
// just opened. GUI thread only.
#pragma once

#include <QPointer>
#include <QToolBar>
#include <QWidget>
#include <vector>

#include "table/table_window.h"
#include "gui/track_grid_view.h"

class QAction;
class QMenu;

namespace klango::gui {

class MainWindow;


class TablePanel : public QWidget, public table::TablePanelView {
    Q_OBJECT
public:
    static constexpr int kButtonSide = 28;

    // The columns the main window shows whole at its first start (state to disc).
    static constexpr int kFirstColumnsShown = 5;

    explicit TablePanel(MainWindow& mainWindow);

    // The client width that shows the whole button bar and the first columns at their widths.
    static int wantedWidth(const shell::AppState& state);

    int show(table::TableWindow& window, const std::array<double, table::kColumnCount>& widths) override;
    std::vector<double> columnWidths() const override;
    void close() override;
    void refresh() override;
    void showLastPage() override;
    void focusGrid() override;

    TrackGridView* grid() const { return m_grid; }
    QToolBar* buttonBar() const { return m_bar; }
    // The bar's action of a button by its picture name ("MARKALLK", ...), or nullptr.
    QAction* button(const char* picture) const;
    // BUILDBAR / BUILDMENU: the context menu for the current row, not yet shown (tests look at
    // it); showContextMenu opens it at a screen position and runs the chosen entry.
    QMenu* buildContextMenu(QWidget* parent);
    void showContextMenu(const QPoint& globalPos);

private:
    void buildBar();
    void connectGrid();
    // Buttons follow the table window: enabled, and the mark-all button's picture and text.
    void updateButtons();
    void runCommand(table::PanelCommand command, char letter = 0);
    void afterCommand();

    MainWindow& m_main;
    table::TableWindow* m_window = nullptr;
    QPointer<QToolBar> m_bar;
    QPointer<TrackGridView> m_grid;
    struct BarAction {
        QAction* action;
        const table::BarButton* button;
    };
    std::vector<BarAction> m_actions;
};

}  // namespace klango::gui
