// The filter: criteria and their combination, the hit parade, the dialog and the view's state.
#include <gtest/gtest.h>

#include <filesystem>

#include "dbf/order.h"
#include "query/filter_dialog_model.h"
#include "query_fixture.h"

using namespace klango;
using query::FilterCriteria;
using test::Track;
using V = std::vector<std::string>;

namespace {

const base::Date kToday{2026, 12, 9};

std::vector<Track> sixTracks() {
    return {
        {.group = "Beatles", .album = "Help", .title = "A1", .genre = "Rock", .year = 1965, .played = 5},
        {.group = "Beatles", .album = "Abbey", .title = "A2", .genre = "Rockabilly", .year = 1969, .played = 9},
        {.group = "Elvis", .album = "", .title = "A3", .genre = "rock", .year = 1999, .played = 9},
        {.group = "Madonna", .album = "Like", .title = "A4", .genre = "Pop", .year = 1999, .played = 1, .tagged = true,
         .playDate = kToday, .playTime = "12:30"},
        {.group = "Abba", .album = "Gold", .title = "A5", .genre = "Pop Rock", .year = 1999, .played = 0,
         .playDate = kToday, .playTime = "11:59"},
        {.group = "Zappa", .album = "X", .title = "A6", .genre = "", .year = 0, .played = 3,
         .playDate = base::Date{2026, 12, 8}, .playTime = "14:00"},
    };
}

FilterCriteria criteria(std::initializer_list<std::pair<int, V>> set) {
    FilterCriteria c;
    for (const auto& [n, values] : set) c[size_t(n - 1)] = values;
    return c;
}

}  // namespace

TEST(Filter, CriteriaCombineAndTheViewFollowsItsKey) {
    const std::string marked = "Markierte Datens\xE4tze";
    struct Case {
        const char* what;
        FilterCriteria criteria;
        V shown;
    };
    const Case cases[] = {
        {"a genre takes what begins with it, case-sensitive", criteria({{1, {"Rock"}}}), {"A2", "A1"}},
        {"genres or-ed, the year and-ed", criteria({{1, {"Pop", "Rock"}}, {4, {"1999"}}}), {"A5", "A4"}},
        {"the empty album takes every record", criteria({{2, {""}}}), {"A5", "A2", "A1", "A3", "A4", "A6"}},
        {"year 0 as three blanks and 0", criteria({{4, {"   0"}}}), {"A6"}},
        {"artist begins with", criteria({{3, {"Bea", "Zap"}}}), {"A2", "A1", "A6"}},
        {"marked", criteria({{5, {marked}}}), {"A4"}},
        {"played today", criteria({{5, {"Heute gespielte Titel"}}}), {"A5", "A4"}},
        {"last two hours at 14:05", criteria({{5, {"Titel der letzten 2 Stunden"}}}), {"A4"}},
        {"only the first hit option counts; ties by the rest of the key",
         criteria({{6, {"Top 10", "Top 40"}}}), {"A3", "A2", "A1", "A6", "A4", "A5"}},
        {"less 10 of six: all, lowest first", criteria({{6, {"Less 10"}}}), {"A5", "A4", "A6", "A1", "A2", "A3"}},
        {"the hit list first, then the genre", criteria({{6, {"Top 10"}}, {1, {"Pop"}}}), {"A4", "A5"}},
    };
    for (const Case& c : cases) {
        test::QueryFixture f;
        ASSERT_TRUE(f.open("Tracks", sixTracks()));
        EXPECT_EQ(f.queries.filter.FILTERNOW(c.criteria), c.shown.size()) << c.what;
        EXPECT_EQ(f.shown(), c.shown) << c.what;
        EXPECT_EQ(f.item(ui::MessageItem::Records), "Titel: " + std::to_string(c.shown.size())) << c.what;
        EXPECT_EQ(f.item(ui::MessageItem::Filter), "Filter !") << c.what;
        EXPECT_EQ(f.ui.messageItemColors(ui::MessageItem::Filter), "W*+/R") << c.what;
        EXPECT_TRUE(f.shell.state.LTAB_FILT) << c.what;
        EXPECT_TRUE(f.errors.empty()) << c.what;
    }
}

