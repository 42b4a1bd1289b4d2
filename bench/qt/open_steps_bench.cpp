// Where the time of opening a track database goes, step by step in the order the table window
// takes them: the layout check's open, the six orders built, the open with the orders attached,
// the count of marked tracks and the panel with its first paint. Each step is a counter in ms;
// mp3table_ms is the table window's whole open (all the steps before) for comparison.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench_program.h"
#include "runtime/dbf_table.h"
#include "runtime/index_file.h"
#include "runtime/key_expression.h"
#include "shell/rx_helpers.h"
#include "trackdb/track_record.h"

namespace {

using Clock = std::chrono::steady_clock;
using klango::bench::BenchProgram;
using klango::runtime::DbfTable;

double msSince(Clock::time_point& start) {
    const Clock::time_point now = Clock::now();
    const double ms = std::chrono::duration<double, std::milli>(now - start).count();
    start = now;
    return ms;
}

void BM_OpenSteps(benchmark::State& state) {
    BenchProgram program(long(state.range(0)));
    const auto data = program.dataFolder();
    const std::string& name = program.name();
    const auto file = data / (name + ".dbf");
    for (auto _ : state) {
        program.removeIndexFiles();
        Clock::time_point t = Clock::now();
        auto table = DbfTable::open(file);
        if (!table) return state.SkipWithError("open failed");
        state.counters["open_ms"] = msSince(t);
        table->close();
        table.reset();
        state.counters["close_ms"] = msSince(t);

        table = DbfTable::open(file);
        if (!table) return state.SkipWithError("open failed");
        msSince(t);
        for (const auto& o : klango::trackdb::trackOrders()) {
            table->createOrder(klango::trackdb::indexFile(data, name, o.number),
                               klango::runtime::compileKey(table->structure(), o.expression));
            state.counters["build_order" + std::to_string(o.number) + "_ms"] = msSince(t);
        }
        table->close();
        table.reset();
        state.counters["close_orders_ms"] = msSince(t);

        // Reading the six files alone; attaching reads them again and checks them against the table.
        for (const auto& o : klango::trackdb::trackOrders()) {
            benchmark::DoNotOptimize(klango::runtime::IndexFile::read(klango::trackdb::indexFile(data, name, o.number)));
        }
        state.counters["read_index_files_ms"] = msSince(t);

        table = DbfTable::open(file);
        if (!table) return state.SkipWithError("open failed");
        state.counters["open2_ms"] = msSince(t);
        for (const auto& o : klango::trackdb::trackOrders()) {
            table->attachOrder(klango::trackdb::indexFile(data, name, o.number),
                               klango::runtime::compileKey(table->structure(), o.expression));
        }
        table->setOrder(1);
        state.counters["attach_ms"] = msSince(t);
        benchmark::DoNotOptimize(klango::shell::NUMTAGGED(*table, true, program.shell().state));
        state.counters["numtagged_ms"] = msSince(t);
        table->close();
        table.reset();
        msSince(t);

        // The whole table window's open again with its panel, minus the steps above.
        if (!program.open()) return state.SkipWithError("MP3TABLE failed");
        state.counters["mp3table_ms"] = msSince(t);
        program.paintWindow();
        state.counters["first_paint_ms"] = msSince(t);
        program.close();
    }
}
BENCHMARK(BM_OpenSteps)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
