#include "gui/table_panel.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlatformSurfaceEvent>
#include <QWindow>
#include <QToolBar>
#include <gtest/gtest.h>

#include "qt_support.h"
#include "base/profile_file.h"
#include "table/grid_test_table.h"
#include "table/table_sort.h"
#include "gui/artwork.h"
#include "gui/main_window.h"
#include "gui/message_bar.h"
#include "gui/qt_text.h"
#include "gui/track_table_model.h"

namespace klango::gui {
namespace {

using table::gridtest::Track;
namespace track = trackdb::track;

const std::filesystem::path kResources = KLANGO_RESOURCES;

using test::menuTexts;

// The program's main window with a database "Rock" opened into its table panel.
class TablePanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Artwork::setFolder(kResources / "art");
        {
            auto t = table::gridtest::makeTrackTable(s.home, "Rock");
            ASSERT_TRUE(t);
            const base::Date today{2026, 12, 9};
            table::gridtest::addTrack(*t, {.group = "Queen", .album = "A Night at the Opera",
                                           .title = "Bohemian Rhapsody", .time = "05:55", .range = 9});
            table::gridtest::addTrack(*t, {.group = "Die \xC4rzte", .album = "Planet Punk", .title = "Schrei nach Liebe",
                                           .genre = "Punk", .tagged = true});
            table::gridtest::addTrack(*t, {.group = "Abba", .album = "Arrival", .title = "Dancing Queen", .genre = "Pop",
                                           .played = 3, .playDate = today, .playTime = "10:15"});
            table::gridtest::addTrack(*t, {.group = "Nena", .album = "Nena", .title = "99 Luftballons", .genre = "Pop",
                                           .import = 1});
            t->close();
        }
        window = std::make_unique<MainWindow>(s.shell, s.ui);
        s.shell.hooks.quit = [this] { window->close(); };
        s.shell.hooks.helpContents = [] {};
        s.shell.hooks.MP3IMPORT = [] { return false; };
        panel = std::make_unique<TablePanel>(*window);
        tableWindow = std::make_unique<table::TableWindow>(s.shell, clock);
        tableWindow->setView(panel.get());
        tableWindow->install();
        window->resize(1024, 600);
        window->show();
        s.shell.state.CFILE = "Rock";
        ASSERT_EQ(tableWindow->MP3TABLE(false), std::optional<bool>(true));
        window->refreshMenu();
        QApplication::processEvents();
    }
    void TearDown() override {
        tableWindow->MP3DLGCLOSE();
        s.shell.areas->closeAll();
    }

    std::string setting(const char* section, const char* key) const {
        base::clearProfileCache();
        return base::readProfileString(s.shell.state.CINIFILE, section, key, "<none>");
    }

    test::StartedShell s;
    platform::FixedClock clock{platform::LocalTime{{2026, 12, 9}, 11, 0, 0}};
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TablePanel> panel;
    std::unique_ptr<table::TableWindow> tableWindow;
};

