// Generated track databases for the benchmarks: realistic, varied values (artists with several
// albums of a dozen tracks, umlauts, empty fields) written once below /tmp/klango-bench and reused.
#pragma once

#include <filesystem>

namespace klango::bench {

// The program folder of the benchmark data (with its Daten/ below).
std::filesystem::path benchHome();
// Daten/<name>.dbf with `records` track records; created on first use, reused afterwards.
std::filesystem::path generatedTrackTable(const char* name, long records);

}  // namespace klango::bench
