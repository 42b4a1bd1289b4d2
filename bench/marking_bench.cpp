// Marking and unmarking every track of generated databases in artist order, as the mark-all
// button does it. Own tables, so that the marks left behind do not change other benchmarks' data.
#include <benchmark/benchmark.h>

#include <string>

#include "dbf/key_expression.h"
#include "dbf/work_areas.h"
#include "shell/app_state.h"
#include "table/marking.h"
#include "table/table_panel_state.h"
#include "track_table_generator.h"
#include "trackdb/check_data.h"
#include "trackdb/track_record.h"
#include "ui/ui.h"

namespace {

void BM_MarkAllAndRemoveAll(benchmark::State& state) {
    const long records = long(state.range(0));
    const std::string name = "Marking" + std::to_string(records);
    klango::bench::generatedTrackTable(name.c_str(), records);
    const auto data = klango::bench::benchHome() / "Daten";
    klango::dbf::WorkAreas areas(data);
    klango::ui::NullUi ui;
    if (!klango::trackdb::CHECKDATA(areas, ui, name)) {
        state.SkipWithError("CHECKDATA failed");
        return;
    }
    klango::dbf::DbfTable* table = areas.use(name, "DMP3");
    if (!table) {
        state.SkipWithError("open failed");
        return;
    }
    table->attachOrder(klango::trackdb::indexFile(data, name, 1),
                       klango::trackdb::trackOrderKey(table->structure(), klango::trackdb::trackOrders()[0]));
    klango::shell::AppState app;
    app.LTAB_OPEN = true;
    klango::table::TablePanelState panel;
    klango::table::Marking marking(table, app, ui, panel);
    table->goTop();
    for (auto _ : state) {
        marking.MARKALL();
        marking.DELMARKED();
    }
    state.counters["records"] = double(records);
}
BENCHMARK(BM_MarkAllAndRemoveAll)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
