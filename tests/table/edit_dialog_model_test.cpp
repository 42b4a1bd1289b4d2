#include "table/edit_dialog_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "shell/app_state.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/track_record.h"
#include "ui/scripted_ui.h"

namespace klango::table {
namespace {

namespace t = trackdb::track;
using M = EditDialogModel;

struct Track {
    std::string group, album, title;
    int year = 0;
    int trackNo = 0;
    int range = 0;
};

class EditDialogModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file = home.data() / "Test.dbf";
        ASSERT_TRUE(dbf::DbfTable::create(file, trackStructure(), base::Date{2026, 12, 9}));
        table = dbf::DbfTable::open(file);
        ASSERT_TRUE(table);
    }
    static const dbf::Structure& trackStructure() { return trackdb::trackStructure(); }

    void add(const Track& track) {
        table->appendBlank();
        table->putC(t::DISCNAME, "Neu");
        table->putC(t::PATH, "/musik/" + track.title + ".mp3");
        table->putC(t::GROUP, track.group);
        table->putC(t::ALBUM, track.album);
        table->putC(t::TITLE, track.title);
        table->putC(t::GENRE, "Pop");
        table->putC(t::TIME, "3:05");
        table->putN(t::YEAR, track.year);
        table->putN(t::TRACK, track.trackNo);
        table->putN(t::RANGE, track.range);
        table->putN(t::PLAYED, 12);
        table->putD(t::PLAYDATE, base::Date{2026, 12, 1});
        table->putC(t::PLAYTIME, "21:30");
        table->putC(t::INFO, "live");
        table->flush();
    }
    // The six orders of a track database, artist order current.
    void attachOrders() {
        for (const trackdb::TrackOrder& order : trackdb::trackOrders()) {
            ASSERT_TRUE(table->attachOrder(trackdb::indexFile(home.data(), "Test", order.number),
                                           dbf::compileKey(table->structure(), order.expression)));
        }
        ASSERT_TRUE(table->setOrder(1));
    }
    std::string bytes(uint32_t recno) const {
        return std::string(table->recordBytes(recno), size_t(table->recordLength()));
    }
    std::string field(uint32_t recno, int f) const { return std::string(table->view(recno).raw(f)); }

    test::TempHome home;
    std::filesystem::path file;
    std::unique_ptr<dbf::DbfTable> table;
    shell::AppState state;
};

TEST_F(EditDialogModelTest, LoadsTheRecordTheUserPickedNotTheCurrentOne) {
    add({"Abba", "Gold", "Waterloo", 1974, 3, 5});
    add({"Die \xC4rzte", "Ger\xE4usch", "Unrockbar", 2003, 12, 9});
    table->goTo(1);

    M model(*table, 2, state);
    ASSERT_TRUE(model.loaded());
    EXPECT_EQ(table->recNo(), 1u);  // opening moves nothing
    EXPECT_EQ(model.value(M::Group), "Die \xC4rzte");
    EXPECT_EQ(model.value(M::Title), "Unrockbar");
    EXPECT_EQ(model.value(M::Genre), "Pop");
    EXPECT_EQ(model.value(M::Time), "3:05");
    EXPECT_EQ(model.value(M::Year), "2003");
    EXPECT_EQ(model.value(M::Track), "12");
    EXPECT_EQ(model.value(M::Range), "9");
    EXPECT_EQ(model.value(M::Played), "12");
    EXPECT_EQ(model.value(M::PlayDate), "01.12.2026");
    EXPECT_EQ(model.value(M::PlayTime), "21:30");
    EXPECT_EQ(model.value(M::DiscName), "Neu");
    EXPECT_EQ(model.value(M::Path), "/musik/Unrockbar.mp3");
    EXPECT_EQ(model.value(M::Info), "live");
    EXPECT_EQ(model.title(), "Datensatz editieren");
    EXPECT_EQ(model.helpTopic(), "Datensatz editieren");

    // Editable fields on NCOLB, shown-only ones on NCOLBH.
    state.NCOLB = 0x0000FF;
    state.NCOLBH = 0xFF0000;
    M coloured(*table, 2, state);
    EXPECT_EQ(coloured.fieldColors(M::Album).background, (ui::Rgb{255, 0, 0}));
    EXPECT_EQ(coloured.fieldColors(M::Played).background, (ui::Rgb{0, 0, 255}));

    std::string topic;
    model.onHelp = [&](const std::string& t) { topic = t; };
    model.help();
    EXPECT_EQ(topic, "Datensatz editieren");
    EXPECT_FALSE(model.closeRequested());
}

