// The copy run: media asked for in order, structured and flat copies, files that are there
// already, a full destination, a stop, and the copy database beside it.
#include "output/transfer_run.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>

#include "fake_media.h"
#include "output/copy_database.h"
#include "platform/file_copy.h"
#include "output/transfer_media.h"
#include "transfer_test_support.h"
#include "ui/scripted_ui.h"

namespace klango::output {
namespace {

namespace fs = std::filesystem;
using test::TrackSpec;

std::vector<std::string> callsOf(const ui::ScriptedUi& ui, const std::string& kind) {
    std::vector<std::string> out;
    for (const std::string& c : ui.calls())
        if (c.rfind(kind, 0) == 0) out.push_back(c);
    return out;
}

// Every file below folder, relative, sorted.
std::vector<std::string> filesBelow(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file()) out.push_back(e.path().lexically_relative(folder).string());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(TransferRun, AsksForEachMediumInTurnAndCopiesTheBytes) {
    test::TransferHome h;
    const std::vector<TrackSpec> tracks = {
        {"STICK", "d2/z/d.mp3", "Zappa", "D"},
        {"CD10", "d1/x/b.mp3", "Beck", "B"},
        {"", "d1/none/a.mp3", "Abba", "A"},
        {"CD1", "d1/y/c.mp3", "Cure", "C"},
        {"Neu", "d2/n/e.mp3", "Eno", "E"},           // unlabelled medium, file at hand: no prompt
        {"prog ", "d3/p/f.mp3", "Faust", "F"},       // the program drive's medium: not listed
        {"CD1", "d1/y/g.mp3", "Genesis", "G", 0, false},  // not marked: not copied
    };
    dbf::DbfTable& table = h.open(tracks);
    test::FakeMedia media;
    media.mount(h.at("d1"), "CD10");
    media.mount(h.at("d2"), "stick");
    media.mount(h.at("d3"), "OTHER");
    fs::create_directories(h.at("out"));

    ui::ScriptedUi ui;
    ui.expectDialog([](ui::DialogModel& m) {
        auto& list = dynamic_cast<MediaListModel&>(m);
        EXPECT_EQ(list.media(), (std::vector<std::string>{"CD1", "CD10", "STICK"}));
        list.proceed();
    });
    // CD1: refused once (still the wrong medium), then inserted.
    ui.expectDialog([&](ui::DialogModel& m) {
        auto& change = dynamic_cast<MediumChangeModel&>(m);
        EXPECT_EQ(change.errorText(), "Fehler: Falsches Medium");
        change.proceed();
        EXPECT_FALSE(change.closeRequested());
        media.mount(h.at("d1"), "cd1 ");
        change.proceed();
        EXPECT_TRUE(change.closeRequested());
    });
    ui.expectDialog([&](ui::DialogModel& m) {
        media.mount(h.at("d1"), std::nullopt);
        auto& change = dynamic_cast<MediumChangeModel&>(m);
        change.proceed();
        EXPECT_EQ(change.errorText(), "Fehler: Kein Medium vorhanden");
        media.mount(h.at("d1"), "CD10");
        change.proceed();
    });
    ui.expectDialog([&](ui::DialogModel& m) {
        media.mount(h.at("d3"), "Prog");
        dynamic_cast<MediumChangeModel&>(m).proceed();
    });

    CopyDatabase database(h.state, h.areas, ui);
    ASSERT_TRUE(database.open("Kopie", true));
    TransferOptions options;
    options.CPATH = h.at("out").string();
    options.LTAGGED = true;
    TransferRun run(options, media, ui, table, &database, "PROG");
    std::vector<std::string> progress;
    run.onProgress = [&](const TransferProgress& p) {
        if (!p.text.empty() && (progress.empty() || progress.back() != p.text)) progress.push_back(p.text);
    };
    EXPECT_TRUE(run.TRANSFERIT());
    database.close();

    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_TRUE(ui.scriptDone());
    EXPECT_EQ(callsOf(ui, "info"),
              (std::vector<std::string>{"info: Medien-Wechsel | Bitte legen Sie nun das Medium 'CD1' ein !",
                                        "info: Medien-Wechsel | Bitte legen Sie nun das Medium 'CD10' ein !",
                                        "info: Medien-Wechsel | Bitte legen Sie nun das Medium 'prog' ein !"}));
    EXPECT_EQ(run.summary().processed, 6);
    EXPECT_EQ(run.summary().failed, 0);
    EXPECT_EQ(media.flushes(), 1);
    EXPECT_EQ(h.marks(), (std::vector<bool>{false, false, false, false, false, false, false}));
    EXPECT_EQ(progress.front(), "Abba - A (1/6)");
    EXPECT_EQ(progress.back(), "Zappa - D (6/6)");

    // Below the destination, the paths below each drive; the bytes are the source's.
    EXPECT_EQ(filesBelow(h.at("out")),
              (std::vector<std::string>{"n/e.mp3", "none/a.mp3", "p/f.mp3", "x/b.mp3", "y/c.mp3", "z/d.mp3"}));
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"d1/x/b.mp3", "out/x/b.mp3"}, {"d2/z/d.mp3", "out/z/d.mp3"}, {"d3/p/f.mp3", "out/p/f.mp3"}})
        EXPECT_EQ(test::readFileBytes(h.at(to)), test::readFileBytes(h.at(from))) << to;
    // The copy database lists each copy under the name it was written to.
    std::vector<std::string> entered = h.paths("Kopie");
    std::sort(entered.begin(), entered.end());
    EXPECT_EQ(entered, (std::vector<std::string>{h.at("out/n/e.mp3").string(), h.at("out/none/a.mp3").string(),
                                                 h.at("out/p/f.mp3").string(), h.at("out/x/b.mp3").string(),
                                                 h.at("out/y/c.mp3").string(), h.at("out/z/d.mp3").string()}));
}

