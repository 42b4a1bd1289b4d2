// The playlist dialogs bind their models: the export dialog's boxes, radio pair and name field,
// the sort dialog's lists and buttons.
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <QTimer>

#include "dbf/work_areas.h"
#include "gui/playlist_export_view.h"
#include "output/playlist_export.h"
#include "trackdb/check_data.h"
#include "trackdb/track_record.h"
#include "gui/playlist_sort_view.h"
#include "gui/qt_text.h"
#include "qt_support.h"

namespace klango::gui {
namespace {

TEST(PlaylistViews, ExportDialogBindsItsModel) {
    output::PlaylistExportModel model({true, true, false, false, "KLANGO.M3U"});
    PlaylistExportView view(model);
    view.show();
    EXPECT_TRUE(view.taggedBox()->isChecked());
    EXPECT_FALSE(view.delMarkBox()->isChecked());
    EXPECT_TRUE(view.newButton()->isChecked());
    EXPECT_EQ(view.nameField()->text(), "KLANGO.M3U");

    view.appendButton()->click();  // switches the removal of marks on
    EXPECT_TRUE(model.values().append);
    EXPECT_TRUE(view.delMarkBox()->isChecked());
    view.playNowBox()->click();
    EXPECT_FALSE(model.values().playNow);

    view.nameField()->setFocus();
    QTest::keyClicks(view.nameField(), "party");  // the first key replaces the name
    EXPECT_EQ(view.nameField()->text(), "PARTY");
    EXPECT_EQ(model.trimmedName(), "PARTY");
    test::screenshot(&view, "playlist_export_dialog");
    view.continueButton()->click();
    EXPECT_TRUE(model.accepted());
}

TEST(PlaylistViews, SortDialogMovesThroughItsModel) {
    output::PlaylistSortModel model({{"B - Two", 1}, {"A - One", 2}, {"C - Three", 3}});
    PlaylistSortView view(model);
    view.show();
    using B = output::PlaylistSortModel::Button;
    EXPECT_EQ(view.sourceList()->count(), 3);
    EXPECT_EQ(view.destinList()->item(0)->text(), u8q("     -----  Ende der Tabelle  -----"));
    EXPECT_FALSE(view.button(B::Continue)->isEnabled());
    EXPECT_TRUE(view.button(B::AllOver)->isEnabled());

    view.sourceList()->setCurrentRow(1);
    view.button(B::OneOver)->click();
    EXPECT_EQ(view.destinList()->item(0)->text(), "A - One");
    EXPECT_EQ(view.sourceList()->count(), 2);
    EXPECT_FALSE(view.button(B::AllOver)->isEnabled());
    EXPECT_TRUE(view.button(B::Continue)->isEnabled());
    EXPECT_EQ(view.button(B::OneOver)->toolTip(), u8q("Diesen Titel anfügen"));
    test::screenshot(&view, "playlist_sort_dialog");

    view.button(B::AllBackText)->click();
    EXPECT_EQ(view.sourceList()->count(), 3);
    EXPECT_EQ(view.destinList()->item(0)->text(), u8q("-----  Ende der Tabelle  -----"));
    view.button(B::Stop)->click();
    EXPECT_TRUE(model.closeRequested());
    EXPECT_FALSE(model.accepted());
}

template <class View>
View* shown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<View*>(w); d && d->isVisible()) return d;
    return nullptr;
}

// Through QtUi: the export dialog, then the sort dialog, each shown modally by its registered
// view; the user's clicks decide the playlist.
TEST(PlaylistViews, ExportRunsBothDialogsThroughQtUi) {
    test::StartedShell s;
    PlaylistExportView::registerWith(s.ui);
    PlaylistSortView::registerWith(s.ui);
    ASSERT_TRUE(trackdb::CHECKDATA(*s.shell.areas, s.ui, "Musik", trackdb::CheckDataEnd::KeepOpen));
    dbf::DbfTable* t = s.shell.areas->get("DMP3");
    for (const char* title : {"Beta", "Alpha"}) {
        t->appendBlank();
        t->putC(trackdb::track::GROUP, "Band");
        t->putC(trackdb::track::TITLE, title);
        t->putC(trackdb::track::PATH, std::string("/m/") + title + ".mp3");
        t->putL(trackdb::track::TAGGED, true);
    }
    t->flush();
    s.shell.state.LS_MARKSORT = false;
    s.shell.state.LTAB_OPEN = true;
    s.shell.state.CS_AMPPATH = "player";
    std::vector<std::string> steps;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* e = shown<PlaylistExportView>()) {
            e->playNowBox()->setChecked(false);
            e->continueButton()->click();
            steps.push_back("export");
        } else if (auto* v = shown<PlaylistSortView>()) {
            using B = output::PlaylistSortModel::Button;
            v->sourceList()->setCurrentRow(1);  // Band - Beta
            v->button(B::OneOver)->click();
            v->button(B::OneOver)->click();
            v->button(B::Continue)->click();
            steps.push_back("sort");
        }
    });
    user.start(20);
    const output::PlaylistResult r = output::PlaylistExport(s.shell).M3UEXPORT();
    user.stop();
    EXPECT_EQ(steps, (std::vector<std::string>{"export", "sort"}));
    ASSERT_TRUE(r.written);
    EXPECT_EQ(klango::test::readFileBytes(r.file), "/m/Beta.mp3\r\n/m/Alpha.mp3\r\n");
}

}  // namespace
}  // namespace klango::gui
