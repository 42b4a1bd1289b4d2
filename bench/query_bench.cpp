// The filter, the search and the statistics over generated databases of 100 000 and 1 000 000
// tracks: a genre filter set and removed, a free-word search in the open database, a search in
// all databases, the statistics of the open database and of all databases. Each size gets a
// program folder of its own below /tmp whose Daten/ holds a link to the generated table, so that
// the search and the overall statistics see just that database.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "dbf/work_areas.h"
#include "query/queries.h"
#include "shell/startup.h"
#include "track_table_generator.h"
#include "trackdb/check_data.h"
#include "ui/ui.h"

namespace fs = std::filesystem;
using namespace klango;

namespace {

struct QueryHome {
    explicit QueryHome(long records) : shell(ui), queries(shell) {
        const fs::path source = bench::generatedTrackTable(("Bench" + std::to_string(records)).c_str(), records);
        const fs::path home = bench::benchHome().parent_path() / ("klango-bench-query-" + std::to_string(records));
        fs::create_directories(home / "Daten");
        name = "Query" + std::to_string(records);
        const fs::path link = home / "Daten" / (name + ".dbf");
        std::error_code ec;
        if (!fs::exists(link)) fs::create_hard_link(source, link, ec);
        shell.state.CRUNIN = home / "";
        shell.state.CINIFILE = shell::Settings::fileIn(shell.state.CRUNIN);
        shell.areas = std::make_unique<dbf::WorkAreas>(home / "Daten");
        shell.state.CFILE = name;
        ok = trackdb::CHECKDATA(*shell.areas, ui, name, trackdb::CheckDataEnd::KeepOpen) && queries.view.table();
    }
    ~QueryHome() { shell.areas->closeAll(); }

    ui::NullUi ui;
    shell::Shell shell;
    query::Queries queries;
    std::string name;
    bool ok = false;
};

query::FilterCriteria genre(const char* g) {
    query::FilterCriteria c;
    c[0] = {g};
    return c;
}

void BM_FilterGenreSet(benchmark::State& state) {
    QueryHome h(long(state.range(0)));
    if (!h.ok) return state.SkipWithError("database not ready");
    uint32_t shown = 0;
    for (auto _ : state) {
        shown = h.queries.filter.FILTERNOW(genre("Rock"));
        state.PauseTiming();
        h.queries.filter.MP3KILLFILTER();
        state.ResumeTiming();
    }
    state.counters["shown"] = double(shown);
}
BENCHMARK(BM_FilterGenreSet)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FilterRemove(benchmark::State& state) {
    QueryHome h(long(state.range(0)));
    if (!h.ok) return state.SkipWithError("database not ready");
    for (auto _ : state) {
        state.PauseTiming();
        h.queries.filter.FILTERNOW(genre("Rock"));
        state.ResumeTiming();
        h.queries.filter.MP3KILLFILTER();
    }
}
BENCHMARK(BM_FilterRemove)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);

query::SearchCriteria freeWords() {
    query::SearchCriteria c;
    c.text = "DREAM FIRE";
    return c;
}

void BM_SearchFreeWordsInOpen(benchmark::State& state) {
    QueryHome h(long(state.range(0)));
    if (!h.ok) return state.SkipWithError("database not ready");
    uint32_t hits = 0;
    for (auto _ : state) {
        hits = h.queries.search.SUCHINONE(freeWords());
        state.PauseTiming();
        h.queries.filter.MP3KILLFILTER();
        state.ResumeTiming();
    }
    state.counters["hits"] = double(hits);
}
BENCHMARK(BM_SearchFreeWordsInOpen)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SearchInAllDatabases(benchmark::State& state) {
    QueryHome h(long(state.range(0)));
    if (!h.ok) return state.SkipWithError("database not ready");
    uint32_t hits = 0;
    for (auto _ : state) hits = h.queries.search.SUCHINALL(freeWords()).hits;
    state.counters["hits"] = double(hits);
}
BENCHMARK(BM_SearchInAllDatabases)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StatisticsOfOpen(benchmark::State& state) {
    QueryHome h(long(state.range(0)));
    if (!h.ok) return state.SkipWithError("database not ready");
    long long titles = 0;
    for (auto _ : state) titles = query::tableFigures(*h.queries.view.table(), false).titles;
    state.counters["titles"] = double(titles);
}
BENCHMARK(BM_StatisticsOfOpen)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StatisticsOfAll(benchmark::State& state) {
    QueryHome h(long(state.range(0)));
    if (!h.ok) return state.SkipWithError("database not ready");
    // The open database is read where it is; the other tables of the folder are opened one by one.
    h.shell.areas->closeAll();
    for (auto _ : state) benchmark::DoNotOptimize(h.queries.stats.STATINALL());
}
BENCHMARK(BM_StatisticsOfAll)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
