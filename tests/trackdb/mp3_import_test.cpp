#include "trackdb/mp3_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/work_areas.h"
#include "shell/app_state.h"
#include "tag_builder.h"
#include "trackdb/import_dialog_model.h"
#include "trackdb/track_record.h"
#include "platform/clock.h"
#include "ui/scripted_ui.h"

namespace klango::trackdb {
namespace {

namespace fs = std::filesystem;

struct Row {
    std::string path, title, disc;
    int import = -1;
};

// A program folder, a music folder without "-" in its path, and a mount table that knows no
// drive (so the medium has no label) unless a test gives the music folder one.
class Mp3ImportTest : public ::testing::Test {
  protected:
    Mp3ImportTest() : areas(home.data()) {
        state.CRUNIN = home.root() / "";
        state.CINIFILE = home.root() / "KLANGO.INI";
        fs::create_directories(fake.root() / "proc" / "self");
        fs::create_directories(fake.root() / "dev" / "disk" / "by-label");
        test::writeFileBytes(fake.root() / "proc" / "self" / "mountinfo", "");
    }

    platform::Volumes volumes() const { return platform::Volumes(fake.root() / "proc", fake.root() / "dev"); }
    std::string source() const { return base::utf8ToCp1252(music.root().string()); }
    fs::path song(const std::string& relative, const std::string& artist, const std::string& title) {
        return music.write(relative, std::string(64, '\0') + test::id3v1(title, artist, "Album", "2001", 17));
    }
    void labelMusicFolder(const std::string& label) {
        test::writeFileBytes(fake.root() / "dev" / "fakedisk", "");
        fs::create_symlink("../../fakedisk", fake.root() / "dev" / "disk" / "by-label" / label);
        test::writeFileBytes(fake.root() / "proc" / "self" / "mountinfo",
                             "40 1 8:1 / " + music.root().string() + " rw - ext4 /dev/fakedisk rw\n");
    }
    // Scripts folder and file choice of an import into the database file name.
    void choose(const std::string& dbFile) {
        ui.expectFolder(source());
        ui.expectSaveFile(base::utf8ToCp1252((home.data() / dbFile).string()));
    }
    bool runImport() { return Mp3Import(state, areas, ui, volumes()).MP3IMPORT(); }

