// CHECKDATA over generated track databases: open, verify, build all six orders.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include "dbf/work_areas.h"
#include "track_table_generator.h"
#include "trackdb/check_data.h"
#include "ui/ui.h"

namespace {

void BM_CheckData(benchmark::State& state) {
    const long records = long(state.range(0));
    const std::string name = "Bench" + std::to_string(records);
    klango::bench::generatedTrackTable(name.c_str(), records);
    klango::dbf::WorkAreas areas(klango::bench::benchHome() / "Daten");
    klango::ui::NullUi ui;
    for (auto _ : state) {
        bool ok = klango::trackdb::CHECKDATA(areas, ui, name);
        benchmark::DoNotOptimize(ok);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
    state.counters["records"] = double(records);
}
BENCHMARK(BM_CheckData)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

