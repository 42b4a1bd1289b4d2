// What one error costs before its dialog appears: reading the system facts, gathering the facts of
// the log, and writing "Error.log".
#include <benchmark/benchmark.h>

#include <filesystem>

#include "support/error_log.h"
#include "support/error_log_facts.h"
#include "support/system_info.h"

namespace {

using namespace klango;

void BM_SystemFacts(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(platform::readSystemFacts());
}
BENCHMARK(BM_SystemFacts)->Unit(benchmark::kMillisecond);

void BM_SystemInfoWithNetwork(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(support::TSystemInfo().cIP);
}
BENCHMARK(BM_SystemInfoWithNetwork)->Unit(benchmark::kMillisecond);

void BM_WriteErrorLog(benchmark::State& state) {
    const support::TSystemInfo info;
    base::ErrorRecord e;
    e.genCode = base::kErrOpen;
    e.osCode = 2;
    e.subsystem = "DBF";
    e.description = "Open error";
    e.fileName = "/musik/rock.dbf";
    const auto file = std::filesystem::temp_directory_path() / "klango_bench_Error.log";
    for (auto _ : state) {
        const auto facts = support::gatherErrorLogFacts("Klango v1.50.17", info, nullptr, {});
        benchmark::DoNotOptimize(support::writeFileReplacing(file, support::errorLogText(e, facts)));
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_WriteErrorLog)->Unit(benchmark::kMicrosecond);

}  // namespace
