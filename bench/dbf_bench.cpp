// Speed of the table engine on track-like tables: a full scan reading every field of every
// record, and the open (one read of the whole record area). The tables are generated once into
// /tmp and reused; sizes 100 000 and 1 000 000 records (select with --benchmark_filter=.../100000).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "dbf/dbf_table.h"
#include "trackdb/track_record.h"

namespace {

using klango::base::Date;
using klango::dbf::DbfTable;
using klango::dbf::FieldType;
using klango::dbf::Structure;


// Varied values: artists with several albums of a dozen tracks, umlauts, empty fields.
std::filesystem::path tableOf(long records) {
    auto folder = std::filesystem::temp_directory_path() / "klango-bench-dbf";
    auto file = folder / ("tracks-" + std::to_string(records) + ".dbf");
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        if (auto t = DbfTable::open(file); t && t->lastRec() == uint32_t(records)) return file;
    }
    std::filesystem::create_directories(folder, ec);
    DbfTable::create(file, klango::trackdb::trackStructure(), Date{2024, 1, 1});
    auto t = DbfTable::open(file);
    std::mt19937 rng(7);
    const char* genres[] = {"Rock", "Pop", "Jazz", "Klassik", "Schlager", "Hip-Hop", "", "Blues"};
    const char* words[] = {"Liebe", "Nacht", "Stra\xdf" "e", "M\xe4" "dchen", "Sommer", "Blue", "Heart", "Rain",
                           "Z\xfc" "rich", "Fire", "Gold", "Wind"};
    auto phrase = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += std::string(i ? " " : "") + words[rng() % 12];
        return s;
    };
    for (long r = 0; r < records; ++r) {
        const long artist = r / 120;
        const long album = r / 12;
        const int track = int(r % 12) + 1;
        t->appendBlank();
        t->putC(0, "CD " + std::to_string(r / 5000));
        std::string group = "Artist " + std::to_string(artist) + " " + phrase(1);
        std::string albumName = phrase(2) + " " + std::to_string(album);
        std::string title = phrase(1 + int(rng() % 3));
        t->putC(1, "/musik/" + group + "/" + albumName + "/" + std::to_string(track) + " " + title + ".mp3");
        t->putC(2, albumName);
        t->putC(3, group);
        t->putC(4, title);
        t->putC(5, genres[artist % 8]);
        t->putN(6, rng() % 10 ? 1960 + int(rng() % 64) : 0);
        t->putC(7, std::to_string(1 + rng() % 9) + ":" + std::to_string(10 + rng() % 50));
        t->putN(8, track);
        t->putN(9, rng() % 300);
        if (rng() % 3) t->putD(10, Date{2000 + int(rng() % 24), 1 + int(rng() % 12), 1 + int(rng() % 28)});
        t->putC(11, rng() % 3 ? "20:15" : "");
        t->putN(12, rng() % 10);
        if (rng() % 4 == 0) t->putC(13, phrase(3));
        t->putL(14, rng() % 5 == 0);
        t->putN(15, 0);
        t->putC(16, rng() % 4 ? "ID3V2" : "FILE1");
        t->putN(17, 3);
        t->putN(18, (1 + rng() % 12000) / 1000.0);
    }
    t->close();
    return file;
}

// Every field of every record through the typed getters.
void BM_DbfFullScan(benchmark::State& state) {
    const long records = state.range(0);
    auto t = DbfTable::open(tableOf(records));
    const Structure& fields = t->structure();
    for (auto _ : state) {
        double sum = 0;
        size_t chars = 0;
        for (t->goTop(); !t->eof(); t->skip()) {
            for (int f = 0; f < int(fields.size()); ++f) {
                switch (fields[size_t(f)].type) {
                    case FieldType::kCharacter: chars += t->getC(f).size(); break;
                    case FieldType::kNumeric: sum += t->getN(f); break;
                    case FieldType::kDate: sum += t->getD(f).day; break;
                    case FieldType::kLogical: sum += t->getL(f); break;
                }
            }
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(chars);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * records * t->recordLength());
    state.SetItemsProcessed(int64_t(state.iterations()) * records);
}
BENCHMARK(BM_DbfFullScan)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_DbfOpen(benchmark::State& state) {
    const long records = state.range(0);
    auto file = tableOf(records);
    int recordLength = 0;
    for (auto _ : state) {
        auto t = DbfTable::open(file);
        recordLength = t->recordLength();
        benchmark::DoNotOptimize(t->lastRec());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * records * recordLength);
}
BENCHMARK(BM_DbfOpen)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Appending filled records, as an import does.
void BM_DbfAppend(benchmark::State& state) {
    auto file = std::filesystem::temp_directory_path() / "klango-bench-dbf" / "append.dbf";
    std::filesystem::create_directories(file.parent_path());
    for (auto _ : state) {
        state.PauseTiming();
        DbfTable::create(file, klango::trackdb::trackStructure(), Date{2024, 1, 1});
        auto t = DbfTable::open(file);
        state.ResumeTiming();
        for (long r = 0; r < state.range(0); ++r) {
            t->appendBlank();
            t->putC(4, "Title");
            t->putN(6, 2003);
            t->putN(18, 3.5);
        }
        t->close();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_DbfAppend)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
