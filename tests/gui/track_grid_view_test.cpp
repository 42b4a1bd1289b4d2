#include "gui/track_grid_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QHelpEvent>
#include <QToolTip>
#include <gtest/gtest.h>

#include "qt_support.h"
#include "shell/settings.h"
#include "table/grid_test_table.h"
#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/track_grid_delegate.h"
#include "gui/track_header_view.h"
#include "gui/track_table_model.h"

namespace klango::gui {
namespace {

using table::gridtest::Track;
namespace track = trackdb::track;

const std::filesystem::path kResources = KLANGO_RESOURCES;

void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, held, modifiers);
    QApplication::sendEvent(target, &event);
}

void click(QWidget* target, QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    sendMouse(target, QEvent::MouseButtonPress, pos, Qt::LeftButton, modifiers);
    sendMouse(target, QEvent::MouseButtonRelease, pos, Qt::LeftButton, modifiers);
}

void pressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

bool isRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) < 90; }

// Twelve tracks, one of them deleted; record numbers follow the artist order except for Zappa,
// whose genre "Acid" puts it first in the genre order.
class TrackGridViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Artwork::setFolder(kResources / "art");
        m_table = table::gridtest::makeTrackTable(m_home, "Grid");
        ASSERT_TRUE(m_table);
        const base::Date today{2026, 12, 9};
        auto add = [&](Track t) { return table::gridtest::addTrack(*m_table, t); };
        m_abba = add({.group = "Abba", .album = "Gold", .title = "Money", .genre = "Pop"});
        m_beatles = add({.group = "Beatles", .album = "Help", .title = "Yesterday", .genre = "Pop", .tagged = true});
        m_cream = add({.group = "Cream", .album = "Wheels", .title = "Crossroads", .track = 3});
        m_table->putN(track::TRSIZE, 3.5);
        m_table->flush();
        m_doors = add({.group = "Doors", .album = "LA Woman", .title = "Riders", .played = 2, .playDate = today,
                       .playTime = "10:05:00"});
        m_eagles = add({.group = "Eagles", .album = "Hotel", .title = "Hotel California", .import = 1});
        m_floyd = add({.group = "Floyd", .album = "Wall", .title = "Mother"});
        m_table->deleteRecord();
        m_table->flush();
        for (const char* group : {"Genesis", "Heart", "Iggy", "Jethro", "Kinks"}) {
            add({.group = group, .album = "Album", .title = "Song"});
        }
        m_zappa = add({.group = "Zappa", .album = "Apostrophe", .title = "Cosmik", .genre = "Acid"});
        m_state.NS_FONTSIZE = 1;
        m_table->goTo(m_beatles);
        m_grid = std::make_unique<table::TrackGridModel>(*m_table);
        m_sort = std::make_unique<table::TableSort>(*m_table);
    }

    void TearDown() override {
        m_sort.reset();
        m_grid.reset();
    }

    std::unique_ptr<TrackGridView> makeView(QSize size = QSize(900, 330)) {
        auto view = std::make_unique<TrackGridView>(*m_grid, *m_sort, m_state, m_clock);
        view->resize(size);
        view->show();
        test::spinUntil([&] { return view->isVisible(); });
        QApplication::processEvents();
        return view;
    }

    QPoint cellCentre(const TrackGridView& view, int row, int column = table::kGroupColumn) {
        return view.visualRect(view.tableModel()->index(row, column)).center();
    }

    klango::test::TempHome m_home;
    std::unique_ptr<dbf::DbfTable> m_table;
    uint32_t m_abba = 0, m_beatles = 0, m_cream = 0, m_doors = 0, m_eagles = 0, m_floyd = 0, m_zappa = 0;
    shell::AppState m_state;
    platform::FixedClock m_clock{{base::Date{2026, 12, 9}, 15, 20, 0}};
    // Both borrow the table, so they are made after it and go before it.
    std::unique_ptr<table::TrackGridModel> m_grid;
    std::unique_ptr<table::TableSort> m_sort;
};

