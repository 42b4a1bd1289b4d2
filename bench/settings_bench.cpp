// The settings subsystem's figures: the player search over a tree of 100 000 folders, how soon a
// stop request ends it, and the structure update of ten old databases of 100 000 tracks against
// CHECKDATA run on them one by one.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "dbf/dbf_table.h"
#include "dbf/work_areas.h"
#include "settings/database_update.h"
#include "settings/player_search.h"
#include "track_table_generator.h"
#include "trackdb/check_data.h"
#include "trackdb/track_record.h"
#include "ui/ui.h"

namespace fs = std::filesystem;
using namespace klango;

namespace {

// 100 000 folders below the root: 10 x 100 x 100, made once and reused.
fs::path folderTree() {
    const fs::path root = bench::benchHome() / "tree100k";
    const fs::path done = root / ".complete";
    if (fs::exists(done)) return root;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 100; ++b)
            for (int c = 0; c < 100; ++c)
                fs::create_directories(root / ("a" + std::to_string(a)) / ("b" + std::to_string(b)) /
                                       ("c" + std::to_string(c)));
    std::ofstream(done.string()).put('\n');
    return root;
}

void BM_PlayerSearchTree(benchmark::State& state) {
    const fs::path root = folderTree();
    std::atomic<bool> stop{false};
    settings::PlayerSearch search(stop);
    for (auto _ : state) {
        bool found = search.MAKETREE(root);
        benchmark::DoNotOptimize(found);
    }
    state.counters["folders"] = double(search.folderCount());
}
BENCHMARK(BM_PlayerSearchTree)->Unit(benchmark::kMillisecond)->Iterations(3);

// From the stop request to the search's return, with the search in full swing.
void BM_PlayerSearchStopLatency(benchmark::State& state) {
    const fs::path root = folderTree();
    double worst = 0;
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::atomic<bool> running{false};
        std::chrono::steady_clock::time_point ended;
        std::thread worker([&] {
            settings::PlayerSearch search(stop);
            search.onFolder = [&](const std::string&) { running = true; };
            search.MAKETREE(root);
            ended = std::chrono::steady_clock::now();
        });
        while (!running) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto asked = std::chrono::steady_clock::now();
        stop = true;
        worker.join();
        const double ms = std::chrono::duration<double, std::milli>(ended - asked).count();
        worst = std::max(worst, ms);
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_PlayerSearchStopLatency)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// An old database (the layout before the file size was kept) of 100 000 tracks, made once.
fs::path oldTable() {
    const fs::path file = bench::benchHome() / "old100k.dbf";
    if (fs::exists(file)) return file;
    dbf::Structure layout = trackdb::trackStructure();
    layout.pop_back();
    const fs::path temp = bench::benchHome() / "old100k.tmp";
    dbf::DbfTable::create(temp, layout, {2003, 5, 1});
    {
        auto t = dbf::DbfTable::open(temp);
        for (int i = 0; i < 100000; ++i) {
            t->appendBlank();
            t->putC(t->fieldPos("GROUP"), "Interpret " + std::to_string(i % 997));
            t->putC(t->fieldPos("ALBUM"), "Album " + std::to_string(i % 5003));
            t->putC(t->fieldPos("TITLE"), "Titel " + std::to_string(i));
            t->putC(t->fieldPos("PATH"),
                    "/musik/" + std::to_string(i % 5003) + "/" + std::to_string(i) + ".mp3");
        }
    }
    fs::rename(temp, file);
    return file;
}

// Ten copies of the old table in a data folder of their own.
fs::path freshUpdateHome() {
    const fs::path home = bench::benchHome() / "update-home";
    fs::remove_all(home);
    fs::create_directories(home / "Daten");
    const fs::path old = oldTable();
    for (int i = 0; i < 10; ++i) fs::copy_file(old, home / "Daten" / ("db" + std::to_string(i) + ".dbf"));
    return home;
}

void BM_UpdateTenDatabases(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path home = freshUpdateHome();
        dbf::WorkAreas areas(home / "Daten");
        ui::NullUi ui;
        settings::UpdateDialogModel dialog;
        state.ResumeTiming();
        auto failed = settings::CHKUPDATE2(areas, ui, dialog, home / "Daten");
        benchmark::DoNotOptimize(failed);
    }
}
BENCHMARK(BM_UpdateTenDatabases)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_CheckDataTenOneByOne(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path home = freshUpdateHome();
        dbf::WorkAreas areas(home / "Daten");
        ui::NullUi ui;
        state.ResumeTiming();
        for (int i = 0; i < 10; ++i) {
            bool ok = trackdb::CHECKDATA(areas, ui, "db" + std::to_string(i));
            benchmark::DoNotOptimize(ok);
        }
    }
}
BENCHMARK(BM_CheckDataTenOneByOne)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