TEST_F(EditDialogModelTest, InputRulesOfTheFields) {
    add({"Abba", "Gold", "Waterloo", 1974, 3, 5});
    M model(*table, 1, state);

    // The first key after entering a field replaces the text, the next ones are appended.
    model.enterField(M::Group);
    EXPECT_TRUE(model.replacePending(M::Group));
    EXPECT_TRUE(model.typeText(M::Group, "B"));
    EXPECT_TRUE(model.typeText(M::Group, "oney M"));
    EXPECT_EQ(model.value(M::Group), "Boney M");
    model.enterField(M::Group);
    EXPECT_TRUE(model.typeText(M::Group, "X"));
    EXPECT_EQ(model.value(M::Group), "X");

    // A letter in the year has no effect and keeps the pending replacement; a digit replaces.
    model.enterField(M::Year);
    EXPECT_FALSE(model.typeText(M::Year, "a"));
    EXPECT_EQ(model.value(M::Year), "1974");
    EXPECT_TRUE(model.replacePending(M::Year));
    EXPECT_TRUE(model.typeText(M::Year, "1x9"));
    EXPECT_EQ(model.value(M::Year), "19");
    EXPECT_FALSE(model.setText(M::Year, "19a8"));
    EXPECT_TRUE(model.setText(M::Year, "198"));
    EXPECT_TRUE(model.typeText(M::Year, "8"));
    EXPECT_EQ(model.value(M::Year), "1988");

    // The rating holds the one digit typed.
    model.enterField(M::Range);
    EXPECT_FALSE(model.replacePending(M::Range));
    EXPECT_TRUE(model.typeText(M::Range, "7"));
    EXPECT_EQ(model.value(M::Range), "7");
    EXPECT_FALSE(model.typeText(M::Range, "-"));
    EXPECT_EQ(model.value(M::Range), "7");

    // The play data, disc name and path cannot be changed.
    for (int slot : {M::Played, M::PlayDate, M::PlayTime, M::DiscName, M::Path}) {
        model.enterField(slot);
        EXPECT_FALSE(model.replacePending(slot));
        EXPECT_FALSE(model.typeText(slot, "1"));
        EXPECT_FALSE(model.setText(slot, "1"));
        EXPECT_FALSE(model.editable(slot));
    }
    EXPECT_EQ(model.value(M::Played), "12");
}

TEST_F(EditDialogModelTest, ValuesThatDoNotFitAreCutAtTheFieldsPlaces) {
    add({"Abba", "Gold", "Waterloo", 1974, 3, 5});
    M model(*table, 1, state);

    model.enterField(M::Track);
    EXPECT_TRUE(model.typeText(M::Track, "123"));
    EXPECT_EQ(model.value(M::Track), "12");
    EXPECT_FALSE(model.typeText(M::Track, "4"));
    EXPECT_FALSE(model.setText(M::Track, "100"));

    const std::string fifty(50, 'x');
    model.enterField(M::Title);
    EXPECT_TRUE(model.typeText(M::Title, fifty));
    EXPECT_EQ(model.value(M::Title), std::string(40, 'x'));
    EXPECT_FALSE(model.setText(M::Title, fifty));
    model.enterField(M::Time);
    EXPECT_TRUE(model.typeText(M::Time, "12:34:56"));
    EXPECT_EQ(model.value(M::Time), "12:34");

    model.save();
    ASSERT_TRUE(model.commit());
    EXPECT_EQ(field(1, t::TRACK), "12");
    EXPECT_EQ(field(1, t::TITLE), std::string(40, 'x'));
    EXPECT_EQ(field(1, t::TIME), "12:34");
}

