#include "gui/track_header_view.h"

#include <QLinearGradient>
#include <QPainter>

#include "table/table_sort.h"

namespace klango::gui {

namespace {

const QColor kGradientTop(255, 255, 255);
const QColor kGradientBottom(0, 128, 128);
const QColor kSectionLine(128, 128, 128);

}  // namespace

TrackHeaderView::TrackHeaderView(const table::TableSort& sort, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_sort(sort) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
}

QSize TrackHeaderView::sizeHint() const {
    QSize hint = QHeaderView::sizeHint();
    hint.setHeight(hint.height() + kExtraHeight);
    return hint;
}

void TrackHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) return;
    painter->save();
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, kGradientTop);
    gradient.setColorAt(1, kGradientBottom);
    painter->fillRect(rect, gradient);
    // A line right of each section shows where a column can be resized.
    painter->setPen(kSectionLine);
    painter->drawLine(rect.topRight(), rect.bottomRight());

    const QAbstractItemModel* headerModel = model();
    if (headerModel) {
        const QString text = headerModel->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        const QVariant align = headerModel->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole);
        const Qt::Alignment alignment =
            align.isValid() ? Qt::Alignment(align.toInt()) : (Qt::AlignLeft | Qt::AlignVCenter);
        painter->setPen(logicalIndex == m_sort.activeColumn() ? QColor(Qt::red) : QColor(Qt::black));
        painter->setFont(font());
        painter->drawText(rect.adjusted(1, 0, -1, 0), int(alignment) | Qt::TextSingleLine, text);
    }
    painter->restore();
}

}  // namespace klango::gui