    std::vector<Row> rows(const std::string& db) {
        std::vector<Row> out;
        auto table = dbf::DbfTable::open(state.dataFile(db + ".dbf"));
        if (!table) return out;
        for (uint32_t r = 1; r <= table->lastRec(); ++r) {
            auto v = table->view(r);
            if (v.isDeleted()) continue;
            out.push_back({std::string(base::trimRight(v.raw(track::PATH))),
                           std::string(base::trimRight(v.raw(track::TITLE))),
                           std::string(base::trimRight(v.raw(track::DISCNAME))),
                           int(v.number(track::IMPORT))});
        }
        table->close();
        return out;
    }
    std::string rel(const std::string& path) const { return path.substr(source().size() + 1); }
    bool called(const std::string& prefix) const {
        return std::any_of(ui.calls().begin(), ui.calls().end(),
                           [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    }
    void expectScriptPlayed() {
        EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();
        EXPECT_TRUE(ui.scriptDone());
    }

    test::TempHome home;
    test::PlainTempDir music;
    test::PlainTempDir fake;
    shell::AppState state;
    dbf::WorkAreas areas;
    ui::ScriptedUi ui;
};

TEST_F(Mp3ImportTest, NewImportFillsTheDatabaseInPathOrder) {
    song("x.mp3", "Band", "Ex");
    song("B/z.mp3", "Band", "Zed");
    song("a/y.mp3", "Band", "Why");
    song(".hidden/h.mp3", "Band", "Hidden");
    song("a/.dot.mp3", "Band", "Dot");
    test::writeFileBytes(home.root() / "MP3TEMP.NT1", "left over");
    choose("best.of.rock.dbf");
    ui.expectDialog([](ui::DialogModel& m) {
        auto& d = dynamic_cast<ImportDialogModel&>(m);
        EXPECT_EQ(d.introText(), "Die Titel-Informationen werden nun importiert, bitte warten ...");
    });

    ASSERT_TRUE(runImport());
    expectScriptPlayed();
    // A new database gets the count, not the update's summary.
    EXPECT_EQ(std::count_if(ui.calls().begin(), ui.calls().end(),
                            [](const std::string& c) { return c.rfind("info:", 0) == 0; }),
              1);
    EXPECT_TRUE(called("info: Daten einlesen | Es wurden 3 Titel eingelesen!"));
    EXPECT_FALSE(called("yesNo:"));  // nor the delete question
    EXPECT_EQ(state.CFILE, "BEST");
    std::vector<Row> r = rows("BEST");
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(rel(r[0].path), "a/y.mp3");
    EXPECT_EQ(rel(r[1].path), "B/z.mp3");
    EXPECT_EQ(rel(r[2].path), "x.mp3");
    for (const Row& row : r) {
        EXPECT_EQ(row.import, 3);
        EXPECT_EQ(row.disc, "Neu");
    }
    EXPECT_EQ(r[0].title, "Why");

    EXPECT_EQ(state.settings().text(shell::keys::kImpPath), source() + "/");
    EXPECT_TRUE(areas.aliases().empty());
    EXPECT_FALSE(fs::exists(home.root() / "MP3TEMP.NT1"));
    EXPECT_FALSE(fs::exists(home.root() / "MP3TEMP.NT2"));
    EXPECT_EQ(ui.messageItem(ui::MessageItem::Base), "BEST");
    EXPECT_NE(std::find(ui.messages().begin(), ui.messages().end(), "Daten einlesen ..."),
              ui.messages().end());
    // Not a drive root: the last folder name is proposed.
    const std::string proposal = base::upperAZ(music.root().filename().string()) + ".DBF";
    EXPECT_TRUE(called("saveFile: MP3-Datenbank anlegen unter ... | " + proposal));
}

TEST_F(Mp3ImportTest, MediumNameIsTheVolumeLabel) {
    labelMusicFolder("Sammlung");
    song("a.mp3", "Band", "Song");
    ui.expectFolder(source());
    ui.expectSaveFile(base::utf8ToCp1252((home.data() / "Sammlung.dbf").string()));
    ui.expectDialog();
    ASSERT_TRUE(runImport());
    expectScriptPlayed();
    EXPECT_TRUE(called("saveFile: MP3-Datenbank anlegen unter ... | Sammlung.dbf"));
    std::vector<Row> r = rows("SAMMLUNG");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].disc, "Sammlung");
}

TEST_F(Mp3ImportTest, CancellingEitherChoiceTouchesNothing) {
    ui.expectFolder("");
    EXPECT_FALSE(runImport());
    expectScriptPlayed();
    EXPECT_FALSE(called("saveFile:"));

    ui.expectFolder(source());
    ui.expectSaveFile("");
    EXPECT_FALSE(runImport());
    expectScriptPlayed();
    EXPECT_FALSE(called("dialog:"));
    EXPECT_TRUE(areas.aliases().empty());
    EXPECT_TRUE(fs::is_empty(home.data()));

    // A name of nothing but the extension is refused and asked again.
    ui.expectFolder(source());
    ui.expectSaveFile(base::utf8ToCp1252((home.data() / ".dbf").string()));
    ui.expectSaveFile("");
    EXPECT_FALSE(runImport());
    expectScriptPlayed();
    EXPECT_TRUE(called("warning: Daten einlesen"));
    EXPECT_TRUE(fs::is_empty(home.data()));

    // So is a name the code page cannot hold: the dialog's answer holds a "?" for each such
    // character, which must not become a file "??.dbf".
    ui.expectFolder(source());
    ui.expectSaveFile(base::utf8ToCp1252((home.data() / "\xE6\x97\xA5\xE6\x9C\xAC.dbf").string()));
    ui.expectSaveFile("");
    EXPECT_FALSE(runImport());
    expectScriptPlayed();
    EXPECT_TRUE(called("warning: Daten einlesen | Der Datenbankname enth\xE4lt Zeichen"));
    EXPECT_TRUE(fs::is_empty(home.data()));
}

TEST_F(Mp3ImportTest, UpdateWithAMovedARemovedAndANewFile) {
    song("a/one.mp3", "Band", "One");
    const fs::path two = song("a/two.mp3", "Band", "Two");
    const fs::path three = song("a/three.mp3", "Band", "Three");
    choose("rock.dbf");
    ui.expectDialog();
    ASSERT_TRUE(runImport());
    expectScriptPlayed();
    {
        // Records of a medium that is not inserted, and of a folder whose name merely begins
        // like the source folder's.
        auto t = dbf::DbfTable::open(state.dataFile("ROCK.dbf"));
        ASSERT_TRUE(t);
        t->appendBlank();
        t->putC(track::PATH, "/media/cdrom/gone.mp3");
        t->appendBlank();
        t->putC(track::PATH, source() + "2/gone.mp3");
        t->close();
    }
    fs::create_directories(music.root() / "b");
    fs::rename(two, music.root() / "b" / "two.mp3");
    fs::remove(three);
    song("a/four.mp3", "Band", "Four");

    choose("ROCK.DBF");
    ui.expectYesNo(true, "Die Datei existiert bereits, wollen Sie aktualisieren ?");
    ui.expectDialog([](ui::DialogModel& m) {
        EXPECT_EQ(dynamic_cast<ImportDialogModel&>(m).introText(),
                  "Die Titel-Informationen werden nun aktualisiert, bitte warten ...");
    });
    ui.expectYesNo(true, "Nicht vorhandene Eintr\xE4ge l\xF6schen ?");
    ASSERT_TRUE(runImport());
    expectScriptPlayed();
    EXPECT_TRUE(called("info: Daten einlesen | Es wurden 1 Titel angef\xFCgt und 1 Titel gel\xF6scht!"));

    std::vector<Row> r = rows("ROCK");
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(rel(r[0].path), "a/one.mp3");
    EXPECT_EQ(r[0].import, 3);
    EXPECT_EQ(rel(r[1].path), "b/two.mp3");
    EXPECT_EQ(r[1].import, 2);
    EXPECT_EQ(r[2].path, "/media/cdrom/gone.mp3");
    EXPECT_EQ(r[3].path, source() + "2/gone.mp3");
    EXPECT_EQ(rel(r[4].path), "a/four.mp3");
    EXPECT_EQ(r[4].import, 1);
    EXPECT_FALSE(ui.waitCursor());
    EXPECT_FALSE(fs::exists(home.root() / "MP3TEMP.NT1"));
}

TEST_F(Mp3ImportTest, UpdateWithoutChangesOrReplacingTheDatabase) {
    song("a.mp3", "Band", "A");
    song("b.mp3", "Band", "B");
    choose("rock.dbf");
    ui.expectDialog();
    ASSERT_TRUE(runImport());
    EXPECT_TRUE(called("info: Daten einlesen | Es wurden 2 Titel eingelesen!"));

    // Nothing appended, nothing deleted: no summary.
    const size_t callsBefore = ui.calls().size();
    choose("rock.dbf");
    ui.expectYesNo(true, "aktualisieren");
    ui.expectDialog();
    ui.expectYesNo(true, "l\xF6schen");
    ASSERT_TRUE(runImport());
    expectScriptPlayed();
    for (size_t i = callsBefore; i < ui.calls().size(); ++i) EXPECT_NE(ui.calls()[i].rfind("info:", 0), 0u);
    EXPECT_EQ(rows("ROCK").size(), 2u);

    // "No" to the update asks once more, naming the count, before the tracks are replaced;
    // "Nein" there keeps the database as it is.
    fs::remove(music.root() / "b.mp3");
    const std::string before = test::readFileBytes(state.dataFile("ROCK.dbf"));
    choose("rock.dbf");
    ui.expectYesNo(false, "aktualisieren");
    ui.expectYesNo(false, "ROCK enth\xE4lt 2 Titel.\rBewertungen, Abspielzahlen und Infotexte gehen verloren");
    EXPECT_FALSE(runImport());
    expectScriptPlayed();
    EXPECT_TRUE(called("yesNo: Daten einlesen | Die Datenbank ROCK enth\xE4lt 2 Titel.\r"
                       "Bewertungen, Abspielzahlen und Infotexte gehen verloren.\r"
                       "Wollen Sie die Datenbank trotzdem ersetzen ? [Nein]"));
    EXPECT_TRUE(test::readFileBytes(state.dataFile("ROCK.dbf")) == before);

    choose("rock.dbf");
    ui.expectYesNo(false, "aktualisieren");
    ui.expectYesNo(true, "gehen verloren");
    ui.expectDialog();
    ASSERT_TRUE(runImport());
    expectScriptPlayed();
    std::vector<Row> r = rows("ROCK");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].import, 3);
}

