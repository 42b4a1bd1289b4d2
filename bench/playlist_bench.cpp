// Writing the playlist of 100 000 marked tracks, statistics included, in tables of 100 000 and
// 1 000 000 tracks (artist order, no player started). Own tables, since the export stamps them.
#include <benchmark/benchmark.h>

#include <string>

#include "dbf/work_areas.h"
#include "output/playlist_export.h"
#include "shell/app_state.h"
#include "shell/startup.h"
#include "track_table_generator.h"
#include "trackdb/check_data.h"
#include "trackdb/track_record.h"
#include "ui/ui.h"

namespace {

void BM_PlaylistOf100000Marked(benchmark::State& state) {
    using namespace klango;
    const long records = long(state.range(0));
    const std::string name = "Playlist" + std::to_string(records);
    bench::generatedTrackTable(name.c_str(), records);
    ui::NullUi ui;
    shell::Shell sh(ui);
    shell::LOADPUBLICS(sh.state, bench::benchHome());
    sh.areas = std::make_unique<dbf::WorkAreas>(bench::benchHome() / "Daten");
    if (!trackdb::CHECKDATA(*sh.areas, ui, name, trackdb::CheckDataEnd::KeepOpen)) {
        state.SkipWithError("CHECKDATA failed");
        return;
    }
    dbf::DbfTable* table = sh.areas->get("DMP3");
    sh.state.LTAB_OPEN = true;
    sh.state.LS_MARKSORT = true;
    {
        // Every (records / 100 000)th track marked, the others not.
        dbf::DbfTable::BulkChange bulk(*table);
        const long step = records / 100000;
        for (uint32_t r = 1; r <= table->lastRec(); ++r) {
            table->goTo(r);
            table->putL(trackdb::track::TAGGED, (r - 1) % uint32_t(step) == 0);
        }
    }
    table->flush();
    table->goTop();
    output::PlaylistExport exporter(sh);
    size_t tracks = 0;
    for (auto _ : state) {
        tracks = exporter.M3USORT("BENCH", true, false, false, false).tracks;
    }
    state.counters["tracks"] = double(tracks);
    sh.areas->closeAll();
}
BENCHMARK(BM_PlaylistOf100000Marked)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
