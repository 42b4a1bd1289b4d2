// Feeds arbitrary bytes as an MP3 file to the tag reader: no crash, no hang, no unbounded memory,
// and the result stays within what the track record can hold.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "trackdb/mp3_tag_reader.h"

namespace {

const std::filesystem::path& scratchFile() {
    static const std::filesystem::path file = [] {
        // A memory file system where there is one: writing the input is most of the cost of a run.
        std::error_code ec;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        return base / ("klango_fuzz_" + std::to_string(getpid())) / "tag - 07 fuzz.mp3";
    }();
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const klango::trackdb::GenreTable genres;
    static const std::filesystem::path& file = [] {
        std::filesystem::create_directories(scratchFile().parent_path());
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFile().parent_path(), ec);
        });
        return scratchFile();
    }();
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    klango::trackdb::TagResult tag = klango::trackdb::READMP3(file, genres);
    if (tag.TRACK < 0 || tag.TRACK > 99 || tag.YEAR < 0 || tag.YEAR > 9999 || tag.TAGREAD.empty()) std::abort();
    return 0;
}
