// The filter, search and statistics views bind their models; screenshots of the four dialogs.
#include <QApplication>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "gui/artwork.h"
#include "gui/filter_dialog_view.h"
#include "gui/qt_text.h"
#include "gui/search_dialog_view.h"
#include "gui/stats_dialog_view.h"
#include "qt_support.h"
#include "query/filter_dialog_model.h"
#include "query/search_dialog_model.h"
#include "query/stats_dialog_model.h"

namespace klango::gui {
namespace {

const std::filesystem::path kResources = KLANGO_RESOURCES;

TEST(QueryDialogs, FilterViewBindsItsModel) {
    Artwork::setFolder(kResources / "art");
    query::FilterDialogModel model({}, [](int n) {
        return n == 4 ? std::vector<std::string>{"1965", "1999"} : std::vector<std::string>{"Pop", "Rock", "R\xE4p"};
    });
    FilterDialogView view(model, {});
    view.show();
    ASSERT_EQ(view.list()->count(), 3);
    EXPECT_EQ(view.list()->item(2)->text(), QString::fromUtf8("Räp"));
    EXPECT_FALSE(view.proceedButton()->isEnabled());
    view.list()->item(1)->setSelected(true);
    EXPECT_TRUE(view.proceedButton()->isEnabled());
    EXPECT_EQ(model.selection(), std::vector<std::string>{"Rock"});
    view.criteria()->button(4)->click();
    EXPECT_EQ(model.criterion(), 4);
    EXPECT_EQ(view.list()->count(), 2);
    EXPECT_FALSE(view.proceedButton()->isEnabled());
    view.criteria()->button(1)->click();
    EXPECT_TRUE(view.list()->item(1)->isSelected());  // the stored genre selected again
    test::screenshot(&view, "filter_dialog");
    view.reject();  // Escape or the close box
    EXPECT_FALSE(model.accepted());
    EXPECT_TRUE(model.closeRequested());
}

TEST(QueryDialogs, SearchViewBindsItsModel) {
    Artwork::setFolder(kResources / "art");
    query::SearchDialogModel model({}, {});
    SearchDialogView view(model, {});
    view.show();
    EXPECT_FALSE(view.startButton()->isEnabled());
    view.field(0)->setFocus();
    view.field(0)->insert(QString::fromUtf8("die ärzte"));  // as typed: textEdited
    QApplication::processEvents();
    EXPECT_EQ(view.field(0)->text(), QString::fromUtf8("DIE ÄRZTE"));
    EXPECT_TRUE(view.startButton()->isEnabled());
    emit view.field(0)->editingFinished();
    EXPECT_FALSE(view.field(3)->isEnabled());
    view.inAllBox()->click();
    EXPECT_TRUE(model.criteria().inAll);
    test::screenshot(&view, "search_dialog");
    view.reject();
    EXPECT_TRUE(model.closeRequested());
    EXPECT_FALSE(model.searched());
}

TEST(QueryDialogs, StatisticsViewsShowTheirFigures) {
    Artwork::setFolder(kResources / "art");
    query::StatFigures f;
    f.artists = 12;
    f.albums = 3;
    f.titles = 100000;
    f.genres = 4;
    f.sums.minutes = 1805;
    f.sums.played = 50000;
    f.sums.sizeCents = 123456789;
    f.sums.allLengths = false;
    bool more = false;
    query::StatsDialogModel model(f, [&](query::StatsDialogModel&) { more = true; });
    StatsDialogView view(model, {});
    view.show();
    EXPECT_EQ(view.note()->text(), QString::fromUtf8("Nicht alle Titel enthalten Laufzeiten !"));
    test::screenshot(&view, "stats_dialog");
    view.moreButton()->click();
    EXPECT_TRUE(more);
    EXPECT_TRUE(model.closeRequested());

    query::AllStatsDialogModel all({{"Rock", f}, {"Klassik", {}}});
    AllStatsDialogView allView(all);
    allView.show();
    ASSERT_EQ(allView.grid()->rowCount(), 2);
    EXPECT_EQ(allView.grid()->item(0, 3)->text(), QStringLiteral("   100000 "));
    EXPECT_EQ(allView.grid()->item(0, 7)->text(), QStringLiteral("1.234.567,89 "));
    EXPECT_TRUE(allView.summary()->text().startsWith(QStringLiteral("gesamte Laufzeit: 1.06:05:00")));
    test::screenshot(&allView, "stats_all_dialog");
}

}  // namespace
}  // namespace klango::gui
