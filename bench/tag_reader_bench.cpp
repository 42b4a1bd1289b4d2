// READMP3 per file over 10 000 generated MP3 files as an import meets them: an ID3v2.3 tag of about
// 1 KB (every tenth with a 100 KB picture before its texts), a few KB of MPEG frames, an ID3v1 tag
// on half of them. The files are made once in the temporary folder and kept for later runs.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "trackdb/mp3_tag_reader.h"

namespace {

namespace fs = std::filesystem;
using klango::trackdb::GenreTable;
using klango::trackdb::READMP3;

constexpr int kFileCount = 10000;

std::string be32(uint32_t v) {
    return {char(v >> 24), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)};
}

std::string frame(const std::string& id, const std::string& body) {
    return id + be32(static_cast<uint32_t>(body.size())) + std::string(2, '\0') + body;
}

std::string textFrame(const std::string& id, const std::string& text) { return frame(id, '\0' + text); }

std::string makeFile(int i) {
    std::string n = std::to_string(i);
    std::string frames;
    if (i % 10 == 0) {
        frames += frame("APIC", std::string("\0image/jpeg\0\x03\0", 14) + std::string(100 * 1024, '\xA5'));
    }
    frames += textFrame("TIT2", "Title number " + n) + textFrame("TPE1", "Artist " + std::to_string(i % 97)) +
              textFrame("TALB", "Album " + std::to_string(i % 311)) + textFrame("TCON", "(17)") +
              textFrame("TYER", "1999") + textFrame("TRCK", std::to_string(i % 20 + 1) + "/20") +
              frame("COMM", std::string("\0eng\0", 5) + std::string(600, 'c'));
    if (i % 3 != 0) frames += textFrame("TLEN", std::to_string(180000 + i));
    std::string padding(256, '\0');
    uint32_t size = static_cast<uint32_t>(frames.size() + padding.size());
    std::string tag = std::string("ID3\x03\0\0", 6);
    for (int shift = 21; shift >= 0; shift -= 7) tag += char((size >> shift) & 0x7F);
    std::string audio;
    std::string mpeg = std::string("\xFF\xFB\x90\x00", 4) + std::string(413, '\x11');
    for (int k = 0; k < 8; ++k) audio += mpeg;
    std::string v1;
    if (i % 2 == 0) {
        v1 = "TAG" + std::string(30, 'T') + std::string(30, 'A') + std::string(30, 'B') + "1999" +
             std::string(30, '\0') + char(17);
    }
    return tag + frames + padding + audio + v1;
}

const std::vector<fs::path>& benchFiles() {
    static std::vector<fs::path> files = [] {
        fs::path root = fs::temp_directory_path() / "klango_tag_bench";
        fs::path done = root / "complete";
        std::vector<fs::path> list;
        for (int i = 0; i < kFileCount; ++i) {
            list.push_back(root / ("album" + std::to_string(i / 100)) / ("track " + std::to_string(i) + ".mp3"));
        }
        if (!fs::exists(done)) {
            for (int i = 0; i < kFileCount; ++i) {
                fs::create_directories(list[i].parent_path());
                std::ofstream(list[i], std::ios::binary) << makeFile(i);
            }
            std::ofstream(done) << "ok\n";
        }
        return list;
    }();
    return files;
}

void BM_ReadMp3(benchmark::State& state) {
    const auto& files = benchFiles();
    GenreTable genres = GenreTable::fromProgramFolder(fs::current_path());
    size_t i = 0;
    for (auto _ : state) {
        auto tag = READMP3(files[i], genres);
        benchmark::DoNotOptimize(tag);
        if (++i == files.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadMp3)->Unit(benchmark::kMicrosecond);

}  // namespace