TEST_F(Mp3ImportTest, InterruptionKeepsWhatWasReadAndStillAsksInAnUpdate) {
    for (char c = 'a'; c <= 'e'; ++c) song(std::string(1, c) + ".mp3", "Band", std::string(1, c));
    choose("rock.dbf");
    ui.expectDialog();
    // Event 1 comes before the first file; each file ends with one.
    ui.whileDialogOpen([](ui::DialogModel& m, int event) {
        if (event == 3) dynamic_cast<ImportDialogModel&>(m).interrupt();
    });
    ASSERT_TRUE(runImport());
    expectScriptPlayed();
    EXPECT_TRUE(called("warning: Import | Der Datenimport wurde unterbrochen und ist unvollst\xE4ndig !"));
    EXPECT_EQ(rows("ROCK").size(), 2u);

    choose("rock.dbf");
    ui.expectYesNo(true, "aktualisieren");
    ui.expectDialog();
    ui.expectYesNo(false, "l\xF6schen");
    ASSERT_TRUE(runImport());  // interrupted again after two files: a and b, found again
    expectScriptPlayed();
    EXPECT_FALSE(called("info:"));
    EXPECT_EQ(rows("ROCK").size(), 2u);
}

TEST_F(Mp3ImportTest, NamesOutsideTheCodePageAreReportedNotImported) {
    song("ok.mp3", "Band", "Ok");
    song("\xE6\x97\xA5\xE6\x9C\xAC.mp3", "Band", "Japan");
    choose("rock.dbf");
    ui.expectDialog();
    ASSERT_TRUE(runImport());
    expectScriptPlayed();
    EXPECT_EQ(rows("ROCK").size(), 1u);
    EXPECT_TRUE(called("info: Daten einlesen | 1 Datei wurde nicht eingelesen"));
    EXPECT_TRUE(called("info: Daten einlesen | 1 Datei wurde nicht eingelesen, weil ihr Name Zeichen enth\xE4lt, "
                       "die die Datenbank nicht speichern kann:\n" +
                       (music.root() / "\xE6\x97\xA5\xE6\x9C\xAC.mp3").string()));
}