TEST_F(TablePanelTest, OpenDatabaseShowsGridButtonBarAndMessageBar) {
    ASSERT_TRUE(panel->isVisible());
    TrackGridView* grid = panel->grid();
    ASSERT_NE(grid, nullptr);
    QAbstractItemModel* model = grid->model();
    ASSERT_EQ(model->rowCount(), 4);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), u8q(" Interpret"));
    EXPECT_EQ(model->headerData(15, Qt::Horizontal).toString(), u8q("Größe mb"));
    // Artist order: Abba, Die Ärzte, Nena, Queen.
    EXPECT_EQ(model->index(1, 1).data().toString(), u8q(" Die Ärzte"));
    EXPECT_EQ(model->index(3, 7).data().toString(), u8q("05:55 "));
    const QImage red = Artwork::pixmap(QStringLiteral("MRed"), QSize(16, 16)).toImage();
    const QImage marked = model->index(1, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
    EXPECT_EQ(marked.convertToFormat(QImage::Format_ARGB32).scaled(16, 16),
              red.convertToFormat(QImage::Format_ARGB32).scaled(16, 16));

    // The bar: every button in its order with its tool tip, separators between the groups.
    QToolBar* bar = panel->buttonBar();
    ASSERT_NE(bar, nullptr);
    QStringList pictures;
    int separators = 0;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator()) {
            ++separators;
            continue;
        }
        pictures << a->objectName();
    }
    EXPECT_EQ(pictures.join(' '), QStringLiteral("NEWFILEK OPENFILEK SAVEASK MARKALLK MARKIERENK PLAYLISTK MAKECOPY "
                                                 "STATIST GOTOAK GOTODK GOTOGK GOTOJK GOTOMK GOTOPK GOTOSK GOTOVK "
                                                 "GOTOYK SUCHENK FILTERONK FILTEROFFK SETUPK HILFEK ENDEK"));
    EXPECT_EQ(separators, 6);
    EXPECT_EQ(panel->button("GOTOJK")->toolTip(), u8q("Gehe zu 'J'"));
    EXPECT_EQ(panel->button("OPENFILEK")->toolTip(), u8q("Datenbank öffnen"));
    EXPECT_EQ(panel->button("SETUPK")->toolTip(), u8q("Einstellungen"));
    // One track is marked: the mark-all button offers to remove the marks; no player: no playlist.
    EXPECT_EQ(panel->button("MARKALLK")->toolTip(), u8q("Alle Markierungen entfernen"));
    EXPECT_FALSE(panel->button("PLAYLISTK")->isEnabled());
    EXPECT_FALSE(panel->button("FILTEROFFK")->isEnabled());

    MessageBar* bar2 = window->messageBar();
    EXPECT_EQ(bar2->item(ui::MessageItem::Base)->text(), u8q("Rock"));
    EXPECT_EQ(bar2->item(ui::MessageItem::Records)->text(), u8q("Titel: 4"));
    EXPECT_EQ(bar2->item(ui::MessageItem::Tagged)->text(), u8q("Markiert: 1"));
    EXPECT_EQ(bar2->item(ui::MessageItem::Filter)->text(), u8q("kein Filter"));
    EXPECT_TRUE(window->action("&Editieren")->isEnabled());
    EXPECT_TRUE(window->action("Alle Markierungen a&ufheben")->isEnabled());

    test::screenshot(window.get(), "table_window");
}

TEST_F(TablePanelTest, ButtonsRunTheirCommandsAndFollowTheMarks) {
    panel->button("MARKALLK")->trigger();  // one is marked: remove all marks
    EXPECT_EQ(window->messageBar()->item(ui::MessageItem::Tagged)->text(), u8q("Markiert: 0"));
    EXPECT_EQ(panel->button("MARKALLK")->toolTip(), u8q("Alle Titel markieren"));
    EXPECT_FALSE(window->action("Alle Markierungen a&ufheben")->isEnabled());
    panel->button("MARKALLK")->trigger();
    EXPECT_EQ(window->messageBar()->item(ui::MessageItem::Tagged)->text(), u8q("Markiert: 4"));
    // The button's message-bar text follows what it would do now.
    panel->button("MARKALLK")->hover();
    EXPECT_EQ(window->messageBar()->text(), u8q("Alle Markierungen entfernen"));
    EXPECT_TRUE(window->action("Alle Markierungen a&ufheben")->isEnabled());

    // "Gehe zu 'N'" is no button; 'M' lands on Nena, the first artist at or after M.
    panel->button("GOTOMK")->trigger();
    EXPECT_EQ(panel->grid()->currentRow(), 2);

    // "Programm verlassen" closes the panel (storing the widths) and the window.
    panel->button("ENDEK")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(s.shell.state.LTAB_OPEN);
    EXPECT_EQ(setting("Browse", "0"), "16");
    EXPECT_EQ(setting("Browse", "1"), "18.1");
}