TEST_F(TrackGridViewTest, HeadersCellsPicturesAndColours) {
    auto view = makeView();
    TrackTableModel* model = view->tableModel();
    EXPECT_EQ(view->objectName(), "OLBX");
    // The first grid of a table starts in the artist order with its header red.
    EXPECT_EQ(m_sort->activeColumn(), table::kGroupColumn);
    EXPECT_EQ(m_table->orderNumber(), 1);

    const QStringList headers = {" ",      " Interpret", " Albumtitel", " Songtitel", " Diskname", " Genre",
                                 " Jahr",  "LZeit ",     "Note ",       " Info",      "gesp. ",    " am",
                                 " um",    " Tag",       " Pfad",       u8q("Größe mb")};
    ASSERT_EQ(model->columnCount(), 16);
    for (int c = 0; c < 16; ++c) EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), headers[c]) << c;
    EXPECT_EQ(model->headerData(table::kTimeColumn, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(model->headerData(table::kPlayDateColumn, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignHCenter | Qt::AlignVCenter));

    // The deleted track has no row; rows follow the artist order.
    ASSERT_EQ(model->rowCount(), 11);
    EXPECT_EQ(m_grid->rowOf(m_floyd), std::nullopt);
    const int cream = *m_grid->rowOf(m_cream);
    auto cell = [&](int row, int column, int role = Qt::DisplayRole) { return model->index(row, column).data(role); };
    EXPECT_EQ(cell(cream, table::kGroupColumn).toString(), " Cream");
    EXPECT_EQ(cell(cream, table::kTimeColumn).toString(), "03:30 ");
    EXPECT_EQ(cell(cream, table::kTimeColumn, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(cell(cream, table::kGroupColumn, Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_EQ(cell(cream, table::kSizeColumn).toString(), "     3,50 ");
    EXPECT_EQ(cell(cream, table::kTitleColumn).toString(), " Crossroads");
    EXPECT_FALSE(model->flags(model->index(cream, table::kTitleColumn)) & Qt::ItemIsEditable);
    // ShowTrak is read at every cell.
    m_state.LS_SHOWTRAK = true;
    EXPECT_EQ(cell(cream, table::kTitleColumn).toString(), " 03 Crossroads");
    m_state.LS_SHOWTRAK = false;

    // State pictures: marked, played today (more than two hours ago), imported, nothing special.
    const QSize side(TrackTableModel::kPictureSide, TrackTableModel::kPictureSide);
    auto picture = [&](uint32_t recno) {
        return cell(*m_grid->rowOf(recno), table::kStateColumn, Qt::DecorationRole).value<QPixmap>().toImage();
    };
    ASSERT_FALSE(Artwork::pixmap("MRed", side).isNull());
    EXPECT_EQ(picture(m_beatles), Artwork::pixmap("MRed", side).toImage());
    EXPECT_EQ(picture(m_doors), Artwork::pixmap("MBlue", side).toImage());
    EXPECT_EQ(picture(m_eagles), Artwork::pixmap("MGreen", side).toImage());
    EXPECT_EQ(picture(m_abba), Artwork::pixmap("MWhite", side).toImage());
    EXPECT_FALSE(cell(0, table::kGroupColumn, Qt::DecorationRole).isValid());
    EXPECT_FALSE(cell(0, table::kStateColumn).isValid());

    // Odd positions white, even ones pale green; text black.
    EXPECT_EQ(cell(0, 3, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 255));
    EXPECT_EQ(cell(1, 3, Qt::BackgroundRole).value<QBrush>().color(), QColor(227, 245, 241));
    EXPECT_EQ(cell(2, 3, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 255));
    EXPECT_EQ(cell(1, 3, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));

    // Font, row and header heights.
    EXPECT_EQ(view->font().pixelSize(), 14);
    EXPECT_EQ(view->font().family(), "Arial");
    EXPECT_EQ(TrackGridView::gridFont(2).pixelSize(), 16);
    EXPECT_EQ(TrackGridView::gridFont(3).pixelSize(), 22);
    EXPECT_EQ(TrackGridView::gridFont(0).pixelSize(), 22);
    EXPECT_EQ(view->rowHeight(5), TrackGridView::defaultRowHeight(view->font()) + 2);
    QHeaderView plain(Qt::Horizontal);
    plain.setFont(view->font());
    plain.setModel(model);
    EXPECT_EQ(view->trackHeader()->height(), plain.sizeHint().height() + 7);
    EXPECT_FALSE(view->showGrid());
    QStyleOptionViewItem option;
    option.initFrom(view.get());
    EXPECT_EQ(QColor::fromRgba(QRgb(view->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, view.get()))),
              QColor(128, 128, 128));
    EXPECT_FALSE(view->verticalHeader()->isVisible());
    EXPECT_EQ(view->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

    // What the user sees: the current record's row selected, the header gradient and the red
    // header of the active order.
    EXPECT_EQ(view->currentRow(), *m_grid->rowOf(m_beatles));
    test::screenshot(view.get(), "track_grid");
    const QImage shot = view->grab().toImage();
    const QPoint origin = view->trackHeader()->mapTo(view.get(), QPoint(0, 0));
    const int headerHeight = view->trackHeader()->height();
    auto section = [&](int column) {
        return QRect(origin.x() + view->trackHeader()->sectionViewportPosition(column), origin.y(),
                     view->trackHeader()->sectionSize(column), headerHeight);
    };
    const QRect album = section(table::kAlbumColumn);
    const QRgb top = shot.pixel(album.right() - 3, album.top() + 1);
    const QRgb bottom = shot.pixel(album.right() - 3, album.bottom() - 1);
    EXPECT_GT(qRed(top), 225);
    EXPECT_LT(qRed(bottom), 60);
    EXPECT_GT(qGreen(bottom), 100);
    EXPECT_GT(qBlue(bottom), 100);
    auto redPixels = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x < r.right(); ++x) n += isRed(shot.pixel(x, y));
        return n;
    };
    EXPECT_GT(redPixels(section(table::kGroupColumn)), 5);
    EXPECT_EQ(redPixels(album), 0);
    const QRect selected = view->visualRect(model->index(view->currentRow(), table::kDiscColumn))
                               .translated(view->viewport()->mapTo(view.get(), QPoint(0, 0)));
    const QRgb selectedBottom = shot.pixel(selected.center().x(), selected.bottom());
    EXPECT_LT(qRed(selectedBottom), 170);
    EXPECT_EQ(qRed(selectedBottom), qGreen(selectedBottom));
    EXPECT_GT(qRed(shot.pixel(selected.center().x(), selected.top())), 225);
}

TEST_F(TrackGridViewTest, HeaderClicksChangeTheOrderAndKeepTheRecord) {
    auto view = makeView();
    QSignalSpy sorted(view.get(), &TrackGridView::sortChanged);
    QSignalSpy moved(view.get(), &TrackGridView::currentRowChanged);
    QWidget* header = view->trackHeader()->viewport();
    auto headerPoint = [&](int column) {
        const TrackHeaderView* h = view->trackHeader();
        return QPoint(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2);
    };

    click(header, headerPoint(table::kGenreColumn));
    EXPECT_EQ(sorted.count(), 1);
    EXPECT_EQ(m_table->orderNumber(), 4);
    EXPECT_EQ(m_sort->activeColumn(), table::kGenreColumn);
    // Acid (Zappa) comes first now; the current record stayed current and the pointer stayed on it.
    EXPECT_EQ(view->tableModel()->index(0, table::kGroupColumn).data().toString(), " Zappa");
    EXPECT_EQ(m_table->recNo(), m_beatles);
    EXPECT_EQ(view->currentRow(), 2);  // Acid Zappa, Pop Abba, Pop Beatles
    EXPECT_EQ(m_grid->recordAt(view->currentRow()), m_beatles);
    EXPECT_EQ(moved.count(), 0);

    // A second click on the active header and a click on a column without an order do nothing.
    click(header, headerPoint(table::kGenreColumn));
    click(header, headerPoint(table::kYearColumn));
    click(header, headerPoint(table::kPathColumn));
    EXPECT_EQ(sorted.count(), 1);
    EXPECT_EQ(m_table->orderNumber(), 4);
    EXPECT_EQ(m_sort->activeColumn(), table::kGenreColumn);
    EXPECT_EQ(view->currentRow(), 2);
    // No header click selects a column of cells.
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 1);
}

TEST_F(TrackGridViewTest, ColumnWidthsComeBackExactlyUnlessResized) {
    auto view = makeView();
    const std::array<double, table::kColumnCount> widths = table::columnWidths(m_state.settings());
    view->setColumnWidths(widths);
    EXPECT_EQ(view->columnWidth(0), 18);
    EXPECT_EQ(view->columnWidth(1), 208);
    EXPECT_EQ(view->columnWidth(3), 253);
    EXPECT_EQ(view->columnWidth(table::kPathColumn), 400);

    std::vector<double> back = view->columnWidths();
    ASSERT_EQ(back.size(), 16u);
    EXPECT_EQ(back[0], 18.1);
    EXPECT_EQ(back[1], 208.15);
    EXPECT_EQ(back[3], 253.4);
    EXPECT_EQ(back[table::kPathColumn], 400.0);

    // A refresh keeps the widths; a column the user drags takes its new pixel width.
    view->refresh();
    view->trackHeader()->resizeSection(2, 150);
    back = view->columnWidths();
    EXPECT_EQ(back[0], 18.1);
    EXPECT_EQ(back[2], 150.0);

    // Widths that are no usable size keep the column visible.
    std::array<double, table::kColumnCount> bad = widths;
    bad[1] = 0.2;
    bad[2] = std::numeric_limits<double>::quiet_NaN();
    view->setColumnWidths(bad);
    EXPECT_EQ(view->columnWidth(1), 1);
    EXPECT_EQ(view->columnWidth(2), 1);
}

TEST_F(TrackGridViewTest, ClicksKeysAndTheContextMenuReportTheirRow) {
    auto view = makeView();
    QWidget* cells = view->viewport();
    QSignalSpy clicked(view.get(), &TrackGridView::rowClicked);
    QSignalSpy activated(view.get(), &TrackGridView::rowActivated);
    QSignalSpy moved(view.get(), &TrackGridView::currentRowChanged);
    QSignalSpy menu(view.get(), &TrackGridView::contextMenuAt);
    ASSERT_EQ(view->currentRow(), 1);

    click(cells, cellCentre(*view, 4));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toInt(), 4);
    EXPECT_FALSE(clicked[0][1].toBool());
    ASSERT_EQ(moved.count(), 1);  // the panel moves the table pointer on this signal
    EXPECT_EQ(moved[0][0].toInt(), 4);
    EXPECT_EQ(view->currentRow(), 4);
    EXPECT_EQ(m_table->recNo(), m_beatles);  // the view itself leaves the pointer alone

    click(cells, cellCentre(*view, 7, table::kPathColumn), Qt::ShiftModifier);
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked[1][0].toInt(), 7);
    EXPECT_TRUE(clicked[1][1].toBool());
    EXPECT_EQ(view->currentRow(), 7);
    // Ctrl-click on the selected row leaves it selected.
    click(cells, cellCentre(*view, 7), Qt::ControlModifier);
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 1);
    // A click below the last row changes nothing.
    const int clicks = clicked.count();
    click(cells, QPoint(20, view->rowViewportPosition(10) + view->rowHeight(10) + 3));
    EXPECT_EQ(clicked.count(), clicks);
    EXPECT_EQ(view->currentRow(), 7);
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 1);

    // Double click and Enter.
    sendMouse(cells, QEvent::MouseButtonDblClick, cellCentre(*view, 3), Qt::LeftButton);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated[0][0].toInt(), 3);
    EXPECT_EQ(view->currentRow(), 3);
    pressKey(view.get(), Qt::Key_Down);
    EXPECT_EQ(view->currentRow(), 4);
    EXPECT_EQ(moved.last()[0].toInt(), 4);
    pressKey(view.get(), Qt::Key_Return);
    pressKey(view.get(), Qt::Key_Enter);
    ASSERT_EQ(activated.count(), 3);
    EXPECT_EQ(activated[2][0].toInt(), 4);

    // Typing does not search (and so does not move).
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z");
    QApplication::sendEvent(view.get(), &letter);
    EXPECT_EQ(view->currentRow(), 4);

    // Right click: the row becomes current first, then the menu is asked for at the mouse.
    const QPoint at = cellCentre(*view, 9);
    QContextMenuEvent right(QContextMenuEvent::Mouse, at, cells->mapToGlobal(at));
    QApplication::sendEvent(cells, &right);
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu[0][0].toInt(), 9);
    EXPECT_EQ(menu[0][1].toPoint(), cells->mapToGlobal(at));
    EXPECT_EQ(view->currentRow(), 9);
    EXPECT_EQ(moved.last()[0].toInt(), 9);
    QContextMenuEvent below(QContextMenuEvent::Mouse, QPoint(20, cells->height() - 2),
                            cells->mapToGlobal(QPoint(20, cells->height() - 2)));
    QApplication::sendEvent(cells, &below);
    EXPECT_EQ(menu.count(), 1);
    // The menu key opens it on the current row, inside the grid.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), cells->mapToGlobal(QPoint()));
    QApplication::sendEvent(cells, &key);
    ASSERT_EQ(menu.count(), 2);
    EXPECT_EQ(menu[1][0].toInt(), 9);
    EXPECT_TRUE(cells->rect().contains(cells->mapFromGlobal(menu[1][1].toPoint())));
}

