// TrackGridDelegate: paints one cell of the track grid: the row colour (the selected row on a
// vertical gradient from white to grey), the state picture at the left, the text in black,
// clipped at the cell. Owned by TrackGridView; GUI thread only.
#pragma once

#include <QStyledItemDelegate>

namespace klango::gui {

class TrackGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Cells are never edited in the grid.
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override {
        return nullptr;
    }
};

}  // namespace klango::gui