TEST(Filter, HitParadeCutsAtItsSizeWithTiesDecidedByTheKey) {
    std::vector<Track> tracks;
    for (int i = 0; i < 45; ++i) {
        tracks.push_back({.group = i % 2 ? "B" : "A", .title = "T" + std::to_string(i), .played = i / 5});
    }
    test::QueryFixture f;
    ASSERT_TRUE(f.open("Hits", tracks));
    EXPECT_EQ(f.queries.filter.FILTERNOW(criteria({{6, {"Top 10"}}})), 10u);
    // play counts 8 (T40..T44) and 7 (T35..T39); within a count artist B before A, titles descending
    EXPECT_EQ(f.shown(), (V{"T43", "T41", "T44", "T42", "T40", "T39", "T37", "T35", "T38", "T36"}));
    EXPECT_EQ(f.queries.filter.FILTERNOW(criteria({{6, {"Less 40"}}})), 40u);
    EXPECT_EQ(f.shown().front(), "T0");
}

// Cancelling keeps everything; criteria add up across openings; removing returns to the order
// that was in force, with the message bar telling the truth at every step.
TEST(Filter, DialogCriteriaAcrossOpeningsCancelEmptyResultAndRemoval) {
    test::QueryFixture f;
    dbf::DbfTable* t = f.open("Tracks", sixTracks());
    ASSERT_TRUE(t);
    ASSERT_TRUE(t->setOrder(3));  // the grid sorted by title
    const auto choose = [&](std::function<void(query::FilterDialogModel&)> act) {
        f.ui.expectDialog([act](ui::DialogModel& m) { act(dynamic_cast<query::FilterDialogModel&>(m)); });
        f.queries.filter.MP3FILTER();
    };
    const auto indexOf = [](const query::FilterDialogModel& m, const std::string& v) {
        const auto& values = m.values();
        return size_t(std::find(values.begin(), values.end(), v) - values.begin());
    };

    choose([&](query::FilterDialogModel& m) {
        EXPECT_EQ(m.criterion(), 1);
        EXPECT_EQ(m.values(), (V{"", "Pop", "Pop Rock", "Rock", "Rockabilly", "rock"}));
        EXPECT_FALSE(m.canContinue());
        m.proceed();  // disabled: nothing happens
        EXPECT_FALSE(m.closeRequested());
        m.toggle(indexOf(m, "Rock"));
        EXPECT_TRUE(m.canContinue());
        m.activate(indexOf(m, "Rock"));  // the double-click
    });
    EXPECT_EQ(f.shown(), (V{"A2", "A1"}));
    EXPECT_EQ(f.shell.state.AFILT1, (V{"Rock"}));

    choose([&](query::FilterDialogModel& m) {
        EXPECT_TRUE(m.isSelected(indexOf(m, "Rock")));  // shown selected again
        m.chooseCriterion(4);
        EXPECT_EQ(m.values(), (V{"   0", "1965", "1969", "1999"}));
        m.toggle(indexOf(m, "1965"));
        m.proceed();
    });
    EXPECT_EQ(f.shown(), (V{"A1"}));

    // Cancelled after changing the selection: neither the view nor the criteria change.
    choose([&](query::FilterDialogModel& m) {
        m.toggle(0);
        m.chooseCriterion(5);
        m.toggle(0);
        m.cancel();
    });
    EXPECT_EQ(f.shown(), (V{"A1"}));
    EXPECT_EQ(f.shell.state.AFILT4, (V{"1965"}));
    EXPECT_TRUE(f.shell.state.AFILT5.empty());
    EXPECT_EQ(f.item(ui::MessageItem::Filter), "Filter !");

    // A filter that finds nothing leaves the view in force and says so.
    EXPECT_EQ(f.queries.filter.FILTERNOW(criteria({{1, {"Pop"}}, {4, {"1965"}}})), 0u);
    EXPECT_EQ(f.shown(), (V{"A1"}));
    EXPECT_EQ(f.item(ui::MessageItem::Filter), "Filter !");
    EXPECT_EQ(f.item(ui::MessageItem::Records), "Titel: 1");
    EXPECT_EQ(f.shell.state.AFILT1, (V{"Rock"}));
    EXPECT_EQ(f.ui.calls().back(), "warning: Problem | Kein Titel erf\xFCllt die Filterbedingungen.");

    EXPECT_FALSE(f.window.headerClicked(2));  // the album column: the view keeps its order
    EXPECT_EQ(f.shown(), (V{"A1"}));
    f.queries.filter.MP3KILLFILTER();
    EXPECT_EQ(t->orderNumber(), 3);
    EXPECT_EQ(t->orderCount(), 6);
    EXPECT_EQ(f.shown(), (V{"A1", "A2", "A3", "A4", "A5", "A6"}));
    EXPECT_EQ(f.item(ui::MessageItem::Filter), "kein Filter");
    EXPECT_EQ(f.ui.messageItemColors(ui::MessageItem::Filter), "N*/W");
    EXPECT_EQ(f.item(ui::MessageItem::Records), "Titel: 6");
    EXPECT_FALSE(f.shell.state.LTAB_FILT);
    EXPECT_TRUE(f.shell.state.AFILT1.empty() && f.shell.state.AFILT4.empty());
    EXPECT_FALSE(std::filesystem::exists(f.home.root() / "MP3FILT.NTX"));

    // Without a filter in force, one that finds nothing leaves "kein Filter".
    EXPECT_EQ(f.queries.filter.FILTERNOW(criteria({{1, {"Jazz"}}})), 0u);
    EXPECT_EQ(f.item(ui::MessageItem::Filter), "kein Filter");
    EXPECT_EQ(f.shown().size(), 6u);
    EXPECT_EQ(t->orderNumber(), 3);
}

