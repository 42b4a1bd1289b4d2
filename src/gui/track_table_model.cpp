#include "gui/track_table_model.h"

#include <QBrush>
#include <QColor>
#include <cstring>

#include "gui/artwork.h"
#include "gui/qt_text.h"

namespace klango::gui {

namespace {

// The names statePicture() answers, in the order of m_pictures.
constexpr std::array<const char*, 6> kPictureNames = {"MRed", "MBlack", "MBlue", "MWhite", "MGreen", "MPink"};

int pictureSlot(const char* name) {
    for (size_t i = 0; i < kPictureNames.size(); ++i) {
        if (std::strcmp(kPictureNames[i], name) == 0) return int(i);
    }
    return -1;
}

}  // namespace

TrackTableModel::TrackTableModel(table::TrackGridModel& grid, const shell::AppState& state,
                                 const platform::Clock& clock, QObject* parent)
    : QAbstractTableModel(parent), m_grid(grid), m_state(state), m_clock(clock) {
    // Loaded once: a grid paints dozens of state cells per scroll step.
    for (size_t i = 0; i < kPictureNames.size(); ++i) {
        m_pictures[i] = Artwork::pixmap(QString::fromLatin1(kPictureNames[i]), QSize(kPictureSide, kPictureSide));
    }
}

int TrackTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.rowCount();
}

int TrackTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table::kColumnCount;
}

Qt::Alignment TrackTableModel::alignment(int column) {
    if (column < 0 || column >= table::kColumnCount) return Qt::AlignLeft | Qt::AlignVCenter;
    switch (table::trackColumns()[size_t(column)].align) {
    case table::Align::kRight:
        return Qt::AlignRight | Qt::AlignVCenter;
    case table::Align::kCenter:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case table::Align::kLeft:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QPixmap TrackTableModel::statePixmap(const char* name) const {
    const int slot = name ? pictureSlot(name) : -1;
    return slot < 0 ? QPixmap() : m_pictures[size_t(slot)];
}

QVariant TrackTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= table::kColumnCount) return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column == table::kStateColumn) return {};
        return toQ(m_grid.cellText(row, column, m_state.LS_SHOWTRAK));
    case Qt::DecorationRole:
        if (column != table::kStateColumn) return {};
        return statePixmap(m_grid.statePicture(row, m_clock));
    case Qt::BackgroundRole: {
        const table::Rgb rgb = m_grid.background(row);
        return QBrush(QColor(rgb.red, rgb.green, rgb.blue));
    }
    case Qt::ForegroundRole:
        return QBrush(Qt::black);
    case Qt::TextAlignmentRole:
        return int(alignment(column));
    default:
        return {};
    }
}

QVariant TrackTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= table::kColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (role) {
    case Qt::DisplayRole:
        return toQ(table::trackColumns()[size_t(section)].header);
    case Qt::TextAlignmentRole:
        return int(alignment(section));
    case Qt::ForegroundRole:
        return QBrush(Qt::black);
    default:
        return {};
    }
}

Qt::ItemFlags TrackTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

void TrackTableModel::reset() {
    beginResetModel();
    m_grid.refresh();
    endResetModel();
}

}  // namespace klango::gui
