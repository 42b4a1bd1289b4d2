// The benchmarks. With --generate_track_table=<records> only makes (or finds) the generated
// table Bench<records> that BM_CheckData uses and prints its path, for scripts that time
// whole processes over it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "track_table_generator.h"

int main(int argc, char** argv) {
    constexpr std::string_view kGenerate = "--generate_track_table=";
    if (argc == 2 && std::string_view(argv[1]).rfind(kGenerate, 0) == 0) {
        const long records = std::strtol(argv[1] + kGenerate.size(), nullptr, 10);
        if (records <= 0) {
            std::fprintf(stderr, "Anzahl der Titel fehlt: %s\n", argv[1]);
            return 2;
        }
        const std::string name = "Bench" + std::to_string(records);
        std::puts(klango::bench::generatedTrackTable(name.c_str(), records).c_str());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