TEST_F(TablePanelTest, ContextMenuEntriesFollowTheTable) {
    std::unique_ptr<QMenu> menu(panel->buildContextMenu(nullptr));
    EXPECT_EQ(menuTexts(menu->actions()).join('|'),
              u8q("Titel &markieren|-|&Editieren|Diesen Titel &abspielen|&Löschen|-|&Playliste erzeugen|-|"
                  "&Filter setzen|Filter a&ufheben|-|Titel &suchen"));
    QMenu* marks = menu->actions().front()->menu();
    ASSERT_NE(marks, nullptr);
    EXPECT_EQ(menuTexts(marks->actions()).join('|'),
              u8q("Diesen Titel (De-)&Markieren|&Alle Titel markieren|Alle Markierungen a&ufheben|-|"
                  "Markierung &beginnt hier|Markierung &endet hier"));
    EXPECT_TRUE(marks->actions()[2]->isEnabled());   // a track is marked
    EXPECT_TRUE(marks->actions()[5]->isEnabled());   // the anchor is the first record
    EXPECT_FALSE(menu->actions()[3]->isEnabled());   // playing comes with the playlist
    EXPECT_FALSE(menu->actions()[9]->isEnabled());   // no filter to lift
    EXPECT_TRUE(menu->actions()[2]->isEnabled());    // editing

    menu->popup(window->mapToGlobal(QPoint(200, 200)));
    QApplication::processEvents();
    test::screenshot(menu.get(), "context_menu");
    menu->close();

    // "Diesen Titel (De-)&Markieren" on the current row (Abba, played today at 10:15: MarkDate on).
    marks->actions()[0]->trigger();
    EXPECT_EQ(window->messageBar()->item(ui::MessageItem::Tagged)->text(), u8q("Markiert: 2"));
}

TEST_F(TablePanelTest, AResizeKeepsOrderCurrentRecordAndWidths) {
    TrackGridView* grid = panel->grid();
    ASSERT_TRUE(grid->headerClicked(table::kGenreColumn));
    tableWindow->currentRowChanged(2);
    const uint32_t current = tableWindow->table()->recNo();
    grid->setColumnWidth(1, 300);
    window->resize(800, 500);
    QApplication::processEvents();
    EXPECT_EQ(panel->grid(), grid);  // the same grid, not a new one
    EXPECT_EQ(tableWindow->sort()->activeColumn(), table::kGenreColumn);
    EXPECT_EQ(tableWindow->table()->recNo(), current);
    EXPECT_EQ(grid->columnWidths()[1], 300);
}

// Counts what happens to a native window's surface.
class SurfaceWatch : public QObject {
public:
    int created = 0;
    int destroyed = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::PlatformSurface) {
            auto type = static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType();
            (type == QPlatformSurfaceEvent::SurfaceCreated ? created : destroyed)++;
        }
        return false;
    }
};

// The main window keeps its one native window while databases open and close, the panel is
// rebuilt, the window resized and a "Neu" cancelled: a new native window would flicker and lose
// its place under a window manager.
TEST_F(TablePanelTest, TheNativeMainWindowIsMadeOnce) {
    QWindow* handle = window->windowHandle();
    ASSERT_NE(handle, nullptr);
    const WId id = window->winId();
    SurfaceWatch watch;
    handle->installEventFilter(&watch);

    tableWindow->MP3DLGCLOSE();
    QApplication::processEvents();
    ASSERT_EQ(tableWindow->MP3TABLE(false), std::optional<bool>(true));
    window->resize(700, 450);
    QApplication::processEvents();
    tableWindow->run(table::PanelCommand::NewFile);  // the import is cancelled
    window->refreshMenu();
    QApplication::processEvents();
    ASSERT_NE(panel->grid(), nullptr);

    EXPECT_EQ(window->windowHandle(), handle);
    EXPECT_EQ(window->winId(), id);
    EXPECT_EQ(watch.created, 0);
    EXPECT_EQ(watch.destroyed, 0);
    handle->removeEventFilter(&watch);
}

}  // namespace
}  // namespace klango::gui