// A re-import without update builds the new table under a working name that no "*.dbf" listing
// takes for a database; the old table stays as it is until the new one is complete, and an
// interrupted re-import leaves it so. A working table a killed import left goes with the next
// import of that name.
TEST_F(Mp3ImportTest, AReImportReplacesTheOldTableOnlyWhenComplete) {
    struct Case {
        const char* db;
        bool update;
        bool interrupt;  // after the first file
        std::vector<std::string> titles;
        const char* warning;
    };
    const Case cases[] = {
        {"one", false, true, {"X"}, "warning: Import | Der Datenimport wurde unterbrochen, die bisherige Datenbank bleibt"},
        {"two", false, false, {"A", "B", "C"}, nullptr},
        {"three", true, false, {"X", "A", "B", "C"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.db);
        const fs::path x = song("x.mp3", "Band", "X");
        choose(std::string(c.db) + ".dbf");
        ui.expectDialog();
        ASSERT_TRUE(runImport());
        const fs::path table = state.dataFile(base::upperAZ(c.db) + ".dbf");
        const std::string old = test::readFileBytes(table);
        const fs::path work = importWorkTable(table);
        test::writeFileBytes(work, "left by a kill");
        fs::remove(x);
        for (const char* t : {"A", "B", "C"}) song(std::string(t) + ".mp3", "Band", t);

        const size_t callsBefore = ui.calls().size();
        choose(std::string(c.db) + ".dbf");
        ui.expectYesNo(c.update, "aktualisieren");
        if (!c.update) ui.expectYesNo(true, "gehen verloren");
        ui.expectDialog();
        if (c.update) ui.expectYesNo(false, "l\xF6schen");
        ui.whileDialogOpen([&](ui::DialogModel& m, int event) {
            if (event != 2) return;
            std::vector<std::string> listed;
            for (const auto& entry : fs::directory_iterator(home.data())) {
                if (base::upperAZ(entry.path().stem().string()) == base::upperAZ(c.db) &&
                    base::upperAZ(entry.path().extension().string()) == ".DBF") {
                    listed.push_back(entry.path().filename().string());
                }
            }
            EXPECT_EQ(listed, std::vector<std::string>{table.filename().string()});
            if (!c.update) {
                EXPECT_TRUE(test::readFileBytes(table) == old) << "the old table changed";
            }
            if (c.interrupt) dynamic_cast<ImportDialogModel&>(m).interrupt();
        });
        ASSERT_TRUE(runImport());
        ui.whileDialogOpen({});
        expectScriptPlayed();
        std::vector<std::string> titles;
        for (const Row& row : rows(base::upperAZ(c.db))) titles.push_back(row.title);
        EXPECT_EQ(titles, c.titles);
        std::vector<std::string> warnings;
        for (size_t i = callsBefore; i < ui.calls().size(); ++i) {
            if (ui.calls()[i].rfind("warning:", 0) == 0) warnings.push_back(ui.calls()[i]);
        }
        ASSERT_EQ(warnings.size(), c.warning ? 1u : 0u);
        if (c.warning) {
            EXPECT_EQ(warnings[0].rfind(c.warning, 0), 0u) << warnings[0];
        }
        EXPECT_FALSE(fs::exists(work));
        for (const char* t : {"A", "B", "C"}) fs::remove(music.root() / (std::string(t) + ".mp3"));
    }
}

// While appending, the header tells the records written so far once the clock's second has
// changed, so that a kill loses at most the last second; not after each record.
TEST_F(Mp3ImportTest, TheHeaderFollowsTheImportOnceASecond) {
    struct ClockGuard {
        platform::FixedClock clock{{{2024, 5, 1}, 12, 0, 0}};
        ClockGuard() { platform::setClock(&clock); }
        ~ClockGuard() { platform::setClock(nullptr); }
    } time;
    for (const char* t : {"a", "b", "c", "d"}) song(std::string(t) + ".mp3", "Band", t);
    choose("rock.dbf");
    ui.expectDialog();
    std::vector<uint32_t> counts;  // the header's record count at each event of the dialog
    ui.whileDialogOpen([&](ui::DialogModel&, int event) {
        const std::string header = test::readFileBytes(state.dataFile("ROCK.dbf")).substr(4, 4);
        counts.push_back(uint32_t(uint8_t(header[0])) | uint32_t(uint8_t(header[1])) << 8);
        if (event == 2) time.clock.set({{2024, 5, 1}, 12, 0, 1});  // while the second file is read
    });
    ASSERT_TRUE(runImport());
    expectScriptPlayed();
    EXPECT_EQ(counts, (std::vector<uint32_t>{0, 0, 2, 2, 2}));
    EXPECT_EQ(rows("ROCK").size(), 4u);
}

}  // namespace
}  // namespace klango::trackdb
