// Speed and size of the index orders on track tables: the build of one order and of all six over
// a million records, a seek in a million-key order, and appends into a table with the two orders
// of an import attached. The tables are generated once into /tmp and reused.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "dbf/dbf_table.h"
#include "trackdb/track_record.h"
#include "dbf/key_expression.h"
#include "dbf/order.h"

namespace {

namespace fs = std::filesystem;
using klango::dbf::compileKey;
using klango::base::Date;
using klango::dbf::DbfTable;
using klango::dbf::Order;
using klango::dbf::Structure;

enum { DISCNAME, PATH, ALBUM, GROUP, TITLE, GENRE, YEAR, TIME, TRACK, PLAYED, PLAYDATE, PLAYTIME, RANGE };



fs::path benchFolder() {
    fs::path folder = fs::temp_directory_path() / "klango-bench-order";
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder;
}

// Fills the current record like an import does: artists with albums of a dozen tracks, titles
// from a small vocabulary (many equal keys and long shared prefixes), umlauts, empty fields.
class TrackFaker {
public:
    explicit TrackFaker(unsigned seed) : m_rng(seed) {}
    void fill(DbfTable& t, long r) {
        static const char* words[] = {"Liebe", "Nacht", "Stra\xdf" "e", "M\xe4" "dchen", "Sommer", "Blue",
                                      "Heart", "Rain", "Z\xfc" "rich", "Fire", "Gold", "Wind"};
        static const char* genres[] = {"Rock", "Pop", "Jazz", "Klassik", "Schlager", "Hip-Hop", "", "Blues"};
        auto phrase = [&](int n) {
            std::string s;
            for (int i = 0; i < n; ++i) s += std::string(i ? " " : "") + words[m_rng() % 13];
            return s;
        };
        const long artist = (r / 120) ^ 0x5A5;
        const std::string group = (artist % 7 == 0 ? "The " : "") + phrase(2) + " " + std::to_string(artist);
        const std::string album = phrase(1 + int(m_rng() % 3));
        const std::string title = phrase(1 + int(m_rng() % 4));
        char time[8];
        std::snprintf(time, sizeof time, "%d:%02d", int(m_rng() % 9), int(m_rng() % 60));
        t.putC(DISCNAME, "CD " + std::to_string(r / 5000));
        t.putC(PATH, "/musik/" + group + "/" + album + "/" + std::to_string(r % 12 + 1) + " " + title + ".mp3");
        t.putC(ALBUM, album);
        t.putC(GROUP, group);
        t.putC(TITLE, title);
        t.putC(GENRE, genres[m_rng() % 8]);
        t.putN(YEAR, double(1960 + m_rng() % 60));
        t.putC(TIME, time);
        if (m_rng() % 10) t.putN(TRACK, double(r % 12 + 1));
        t.putN(RANGE, double(m_rng() % 10));
    }

private:
    std::mt19937 m_rng;
};

fs::path trackTable(long records) {
    fs::path file = benchFolder() / ("tracks-" + std::to_string(records) + ".dbf");
    std::error_code ec;
    if (fs::exists(file, ec)) {
        if (auto t = DbfTable::open(file); t && t->lastRec() == uint32_t(records)) return file;
    }
    DbfTable::create(file, klango::trackdb::trackStructure(), Date{2024, 1, 1});
    auto t = DbfTable::open(file);
    TrackFaker faker(7);
    for (long r = 0; r < records; ++r) {
        t->appendBlank();
        faker.fill(*t, r);
    }
    t->close();
    return file;
}

// Resident memory of the process in MB.
double residentMB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return double(resident) * 4096.0 / (1024.0 * 1024.0);
}

void BM_BuildOneOrder(benchmark::State& state) {
    auto table = DbfTable::open(trackTable(state.range(0)));
    auto key = klango::trackdb::trackOrderKey(table->structure(), klango::trackdb::trackOrders()[0]);
    for (auto _ : state) {
        auto order = Order::build(*table, benchFolder() / "ONE1.NTX", key, {});
        benchmark::DoNotOptimize(order->size());
    }
    state.counters["records"] = double(state.range(0));
}
BENCHMARK(BM_BuildOneOrder)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildSixOrders(benchmark::State& state) {
    auto table = DbfTable::open(trackTable(state.range(0)));
    double ordersMB = 0;
    for (auto _ : state) {
        double before = residentMB();
        std::vector<std::unique_ptr<Order>> orders;
        for (int n = 0; n < 6; ++n) {
            auto file = benchFolder() / ("SIX" + std::to_string(n + 1) + ".NTX");
            orders.push_back(Order::build(*table, file, klango::trackdb::trackOrderKey(table->structure(), klango::trackdb::trackOrders()[n]), {}));
        }
        // Later rounds reuse the memory the first one freed; its growth is the honest figure.
        ordersMB = std::max(ordersMB, residentMB() - before);
        benchmark::DoNotOptimize(orders.back()->size());
    }
    state.counters["orders_MB"] = ordersMB;
}
BENCHMARK(BM_BuildSixOrders)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Seek(benchmark::State& state) {
    auto table = DbfTable::open(trackTable(state.range(0)));
    auto order = Order::build(*table, benchFolder() / "SEEK1.NTX", klango::trackdb::trackOrderKey(table->structure(), klango::trackdb::trackOrders()[0]), {});
    // Prefixes of existing keys: short ones (the entries' own key bytes decide) or long ones
    // (the records are read where those bytes tie).
    const bool longPrefixes = state.range(1) != 0;
    std::mt19937 rng(11);
    std::vector<std::string> prefixes;
    for (int i = 0; i < 4096; ++i) {
        uint32_t r = 1 + rng() % table->lastRec();
        size_t length = longPrefixes ? 20 + rng() % 60 : 4 + rng() % 8;
        prefixes.push_back(order->keyOf(table->view(r)).substr(0, length));
    }
    size_t i = 0, hits = 0;
    for (auto _ : state) {
        bool found = false;
        benchmark::DoNotOptimize(order->seek(prefixes[i++ & 4095], found));
        hits += found;
    }
    state.counters["found_share"] = double(hits) / double(state.iterations());
    state.counters["ns_per_seek"] = benchmark::Counter(double(state.iterations()),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Seek)->Args({1000000, 0})->Args({1000000, 1});

// An import's appends: blank record, fields written, flushed, with both import orders attached.
// The argument is the record count of the table before the import.
void BM_ImportAppends(benchmark::State& state) {
    const long base = state.range(0);
    const long appends = 100000;
    fs::path file = benchFolder() / "import.dbf";
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        fs::remove(file, ec);
        if (base == 0) {
            DbfTable::create(file, klango::trackdb::trackStructure(), Date{2024, 1, 1});
        } else {
            fs::copy_file(trackTable(base), file, fs::copy_options::overwrite_existing, ec);
        }
        auto table = DbfTable::open(file);
        table->createOrder(benchFolder() / "MP3TEMP.NT1", compileKey(table->structure(), "upper(DMP3->PATH)"));
        table->attachOrder(benchFolder() / "MP3TEMP.NT2",
                           compileKey(table->structure(), "upper(DMP3->GROUP)+upper(DMP3->TITLE)"));
        TrackFaker faker(99);
        state.ResumeTiming();
        for (long r = 0; r < appends; ++r) {
            table->appendBlank();
            faker.fill(*table, base + r);
            table->flush();
        }
        state.PauseTiming();
        table.reset();
        fs::remove(file, ec);
        state.ResumeTiming();
    }
    state.counters["records_per_s"] =
        benchmark::Counter(double(appends) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportAppends)->Arg(0)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
