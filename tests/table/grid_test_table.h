// A small track database for the grid tests: the track record, the six track orders attached as
// positions 1 to 6, and records written field by field. Test code only.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/date.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/track_record.h"

namespace klango::table::gridtest {

struct Track {
    std::string group = "", album = "", title = "", genre = "Rock", time = "03:30", disc = "CD1";
    int track = 1;
    int range = 0;
    int played = 0;
    int year = 1999;
    base::Date playDate{};
    std::string playTime = "";
    bool tagged = false;
    int import = 0;
};

inline std::unique_ptr<dbf::DbfTable> makeTrackTable(const test::TempHome& home, const std::string& name) {
    const auto file = home.data() / (name + ".dbf");
    if (!dbf::DbfTable::create(file, trackdb::trackStructure(), base::Date{2026, 12, 9})) return nullptr;
    auto table = dbf::DbfTable::open(file);
    if (!table) return nullptr;
    for (const auto& o : trackdb::trackOrders()) {
        table->attachOrder(home.data() / (name + std::to_string(o.number) + ".NTX"),
                           trackdb::trackOrderKey(table->structure(), o));
    }
    table->setOrder(1);
    return table;
}

inline uint32_t addTrack(dbf::DbfTable& table, const Track& t) {
    namespace track = trackdb::track;
    table.appendBlank();
    table.putC(track::GROUP, t.group);
    table.putC(track::ALBUM, t.album);
    table.putC(track::TITLE, t.title);
    table.putC(track::GENRE, t.genre);
    table.putC(track::TIME, t.time);
    table.putC(track::DISCNAME, t.disc);
    table.putN(track::TRACK, t.track);
    table.putN(track::RANGE, t.range);
    table.putN(track::PLAYED, t.played);
    table.putN(track::YEAR, t.year);
    table.putD(track::PLAYDATE, t.playDate);
    table.putC(track::PLAYTIME, t.playTime);
    table.putL(track::TAGGED, t.tagged);
    table.putN(track::IMPORT, t.import);
    table.flush();
    return table.recNo();
}

}  // namespace klango::table::gridtest
