// The search: the condition's precedence and free words, the dialog's field rules, the search in
// the open database as a view and the search in all databases into "MP3SUCH".
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/binary_file.h"
#include "query/database_files.h"
#include "query/search.h"
#include "query/search_condition.h"
#include "query/search_dialog_model.h"
#include "query_fixture.h"
#include "shell/settings_keys.h"

using namespace klango;
using query::SearchCriteria;
using query::SearchDialogModel;
using test::Track;
using V = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

// One track record's bytes with artist, album and title set (CP1252).
class Record {
public:
    Record(const std::string& group, const std::string& album, const std::string& title)
        : m_bytes(size_t(trackdb::track::kRecordLength), ' ') {
        set(trackdb::track::GROUP, group);
        set(trackdb::track::ALBUM, album);
        set(trackdb::track::TITLE, title);
    }
    dbf::RecordView view() const { return {trackdb::trackStructure(), m_bytes.data()}; }

private:
    void set(int field, const std::string& text) {
        const dbf::FieldDef& f = trackdb::trackStructure()[size_t(field)];
        std::memcpy(m_bytes.data() + f.offset, text.data(), std::min(text.size(), size_t(f.width)));
    }
    std::string m_bytes;
};

SearchCriteria terms(std::string group, std::string album, std::string title, bool or1 = false, bool or2 = false) {
    SearchCriteria c;
    c.group = std::move(group);
    c.album = std::move(album);
    c.title = std::move(title);
    c.andOr1 = or1 ? query::kOr : query::kAnd;
    c.andOr2 = or2 ? query::kOr : query::kAnd;
    return c;
}

// The messages the search gave, in order ("warning: ..." and "info: ...").
V messages(const ui::ScriptedUi& ui) {
    V out;
    for (const std::string& call : ui.calls()) {
        if (call.rfind("warning: ", 0) == 0 || call.rfind("info: ", 0) == 0) out.push_back(call);
    }
    return out;
}

// The titles of an open table in record order.
V titlesOf(const dbf::DbfTable& t) {
    V titles;
    for (uint32_t r = 1; r <= t.lastRec(); ++r) titles.emplace_back(base::trimRight(t.view(r).raw(trackdb::track::TITLE)));
    return titles;
}

SearchCriteria words(std::string text) {
    SearchCriteria c;
    c.text = std::move(text);
    return c;
}

}  // namespace

TEST(SearchCondition, PrecedenceFreeWordsAndCaseOfEveryLetter) {
    const std::string full37(37, 'x');
    struct Case {
        const char* what;
        SearchCriteria criteria;
        Record record;
        bool meets;
    };
    const Case cases[] = {
        {"artist inside, any case", terms("BEATLES", "", ""), {"The Beatles", "", ""}, true},
        {"a term keeps its leading blank", terms(" BEA", "", ""), {"Beatles", "", ""}, false},
        {"A oder B und C: A alone", terms("ABBA", "GOLD", "SOS", true), {"Abba", "", ""}, true},
        {"A oder B und C: B and C", terms("ABBA", "GOLD", "SOS", true), {"", "Gold", "SOS"}, true},
        {"A oder B und C: B alone", terms("ABBA", "GOLD", "SOS", true), {"", "Gold", ""}, false},
        {"A und B oder C: C alone", terms("ABBA", "GOLD", "SOS", false, true), {"", "", "SOS"}, true},
        {"A und B oder C: A alone", terms("ABBA", "GOLD", "SOS", false, true), {"Abba", "", ""}, false},
        {"album and title joined by link 2", terms("", "GOLD", "SOS", true, true), {"", "", "SOS"}, true},
        {"artist and title joined by link 2", terms("ABBA", "", "SOS", false, false), {"Abba", "", "x"}, false},
        {"umlauts fold: \xE4rzte", terms("\xE4rzte", "", ""), {"Die \xC4rzte", "", ""}, true},
        {"accents fold: caf\xC9", terms("", "", "caf\xC9"), {"", "", "Caf\xE9 del Mar"}, true},
        {"free words in any field and order", words("STONES ROLLING"), {"The Rolling Stones", "", ""}, true},
        {"free words across fields", words("rolling stones"), {"Rolling", "Stones", ""}, true},
        {"a word never spans the joint of two fields", words("ROLLING"), {full37 + "ROL", "LING", ""}, false},
        {"every word must occur", words("ROLLING BEATLES"), {"The Rolling Stones", "", ""}, false},
        {"the eleventh word is ignored", words("A B C D E F G H I J QQQ"), {"ABCDEFGHIJ", "", ""}, true},
        {"the tenth word counts", words("A B C D E F G H I QQQ"), {"ABCDEFGHIJ", "", ""}, false},
        {"field terms win over free words", [] {
             SearchCriteria c = terms("ABBA", "", "");
             c.text = "ZZZ";
             return c;
         }(), {"Abba", "", ""}, true},
    };
    for (const Case& c : cases) {
        const query::SearchCondition condition(c.criteria, trackdb::trackStructure());
        EXPECT_EQ(condition(c.record.view()), c.meets) << c.what << " / " << condition.text();
    }
    const query::SearchCondition precedence(terms("A", "B", "C", true), trackdb::trackStructure());
    EXPECT_EQ(precedence.text(),
              "at(upper(rtrim(cSU_GROUP)), upper(rtrim(GROUP))) > 0 .or. at(upper(rtrim(cSU_ALBUM)), "
              "upper(rtrim(ALBUM))) > 0 .and. at(upper(rtrim(cSU_TITLE)), upper(rtrim(TITLE))) > 0");
    EXPECT_EQ(query::FTXTSUCH1("  A  B C D E F G H I J K L "), (V{"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"}));
}

