// Shared by the query tests: track databases written from a few fields, and a program folder
// with the shell, a table window without a screen and the query commands over a scripted Ui.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/error.h"
#include "dbf/dbf_table.h"
#include "dbf/work_areas.h"
#include "platform/clock.h"
#include "query/queries.h"
#include "shell/startup.h"
#include "table/table_window.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/check_data.h"
#include "trackdb/track_record.h"
#include "ui/scripted_ui.h"

namespace klango::test {

struct Track {
    std::string group, album, title, genre;
    int year = 0;
    std::string time;
    int track = 0;
    int played = 0;
    bool tagged = false;
    double size = 0;
    base::Date playDate{};
    std::string playTime;
};

inline void writeTracks(const std::filesystem::path& file, const std::vector<Track>& tracks) {
    using namespace trackdb::track;
    ASSERT_TRUE(dbf::DbfTable::create(file, trackdb::trackStructure(), base::Date{2026, 12, 9}));
    auto t = dbf::DbfTable::open(file);
    ASSERT_TRUE(t);
    for (const Track& k : tracks) {
        t->appendBlank();
        t->putC(GROUP, k.group);
        t->putC(ALBUM, k.album);
        t->putC(TITLE, k.title);
        t->putC(GENRE, k.genre);
        t->putN(YEAR, k.year);
        t->putC(TIME, k.time);
        t->putN(TRACK, k.track);
        t->putN(PLAYED, k.played);
        t->putL(TAGGED, k.tagged);
        t->putN(TRSIZE, k.size);
        t->putD(PLAYDATE, k.playDate);
        t->putC(PLAYTIME, k.playTime);
        t->putC(PATH, "/musik/" + k.title + ".mp3");
    }
    t->close();
}

class QueryFixture {
public:
    QueryFixture() {
        m_previous = base::setErrorHandler([this](const base::ErrorRecord& e) {
            errors.push_back(e);
            return base::ErrorAnswer::fallBack();
        });
        shell.state.CRUNIN = home.root() / "";
        shell.state.CINIFILE = shell::Settings::fileIn(shell.state.CRUNIN);
        shell.areas = std::make_unique<dbf::WorkAreas>(home.data());
        window.install();
        queries.install();
    }
    ~QueryFixture() {
        shell.areas->closeAll();
        base::setErrorHandler(m_previous);
    }

    std::filesystem::path dbf(const std::string& name) const { return home.data() / (name + ".dbf"); }
    // Writes the database and opens it in the table window.
    dbf::DbfTable* open(const std::string& name, const std::vector<Track>& tracks) {
        writeTracks(dbf(name), tracks);
        return open(name);
    }
    dbf::DbfTable* open(const std::string& name) {
        shell.state.CFILE = name;
        window.MP3TABLE(false);
        return table();
    }
    dbf::DbfTable* table() const { return queries.view.table(); }

    // The titles the table shows, top to bottom.
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        dbf::DbfTable* t = table();
        if (!t) return out;
        const uint32_t keep = t->recNo();
        for (t->goTop(); !t->eof(); t->skip(1)) out.emplace_back(base::trimRight(t->getC(trackdb::track::TITLE)));
        t->goTo(keep);
        return out;
    }
    std::string item(ui::MessageItem i) const { return ui.messageItem(i); }

    TempHome home;
    ui::ScriptedUi ui;
    shell::Shell shell{ui};
    platform::FixedClock clock{platform::LocalTime{base::Date{2026, 12, 9}, 14, 5, 0}};
    table::TableWindow window{shell, clock};
    query::Queries queries{shell, clock};
    std::vector<base::ErrorRecord> errors;

private:
    base::ErrorHandler m_previous;
};

}  // namespace klango::test