TEST_F(TrackGridViewTest, RefreshFollowsTheTableAndTheLastPageShowsTheEnd) {
    auto view = makeView(QSize(600, 140));
    QSignalSpy moved(view.get(), &TrackGridView::currentRowChanged);
    const int fit = view->rowsThatFit();
    ASSERT_GT(fit, 0);
    ASSERT_LT(fit, 11);
    EXPECT_EQ(fit, view->viewport()->height() / view->rowHeight(0));

    // The pointer moved by a command: refresh brings its row into view.
    m_table->goTo(m_zappa);
    view->refresh();
    EXPECT_EQ(view->currentRow(), 10);
    EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));

    // A record appended and one deleted show after the refresh.
    table::gridtest::addTrack(*m_table, {.group = "Aaron", .album = "First", .title = "Song"});
    m_table->goTo(m_cream);
    m_table->deleteRecord();
    m_table->flush();
    m_table->goTo(m_abba);
    view->refresh();
    EXPECT_EQ(view->tableModel()->rowCount(), 11);
    EXPECT_EQ(view->tableModel()->index(0, table::kGroupColumn).data().toString(), " Aaron");
    EXPECT_EQ(view->currentRow(), 1);
    EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));

    // At the end of the table no row is current; the end page shows the last row current
    // without moving the pointer.
    m_table->goBottom();
    m_table->skip(1);
    ASSERT_TRUE(m_table->eof());
    view->refresh();
    EXPECT_EQ(view->currentRow(), -1);
    view->showLastPage();
    EXPECT_EQ(view->currentRow(), 10);
    EXPECT_TRUE(m_table->eof());
    EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));
    EXPECT_EQ(moved.count(), 0);
}

