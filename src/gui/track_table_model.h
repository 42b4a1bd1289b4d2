// TrackTableModel: the Qt item model of the track grid, a thin adapter that answers each cell
// the view asks for from the borrowed TrackGridModel; it keeps nothing per row, only the six
// state pictures. Owned by TrackGridView; GUI thread only.
#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QSize>
#include <array>

#include "platform/clock.h"
#include "shell/app_state.h"
#include "table/track_grid_model.h"

namespace klango::gui {

class TrackTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The state pictures are drawn on a 16 x 16 grid.
    static constexpr int kPictureSide = 16;

    // grid, state and clock are borrowed and must outlive the model. LS_SHOWTRAK is read at
    // every cell, so a change of the setting shows at the next painting.
    TrackTableModel(table::TrackGridModel& grid, const shell::AppState& state, const platform::Clock& clock,
                    QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole: the cell text; DecorationRole (state column): the state picture;
    // BackgroundRole: the row colour; ForegroundRole: black; TextAlignmentRole: by column, as an
    // int (the form the item delegates read).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Horizontal headers: the column header text, aligned like the cells.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Selectable and enabled, never editable.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // After the table's records or order changed: the grid model renews its rows and every view
    // asks again.
    void reset();

    table::TrackGridModel& grid() const { return m_grid; }
    // One of the state pictures by name ("MRed"); a null pixmap for an unknown name or a
    // missing picture file.
    QPixmap statePixmap(const char* name) const;
    // The alignment flags of a column's cells and header (vertically centred).
    static Qt::Alignment alignment(int column);

private:
    table::TrackGridModel& m_grid;
    const shell::AppState& m_state;
    const platform::Clock& m_clock;
    std::array<QPixmap, 6> m_pictures;
};

}  // namespace klango::gui