TEST(TransferRun, FlatCopyNamesClashesAndFilesCopiedBefore) {
    test::TransferHome h;
    dbf::DbfTable& table = h.open({
        {"", "src/a/1.mp3", "AC/DC", "Song", 1, true, 300},
        {"", "src/b/2.mp3", "AC/DC", "Song", 1, true, 400},  // same built name, another file
        {"", "src/c/3.mp3", "X", "<Wh?>", 0, true, 500},
        {"Neu", "src/gone.mp3", "Y", "Missing", 0, true, -1},  // unlabelled and gone: asked for
    });
    test::FakeMedia media;
    fs::create_directories(h.at("out"));
    TransferOptions options;
    options.CPATH = h.at("out").string();
    options.LTAGGED = true;
    options.LORDNER = false;
    options.LGROUP = options.LTRACK = true;

    ui::ScriptedUi ui;
    ui.expectDialog([](ui::DialogModel& m) {
        EXPECT_EQ(dynamic_cast<MediaListModel&>(m).media(), std::vector<std::string>{"Neu"});
        dynamic_cast<MediaListModel&>(m).proceed();
    });
    ui.expectDialog([](ui::DialogModel& m) { dynamic_cast<MediumChangeModel&>(m).interrupt(); });
    TransferRun run(options, media, ui, table, nullptr, "");
    EXPECT_TRUE(run.TRANSFERIT());
    EXPECT_TRUE(run.summary().interrupted);
    EXPECT_EQ(filesBelow(h.at("out")), (std::vector<std::string>{"AC DC - 01 Song (2).mp3", "AC DC - 01 Song.mp3",
                                                                  "X - Wh.mp3"}));
    EXPECT_EQ(test::readFileBytes(h.at("out/AC DC - 01 Song (2).mp3")), test::readFileBytes(h.at("src/b/2.mp3")));
    EXPECT_EQ(h.marks(), (std::vector<bool>{false, false, false, true}));

    // Again: the files of the same size are not copied again, a changed size is copied anew.
    test::writeFileBytes(h.at("out/AC DC - 01 Song.mp3"), std::string(300, 'k'));
    test::writeFileBytes(h.at("out/X - Wh.mp3"), std::string(10, 'k'));
    table.goTo(1);
    for (uint32_t r = 1; r <= 3; ++r) {
        table.goTo(r);
        table.putL(trackdb::track::TAGGED, true);
    }
    table.flush();
    ui::ScriptedUi again;
    again.expectDialog([](ui::DialogModel& m) { dynamic_cast<MediaListModel&>(m).interrupt(); });
    TransferRun second(options, media, again, table, nullptr, "");
    EXPECT_TRUE(second.TRANSFERIT());
    EXPECT_EQ(second.summary().processed, 0);  // ended at the media list
    options.LTAGGED = true;
    table.goTo(4);
    table.putL(trackdb::track::TAGGED, false);
    table.flush();
    ui::ScriptedUi third;
    TransferRun run3(options, media, third, table, nullptr, "");
    EXPECT_TRUE(run3.TRANSFERIT());
    EXPECT_EQ(run3.summary().processed, 3);
    EXPECT_EQ(test::readFileBytes(h.at("out/AC DC - 01 Song.mp3")), std::string(300, 'k'));
    EXPECT_EQ(test::readFileBytes(h.at("out/X - Wh.mp3")), test::readFileBytes(h.at("src/c/3.mp3")));
}