TEST(SearchDialog, FieldRulesAndTheStartButton) {
    bool ran = false;
    SearchDialogModel m(SearchCriteria{}, [&](SearchDialogModel&) { ran = true; });
    using F = SearchDialogModel::Field;
    EXPECT_FALSE(m.canStart());
    m.setValue(F::Group, "die \xE4rzte");
    EXPECT_EQ(m.value(F::Group), "DIE \xC4RZTE");
    EXPECT_TRUE(m.canStart());  // before the field is even left
    m.leave(F::Group);
    EXPECT_FALSE(m.fieldEnabled(F::Text));
    m.setValue(F::Album, "   ");
    m.leave(F::Album);  // a blank field left while the artist holds text
    EXPECT_TRUE(m.canStart());
    m.clear();
    EXPECT_FALSE(m.canStart());
    EXPECT_TRUE(m.fieldEnabled(F::Text) && m.fieldEnabled(F::Group));
    m.setValue(F::Text, "rolling");
    m.leave(F::Text);
    EXPECT_FALSE(m.fieldEnabled(F::Group) || m.fieldEnabled(F::Album) || m.fieldEnabled(F::Title));
    m.setValue(F::Text, "");
    m.leave(F::Text);
    EXPECT_TRUE(m.fieldEnabled(F::Group));
    EXPECT_FALSE(m.canStart());
    m.setValue(F::Title, std::string(60, 'a'));
    EXPECT_EQ(m.value(F::Title).size(), 40u);
    m.abort();  // closes without a search
    EXPECT_TRUE(m.closeRequested());
    EXPECT_FALSE(m.searched() || ran);
}

// The dialog's search in the open database: the hits in artist order as a view, the criteria
// written to the settings file; a search without hit keeps the view in force.
TEST(Search, InTheOpenDatabase) {
    test::QueryFixture f;
    ASSERT_TRUE(f.open("Rock", {{.group = "Zappa", .title = "Z"}, {.group = "The Beatles", .title = "B1"},
                                {.group = "Abba", .title = "A"}, {.group = "Beatles", .title = "B2"}}));
    f.ui.expectDialog([](ui::DialogModel& dm) {
        auto& m = dynamic_cast<SearchDialogModel&>(dm);
        m.setValue(SearchDialogModel::Field::Group, "beatles");
        m.leave(SearchDialogModel::Field::Group);
        m.start();
    });
    EXPECT_TRUE(f.queries.search.MP3SUCH());
    EXPECT_EQ(f.shown(), (V{"B2", "B1"}));
    EXPECT_EQ(f.item(ui::MessageItem::Filter), "Filter !");
    EXPECT_EQ(f.item(ui::MessageItem::Records), "Titel: 2");
    EXPECT_EQ(f.shell.state.settings().text(shell::keys::kSuchenGroup), "BEATLES");
    EXPECT_EQ(f.shell.state.settings().text(shell::keys::kSeekInAll), "0");

    EXPECT_EQ(f.queries.search.SUCHINONE(words("mozart")), 0u);
    EXPECT_EQ(f.ui.calls().back(), "warning: Problem | Der Suchbegriff wurde nicht gefunden");
    EXPECT_EQ(f.shown(), (V{"B2", "B1"}));
    EXPECT_EQ(f.item(ui::MessageItem::Filter), "Filter !");

    f.queries.filter.MP3KILLFILTER();
    EXPECT_EQ(f.shown().size(), 4u);
    EXPECT_FALSE(fs::exists(f.home.data() / "MP3TEMP.NTX"));
}

