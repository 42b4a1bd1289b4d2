// The playlist export and the single-track play on a real table: the playlist's bytes and place,
// the player's argument vector, the play statistics with a fixed clock, the sort dialog's order,
// and every way the export refuses or fails without changing a track.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "dbf/key_expression.h"
#include "output/output_fixture.h"
#include "output/playlist_export_model.h"
#include "output/playlist_sort_model.h"
#include "shell/settings_keys.h"

namespace fs = std::filesystem;
using namespace klango;
using namespace klango::output;
using namespace klango::output::test;
namespace keys = klango::shell::keys;

using PlaylistExportTest = OutputFixture;

// Where the playlist goes and what the player is given, for the folder settings and switches of
// the export (player "audacious", whose add switch is "--enqueue").
TEST_F(PlaylistExportTest, FileNameFolderAndPlayerArguments) {
    struct Case {
        const char* playList;
        const char* name;
        bool append, addPList, ampUseIt;
        const char* file;  // below the program folder
        std::vector<std::string> switches;
    };
    const Case cases[] = {
        {"lists", "PARTY", false, false, true, "lists/PARTY.M3U", {}},
        {"lists/", "PARTY.M3U", false, false, true, "lists/PARTY.M3U", {}},
        {"lists\\", "party.m3u", false, false, true, "lists/party.m3u.M3U", {}},
        {"", "", false, false, true, ".M3U", {}},
        {"lists", "PARTY", true, true, true, "lists/PARTY.M3U", {"--enqueue"}},
        {"lists", "PARTY", true, false, true, "lists/PARTY.M3U", {}},
        // The player always gets the full path, whatever AmpUseIt says.
        {"lists", "PARTY", false, false, false, "lists/PARTY.M3U", {}},
    };
    fs::create_directories(home.root() / "lists");
    shell.state.CS_AMPPATH = "audacious";
    add({"Band", "Song", "/m/song.mp3"});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.playList) + " " + c.name);
        setting(keys::kPlayList, c.playList);
        setting(keys::kAddPList, c.addPList ? "1" : "0");
        setting(keys::kAmpUseIt, c.ampUseIt ? "1" : "0");
        calls.clear();
        const PlaylistResult r = exporter().M3USORT(c.name, true, true, false, c.append);
        const fs::path expected = home.root() / c.file;
        ASSERT_TRUE(r.written);
        EXPECT_EQ(r.file, expected);
        EXPECT_EQ(klango::test::readFileBytes(expected), "/m/song.mp3\r\n");
        ASSERT_EQ(calls.size(), 1u);
        std::vector<std::string> args = c.switches;
        args.push_back(expected.string());
        EXPECT_EQ(calls[0].program, "audacious");
        EXPECT_EQ(calls[0].args, args);
        fs::remove(expected);
    }
    EXPECT_TRUE(ui.unexpected().empty());
}

// Every shown record once, with its own path, in the table's current order; an umlaut path in
// UTF-8; a path with a line break left out and counted; the view (order, current record) stays.
TEST_F(PlaylistExportTest, LinesOfTheMarkedTracks) {
    add({"Zappa", "Peaches", "/m/z.mp3"});
    const uint32_t first = add({"Band", "Song", "/m/a/song.mp3"});
    add({"Band", "Song", "/m/b/song.mp3"});  // same artist and title, another file
    add({"Abba", "Unmarked", "/m/u.mp3", false});
    add({"\xC4rzte", "M\xE4nner", "/m/\xC4rzte/M\xE4nner.mp3"});
    add({"Band", "Broken", "/m/one\ntwo.mp3"});
    table->setOrder(3);
    table->goTo(first);
    const PlaylistResult r = exporter().M3USORT("LISTE", true, false, false, false);
    ASSERT_TRUE(r.written);
    // Order 3 sorts by title: Broken (left out), Männer, Peaches, Song, Song.
    EXPECT_EQ(klango::test::readFileBytes(r.file),
              "/m/\xC3\x84rzte/M\xC3\xA4nner.mp3\r\n/m/z.mp3\r\n/m/a/song.mp3\r\n/m/b/song.mp3\r\n");
    EXPECT_EQ(r.tracks, 4u);
    EXPECT_EQ(r.leftOut, 1u);
    EXPECT_EQ(table->orderNumber(), 3);
    EXPECT_EQ(table->recNo(), first);
    ASSERT_FALSE(ui.calls().empty());
    EXPECT_NE(ui.calls().back().find("4 Titel in die Playliste geschrieben, 1 Titel ausgelassen"), std::string::npos);

    // A filter in force: only its records, and it stays in force.
    dbf::OrderOptions filter;
    filter.condition = dbf::ConditionSpec{"GROUP='Band'", [](const dbf::RecordView& v) {
                                              return base::trimRight(v.raw(track::GROUP)) == "Band";
                                          }};
    table->createOrder(home.root() / "MP3FILT.NTX", dbf::compileKey(table->structure(), "upper(TITLE)"), filter);
    table->goTo(first);
    table->deleteRecord();  // a deleted record is never shown
    const PlaylistResult f = exporter().M3USORT("LISTE", true, false, false, false);
    EXPECT_EQ(klango::test::readFileBytes(f.file), "/m/b/song.mp3\r\n");
    EXPECT_EQ(table->orderCount(), 1);
    EXPECT_EQ(table->count(), 2u);
}