TEST(TransferRun, AFullDestinationEndsTheRunAndLeavesNoPartialFile) {
    test::TransferHome h;
    dbf::DbfTable& table = h.open({
        {"", "src/small.mp3", "A", "Small", 0, true, 1000},
        {"", "src/large.mp3", "A", "Large", 0, true, 3 << 20},
        {"", "src/later.mp3", "A", "Later", 0, true, 1000},
    });
    test::FakeMedia media;
    fs::create_directories(h.at("out"));
    TransferOptions options;
    options.CPATH = h.at("out").string();
    options.LTAGGED = true;
    options.LORDNER = false;

    // Little space left before the first track: nothing is copied.
    {
        ui::ScriptedUi ui;
        media.setFreeBytes(5u << 20);
        TransferRun run(options, media, ui, table, nullptr, "");
        EXPECT_FALSE(run.TRANSFERIT());
        EXPECT_EQ(callsOf(ui, "warning"),
                  std::vector<std::string>{"warning: Kopieren | Es ist nur noch wenig Speicherplatz vorhanden.\rDer "
                                           "Kopiervorgang wird beendet !"});
        EXPECT_EQ(h.marks(), (std::vector<bool>{true, true, true}));
        media.setFreeBytes(std::nullopt);
    }
    // The medium fills up during the large file (a file size limit stands in for it).
    ui::NullUi quiet;
    CopyDatabase database(h.state, h.areas, quiet);
    ASSERT_TRUE(database.open("Kopie", true));
    ui::ScriptedUi ui;
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = 1 << 20;
    setrlimit(RLIMIT_FSIZE, &limit);
    TransferRun run(options, media, ui, table, &database, "");
    const bool done = run.TRANSFERIT();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    database.close();
    EXPECT_TRUE(done);
    EXPECT_TRUE(run.summary().destinationFull);
    EXPECT_EQ(run.summary().processed, 1);
    EXPECT_EQ(run.summary().failed, 1);
    EXPECT_EQ(filesBelow(h.at("out")), std::vector<std::string>{"Small.mp3"});
    EXPECT_EQ(h.marks(), (std::vector<bool>{false, true, true}));
    EXPECT_EQ(h.paths("Kopie"), std::vector<std::string>{h.at("out/Small.mp3").string()});
    const auto warnings = callsOf(ui, "warning");
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("wenig Speicherplatz"), std::string::npos);
    EXPECT_EQ(warnings[1], "warning: Datenkopie erstellen | 1 Titel konnten nicht kopiert werden");
}

TEST(TransferRun, AFolderThatCannotBeMadeSkipsOnlyItsTrack) {
    test::TransferHome h;
    dbf::DbfTable& table = h.open({{"", "d/blocked/a.mp3", "A", "A"}, {"", "d/free/b.mp3", "B", "B"}});
    test::FakeMedia media;
    media.mount(h.at("d"), "");
    fs::create_directories(h.at("out"));
    test::writeFileBytes(h.at("out/blocked"), "a file where the folder should be");
    TransferOptions options;
    options.CPATH = h.at("out").string();
    options.LTAGGED = true;
    ui::ScriptedUi ui;
    TransferRun run(options, media, ui, table, nullptr, "");
    EXPECT_TRUE(run.TRANSFERIT());
    EXPECT_EQ(callsOf(ui, "warning"),
              (std::vector<std::string>{"warning: Datenkopie erstellen | " + h.at("out/blocked").string() +
                                            " konnte nicht erstellt werden !",
                                        "warning: Datenkopie erstellen | 1 Titel konnten nicht kopiert werden"}));
    EXPECT_EQ(h.marks(), (std::vector<bool>{true, false}));
    EXPECT_TRUE(fs::exists(h.at("out/free/b.mp3")));
}

TEST(TransferRun, AStopEndsWithinALargeFileAndBetweenFiles) {
    test::TransferHome h;
    const std::string big(20u << 20, 'b');
    test::writeFileBytes(h.at("big.mp3"), big);
    test::writeFileBytes(h.at("old.mp3"), "older copy");
    std::atomic<bool> stop{false};
    int blocks = 0;
    const platform::CopyResult r = platform::copyTrackFile(h.at("big.mp3"), h.at("old.mp3"), stop, [&](uint64_t) {
        if (++blocks == 1) stop = true;
    });
    EXPECT_EQ(r.outcome, platform::CopyOutcome::kStopped);
    EXPECT_LT(r.bytes, big.size());
    EXPECT_EQ(test::readFileBytes(h.at("old.mp3")), "older copy");  // the old target stays whole
    EXPECT_FALSE(fs::exists(platform::partialName(h.at("old.mp3"))));

    // Stopped while the user is asked for the second medium: the first stays copied, the rest marked.
    dbf::DbfTable& table = h.open({{"", "src/a.mp3", "A", "A"}, {"CD2", "src/b.mp3", "B", "B"},
                                   {"CD2", "src/c.mp3", "C", "C"}});
    test::FakeMedia media;
    fs::create_directories(h.at("out"));
    TransferOptions options;
    options.CPATH = h.at("out").string();
    options.LTAGGED = true;
    options.LORDNER = false;
    ui::ScriptedUi ui;
    ui.expectDialog([](ui::DialogModel& m) { dynamic_cast<MediaListModel&>(m).proceed(); });
    TransferRun run(options, media, ui, table, nullptr, "");
    run.askMedium = [&](const fs::path&, const std::string&, const fs::path&) {
        run.stopFlag() = true;
        return true;
    };
    EXPECT_TRUE(run.TRANSFERIT());
    EXPECT_TRUE(run.summary().stopped);
    EXPECT_EQ(filesBelow(h.at("out")), std::vector<std::string>{"A.mp3"});
    EXPECT_EQ(h.marks(), (std::vector<bool>{false, true, true}));
}

}  // namespace
}  // namespace klango::output