// A text wider than its cell ends in "…" and shows whole as the cell's tooltip; one that fits
// has no tooltip.
TEST_F(TrackGridViewTest, CutTextsEndInAnEllipsisWithTheWholeTextAsTooltip) {
    auto view = makeView();
    view->horizontalHeader()->resizeSection(table::kTitleColumn, 50);
    QAbstractItemModel* model = view->tableModel();
    int row = -1;
    for (int r = 0; r < model->rowCount() && row < 0; ++r)
        if (model->index(r, table::kTitleColumn).data().toString().contains("Hotel California")) row = r;
    ASSERT_GE(row, 0);
    const QFontMetrics metrics(view->font());
    const QString whole = model->index(row, table::kTitleColumn).data().toString();
    EXPECT_TRUE(TrackGridDelegate::shownText(whole, metrics, 50).endsWith(QChar(0x2026)));
    EXPECT_EQ(TrackGridDelegate::shownText(whole, metrics, 2000), whole);

    struct Case {
        int column;
        QString tooltip;
    };
    for (const Case& c : {Case{table::kGroupColumn, QString()}, Case{table::kTitleColumn, whole.trimmed()}}) {
        const QPoint at = cellCentre(*view, row, c.column);
        QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &help);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), c.tooltip) << c.column;
    }
    QToolTip::hideText();
}

}  // namespace
}  // namespace klango::gui