// The statistics of exported tracks: PLAYED only when the player started, date, time and mark
// for every track in the written playlist, marks removed when asked.
TEST_F(PlaylistExportTest, PlayStatistics) {
    struct Case {
        const char* what;
        bool tagged, playNow, delMark, starts;
        int played;           // of the marked track afterwards
        bool markedAfter;     // of the marked track
        bool otherExported;   // the unmarked track went in
    };
    const Case cases[] = {
        {"played", true, true, false, true, 4, true, false},
        {"not played", true, false, false, true, 3, true, false},
        {"player fails", true, true, false, false, 3, true, false},
        {"marks removed", true, true, true, true, 4, false, false},
        {"all tracks, marks kept", false, false, false, true, 3, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        const uint32_t marked = add({"A", "Marked", "", true, 3});
        const uint32_t other = add({"B", "Other", "", false, 7});
        playerStarts = c.starts;
        const size_t callsBefore = ui.calls().size();
        const PlaylistResult r = exporter().M3USORT("X", c.tagged, c.playNow, c.delMark, false);
        ASSERT_TRUE(r.written);
        EXPECT_EQ(r.playerStarted, c.playNow && c.starts);
        table->goTo(marked);
        EXPECT_EQ(table->getN(track::PLAYED), c.played);
        EXPECT_EQ(table->getD(track::PLAYDATE), (base::Date{2026, 12, 9}));
        EXPECT_EQ(base::trimRight(table->getC(track::PLAYTIME)), "21:05");
        EXPECT_EQ(table->getL(track::TAGGED), c.markedAfter);
        table->goTo(other);
        EXPECT_EQ(table->getN(track::PLAYED), 7);
        EXPECT_EQ(table->getD(track::PLAYDATE).isEmpty(), !c.otherExported);
        EXPECT_EQ(table->getL(track::TAGGED), c.otherExported && !c.delMark);
        EXPECT_EQ(ui.messageItem(ui::MessageItem::Tagged),
                  "Markiert: " + std::to_string(int(c.markedAfter) + int(c.otherExported)));
        const bool warned = ui.calls().size() > callsBefore &&
                            ui.calls().back().find("konnte nicht gestartet") != std::string::npos;
        EXPECT_EQ(warned, c.playNow && !c.starts);
    }
}

// A playlist that cannot be written changes nothing and starts no player; so does an export
// without qualifying tracks or with a folder in its name.
TEST_F(PlaylistExportTest, RefusalsAndWriteFailuresChangeNothing) {
    const uint32_t recno = add({"A", "Song", "", true, 2});
    fs::create_directories(home.root() / "ro");
    fs::create_directories(home.root() / "taken" / "X.M3U");  // the name is a folder
    ::chmod((home.root() / "ro").c_str(), 0555);
    struct Case {
        const char* playList;
        const char* name;
        bool tagged;
        const char* message;
    } cases[] = {
        {"missing/folder", "X", true, "konnte nicht geschrieben werden"},
        {"taken", "X", true, "konnte nicht geschrieben werden"},
        {"ro", "X", true, "konnte nicht geschrieben werden"},
        {"", "../X", true, "keinen Ordner"},
    };
    for (const Case& c : cases) {
        if (std::string(c.playList) == "ro" && ::geteuid() == 0) continue;  // root writes anyway
        SCOPED_TRACE(c.playList);
        setting(keys::kPlayList, c.playList);
        const PlaylistResult r = exporter().M3USORT(c.name, c.tagged, true, true, false);
        EXPECT_FALSE(r.written);
        EXPECT_TRUE(calls.empty());
        ASSERT_FALSE(ui.calls().empty());
        EXPECT_NE(ui.calls().back().find(c.message), std::string::npos) << ui.calls().back();
        table->goTo(recno);
        EXPECT_EQ(table->getN(track::PLAYED), 2);
        EXPECT_TRUE(table->getD(track::PLAYDATE).isEmpty());
        EXPECT_TRUE(table->getL(track::TAGGED));
    }
    ::chmod((home.root() / "ro").c_str(), 0755);
    for (const auto& e : fs::directory_iterator(home.root() / "taken" )) EXPECT_TRUE(e.is_directory()) << e.path();

    table->goTo(recno);
    table->putL(track::TAGGED, false);
    setting(keys::kPlayList, "");
    EXPECT_FALSE(exporter().M3USORT("X", true, true, true, false).written);
    EXPECT_NE(ui.calls().back().find(PlaylistExport::kNoTitles), std::string::npos);
    EXPECT_FALSE(fs::exists(home.root() / "X.M3U"));
}

// Tracks whose every stored path holds a line break give no playlist: an older file of that name
// stays as it was, no player starts, no track changes, and the message says why.
TEST_F(PlaylistExportTest, OnlyBrokenPathsWriteNothing) {
    struct Case {
        const char* what;
        std::vector<const char*> paths;
        bool single;
        const char* message;
    };
    const Case cases[] = {
        {"single, LF", {"/m/one\ntwo.mp3"}, true, "Der Pfad dieses Titels enth\xE4lt einen Zeilenumbruch"},
        {"single, CR", {"/m/one\rtwo.mp3"}, true, "Der Pfad dieses Titels enth\xE4lt einen Zeilenumbruch"},
        {"export of one", {"/m/a\r\n.mp3"}, false, "Der Pfad dieses Titels enth\xE4lt einen Zeilenumbruch"},
        {"export of all", {"/m/a\n.mp3", "/m/b\r.mp3"}, false, "Die Pfade aller 2 Titel enthalten einen Zeilenumbruch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        calls.clear();
        std::vector<uint32_t> recnos;
        for (const char* path : c.paths) recnos.push_back(add({"A", "Song", path, true, 5}));
        const fs::path file = home.root() / (c.single ? "KLANGO.M3U" : "X.M3U");
        klango::test::writeFileBytes(file, "/m/older.mp3\r\n");
        table->goTo(recnos.front());
        const PlaylistResult r = c.single ? exporter().M3UEXSINGLE() : exporter().M3USORT("X", true, true, true, false);
        EXPECT_FALSE(r.written);
        EXPECT_FALSE(r.playerStarted);
        EXPECT_TRUE(calls.empty());
        EXPECT_EQ(klango::test::readFileBytes(file), "/m/older.mp3\r\n");
        EXPECT_FALSE(fs::exists(home.root() / (c.single ? "KLANGO.M3U.tmp~" : "X.M3U.tmp~")));
        ASSERT_FALSE(ui.calls().empty());
        EXPECT_NE(ui.calls().back().find(c.message), std::string::npos) << ui.calls().back();
        for (uint32_t recno : recnos) {
            table->goTo(recno);
            EXPECT_EQ(table->getN(track::PLAYED), 5);
            EXPECT_TRUE(table->getD(track::PLAYDATE).isEmpty());
            EXPECT_TRUE(table->getL(track::TAGGED));
        }
    }
}

// The sort dialog decides the order; titles left on the left stay out, "&Unterbrechen" writes
// nothing. With one qualifying track there is no dialog.
TEST_F(PlaylistExportTest, SortDialogOrder) {
    shell.state.LS_MARKSORT = false;
    add({"C", "Three", "/m/3.mp3"});
    add({"A", "One", "/m/1.mp3"});
    add({"B", "Two", "/m/2.mp3"});
    add({"D", "Out", "/m/out.mp3", false});
    ui.expectDialog([](ui::DialogModel& m) {
        auto& sort = dynamic_cast<PlaylistSortModel&>(m);
        sort.sourceActivated(2);  // C - Three (table order: A, B, C)
        sort.sourceActivated(0);  // A - One
        sort.press(PlaylistSortModel::Button::Continue);
    });
    PlaylistResult r = exporter().M3USORT("S", true, false, false, false);
    ASSERT_TRUE(r.written);
    EXPECT_EQ(klango::test::readFileBytes(r.file), "/m/3.mp3\r\n/m/1.mp3\r\n");
    ui.expectDialog([](ui::DialogModel& m) {
        dynamic_cast<PlaylistSortModel&>(m).press(PlaylistSortModel::Button::AllOver);
        dynamic_cast<PlaylistSortModel&>(m).press(PlaylistSortModel::Button::Stop);
    });
    fs::remove(r.file);
    r = exporter().M3USORT("S", true, true, false, false);
    EXPECT_FALSE(r.written);
    EXPECT_FALSE(fs::exists(home.root() / "S.M3U"));
    EXPECT_TRUE(calls.empty());
    // One qualifying track: straight to the file.
    for (uint32_t recno : {2u, 3u}) {
        table->goTo(recno);
        table->putL(track::TAGGED, false);
    }
    r = exporter().M3USORT("S", true, false, false, false);
    EXPECT_EQ(klango::test::readFileBytes(r.file), "/m/3.mp3\r\n");
    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_TRUE(ui.scriptDone());
}

// The export dialog starts from the settings and writes them back after "&Weiter" only.
TEST_F(PlaylistExportTest, ExportDialogSettings) {
    add({"A", "Song", "/m/a.mp3"});
    setting(keys::kPlayFile, "party");
    setting(keys::kAddPList, "1");
    setting(keys::kExportDelMark, "0");
    klango::test::writeFileBytes(home.root() / "party.M3U", "old");
    ui.expectDialog([](ui::DialogModel& m) {
        auto& d = dynamic_cast<PlaylistExportModel&>(m);
        EXPECT_EQ(d.fieldText(), "party.M3U" + std::string(31, ' '));
        EXPECT_TRUE(d.values().append);
        d.setAppend(false);
        d.setPlayNow(false);
        d.setFileName("  neu ");
        d.cancel();
    });
    exporter().M3UEXPORT();
    const shell::Settings settings = shell.state.settings();
    EXPECT_EQ(settings.text(keys::kPlayFile), "party");
    ui.expectDialog([](ui::DialogModel& m) {
        auto& d = dynamic_cast<PlaylistExportModel&>(m);
        d.setAppend(true);  // switches the removal of marks on
        EXPECT_TRUE(d.values().delMark);
        d.setPlayNow(false);
        d.setFileName("  neu ");
        d.accept();
    });
    const PlaylistResult r = exporter().M3UEXPORT();
    EXPECT_EQ(r.file, home.root() / "NEU.M3U");
    EXPECT_EQ(settings.text(keys::kPlayFile), "NEU");
    EXPECT_EQ(settings.text(keys::kExportPlayNow), "0");
    EXPECT_EQ(settings.text(keys::kExportDelMark), "1");
    EXPECT_EQ(klango::test::readFileBytes(home.root() / "party.M3U"), "old");
}

// Playing one track: "KLANGO.M3U" in the playlist folder (one separator), the player with its
// full path, added to the running list once the file exists and the player can; unmarked and
// counted. Without a player nothing is written.
TEST_F(PlaylistExportTest, SingleTrack) {
    fs::create_directories(home.root() / "lists");
    setting(keys::kPlayList, "lists");
    setting(keys::kAddPList, "1");
    shell.state.CS_AMPPATH = "vlc";
    const uint32_t recno = add({"A", "Song", "/m/\xFC.mp3", true, 1});
    const fs::path file = home.root() / "lists" / "KLANGO.M3U";
    for (int round = 0; round < 2; ++round) {
        table->goTo(recno);
        const PlaylistResult r = exporter().M3UEXSINGLE();
        ASSERT_TRUE(r.written);
        EXPECT_EQ(r.file, file);
        EXPECT_EQ(klango::test::readFileBytes(file), "/m/\xC3\xBC.mp3\r\n");
        std::vector<std::string> args;
        if (round == 1) args = {"--one-instance", "--playlist-enqueue"};
        args.push_back(file.string());
        EXPECT_EQ(calls.back().args, args);
        table->goTo(recno);
        EXPECT_EQ(table->getN(track::PLAYED), 2 + round);
        EXPECT_FALSE(table->getL(track::TAGGED));
    }
    EXPECT_EQ(ui.messageItem(ui::MessageItem::Tagged), "Markiert: 0");
    shell.state.CS_AMPPATH.clear();
    fs::remove(file);
    table->goTo(recno);
    EXPECT_FALSE(exporter().M3UEXSINGLE().written);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_NE(ui.calls().back().find("kein MP3-Player"), std::string::npos);
}