TEST_F(EditDialogModelTest, BeendenAfterChangesLeavesTheRecordUntouched) {
    add({"Abba", "Gold", "Waterloo", 1974, 3, 5});
    add({"Cure", "Disintegration", "Lullaby", 1989, 5, 3});
    attachOrders();
    table->goTo(2);
    const std::string before = bytes(1);

    M model(*table, 1, state);
    model.enterField(M::Group);
    model.typeText(M::Group, "Zappa");
    model.enterField(M::Range);
    model.typeText(M::Range, "1");
    model.quit();
    EXPECT_TRUE(model.closeRequested());
    EXPECT_FALSE(model.saved());
    EXPECT_FALSE(model.commit());
    EXPECT_EQ(bytes(1), before);
    EXPECT_EQ(table->recNo(), 2u);
    table->goTo(1);
    EXPECT_EQ(table->keyNo(), 1u);
}

TEST_F(EditDialogModelTest, SavingInArtistOrderMovesTheRecordToItsNewPlace) {
    add({"Abba", "Gold", "Waterloo", 1974, 3, 5});
    add({"Beatles", "Help", "Yesterday", 1965, 13, 8});
    add({"Cure", "Disintegration", "Lullaby", 1989, 5, 3});
    attachOrders();
    table->goTo(3);  // the grid's current row may be another one than the clicked record
    const std::string playData = field(1, t::PLAYED) + field(1, t::PLAYDATE) + field(1, t::PLAYTIME);

    M model(*table, 1, state);
    model.enterField(M::Group);
    model.typeText(M::Group, "Zappa");
    model.enterField(M::Year);
    model.typeText(M::Year, "1975");
    model.enterField(M::Range);
    model.typeText(M::Range, "7");
    model.enterField(M::Genre);
    model.typeText(M::Genre, "Rock \xFC");
    model.save();
    EXPECT_TRUE(model.closeRequested());
    ASSERT_TRUE(model.commit());

    EXPECT_EQ(table->recNo(), 1u);
    EXPECT_EQ(table->keyNo(), 3u);  // was first, now last by artist
    table->goTop();
    EXPECT_EQ(table->recNo(), 2u);
    table->goBottom();
    EXPECT_EQ(table->recNo(), 1u);
    ASSERT_TRUE(table->setOrder(6));  // the rating order follows too: 3, 7, 8
    table->goTo(1);
    EXPECT_EQ(table->keyNo(), 2u);

    // The fields went to the file; play data, disc name and path kept their bytes.
    table->close();
    table = dbf::DbfTable::open(file);
    ASSERT_TRUE(table);
    EXPECT_EQ(base::trimRight(table->view(1).raw(t::GROUP)), "Zappa");
    EXPECT_EQ(base::trimRight(table->view(1).raw(t::GENRE)), "Rock \xFC");
    EXPECT_EQ(field(1, t::YEAR), "1975");
    EXPECT_EQ(field(1, t::RANGE), "7");
    EXPECT_EQ(field(1, t::TRACK), " 3");
    EXPECT_EQ(field(1, t::PLAYED) + field(1, t::PLAYDATE) + field(1, t::PLAYTIME), playData);
    EXPECT_EQ(base::trimRight(table->view(1).raw(t::DISCNAME)), "Neu");
    EXPECT_EQ(base::trimRight(table->view(1).raw(t::PATH)), "/musik/Waterloo.mp3");
}

