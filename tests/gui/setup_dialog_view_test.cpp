// The settings views on the offscreen platform: the four pages bound to the model (screenshots of
// each), the linked boxes through real clicks, and the update dialog whose close box only stops.
#include "gui/setup_dialog_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>

#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/update_dialog_view.h"
#include "qt_support.h"
#include "settings/database_update.h"
#include "settings/setup_dialog_model.h"

namespace klango::gui {
namespace {

template <class View>
View* shown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<View*>(w); d && d->isVisible()) return d;
    return nullptr;
}

TEST(SetupDialogView, FourPagesBoundToTheModel) {
    Artwork::setFolder(std::filesystem::path(KLANGO_RESOURCES) / "art");
    test::StartedShell s("[Setup]\r\nAmpPath=/usr/bin/mpv\r\n[System]\r\nFontSize=2\r\nAutoOpen=1\r\n");
    SetupDialogView::registerWith(s.ui);
    settings::SetupDialogModel model(s.shell.state, s.ui, {"", {}});
    bool ran = false;
    s.ui.runDialog(model, [&] {
        ran = true;
        SetupDialogView* view = shown<SetupDialogView>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->windowTitle(), "Einstellungen");
        QTabWidget* tabs = view->tabs();
        ASSERT_EQ(tabs->count(), 4);
        const char* names[] = {"setup_startup", "setup_winamp", "setup_player2", "setup_table"};
        const QStringList captions = {u8q("Start&up"), u8q("&WinAmp"), u8q("Player &2"), u8q("&Tabelle")};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(tabs->tabText(i), captions[i]);
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            test::screenshot(view, names[i]);
        }
        EXPECT_EQ(view->ampPathField()->text(), "/usr/bin/mpv");
        EXPECT_TRUE(view->fontSize(2)->isChecked());
        EXPECT_TRUE(view->saveButton()->isEnabled());
        EXPECT_FALSE(view->interruptButton()->isEnabled());

        // The two "als Player benutzen" boxes always differ; switching player 2 on leaves
        // nothing to save, since it has no path.
        view->pl2UseIt()->click();
        EXPECT_TRUE(view->pl2UseIt()->isChecked());
        EXPECT_FALSE(view->ampUseIt()->isChecked());
        EXPECT_FALSE(view->saveButton()->isEnabled());
        view->markDate()->click();
        EXPECT_FALSE(view->markHour()->isChecked());
        EXPECT_FALSE(view->markHour()->isEnabled());
        view->fontSize(3)->click();
        EXPECT_EQ(model.values().fontSize, 3);
        view->endButton()->click();
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(shown<SetupDialogView>(), nullptr);
    EXPECT_FALSE(model.saved());
}

TEST(UpdateDialogView, TheCloseBoxStopsAfterTheDatabaseInWork) {
    test::StartedShell s;
    UpdateDialogView::registerWith(s.ui);
    settings::UpdateDialogModel model;
    s.ui.runDialog(model, [&] {
        UpdateDialogView* view = shown<UpdateDialogView>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->windowTitle(), "Datenbank-Update");
        model.setTotal(5);
        model.show("Rock.dbf", 3);
        EXPECT_EQ(view->fileField()->text(), "Rock.dbf");
        EXPECT_EQ(view->bar()->value(), 3);
        test::screenshot(view, "update_dialog");
        view->close();  // the close box
        EXPECT_TRUE(view->isVisible());
        EXPECT_TRUE(model.interrupted());
        EXPECT_FALSE(view->interruptButton()->isEnabled());
        model.requestClose();
    });
    EXPECT_EQ(shown<UpdateDialogView>(), nullptr);
}

}  // namespace
}  // namespace klango::gui
