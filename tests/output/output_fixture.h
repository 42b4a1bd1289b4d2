// A program folder with a track database open as DMP3 under a shell whose Ui is scripted, the
// clock fixed and the player replaced by a recorder: what the playlist tests stand on.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "output/playlist_export.h"
#include "platform/clock.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/track_record.h"
#include "ui/scripted_ui.h"

namespace klango::output::test {

namespace track = trackdb::track;

struct Song {
    std::string group, title, path;
    bool tagged = true;
    int played = 0;
};

class OutputFixture : public ::testing::Test {
protected:
    void SetUp() override {
        shell.state.CINIFILE = home.root() / "KLANGO.INI";
        ASSERT_TRUE(shell::LOADPUBLICS(shell.state, home.root()));
        shell.areas = std::make_unique<dbf::WorkAreas>(home.data());  // closes a table of an earlier round
        for (const auto& o : trackdb::trackOrders()) std::filesystem::remove(trackdb::indexFile(home.data(), "MUSIK", o.number));
        shell.state.CS_AMPPATH = "player";
        shell.state.LS_MARKSORT = true;
        shell.state.LTAB_OPEN = true;
        ASSERT_TRUE(shell.areas->create("MUSIK", trackdb::trackStructure()));
        table = shell.areas->use("MUSIK", "DMP3");
        ASSERT_NE(table, nullptr);
        for (const auto& o : trackdb::trackOrders())
            table->attachOrder(trackdb::indexFile(home.data(), "MUSIK", o.number), trackdb::trackOrderKey(table->structure(), o));
        table->setOrder(1);
        shell.state.CFILE = "Musik";
    }

    uint32_t add(const Song& s) {
        table->appendBlank();
        table->putC(track::GROUP, s.group);
        table->putC(track::TITLE, s.title);
        table->putC(track::PATH, s.path.empty() ? "/musik/" + s.title + ".mp3" : s.path);
        table->putL(track::TAGGED, s.tagged);
        table->putN(track::PLAYED, s.played);
        table->flush();
        return table->recNo();
    }

    void setting(const shell::SettingKey& key, const std::string& value) {
        ASSERT_TRUE(shell.state.settings().write(key, value));
    }

    PlaylistExport exporter() {
        return PlaylistExport(shell, clock, [this](const platform::ProgramCall& call) {
            calls.push_back(call);
            return playerStarts;
        });
    }

    klango::test::TempHome home;
    ui::ScriptedUi ui;
    shell::Shell shell{ui};
    dbf::DbfTable* table = nullptr;
    platform::FixedClock clock{{base::Date{2026, 12, 9}, 21, 5, 0}};
    std::vector<platform::ProgramCall> calls;
    bool playerStarts = true;
};

}  // namespace klango::output::test