// The search in all databases: every table file in name order (case-blind), MP3SUCH itself
// left out and MP3SUCHE searched; the result opened in the table window. A stopped or empty
// search leaves the database open before as it was, filter view included.
TEST(Search, InAllDatabases) {
    struct Case {
        const char* what;
        std::string artist;
        int stopAtEvent;  // 0: never
        V hits;           // titles in MP3SUCH, in record order
        std::string message;
    };
    const Case cases[] = {
        {"all files in name order", "beatles", 0, {"abba-b", "such-e-b", "rock-b"}, ""},
        {"stopped before the second file", "beatles", 2, {"abba-b"},
         "info: Suchmaschine | Die Suche wurde abgebrochen !"},
        {"stopped with nothing found", "zappa", 2, {}, "info: Suchmaschine | Die Suche wurde abgebrochen !"},
        {"nothing found", "mozart", 0, {}, "warning: Suchmaschine | Die Suche war erfolglos."},
    };
    for (const Case& c : cases) {
        test::QueryFixture f;
        test::writeTracks(f.dbf("abba"), {{.group = "Beatles", .title = "abba-b"}, {.group = "Abba", .title = "abba-a"}});
        test::writeTracks(f.dbf("MP3SUCH"), {{.group = "Beatles", .title = "old result"}});
        test::writeTracks(f.dbf("MP3SUCHE"), {{.group = "The Beatles", .title = "such-e-b"}});
        ASSERT_TRUE(f.open("Rock", {{.group = "Beatles", .title = "rock-b", .genre = "Rock"},
                                    {.group = "Zappa", .title = "rock-z", .genre = "Jazz"}}));
        ASSERT_EQ(f.queries.filter.FILTERNOW({V{"Jazz"}}), 1u);
        f.ui.expectDialog([&](ui::DialogModel& dm) {
            auto& m = dynamic_cast<SearchDialogModel&>(dm);
            m.setValue(SearchDialogModel::Field::Group, c.artist);
            m.setInAll(true);
            m.start();
        });
        f.ui.whileDialogOpen([&](ui::DialogModel& dm, int event) {
            auto& m = dynamic_cast<SearchDialogModel&>(dm);
            EXPECT_EQ(m.total(), 4) << c.what;
            if (event == c.stopAtEvent) m.abort();
        });
        EXPECT_TRUE(f.queries.search.MP3SUCH()) << c.what;
        if (!c.message.empty()) EXPECT_EQ(f.ui.calls().back(), c.message) << c.what;
        if (c.hits.empty()) {
            EXPECT_FALSE(fs::exists(f.dbf("MP3SUCH"))) << c.what;
            EXPECT_EQ(f.shell.state.CFILE, "Rock") << c.what;
            EXPECT_EQ(f.shown(), (V{"rock-z"})) << c.what;
            EXPECT_TRUE(f.shell.state.LTAB_FILT) << c.what;
            EXPECT_EQ(f.item(ui::MessageItem::Filter), "Filter !") << c.what;
            continue;
        }
        dbf::DbfTable* t = f.table();
        ASSERT_TRUE(t) << c.what;
        EXPECT_EQ(fs::path(t->path()).filename(), "MP3SUCH.dbf") << c.what;
        EXPECT_TRUE(f.window.panelShown()) << c.what;
        EXPECT_FALSE(f.shell.state.LTAB_FILT) << c.what;
        V titles;
        for (uint32_t r = 1; r <= t->lastRec(); ++r) {
            titles.emplace_back(base::trimRight(t->view(r).raw(trackdb::track::TITLE)));
        }
        EXPECT_EQ(titles, c.hits) << c.what;
        EXPECT_EQ(f.shell.state.settings().text(shell::keys::kSeekInAll), "1") << c.what;
        EXPECT_TRUE(f.errors.empty()) << c.what;
    }
}

// Searching all databases while the result database is open and finding nothing leaves it
// open and empty.
TEST(Search, InAllDatabasesFromTheResultDatabase) {
    test::QueryFixture f;
    test::writeTracks(f.dbf("Rock"), {{.group = "Beatles", .title = "rock-b"}});
    ASSERT_TRUE(f.open("MP3SUCH", {{.group = "Beatles", .title = "old"}}));
    SearchCriteria c = terms("mozart", "", "");
    c.inAll = true;
    const auto result = f.queries.search.SUCHINALL(c);
    EXPECT_EQ(result.hits, 0u);
    EXPECT_EQ(f.ui.calls().back(), "warning: Suchmaschine | Die Suche war erfolglos, die Suchdatei ist nun leer.");
    ASSERT_TRUE(f.table());
    EXPECT_EQ(f.table()->lastRec(), 0u);
    EXPECT_TRUE(f.window.panelShown());
}

