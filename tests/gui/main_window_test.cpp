#include "gui/main_window.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <gtest/gtest.h>

#include "qt_support.h"
#include "base/profile_file.h"
#include "gui/artwork.h"
#include "gui/message_bar.h"
#include "gui/qt_text.h"
#include "gui/table_panel.h"

namespace klango::gui {
namespace {

using test::menuTexts;

class MainWindowTest : public ::testing::Test {
protected:
    void fillViewHooks(MainWindow& w) {
        s.shell.hooks.quit = [&w] { w.close(); };
        s.shell.hooks.ABOUTINFO = [this](bool) { ++abouts; };
        s.shell.hooks.helpContents = [] {};
        s.shell.hooks.helpIndex = [] {};
        s.shell.hooks.MP3IMPORT = [] { return false; };
        w.refreshMenu();
    }
    test::StartedShell s{"[Project]\r\nInternet_Menue=&Homepage\r\nInternet_URL=www.example.org\r\n"};
    int abouts = 0;
};

TEST_F(MainWindowTest, TitleMenuAndMessageBar) {
    MainWindow w(s.shell, s.ui);
    fillViewHooks(w);
    w.applyRectangle({0, 0, 480, 640, 633, 454});
    w.show();
    ASSERT_TRUE(test::spinUntil([&] { return w.isVisible(); }));

    EXPECT_EQ(w.windowTitle(), QStringLiteral("Klango v1.50.17"));
    EXPECT_EQ(menuTexts(w.menuBar()->actions()),
              (QStringList{"&Datei", "D&atensatz", "&Gehe zu", "&Filtern", "&Suchen", "&Einstellungen", "&Hilfe"}));
    QMenu* datei = w.menuBar()->actions()[0]->menu();
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(menuTexts(datei->actions()),
              (QStringList{u8q("&Neu"), u8q("&Öffnen"), u8q("&Anfügen aus"), "&Speichern unter", u8q("Datei &löschen"),
                           "-", "Alle Titel &markieren", "Alle Markierungen a&ufheben",
                           u8q("Ma&rkierte Titel löschen"), "&Playliste erzeugen", "-", "Statistik an&zeigen",
                           "Daten&kopie erstellen", "-", "&Verlassen"}));
    QMenu* hilfe = w.menuBar()->actions()[6]->menu();
    EXPECT_EQ(menuTexts(hilfe->actions()),
              (QStringList{"&Dokumentation", "&Hilfeindex", "&Homepage", "-", u8q("&Über Klango")}));

    // Only the commands of the program so far can be chosen.
    QStringList enabled;
    for (QAction* top : w.menuBar()->actions()) {
        if (!top->menu()) {
            if (top->isEnabled()) enabled << top->text();
            continue;
        }
        for (QAction* a : top->menu()->actions())
            if (!a->isSeparator() && a->isEnabled()) enabled << a->text();
    }
    EXPECT_EQ(enabled,
              (QStringList{"&Neu", "&Verlassen", "&Dokumentation", "&Hilfeindex", "&Homepage", u8q("&Über Klango")}));

    MessageBar* bar = w.messageBar();
    EXPECT_EQ(bar->text(), u8q("Wählen Sie Ihre Option ..."));
    EXPECT_EQ(bar->findChild<QLabel*>("messageText")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    const char* names[] = {"OMP3BASE", "OMP3RECS", "OMP3TAGG", "OMP3FILT"};
    const int widths[] = {120, 80, 80, 80};
    int lastX = -1;
    for (int i = 0; i < 4; ++i) {
        QLabel* item = bar->item(ui::MessageItem(i));
        EXPECT_EQ(item->objectName(), names[i]);
        EXPECT_EQ(item->width(), widths[i]);
        EXPECT_TRUE(item->text().isEmpty());
        EXPECT_GT(item->x(), lastX) << "left to right";
        lastX = item->x();
    }
    EXPECT_EQ(bar->item(ui::MessageItem::Filter)->toolTip(), "Filtereinstellung");

    // The commands write the items through the Ui, with their colour strings.
    s.ui.setMessageItem(ui::MessageItem::Filter, "Filter !", "W*+/R");
    s.ui.setMessageItem(ui::MessageItem::Records, "Titel: 12", "N*/W");
    QLabel* filt = bar->item(ui::MessageItem::Filter);
    EXPECT_EQ(filt->text(), "Filter !");
    EXPECT_EQ(filt->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(filt->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_EQ(bar->item(ui::MessageItem::Records)->palette().color(QPalette::Window), QColor(255, 255, 255));
    s.ui.setMessageItem(ui::MessageItem::Base, "Mp3base", "N*/W");
    s.ui.setMessageItem(ui::MessageItem::Tagged, "Markiert: 0", "N*/W");

    // A highlighted entry shows its text; closing the menu brings the default back.
    emit datei->actions()[1]->hovered();
    EXPECT_EQ(bar->text(), u8q("Eine MP3-Datenbank öffnen"));
    bar->showDefault();
    EXPECT_EQ(bar->text(), u8q("Wählen Sie Ihre Option ..."));

    test::screenshot(&w, "main_window");

    // "&Über Klango" and "&Verlassen" work.
    w.action(base::utf8ToCp1252("&Über Klango"))->trigger();
    EXPECT_EQ(abouts, 1);
    w.action("&Verlassen")->trigger();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindowTest, FilledHooksEnableTheirEntriesAndRxsetmenuSwitches) {
    MainWindow w(s.shell, s.ui);
    fillViewHooks(w);
    int searches = 0;
    s.shell.hooks.MP3TABLE = [](bool) { return true; };
    s.shell.hooks.MP3SUCH = [&] {
        ++searches;
        return false;
    };
    w.refreshMenu();
    EXPECT_TRUE(w.action(base::utf8ToCp1252("&Öffnen"))->isEnabled());
    QAction* suchen = w.action("&Suchen");
    EXPECT_FALSE(suchen->isEnabled());  // no table open
    s.shell.state.LTAB_OPEN = true;
    shell::RXSETMENU(s.shell);  // redraws through the hook
    s.shell.hooks.redrawMenu = [&w] { w.refreshMenu(); };
    shell::RXSETMENU(s.shell);
    EXPECT_TRUE(suchen->isEnabled());
    suchen->trigger();
    EXPECT_EQ(searches, 1);
}

TEST_F(MainWindowTest, MoveAndResizeStoreTheRectangleAndRunTheAutoOpen) {
    klango::test::writeFileBytes(s.home.root() / "KLANGO.INI",
                                 "[System]\r\nAutoOpen=1\r\n[Database]\r\nFile=Rock\r\n");
    base::clearProfileCache();
    std::vector<bool> opened;
    s.shell.hooks.MP3TABLE = [&](bool ask) {
        opened.push_back(ask);
        return true;
    };
    int closes = 0;
    s.shell.hooks.MP3DLGCLOSE = [&] { ++closes; };
    {
        MainWindow w(s.shell, s.ui);
        w.applyRectangle({10, 20, 610, 820, 0, 0});
        w.show();
        ASSERT_TRUE(test::spinUntil([&] { return !opened.empty(); }));
        EXPECT_EQ(opened, (std::vector<bool>{false}));  // the last database, without asking
        EXPECT_TRUE(s.shell.state.LAUTOOPEN);
        base::clearProfileCache();
        const shell::Settings settings = s.shell.state.settings();
        EXPECT_EQ(settings.text(shell::keys::kBottom), std::to_string(w.frameGeometry().top() + 600));
        EXPECT_EQ(settings.text(shell::keys::kWidth), std::to_string(w.width()));

        // A table is open: the close request closes its panel first.
        s.shell.state.LTAB_OPEN = true;
        w.close();
        EXPECT_EQ(closes, 1);
    }
}

// The first start, with nothing stored, opens centred on the screen at a width that shows the
// whole button bar and the first columns; every later start opens at the rectangle the window
// had, whatever frame the window manager puts around it.
TEST_F(MainWindowTest, TheRectangleStaysTheSameOverThreeStarts) {
    Artwork::setFolder(std::filesystem::path(KLANGO_RESOURCES) / "art");
    const shell::Settings settings = s.shell.state.settings();
    ASSERT_FALSE(shell::hasStoredRectangle(settings));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    std::vector<QRect> frames, windows;
    for (int start = 0; start < 3; ++start) {
        base::clearProfileCache();
        const shell::DesktopRect desktop = desktopRect(QGuiApplication::primaryScreen());
        const shell::WindowRect rect = shell::placeMainWindow(s.shell, desktop, firstSize(s.shell.state, desktop));
        MainWindow w(s.shell, s.ui);
        fillViewHooks(w);
        w.applyRectangle(rect);
        w.show();
        ASSERT_TRUE(test::spinUntil([&] {
            base::clearProfileCache();
            return w.isVisible() && shell::GETCOORDS(settings) == shell::storedRectangle(w.placement());
        })) << "start " << start;
        frames.push_back(w.frameGeometry());
        windows.push_back(w.geometry());
        w.close();
    }
    EXPECT_TRUE(screen.contains(frames[0])) << frames[0].width() << "x" << frames[0].height();
    EXPECT_LE(std::abs(frames[0].center().x() - screen.center().x()), 4) << "centred, the frame estimated";
    // As wide as bar and columns want, or the whole screen where that is narrower.
    EXPECT_GE(windows[0].width(), std::min(TablePanel::wantedWidth(s.shell.state), screen.width() - 8));
    EXPECT_EQ(frames[1], frames[0]);
    EXPECT_EQ(frames[2], frames[0]);
    EXPECT_EQ(windows[2], windows[0]);
}

}  // namespace
}  // namespace klango::gui