// A record written while the view is in force enters or leaves it once; "Markiert:" counts
// the marks of the view.
TEST(Filter, WritesUnderTheViewEnterAndLeaveOnce) {
    test::QueryFixture f;
    dbf::DbfTable* t = f.open("Tracks", sixTracks());
    ASSERT_TRUE(t);
    using trackdb::track::TAGGED;
    using trackdb::track::INFO;
    EXPECT_EQ(f.queries.filter.FILTERNOW(criteria({{5, {"Nicht markierte Datens\xE4tze"}}})), 5u);
    EXPECT_EQ(f.item(ui::MessageItem::Tagged), "Markiert: 0");
    EXPECT_EQ(f.queries.filter.FILTERNOW(criteria({{5, {"Markierte Datens\xE4tze"}}})), 1u);
    EXPECT_EQ(f.item(ui::MessageItem::Tagged), "Markiert: 1");
    for (int pass = 0; pass < 2; ++pass) {  // the same mark written twice
        t->goTo(1);
        t->putL(TAGGED, true);
        t->putC(INFO, "pass " + std::to_string(pass));
        t->flush();
    }
    EXPECT_EQ(f.shown(), (V{"A1", "A4"}));
    EXPECT_EQ(t->count(), 2u);
    t->goTo(4);
    t->putL(TAGGED, false);
    t->flush();
    t->goTo(4);
    t->putL(TAGGED, false);
    t->flush();
    EXPECT_EQ(f.shown(), (V{"A1"}));
    // "Markiert:" is counted anew after the writes, not taken from when the view was built.
    t->goTo(2);
    t->putL(TAGGED, true);  // enters the view when the count writes it
    f.queries.view.showCounts();
    EXPECT_EQ(f.item(ui::MessageItem::Tagged), "Markiert: 2");
    EXPECT_EQ(f.shown().size(), 2u);
    // The standard orders behind the view followed every write too.
    f.queries.filter.MP3KILLFILTER();
    EXPECT_EQ(f.item(ui::MessageItem::Tagged), "Markiert: 2");
    EXPECT_EQ(t->count(), 6u);
    EXPECT_EQ(t->order(1)->size(), 6u);
}
