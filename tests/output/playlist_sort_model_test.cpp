// The sort dialog's moves and button rules, step by step from one starting list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/playlist_sort_model.h"

using namespace klango::output;
using B = PlaylistSortModel::Button;

namespace {

std::string texts(const std::vector<TitleEntry>& list) {
    std::string out;
    for (const TitleEntry& e : list) out += (out.empty() ? "" : "|") + e.text;
    return out;
}

// The enabled buttons as letters: > >> < << A(lle übertragen) E(ntfernen) W(eiter) U(nterbrechen).
std::string enabledButtons(const PlaylistSortModel& m) {
    std::string out;
    const std::pair<B, const char*> names[] = {{B::OneOver, ">"},     {B::AllOver, ">>"},    {B::OneBack, "<"},
                                               {B::AllBack, "<<"},    {B::AllOverText, "A"}, {B::AllBackText, "E"},
                                               {B::Continue, "W"},    {B::Stop, "U"}};
    for (const auto& [b, name] : names)
        if (m.enabled(b)) out += std::string(out.empty() ? "" : " ") + name;
    return out;
}

}  // namespace

TEST(PlaylistSortModel, MovesAndButtonRules) {
    const std::string first = PlaylistSortModel::kFirstEndMarker;
    const std::string end = PlaylistSortModel::kEndMarker;
    struct Step {
        const char* what;
        std::function<void(PlaylistSortModel&)> act;
        std::string source, destin, buttons;
        size_t sourceCurrent, destinCurrent;
    };
    const std::vector<Step> steps = {
        {"start", [](PlaylistSortModel&) {}, "c - 3|a - 1|b - 2|B - 4", first, "> >> A U", 0, 0},
        {"> on the current first", [](PlaylistSortModel& m) { m.M3USORT2(2); }, "B - 4|a - 1|b - 2",
         "c - 3|" + first, "> < << E W U", 0, 1},
        {"> inserts before the current sorted entry",
         [](PlaylistSortModel& m) {
             m.setDestinCurrent(0);
             m.setSourceCurrent(2);
             m.M3USORT2(2);
         },
         "B - 4|a - 1", "b - 2|c - 3|" + first, "> < << E W U", 0, 2},
        {"< on the end marker moves nothing", [](PlaylistSortModel& m) { m.M3USORT2(3); }, "B - 4|a - 1",
         "b - 2|c - 3|" + first, "> < << E W U", 0, 2},
        {"< puts the title back in order", [](PlaylistSortModel& m) { m.destinActivated(1); }, "B - 4|a - 1|c - 3",
         "b - 2|" + first, "> < << E W U", 2, 1},
        {">> is refused while titles are sorted", [](PlaylistSortModel& m) { m.press(B::AllOver); },
         "B - 4|a - 1|c - 3", "b - 2|" + first, "> < << E W U", 2, 1},
        {"<< brings all back", [](PlaylistSortModel& m) { m.press(B::AllBackText); }, "B - 4|a - 1|b - 2|c - 3", end,
         "> >> A U", 0, 0},
        {">> takes all in the list's order", [](PlaylistSortModel& m) { m.press(B::AllOver); }, "",
         "B - 4|a - 1|b - 2|c - 3|" + end, "< << E W U", 0, 0},
        {"a double click on the empty left list does nothing", [](PlaylistSortModel& m) { m.sourceActivated(0); },
         "", "B - 4|a - 1|b - 2|c - 3|" + end, "< << E W U", 0, 0},
    };
    PlaylistSortModel m({{"c - 3", 1}, {"a - 1", 2}, {"b - 2", 3}, {"B - 4", 4}});
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act(m);
        EXPECT_EQ(texts(m.ASOURCE()), s.source);
        EXPECT_EQ(texts(m.ADESTIN()), s.destin);
        EXPECT_EQ(enabledButtons(m), s.buttons);
        EXPECT_EQ(m.sourceCurrent(), s.sourceCurrent);
        EXPECT_EQ(m.destinCurrent(), s.destinCurrent);
    }
    EXPECT_EQ(m.focus(), PlaylistSortModel::List::Destination);
    m.press(B::Continue);
    EXPECT_TRUE(m.accepted());
    EXPECT_TRUE(m.closeRequested());
    std::vector<uint32_t> records;
    for (const TitleEntry& e : m.order()) records.push_back(e.recno);
    EXPECT_EQ(records, (std::vector<uint32_t>{4, 2, 3, 1}));
}

// Equal titles stay distinct records: moving one of two "Band - Song" back and forth keeps both.
TEST(PlaylistSortModel, EqualTitlesKeepTheirRecords) {
    PlaylistSortModel m({{"Band - Song", 7}, {"Band - Song", 3}});
    m.sourceActivated(1);
    m.sourceActivated(0);
    ASSERT_EQ(m.order().size(), 2u);
    EXPECT_EQ(m.order()[0].recno, 3u);
    EXPECT_EQ(m.order()[1].recno, 7u);
    EXPECT_FALSE(m.enabled(PlaylistSortModel::Button::OneOver));
    m.press(PlaylistSortModel::Button::Stop);
    EXPECT_FALSE(m.accepted());
}
