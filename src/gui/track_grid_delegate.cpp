#include "gui/track_grid_delegate.h"

#include <QLinearGradient>
#include <QPainter>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPixmap>
#include <QToolTip>
#include <algorithm>

namespace klango::gui {

namespace {

const QColor kSelectedTop(255, 255, 255);
const QColor kSelectedBottom(128, 128, 128);

}  // namespace

QString TrackGridDelegate::shownText(const QString& text, const QFontMetrics& metrics, int cellWidth) {
    // One pixel of margin on each side, as the text is drawn.
    return metrics.elidedText(text, Qt::ElideRight, std::max(0, cellWidth - 2));
}

bool TrackGridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || !index.isValid()) return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty() && shownText(text, QFontMetrics(option.font), option.rect.width()) != text) {
        QToolTip::showText(event->globalPos(), text.trimmed(), view, option.rect);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

void TrackGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    // Drawn by hand rather than through the style: a million-row grid repaints whole pages while
    // scrolling, and the colours must not depend on the desktop theme.
    const QRect rect = option.rect;
    painter->save();
    if (option.state & QStyle::State_Selected) {
        QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
        gradient.setColorAt(0, kSelectedTop);
        gradient.setColorAt(1, kSelectedBottom);
        painter->fillRect(rect, gradient);
    } else {
        const QVariant background = index.data(Qt::BackgroundRole);
        painter->fillRect(rect, background.isValid() ? background.value<QBrush>() : QBrush(Qt::white));
    }
    painter->setClipRect(rect);

    const QVariant decoration = index.data(Qt::DecorationRole);
    if (decoration.isValid()) {
        const QPixmap picture = decoration.value<QPixmap>();
        if (!picture.isNull()) {
            const QSize side = picture.deviceIndependentSize().toSize();
            painter->drawPixmap(QPoint(rect.left() + 1, rect.top() + (rect.height() - side.height()) / 2), picture);
        }
    }

    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        const QVariant align = index.data(Qt::TextAlignmentRole);
        const int flags =
            (align.isValid() ? align.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter)) | Qt::TextSingleLine;
        painter->setPen(Qt::black);
        painter->setFont(option.font);
        painter->drawText(rect.adjusted(1, 0, -1, 0), flags, shownText(text, QFontMetrics(option.font), rect.width()));
    }
    painter->restore();
}

}  // namespace klango::gui