// "&Abbrechen" takes effect inside a large file too: the records after the stop are not copied.
TEST(Search, AStopTakesEffectInsideALargeFile) {
    test::QueryFixture f;
    std::vector<Track> tracks(10000, Track{.group = "Beatles", .title = "b"});
    test::writeTracks(f.dbf("Large"), tracks);
    ASSERT_TRUE(f.open("Rock", {{.group = "Zappa", .title = "z"}}));
    SearchCriteria c = terms("beatles", "", "");
    c.inAll = true;
    SearchDialogModel dialog(c, {});
    f.ui.expectDialog([&](ui::DialogModel&) {
        dialog.setRunning(true);
        const auto result = f.queries.search.SUCHINALL(c, &dialog);
        EXPECT_TRUE(result.stopped);
        EXPECT_EQ(result.hits, 4095u);  // stopped at the first look at the window inside the file
    });
    f.ui.whileDialogOpen([](ui::DialogModel& dm, int event) {
        if (event == 2) dynamic_cast<SearchDialogModel&>(dm).abort();
    });
    f.ui.runDialog(dialog);
    EXPECT_EQ(f.ui.calls().front(), "dialog: Suchmaschine");
}

// The result database cannot be made (another program holds "MP3SUCH.DBF"): nothing is searched,
// a warning says so, and the database open before is open and shown again, the result database
// itself with its old records, another one with its view.
TEST(Search, AResultFileThatCannotBeMadeBringsBackTheDatabaseOpenBefore) {
    struct Case {
        const char* what;
        std::string open;  // the database open when the search starts
        V shown;           // what the table window shows afterwards
    };
    const Case cases[] = {
        {"the result database was open", "MP3SUCH", {"old"}},
        {"another database was open", "Rock", {"rock-z"}},
    };
    for (const Case& c : cases) {
        test::QueryFixture f;
        test::writeTracks(f.dbf("MP3SUCH"), {{.group = "Beatles", .title = "old"}});
        test::writeTracks(f.dbf("Rock"), {{.group = "Beatles", .title = "rock-b", .genre = "Rock"},
                                          {.group = "Zappa", .title = "rock-z", .genre = "Jazz"}});
        ASSERT_TRUE(f.open(c.open)) << c.what;
        if (c.open == "Rock") ASSERT_EQ(f.queries.filter.FILTERNOW({V{"Jazz"}}), 1u) << c.what;
        // The lock is taken as soon as the search lets go of the file and given back when the
        // table window opens it again.
        std::unique_ptr<platform::BinaryFile> lock;
        auto takeLock = [&] {
            int os = 0;
            lock = platform::BinaryFile::open(f.dbf("MP3SUCH"), os);
            ASSERT_TRUE(lock) << c.what;
        };
        if (c.open == "Rock") takeLock();
        const auto close = f.shell.hooks.MP3DLGCLOSE;
        f.shell.hooks.MP3DLGCLOSE = [&] {
            close();
            f.shell.areas->close("DMP3");
            takeLock();
        };
        const auto reopen = f.shell.hooks.MP3TABLE;
        f.shell.hooks.MP3TABLE = [&](bool fromMenu) {
            lock.reset();
            return reopen(fromMenu);
        };
        SearchCriteria criteria = terms("beatles", "", "");
        criteria.inAll = true;
        const auto result = f.queries.search.SUCHINALL(criteria);
        EXPECT_TRUE(result.failed) << c.what;
        EXPECT_EQ(messages(f.ui), (V{std::string("warning: Suchmaschine | ") + query::Search::kNoResultFile})) << c.what;
        ASSERT_TRUE(f.table()) << c.what;
        EXPECT_TRUE(f.window.panelShown()) << c.what;
        EXPECT_TRUE(query::sameDatabase(f.shell.state.CFILE, c.open)) << f.shell.state.CFILE << " " << c.what;
        EXPECT_EQ(fs::path(f.table()->path()).filename(), c.open + ".dbf") << c.what;
        EXPECT_EQ(f.shown(), c.shown) << c.what;
        EXPECT_EQ(f.shell.state.LTAB_FILT, c.open == "Rock") << c.what;
        lock.reset();
        if (c.open != "MP3SUCH") {
            auto old = dbf::DbfTable::open(f.dbf("MP3SUCH"));
            ASSERT_TRUE(old) << c.what;
            EXPECT_EQ(titlesOf(*old), (V{"old"})) << c.what;
        }
        ASSERT_EQ(f.errors.size(), 1u) << c.what;
        EXPECT_EQ(f.errors[0].genCode, base::kErrCreate) << c.what;
    }
}

