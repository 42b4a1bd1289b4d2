// The table window on the screen over generated databases of 100 000 and 1 000 000 tracks:
// opening a database until its first page is painted, the end, letter and header-click jumps
// with the grid repainted, and the mark-all button both ways with the grid refresh.
#include <benchmark/benchmark.h>

#include <QAction>
#include <chrono>

#include "bench_program.h"
#include "table/track_columns.h"
#include "gui/track_grid_view.h"

namespace {

using klango::bench::BenchProgram;

// Opening as the user does it on a fresh day: CHECKDATA finds no index files and builds all six,
// the orders are attached, the panel is built and the first page painted.
void BM_OpenIntoTableWindow(benchmark::State& state) {
    BenchProgram program(long(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        program.removeIndexFiles();
        state.ResumeTiming();
        if (!program.open()) {
            state.SkipWithError("MP3TABLE failed");
            break;
        }
        program.paintWindow();
        state.PauseTiming();
        state.counters["rss_open_mb"] = klango::bench::residentMb();
        program.close();
        state.ResumeTiming();
    }
    state.counters["peak_rss_mb"] = klango::bench::peakResidentMb();
}
BENCHMARK(BM_OpenIntoTableWindow)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The second open of the same database: the index files are there and only attached.
void BM_ReopenIntoTableWindow(benchmark::State& state) {
    BenchProgram program(long(state.range(0)));
    if (!program.open()) return state.SkipWithError("MP3TABLE failed");
    program.close();
    for (auto _ : state) {
        if (!program.open()) {
            state.SkipWithError("MP3TABLE failed");
            break;
        }
        program.paintWindow();
        state.PauseTiming();
        program.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReopenIntoTableWindow)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// From the top of the artist order to its end through the menu's hook, the last page painted.
void BM_GridJumpToEnd(benchmark::State& state) {
    BenchProgram program(long(state.range(0)));
    if (!program.open()) return state.SkipWithError("MP3TABLE failed");
    auto& hooks = program.shell().hooks;
    klango::gui::TrackGridView* grid = program.panel().grid();
    for (auto _ : state) {
        state.PauseTiming();
        hooks.gotoTop();
        program.paintGrid();
        state.ResumeTiming();
        hooks.gotoBottom();
        program.paintGrid();
        if (grid->currentIndex().row() != grid->model()->rowCount() - 1) {
            state.SkipWithError("the jump did not reach the last row");
            break;
        }
    }
}
BENCHMARK(BM_GridJumpToEnd)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// "Gehe zu 'M'" from the top of the artist order, the page painted.
void BM_GridLetterJump(benchmark::State& state) {
    BenchProgram program(long(state.range(0)));
    if (!program.open()) return state.SkipWithError("MP3TABLE failed");
    QAction* button = program.panel().button("GOTOMK");
    if (!button) return state.SkipWithError("no GOTOMK button");
    auto& hooks = program.shell().hooks;
    double commandMs = 0, paintMs = 0;  // the button's command with its refresh; the paint after it
    for (auto _ : state) {
        state.PauseTiming();
        hooks.gotoTop();
        program.paintGrid();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        button->trigger();
        const auto triggered = std::chrono::steady_clock::now();
        program.paintGrid();
        commandMs += std::chrono::duration<double, std::milli>(triggered - start).count();
        paintMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - triggered).count();
        if (program.panel().grid()->currentIndex().row() <= 0) {
            state.SkipWithError("the letter jump did not move");
            break;
        }
    }
    state.counters["command_ms"] = benchmark::Counter(commandMs, benchmark::Counter::kAvgIterations);
    state.counters["paint_ms"] = benchmark::Counter(paintMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GridLetterJump)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One header click per iteration, genre and artist in turn, each re-sorting the view around the
// current record (placed in the middle of the table) and repainting it.
void BM_GridHeaderClick(benchmark::State& state) {
    BenchProgram program(long(state.range(0)));
    if (!program.open()) return state.SkipWithError("MP3TABLE failed");
    klango::gui::TrackGridView* grid = program.panel().grid();
    program.tableWindow().currentRowChanged(int(state.range(0) / 2));
    program.paintGrid();
    bool genre = true;
    for (auto _ : state) {
        if (!grid->headerClicked(genre ? klango::table::kGenreColumn : klango::table::kGroupColumn)) {
            state.SkipWithError("the header click left the order as it was");
            break;
        }
        program.paintGrid();
        genre = !genre;
    }
}
BENCHMARK(BM_GridHeaderClick)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The mark-all button: "Alle Titel markieren" while nothing is marked, "Alle Markierungen
// aufheben" while something is; the other state is made outside the timing.
void markAllButton(benchmark::State& state, bool marking) {
    BenchProgram program(long(state.range(0)));
    if (!program.open()) return state.SkipWithError("MP3TABLE failed");
    QAction* button = program.panel().button("MARKALLK");
    if (!button) return state.SkipWithError("no MARKALLK button");
    const bool& anyMarked = program.shell().state.LTAB_TAGG;
    for (auto _ : state) {
        state.PauseTiming();
        if (anyMarked == marking) {
            button->trigger();
            program.paintGrid();
        }
        state.ResumeTiming();
        button->trigger();
        program.paintGrid();
        if (anyMarked != marking) {
            state.SkipWithError("the button did not change the marks");
            break;
        }
    }
}
void BM_MarkAllButton(benchmark::State& state) { markAllButton(state, true); }
void BM_RemoveAllMarksButton(benchmark::State& state) { markAllButton(state, false); }
BENCHMARK(BM_MarkAllButton)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RemoveAllMarksButton)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
