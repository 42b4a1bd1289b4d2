// TrackGridDelegate: paints one cell of the track grid: the row colour (the selected row on a
// vertical gradient from white to grey), the state picture at the left, the text in black; a
// text wider than its cell ends in "…" and shows whole as the cell's tooltip. Owned by
// TrackGridView; GUI thread only.
#pragma once

#include <QFontMetrics>
#include <QStyledItemDelegate>

namespace klango::gui {

class TrackGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The text as the cell shows it: cut to width with "…" where it is wider.
    static QString shownText(const QString& text, const QFontMetrics& metrics, int cellWidth);

    // The tooltip of a cut cell: its whole text.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    // Cells are never edited in the grid.
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override {
        return nullptr;
    }
};

}  // namespace klango::gui
