// TrackGridView (OLBX): the track grid of the table panel: sixteen columns over the open track
// table in its current order, one selected row, the header clicks that change the order, and
// the clicks and keys that the table panel turns into commands. Borrows the grid model, the
// sort, the state and the clock; created and connected by the table panel. GUI thread only.
#pragma once

#include <QFont>
#include <QTableView>
#include <array>
#include <vector>

#include "platform/clock.h"
#include "shell/app_state.h"
#include "table/table_sort.h"
#include "table/track_columns.h"
#include "table/track_grid_model.h"

namespace klango::gui {

class TrackHeaderView;
class TrackTableModel;

class TrackGridView : public QTableView {
    Q_OBJECT
public:
    // The message-bar text while the grid has the focus (UTF-8; show it with u8q).
    static constexpr const char* kFocusMessage = "Rechtsklick öffnet das Kontextmenü ...";
    // Rows stand this much taller than a plain line of the grid font.
    static constexpr int kExtraRowHeight = 2;

    // Builds the grid over grid (rows), sort (header clicks, red header), state (LS_SHOWTRAK,
    // NS_FONTSIZE) and clock (state pictures); all four must outlive the view. Before the first
    // grid of a table no column is active: the constructor then selects the artist order
    // (TableSort::selectInitial). The columns start with their fixed widths; the current row is
    // the table's current record.
    TrackGridView(table::TrackGridModel& grid, table::TableSort& sort, const shell::AppState& state,
                  const platform::Clock& clock, QWidget* parent = nullptr);
    ~TrackGridView() override;

    // The grid font by FontSize: "Arial" 14 pixels high for 1, 16 for 2, 22 for any other value.
    static QFont gridFont(long long fontSize);
    // A line of the grid font without the extra height (the row height before kExtraRowHeight).
    static int defaultRowHeight(const QFont& font);

    TrackTableModel* tableModel() const { return m_model; }
    TrackHeaderView* trackHeader() const { return m_header; }

    // Applies the widths (rounded to pixels, at least one) and remembers the exact values.
    void setColumnWidths(const std::array<double, table::kColumnCount>& widths);
    // For each column the exact width last set, or its pixel width when the user resized it
    // since; what closing the panel stores.
    std::vector<double> columnWidths() const;

    // Rereads the table (records and order may have changed) and makes the row of the table's
    // current record current and visible; no row is current at the end of the table. Neither
    // the table pointer moves nor currentRowChanged is emitted.
    void refresh();
    // The last page, with the last row current (the end of the table); the table pointer does
    // not move and currentRowChanged is not emitted.
    void showLastPage();
    // Whole rows the viewport shows (NTABROWS).
    int rowsThatFit() const;
    // The current row, -1 for none.
    int currentRow() const;
    // The row under a point of the viewport, -1 for none.
    int rowAtPoint(const QPoint& viewportPos) const { return rowAt(viewportPos.y()); }
    // A header click on column (0-based): when it changes the order, refreshes keeping the
    // current record and emits sortChanged. False when nothing changed.
    bool headerClicked(int column);

    // Qt's type-to-search reads every row of the model; a million tracks make that a hang.
    void keyboardSearch(const QString&) override {}

signals:
    // A left click on a row (after the row became current); shift: the Shift key was held.
    void rowClicked(int row, bool shift);
    // A double click on a row, or Enter or Return on the current row.
    void rowActivated(int row);
    // The user moved the current row (keys, clicks, the context menu). Emitted from inside the
    // mouse and key handling: a handler moves the table pointer but must not refresh the grid;
    // the other signals may.
    void currentRowChanged(int row);
    // A right click on a row (or the menu key on the current row): the row is current already;
    // globalPos is where the menu opens.
    void contextMenuAt(int row, QPoint globalPos);
    // A header click changed the order; the grid has been refreshed already.
    void sortChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    // Makes row current and selected, keeping the current column.
    void moveToRow(int row);

    table::TrackGridModel& m_grid;
    table::TableSort& m_sort;
    TrackTableModel* m_model;
    TrackHeaderView* m_header;
    std::array<double, table::kColumnCount> m_exactWidths{};
    std::array<int, table::kColumnCount> m_appliedWidths{};
    bool m_quiet = false;  // moves made by the program itself emit no currentRowChanged
};

}  // namespace klango::gui
