// The track grid over generated databases: a header click re-sorting the view, a letter jump,
// a jump to the end and drawing one page of cells, all in the six orders of a track database.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "table/table_sort.h"
#include "table/track_columns.h"
#include "table/track_grid_model.h"
#include "track_table_generator.h"
#include "trackdb/track_record.h"

namespace {

using klango::dbf::DbfTable;

// One open table per size, kept for the whole run (its orders are built once into their files).
DbfTable* gridTable(long records) {
    static std::unique_ptr<DbfTable> tables[2];
    const int slot = records >= 1000000 ? 1 : 0;
    if (!tables[slot]) {
        const std::string name = "Grid" + std::to_string(records);
        klango::bench::generatedTrackTable(name.c_str(), records);
        const auto data = klango::bench::benchHome() / "Daten";
        tables[slot] = DbfTable::open(data / (name + ".dbf"));
        if (!tables[slot]) return nullptr;
        for (const auto& o : klango::trackdb::trackOrders()) {
            tables[slot]->attachOrder(klango::trackdb::indexFile(data, name, o.number),
                                      klango::trackdb::trackOrderKey(tables[slot]->structure(), o));
        }
    }
    return tables[slot].get();
}

void BM_HeaderClick(benchmark::State& state) {
    DbfTable* table = gridTable(long(state.range(0)));
    if (!table) return state.SkipWithError("open failed");
    klango::table::TableSort sort(*table);
    klango::table::TrackGridModel model(*table);
    sort.selectInitial();
    table->goTop();
    table->skip(long(state.range(0) / 2));
    for (auto _ : state) {
        sort.headerClicked(klango::table::kRangeColumn);
        benchmark::DoNotOptimize(model.currentRow());
        sort.headerClicked(klango::table::kGroupColumn);
        benchmark::DoNotOptimize(model.currentRow());
    }
}
BENCHMARK(BM_HeaderClick)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_LetterJump(benchmark::State& state) {
    DbfTable* table = gridTable(long(state.range(0)));
    if (!table) return state.SkipWithError("open failed");
    table->setOrder(1);
    for (auto _ : state) benchmark::DoNotOptimize(klango::table::MP3GOTO(*table, "M"));
}
BENCHMARK(BM_LetterJump)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// A jump to the end and the last page of cells, as the grid draws it.
void BM_EndAndPage(benchmark::State& state) {
    DbfTable* table = gridTable(long(state.range(0)));
    if (!table) return state.SkipWithError("open failed");
    table->setOrder(3);
    klango::table::TrackGridModel model(*table);
    constexpr int kPageRows = 40;
    for (auto _ : state) {
        table->goBottom();
        const int last = model.currentRow().value_or(0);
        size_t bytes = 0;
        for (int row = std::max(0, last - kPageRows + 1); row <= last; ++row) {
            for (int column = 0; column < klango::table::kColumnCount; ++column) {
                bytes += model.cellText(row, column, true).size();
            }
        }
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_EndAndPage)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
