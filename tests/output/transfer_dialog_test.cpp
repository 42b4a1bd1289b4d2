// The copy dialog (MP3TRANSFER) and its model: enable rules and linked boxes, the copy database's
// life with the dialog, the settings written back, and the open database shown again afterwards.
#include "output/transfer_command.h"

#include <gtest/gtest.h>

#include "trackdb/check_data.h"
#include "fake_media.h"
#include "output/transfer_dialog_model.h"
#include "shell/startup.h"
#include "transfer_test_support.h"
#include "ui/scripted_ui.h"

namespace klango::output {
namespace {

namespace fs = std::filesystem;
using test::TrackSpec;

// Remembers which answer each question preselects.
class DefaultsUi : public ui::ScriptedUi {
public:
    bool yesNo(const std::string& title, const std::string& text, bool noDefault) override {
        noDefaults.push_back(noDefault);
        return ScriptedUi::yesNo(title, text, noDefault);
    }
    std::vector<bool> noDefaults;
};

struct DialogHome {
    explicit DialogHome(ui::Ui& ui) : sh(ui) {
        sh.state.CRUNIN = t.home.root() / "";
        sh.state.CINIFILE = t.home.root() / "KLANGO.INI";
        sh.state.CFILE = "Musik";
        sh.areas = std::make_unique<dbf::WorkAreas>(t.home.data());
    }
    dbf::DbfTable& open(const std::vector<TrackSpec>& tracks) {
        t.open(tracks);
        t.areas.closeAll();
        return *sh.areas->use("Musik", "DMP3");
    }
    std::vector<std::string> dataFiles() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(t.home.data())) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    test::TransferHome t;
    shell::Shell sh;
    test::FakeMedia media;
};

TEST(TransferDialog, RefusesToOpenWithoutMarkedTracks) {
    ui::ScriptedUi ui;
    DialogHome h(ui);
    h.open({{"", "src/a.mp3", "A", "A", 0, false}});
    EXPECT_FALSE(MP3TRANSFER(h.sh, h.media));
    EXPECT_EQ(ui.calls(), std::vector<std::string>{"warning: Problem | Sie haben keine Daten markiert!"});
}

TEST(TransferDialog, BoxesFollowEachOtherAndAbbruchDropsTheCopyDatabase) {
    ui::ScriptedUi ui;
    DialogHome h(ui);
    h.open({{"", "src/a.mp3", "A", "A", 0, true, 1 << 20}, {"", "src/b.mp3", "B", "B", 0, true, 1 << 19}});
    const fs::path out = h.t.at("out");
    fs::create_directories(out);
    ui.expectDialog([&](ui::DialogModel& m) {
        auto& d = dynamic_cast<TransferDialogModel&>(m);
        // At the first use there is no destination, and "&Kopieren" waits for one.
        EXPECT_EQ(d.destination(), "");
        EXPECT_FALSE(d.copyEnabled());
        EXPECT_EQ(TransferDialogModel::megabytes(d.neededMB()), "1,50");
        d.chooseDestination();  // cancelled: nothing changes
        EXPECT_FALSE(d.copyEnabled());
        d.chooseDestination();
        EXPECT_EQ(d.destination(), out.string());
        EXPECT_TRUE(d.copyEnabled());

        EXPECT_TRUE(d.options().LORDNER);
        EXPECT_FALSE(d.nameOptionsEnabled());
        d.setStructured(false);
        EXPECT_TRUE(d.options().LGROUP && d.options().LALBUM && d.options().LTRACK);
        EXPECT_TRUE(d.nameOptionsEnabled());
        d.setStructured(true);
        EXPECT_FALSE(d.options().LGROUP || d.options().LALBUM || d.options().LTRACK);
        EXPECT_FALSE(d.noteEnabled());
        d.setSelection(2);
        EXPECT_TRUE(d.noteEnabled());
        d.setNote(4);
        EXPECT_TRUE(d.taggedEnabled());
        d.setTagged(true);

        d.setDatabase(true);  // file dialog cancelled: the box stays clear
        EXPECT_FALSE(d.database());
        EXPECT_FALSE(d.openAfterEnabled());
        d.setDatabase(true);
        EXPECT_TRUE(d.database());
        EXPECT_EQ(d.databaseText(), "Kopie.dbf");
        EXPECT_TRUE(d.openAfterEnabled());
        EXPECT_TRUE(fs::exists(h.t.home.data() / "Kopie.dbf"));
        d.abort();
    });
    ui.expectFolder("");
    ui.expectFolder(out.string());
    ui.expectSaveFile("");
    ui.expectSaveFile((h.t.home.data() / "KOPIE.DBF").string());
    EXPECT_FALSE(MP3TRANSFER(h.sh, h.media));
    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_TRUE(ui.scriptDone());
    // The copy database made in the dialog is gone with "&Abbruch"; the settings are kept.
    EXPECT_EQ(h.dataFiles(), std::vector<std::string>{"Musik.dbf"});
    const shell::Settings s = h.sh.state.settings();
    EXPECT_EQ(s.text(shell::keys::kDestPath), out.string());
    EXPECT_EQ(s.number(shell::keys::kAuswahl), 2);
    EXPECT_EQ(s.number(shell::keys::kNote), 4);
    EXPECT_TRUE(s.on(shell::keys::kTransferTagged));
    EXPECT_TRUE(s.on(shell::keys::kOrdner));
    EXPECT_FALSE(s.on(shell::keys::kInterpret));
    EXPECT_EQ(ui.helpTopic(), "Hauptauswahl");
}

TEST(TransferDialog, DuringACopyAbbruchAndTheCloseBoxStopItInsteadOfClosing) {
    TransferOptions options;
    options.CPATH = "/ziel";
    std::atomic<bool> stop{false};
    TransferDialogModel* self = nullptr;
    int runs = 0;
    TransferDialogModel::Actions actions;
    actions.copy = [&] {
        ++runs;
        self->setStopFlag(&stop);
        EXPECT_FALSE(self->copyEnabled());
        EXPECT_FALSE(self->optionsEnabled());
        self->closeBox();
        EXPECT_TRUE(stop.load());
        stop = false;
        self->abort();
        EXPECT_TRUE(stop.load());
        EXPECT_FALSE(self->closeRequested());
        self->setStopFlag(nullptr);
        return false;  // nothing copied: the dialog stays for another attempt
    };
    TransferDialogModel model(options, true, 0, actions);
    self = &model;
    model.copy();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(model.closeRequested());
    EXPECT_TRUE(model.copyEnabled());
    model.abort();
    EXPECT_TRUE(model.aborted() && model.closeRequested());
}

TEST(TransferDialog, ACopyDatabaseIsAppendedToUnlessTheUserSaysNoAndNeverTheOpenOne) {
    DefaultsUi ui;
    DialogHome h(ui);
    h.open({{"", "src/a.mp3", "A", "A"}});
    ASSERT_TRUE(dbf::DbfTable::create(h.t.home.data() / "Kopie.dbf", trackdb::trackStructure(), base::Date{2026, 1, 1}));
    {
        auto old = dbf::DbfTable::open(h.t.home.data() / "Kopie.dbf");
        old->appendBlank();
        old->putC(trackdb::track::PATH, "/alt/x.mp3");
        old->close();
    }
    CopyDatabase database(h.sh.state, *h.sh.areas, ui);
    ui.expectSaveFile((h.t.home.data() / "musik.dbf").string());  // the open database: refused
    ui.expectSaveFile((h.t.home.data() / "kopie.dbf").string());
    ui.expectYesNo(true, "Daten anf");
    EXPECT_TRUE(database.TRANSDBASE(true));
    EXPECT_EQ(ui.noDefaults, std::vector<bool>{false});  // "Ja" preselected
    dbf::DbfTable* track = h.sh.areas->get("DMP3");
    track->goTo(1);
    EXPECT_TRUE(database.TRANSPUTDATA(*track, "/neu/a.mp3"));
    EXPECT_TRUE(database.TRANSPUTDATA(*track, "/neu/a.mp3"));  // no second record for a path
    EXPECT_TRUE(database.TRANSPUTDATA(*track, "/alt/x.mp3"));
    database.TRANSDBASE(false);  // an existing database is kept when the box is cleared
    EXPECT_EQ(h.t.paths("Kopie"), (std::vector<std::string>{"/alt/x.mp3", "/neu/a.mp3"}));
    EXPECT_NE(ui.calls()[1].find("ge\xF6" "ffnete Datenbank"), std::string::npos);

    // "Nein" creates it anew.
    ui.expectSaveFile((h.t.home.data() / "Kopie").string());
    ui.expectYesNo(false, "Daten anf");
    EXPECT_TRUE(database.TRANSDBASE(true));
    database.close();
    EXPECT_TRUE(h.t.paths("Kopie").empty());
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST(TransferDialog, AfterTheCopyTheOpenDatabaseOrTheCopyDatabaseIsShown) {
    for (bool openCopy : {false, true}) {
        ui::ScriptedUi ui;
        DialogHome h(ui);
        dbf::DbfTable& table = h.open({{"", "src/a.mp3", "A", "A"}, {"", "src/b.mp3", "B", "B", 0, false},
                                       {"", "src/c.mp3", "C", "C"}});
        trackdb::CHECKDATA(*h.sh.areas, ui, "Musik", trackdb::CheckDataEnd::KeepOpen);
        dbf::DbfTable* t = h.sh.areas->get("DMP3");
        (void)table;
        t->setOrder(3);
        t->goTo(2);
        std::vector<std::string> opened;
        int refreshed = 0;
        h.sh.hooks.MP3TABLE = [&](bool) {
            opened.push_back(h.sh.state.CFILE);
            return true;
        };
        h.sh.hooks.refreshGrid = [&] { ++refreshed; };
        const fs::path out = h.t.at("out");
        fs::create_directories(out);
        h.sh.state.settings().write(shell::keys::kDestPath, out.string());
        h.sh.state.settings().writeSwitch(shell::keys::kTransferTagged, true);
        ui.expectDialog([&](ui::DialogModel& m) {
            auto& d = dynamic_cast<TransferDialogModel&>(m);
            d.setDatabase(true);
            d.setOpenAfter(openCopy);
            d.copy();
            EXPECT_TRUE(d.completed());
        });
        ui.expectSaveFile((h.t.home.data() / "Kopie.dbf").string());
        EXPECT_TRUE(MP3TRANSFER(h.sh, h.media));
        EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();
        EXPECT_EQ(h.t.paths("Kopie").size(), 2u);
        if (openCopy) {
            EXPECT_EQ(opened, std::vector<std::string>{"Kopie"});
        } else {
            EXPECT_TRUE(opened.empty());
            EXPECT_EQ(refreshed, 1);
            dbf::DbfTable* still = h.sh.areas->get("DMP3");
            ASSERT_NE(still, nullptr);
            EXPECT_EQ(still->orderNumber(), 3);
            EXPECT_EQ(still->recNo(), 2u);
            EXPECT_EQ(ui.messageItem(ui::MessageItem::Tagged), "Markiert: 0");
        }
    }
}

}  // namespace
}  // namespace klango::output
