#include "track_table_generator.h"

#include <cstdio>
#include <random>
#include <string>

#include "dbf/dbf_table.h"
#include "trackdb/track_record.h"

namespace klango::bench {

namespace fs = std::filesystem;
using trackdb::track::Field;

fs::path benchHome() {
    fs::path home = fs::temp_directory_path() / "klango-bench";
    fs::create_directories(home / "Daten");
    return home;
}

namespace {

const char* const kWords[] = {"Love", "Night", "Blue", "Rock", "Dream", "Fire", "Heart", "Road", "Rain",
                              "Gold", "Stern", "M\xE4" "dchen", "Sommer", "Stra\xDF" "e", "Zeit", "Licht", "Wind",
                              "Song", "Dance", "Moon", "River", "Stone", "Angel", "Ocean", "Gl\xFC" "ck"};
const char* const kGenres[] = {"Rock", "Pop", "Jazz", "Blues", "Klassik", "Metal", "Schlager", "Techno",
                               "Hip-Hop", "Folk", "Country", "Reggae"};

std::string words(std::mt19937& rng, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        if (i) out += ' ';
        out += kWords[rng() % (sizeof kWords / sizeof *kWords)];
    }
    return out;
}

void fill(dbf::DbfTable& t, long records) {
    std::mt19937 rng(4711);
    long written = 0;
    for (long artist = 0; written < records; ++artist) {
        std::string group = words(rng, 1 + int(rng() % 3)) + " " + std::to_string(artist);
        int albums = 1 + int(rng() % 5);
        for (int a = 0; a < albums && written < records; ++a) {
            std::string album = words(rng, 1 + int(rng() % 4));
            std::string genre = kGenres[rng() % (sizeof kGenres / sizeof *kGenres)];
            int year = 1960 + int(rng() % 64);
            int tracks = 8 + int(rng() % 8);
            for (int n = 1; n <= tracks && written < records; ++n, ++written) {
                std::string title = words(rng, 1 + int(rng() % 4));
                char time[8];
                std::snprintf(time, sizeof time, "%d:%02d", 2 + int(rng() % 6), int(rng() % 60));
                t.appendBlank();
                t.putC(Field::DISCNAME, "Disk " + std::to_string(artist % 40));
                t.putC(Field::PATH, "/musik/" + group + "/" + album + "/" + std::to_string(n) + " " + title + ".mp3");
                t.putC(Field::ALBUM, album);
                t.putC(Field::GROUP, group);
                t.putC(Field::TITLE, title);
                t.putC(Field::GENRE, genre);
                t.putN(Field::YEAR, year);
                t.putC(Field::TIME, time);
                t.putN(Field::TRACK, n);
                t.putN(Field::PLAYED, double(rng() % 20));
                if (rng() % 3 == 0) t.putD(Field::PLAYDATE, {2000 + int(rng() % 26), 1 + int(rng() % 12), 1 + int(rng() % 28)});
                t.putN(Field::RANGE, double(rng() % 10));
                t.putL(Field::TAGGED, rng() % 10 == 0);
                t.putC(Field::TAGREAD, "ID3V2");
                t.putN(Field::IMPORT, 3);
                t.putN(Field::TRSIZE, double(rng() % 1200) / 100.0 + 1);
            }
        }
    }
}

}  // namespace

fs::path generatedTrackTable(const char* name, long records) {
    fs::path file = benchHome() / "Daten" / (std::string(name) + ".dbf");
    const uintmax_t expected = 642 + uintmax_t(records) * 528 + 1;
    std::error_code ec;
    if (fs::exists(file, ec) && fs::file_size(file, ec) == expected) return file;
    fs::path work = file;
    work.replace_extension(".gen");
    dbf::DbfTable::create(work, trackdb::trackStructure(), {2026, 1, 1});
    {
        auto t = dbf::DbfTable::open(work);
        if (!t) return file;
        fill(*t, records);
        t->close();
    }
    fs::rename(work, file, ec);
    return file;
}

}  // namespace klango::bench
