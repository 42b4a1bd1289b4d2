#include "gui/track_grid_view.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "gui/track_grid_delegate.h"
#include "gui/track_header_view.h"
#include "gui/track_table_model.h"

namespace klango::gui {

namespace {

const QColor kGridLine(128, 128, 128);

// The application's style with the grid's own line colour, kept although no lines are drawn.
class GridLineStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Table_GridLineColor) return int(kGridLine.rgba());
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One style for every grid, owned by the application: a widget must not outlive its style, and
// a style deleted with the widget's children would be gone before the widget's own teardown.
QStyle* sharedGridStyle() {
    static QPointer<GridLineStyle> style;
    if (!style) {
        style = new GridLineStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

// Sets a flag for the length of a scope, restoring the previous value (moves nest).
class QuietScope {
public:
    explicit QuietScope(bool& flag) : m_flag(flag), m_before(flag) { m_flag = true; }
    ~QuietScope() { m_flag = m_before; }

private:
    bool& m_flag;
    bool m_before;
};

}  // namespace

TrackGridView::TrackGridView(table::TrackGridModel& grid, table::TableSort& sort, const shell::AppState& state,
                             const platform::Clock& clock, QWidget* parent)
    : QTableView(parent),
      m_grid(grid),
      m_sort(sort),
      m_model(new TrackTableModel(grid, state, clock, this)),
      m_header(new TrackHeaderView(sort, this)) {
    setObjectName(QStringLiteral("OLBX"));
    if (m_sort.activeColumn() < 0) m_sort.selectInitial();

    const QFont font = gridFont(state.NS_FONTSIZE);
    setFont(font);
    setStyle(sharedGridStyle());
    // Below the last row the grid stays white, whatever the main window's client colours are.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setItemDelegate(new TrackGridDelegate(this));

    setHorizontalHeader(m_header);
    m_header->setFont(font);
    m_header->setMinimumSectionSize(1);
    m_header->setStretchLastSection(false);
    m_header->setSectionResizeMode(QHeaderView::Interactive);

    // Fixed rows: the vertical header never measures a row, so a million rows cost nothing.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(defaultRowHeight(font) + kExtraRowHeight);

    setModel(m_model);
    connect(m_header, &QHeaderView::sectionClicked, this, [this](int column) { headerClicked(column); });

    std::array<double, table::kColumnCount> widths{};
    for (int c = 0; c < table::kColumnCount; ++c) widths[size_t(c)] = table::trackColumns()[size_t(c)].width;
    setColumnWidths(widths);
    refresh();
}

TrackGridView::~TrackGridView() = default;

QFont TrackGridView::gridFont(long long fontSize) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(fontSize == 1 ? 14 : fontSize == 2 ? 16 : 22);
    return font;
}

int TrackGridView::defaultRowHeight(const QFont& font) {
    // A line of text with one pixel above and below.
    return QFontMetrics(font).height() + 2;
}

void TrackGridView::setColumnWidths(const std::array<double, table::kColumnCount>& widths) {
    for (int c = 0; c < table::kColumnCount; ++c) {
        const double exact = widths[size_t(c)];
        // A width that is no usable number keeps the column visible.
        const int pixels = std::isfinite(exact) ? std::clamp(int(std::lround(exact)), 1, 100000) : 1;
        m_exactWidths[size_t(c)] = exact;
        m_appliedWidths[size_t(c)] = pixels;
        m_header->resizeSection(c, pixels);
    }
}

std::vector<double> TrackGridView::columnWidths() const {
    std::vector<double> widths;
    widths.reserve(table::kColumnCount);
    for (int c = 0; c < table::kColumnCount; ++c) {
        const int now = m_header->sectionSize(c);
        widths.push_back(now == m_appliedWidths[size_t(c)] ? m_exactWidths[size_t(c)] : double(now));
    }
    return widths;
}

void TrackGridView::refresh() {
    const QuietScope quiet(m_quiet);
    const int scrolled = horizontalScrollBar()->value();
    const int column = std::max(0, currentIndex().column());
    m_model->reset();
    if (const auto row = m_grid.currentRow()) {
        const QModelIndex index = m_model->index(*row, column);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    horizontalScrollBar()->setValue(scrolled);
    m_header->viewport()->update();
}

void TrackGridView::showLastPage() {
    const QuietScope quiet(m_quiet);
    const int last = m_model->rowCount() - 1;
    if (last < 0) return;
    const int scrolled = horizontalScrollBar()->value();
    moveToRow(last);
    scrollToBottom();
    horizontalScrollBar()->setValue(scrolled);
}

int TrackGridView::rowsThatFit() const {
    return viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize());
}

int TrackGridView::currentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

bool TrackGridView::headerClicked(int column) {
    if (!m_sort.headerClicked(column)) return false;
    refresh();
    emit sortChanged();
    return true;
}

void TrackGridView::moveToRow(int row) {
    const QModelIndex index = m_model->index(row, std::max(0, currentIndex().column()));
    if (!index.isValid()) return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TrackGridView::mousePressEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint().y());
    const bool left = event->button() == Qt::LeftButton;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    QTableView::mousePressEvent(event);
    if (left && row >= 0) emit rowClicked(row, shift);
}

void TrackGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton && row >= 0) {
        moveToRow(row);
        event->accept();
        emit rowActivated(row);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TrackGridView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        const int row = currentRow();
        if (row >= 0) emit rowActivated(row);
        return;
    }
    QTableView::keyPressEvent(event);
}

void TrackGridView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        const int row = currentRow();
        if (row < 0) return;
        const QRect cell = visualRect(currentIndex());
        emit contextMenuAt(row, viewport()->mapToGlobal(QPoint(cell.left() + 10, cell.center().y())));
        return;
    }
    const int row = rowAt(event->pos().y());
    if (row < 0) return;
    moveToRow(row);
    emit contextMenuAt(row, event->globalPos());
}

void TrackGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!m_quiet && current.isValid() && current.row() != previous.row()) emit currentRowChanged(current.row());
}

QItemSelectionModel::SelectionFlags TrackGridView::selectionCommand(const QModelIndex& index,
                                                                    const QEvent*) const {
    // One row is always the selected one: no Ctrl-click deselects it, no click beside the rows
    // clears it.
    if (!index.isValid()) return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

}  // namespace klango::gui