// A table file that cannot be opened (damaged, or held by another program) is passed over and
// named; the others are searched all the same, and the outcome speaks of the whole search. A
// stop by the user stays a stop.
TEST(Search, ADatabaseThatCannotBeOpenedIsPassedOver) {
    struct Case {
        const char* what;
        std::string artist;
        bool locked;      // Gesperrt.dbf held by another program
        int stopAtEvent;  // 0: never; the files come in the order abba, Gesperrt, Kaputt, MP3SUCH, ...
        V hits;           // titles in MP3SUCH; empty: the database open before is open again
        V messages;
        int errors;       // told to the error handler
    };
    const std::string skippedDamaged = std::string("warning: Suchmaschine | ") + query::Search::kNotSearched + "Kaputt.dbf";
    const std::string skippedBoth =
        std::string("warning: Suchmaschine | ") + query::Search::kNotSearched + "Gesperrt.dbf, Kaputt.dbf";
    const Case cases[] = {
        {"hits before and after the damaged file", "beatles", false, 0, {"abba-b", "gesperrt-b", "zeta-b"},
         {skippedDamaged}, 1},
        {"nothing found anywhere", "mozart", false, 0, {}, {skippedDamaged, "warning: Suchmaschine | Die Suche war erfolglos."}, 1},
        {"damaged and held", "beatles", true, 0, {"abba-b", "zeta-b"}, {skippedBoth}, 1},
        {"stopped after the damaged file", "beatles", false, 4, {"abba-b", "gesperrt-b"},
         {skippedDamaged, "info: Suchmaschine | Die Suche wurde abgebrochen !"}, 1},
    };
    for (const Case& c : cases) {
        test::QueryFixture f;
        test::writeTracks(f.dbf("abba"), {{.group = "Beatles", .title = "abba-b"}});
        test::writeFileBytes(f.dbf("Kaputt"), "keine Tabelle");
        test::writeTracks(f.dbf("Gesperrt"), {{.group = "Beatles", .title = "gesperrt-b"}});
        test::writeTracks(f.dbf("Zeta"), {{.group = "The Beatles", .title = "zeta-b"}});
        ASSERT_TRUE(f.open("Rock", {{.group = "Zappa", .title = "rock-z"}})) << c.what;
        std::unique_ptr<platform::BinaryFile> lock;
        if (c.locked) {
            int os = 0;
            lock = platform::BinaryFile::open(f.dbf("Gesperrt"), os);
            ASSERT_TRUE(lock) << c.what;
        }
        SearchCriteria criteria = terms(c.artist, "", "");
        criteria.inAll = true;
        SearchDialogModel dialog(criteria, {});
        f.ui.expectDialog([&](ui::DialogModel&) {
            dialog.setRunning(true);
            f.queries.search.SUCHINALL(criteria, &dialog);
        });
        f.ui.whileDialogOpen([&](ui::DialogModel& dm, int event) {
            if (event == c.stopAtEvent) dynamic_cast<SearchDialogModel&>(dm).abort();
        });
        f.ui.runDialog(dialog);
        lock.reset();
        EXPECT_EQ(messages(f.ui), c.messages) << c.what;
        EXPECT_EQ(int(f.errors.size()), c.errors) << c.what;
        ASSERT_TRUE(f.table()) << c.what;
        EXPECT_TRUE(f.window.panelShown()) << c.what;
        if (c.hits.empty()) {
            EXPECT_EQ(f.shell.state.CFILE, "Rock") << c.what;
            EXPECT_EQ(f.shown(), (V{"rock-z"})) << c.what;
            EXPECT_FALSE(fs::exists(f.dbf("MP3SUCH"))) << c.what;
        } else {
            EXPECT_EQ(fs::path(f.table()->path()).filename(), "MP3SUCH.dbf") << c.what;
            EXPECT_EQ(titlesOf(*f.table()), c.hits) << c.what;
        }
        EXPECT_EQ(test::readFileBytes(f.dbf("Kaputt")), "keine Tabelle") << c.what;
    }
}
