// TrackHeaderView: the column headers of the track grid, each drawn in black on a vertical
// gradient from white to teal, the header of the active sort column in red. Reads the borrowed
// TableSort at every painting; owned by TrackGridView. GUI thread only.
#pragma once

#include <QHeaderView>

namespace klango::table {
class TableSort;
}

namespace klango::gui {

class TrackHeaderView : public QHeaderView {
    Q_OBJECT
public:
    // The grid's header stands this much taller than a plain header of its font.
    static constexpr int kExtraHeight = 7;

    explicit TrackHeaderView(const table::TableSort& sort, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    const table::TableSort& m_sort;
};

}  // namespace klango::gui
