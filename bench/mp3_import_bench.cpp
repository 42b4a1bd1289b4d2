// The import end to end (walk, read, write, close) over generated MP3 folders of 10 000 and
// 100 000 files: an ID3v2.3 tag of about 1 KB (every tenth with a 100 KB picture before its texts),
// a few KB of MPEG frames, an ID3v1 tag on half of them; a new import, then an update of the same
// unchanged files. The files are made once in the temporary folder and kept for later runs.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/cp1252.h"
#include "dbf/work_areas.h"
#include "shell/app_state.h"
#include "trackdb/mp3_import.h"
#include "ui/scripted_ui.h"

namespace {

namespace fs = std::filesystem;
using namespace klango;

std::string be32(uint32_t v) {
    return {char(v >> 24), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)};
}
std::string frame(const std::string& id, const std::string& body) {
    return id + be32(static_cast<uint32_t>(body.size())) + std::string(2, '\0') + body;
}
std::string textFrame(const std::string& id, const std::string& text) { return frame(id, '\0' + text); }

std::string makeFile(int i) {
    std::string frames;
    if (i % 10 == 0) {
        frames += frame("APIC", std::string("\0image/jpeg\0\x03\0", 14) + std::string(100 * 1024, '\xA5'));
    }
    frames += textFrame("TIT2", "Title number " + std::to_string(i)) +
              textFrame("TPE1", "Artist " + std::to_string(i % 97)) +
              textFrame("TALB", "Album " + std::to_string(i % 311)) + textFrame("TCON", "(17)") +
              textFrame("TYER", "1999") + textFrame("TRCK", std::to_string(i % 20 + 1) + "/20") +
              frame("COMM", std::string("\0eng\0", 5) + std::string(600, 'c'));
    const std::string padding(256, '\0');
    const uint32_t size = static_cast<uint32_t>(frames.size() + padding.size());
    std::string tag = std::string("ID3\x03\0\0", 6);
    for (int shift = 21; shift >= 0; shift -= 7) tag += char((size >> shift) & 0x7F);
    std::string audio;
    const std::string mpeg = std::string("\xFF\xFB\x90\x00", 4) + std::string(413, '\x11');
    for (int k = 0; k < 8; ++k) audio += mpeg;
    std::string v1;
    if (i % 2 == 0) {
        v1 = "TAG" + std::string(30, 'T') + std::string(30, 'A') + std::string(30, 'B') + "1999" +
             std::string(30, '\0') + char(17);
    }
    return tag + frames + padding + audio + v1;
}

fs::path musicFolder(int count) {
    const fs::path root = fs::temp_directory_path() / ("klango_import_bench_" + std::to_string(count));
    if (!fs::exists(root / ".complete")) {
        for (int i = 0; i < count; ++i) {
            const fs::path file =
                root / ("album" + std::to_string(i / 100)) / ("track " + std::to_string(i) + ".mp3");
            fs::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << makeFile(i);
        }
        std::ofstream(root / ".complete") << "ok\n";
    }
    return root;
}

// One import into the database "BENCH" of a fresh program folder; update answers the questions
// for an import into the existing database (update yes, delete missing no).
bool importOnce(const fs::path& home, const fs::path& music, bool update) {
    shell::AppState state;
    state.CRUNIN = home / "";
    state.CINIFILE = home / "KLANGO.INI";
    dbf::WorkAreas areas(home / "Daten");
    ui::ScriptedUi ui;
    ui.expectFolder(base::utf8ToCp1252(music.string()));
    ui.expectSaveFile(base::utf8ToCp1252((home / "Daten" / "bench.dbf").string()));
    if (update) ui.expectYesNo(true);
    ui.expectDialog();
    if (update) ui.expectYesNo(false);
    return trackdb::Mp3Import(state, areas, ui, platform::Volumes()).MP3IMPORT() && ui.unexpected().empty();
}

void runImports(benchmark::State& state, bool update) {
    const int count = int(state.range(0));
    const fs::path music = musicFolder(count);
    const fs::path home = fs::temp_directory_path() / ("klango_import_bench_home_" + std::to_string(count));
    fs::remove_all(home);
    fs::create_directories(home / "Daten");
    if (update && !importOnce(home, music, false)) state.SkipWithError("first import failed");
    for (auto _ : state) {
        if (!update) {
            state.PauseTiming();
            fs::remove_all(home / "Daten");
            fs::create_directories(home / "Daten");
            state.ResumeTiming();
        }
        if (!importOnce(home, music, update)) state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(state.iterations() * count);
    fs::remove_all(home);
}

void BM_ImportNew(benchmark::State& state) { runImports(state, false); }
void BM_ImportUpdate(benchmark::State& state) { runImports(state, true); }
BENCHMARK(BM_ImportNew)->Arg(10000)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportUpdate)->Arg(10000)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
