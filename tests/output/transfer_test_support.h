// Shared by the copy tests: a program folder with a track database "Musik" open as DMP3, tracks
// whose files lie in folders standing for drives, and reading the copy database back.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "dbf/work_areas.h"
#include "platform/clock.h"
#include "shell/app_state.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/track_record.h"

namespace klango::test {

struct TrackSpec {
    std::string medium;
    std::string path;  // below the home folder; its file is written with `bytes` bytes unless bytes < 0
    std::string group;
    std::string title;
    int track = 0;
    bool marked = true;
    long bytes = 100;
    std::string album = "Album";
    int rating = 0;
};

class TransferHome {
public:
    TransferHome() : areas(home.data()) {
        state.CRUNIN = home.root() / "";
        state.CFILE = "Musik";
    }

    std::filesystem::path at(const std::string& below) const { return home.root() / below; }

    // Creates "Musik" with the tracks and opens it as DMP3.
    dbf::DbfTable& open(const std::vector<TrackSpec>& tracks) {
        namespace track = trackdb::track;
        dbf::DbfTable::create(home.data() / "Musik.dbf", trackdb::trackStructure(), base::Date{2026, 12, 9});
        dbf::DbfTable* t = areas.use("Musik", "DMP3");
        for (const TrackSpec& s : tracks) {
            t->appendBlank();
            t->putC(track::DISCNAME, s.medium);
            t->putC(track::PATH, at(s.path).string());
            t->putC(track::GROUP, s.group);
            t->putC(track::TITLE, s.title);
            t->putC(track::ALBUM, s.album);
            t->putN(track::TRACK, s.track);
            t->putN(track::RANGE, s.rating);
            t->putL(track::TAGGED, s.marked);
            t->putN(track::TRSIZE, double(s.bytes) / 1024 / 1024);
            if (s.bytes >= 0) {
                std::string content(size_t(s.bytes), '\0');
                for (size_t i = 0; i < content.size(); ++i) content[i] = char((i * 7 + s.title.size()) % 251);
                std::filesystem::create_directories(at(s.path).parent_path());
                writeFileBytes(at(s.path), content);
            }
        }
        t->flush();
        t->goTo(1);
        return *t;
    }

    std::vector<bool> marks() {
        dbf::DbfTable* t = areas.get("DMP3");
        std::vector<bool> out;
        const uint32_t keep = t->recNo();
        for (uint32_t r = 1; r <= t->lastRec(); ++r) {
            t->goTo(r);
            out.push_back(t->getL(trackdb::track::TAGGED));
        }
        t->goTo(keep);
        return out;
    }

    // PATH of every record of a closed track database, trimmed.
    std::vector<std::string> paths(const std::string& name) {
        auto t = dbf::DbfTable::open(home.data() / (name + ".dbf"));
        std::vector<std::string> out;
        if (!t) return out;
        for (uint32_t r = 1; r <= t->lastRec(); ++r) {
            t->goTo(r);
            std::string p = t->getC(trackdb::track::PATH);
            out.push_back(p.substr(0, p.find_last_not_of(' ') + 1));
        }
        return out;
    }

    TempHome home;
    shell::AppState state;
    dbf::WorkAreas areas;
};

}  // namespace klango::test