// Only valid play times, years and ratings are saved; anything else is refused with a message that
// names the field, and the dialog stays open with what was typed.
TEST_F(EditDialogModelTest, InvalidValuesAreRefusedAndNothingIsWritten) {
    struct Case {
        int slot;
        const char* typed;
        const char* refusedNaming;  // nullptr: saved
        const char* stored;         // the field afterwards, trimmed
    };
    const Case cases[] = {
        {M::Time, "abcd", "Laufzeit", "3:05"},  {M::Time, "3:60", "Laufzeit", "3:05"},
        {M::Time, "3:5", "Laufzeit", "3:05"},   {M::Time, ":05", "Laufzeit", "3:05"},
        {M::Time, "4:07", nullptr, "4:07"},     {M::Time, "12:34", nullptr, "12:34"},
        {M::Time, "", nullptr, ""},             {M::Year, "12", "V\xD6-Jahr", "1974"},
        {M::Year, "0999", "V\xD6-Jahr", "1974"}, {M::Year, "1987", nullptr, "1987"},
        {M::Year, "0", nullptr, "0"},           {M::Year, "", nullptr, "0"},
        {M::Range, "12", "Benotung", "5"},      {M::Range, "7", nullptr, "7"},
        {M::Range, "", nullptr, "0"},
    };
    add({"Abba", "Gold", "Waterloo", 1974, 3, 5});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(M::fields()[size_t(c.slot)].label) + " '" + c.typed + "'");
        const std::string before = bytes(1);
        ui::ScriptedUi ui;
        M model(*table, 1, state, &ui);
        model.enterField(c.slot);
        if (*c.typed) {
            model.typeText(c.slot, c.typed);
        } else {
            model.setText(c.slot, "");
        }
        // A rating of more than one digit is refused as it is typed, the others when saving.
        if (!(c.refusedNaming && c.slot == M::Range)) model.save();
        if (c.refusedNaming) {
            ASSERT_FALSE(ui.calls().empty());
            EXPECT_EQ(ui.calls().back().rfind("warning: Problem | ", 0), 0u) << ui.calls().back();
            EXPECT_NE(ui.calls().back().find(c.refusedNaming), std::string::npos) << ui.calls().back();
            EXPECT_NE(model.refusal().find(c.refusedNaming), std::string::npos);
            EXPECT_FALSE(model.closeRequested());
            EXPECT_FALSE(model.commit());
            EXPECT_EQ(bytes(1), before);
            EXPECT_EQ(model.value(c.slot), c.slot == M::Range ? "5" : c.typed);  // kept for correcting
        } else {
            EXPECT_TRUE(ui.calls().empty()) << ui.calls().front();
            EXPECT_TRUE(model.closeRequested());
            EXPECT_TRUE(model.commit());
        }
        EXPECT_EQ(base::trim(field(1, M::fields()[size_t(c.slot)].field)), c.stored);
        // Each case starts from the stored record again.
        M restore(*table, 1, state);
        restore.setText(M::Time, "3:05");
        restore.setText(M::Year, "1974");
        restore.setText(M::Range, "5");
        restore.save();
        ASSERT_TRUE(restore.commit());
    }

    // A value stored before and left as it was is not checked.
    table->goTo(1);
    table->putC(t::TIME, "--:--");
    table->flush();
    M untouched(*table, 1, state);
    untouched.setText(M::Group, "Abba!");
    untouched.save();
    EXPECT_TRUE(untouched.commit());
    EXPECT_EQ(base::trim(field(1, t::TIME)), "--:--");
}

TEST_F(EditDialogModelTest, AMissingOrDeletedRecordIsNeverWritten) {
    add({"Abba", "Gold", "Waterloo", 1974, 3, 5});
    add({"Cure", "Disintegration", "Lullaby", 1989, 5, 3});

    M missing(*table, 7, state);
    EXPECT_FALSE(missing.loaded());
    EXPECT_FALSE(missing.typeText(M::Group, "X"));
    missing.save();
    EXPECT_FALSE(missing.commit());

    // The record is deleted while the dialog is open: saving writes nothing onto it.
    M model(*table, 2, state);
    ASSERT_TRUE(model.loaded());
    model.enterField(M::Title);
    model.typeText(M::Title, "Neu");
    table->goTo(2);
    table->deleteRecord();
    table->flush();
    const std::string before = bytes(2);
    model.save();
    EXPECT_FALSE(model.commit());
    EXPECT_EQ(bytes(2), before);

    M deleted(*table, 2, state);
    EXPECT_FALSE(deleted.loaded());
}

}  // namespace
}  // namespace klango::table
