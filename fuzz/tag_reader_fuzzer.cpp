// Feeds arbitrary bytes as an MP3 file to the tag reader: no crash, no hang, no unbounded memory,
// and the result stays within what the track record can hold. The first input bytes choose the
// file's name and the folders above it (so the file-name sources "FILE1" and "FILE2" are reached);
// the genres come from the program's own DBPARAMS.INI, so genre numbers are looked up for real.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "base/cp1252.h"
#include "trackdb/mp3_tag_reader.h"

namespace {

namespace fs = std::filesystem;

const fs::path& scratchFolder() {
    static const fs::path folder = [] {
        // A memory file system where there is one: writing the input is most of the cost of a run.
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        return base / ("klango_tag_fuzz_" + std::to_string(getpid()));
    }();
    return folder;
}

// Folder shapes above the file: none, an artist and album, folders with hyphens and blanks.
constexpr const char* kFolders[] = {"", "Artist/Album/", "USB-STICK/Pink Floyd/The Wall/", "a - b/c/",
                                    "Ärzte/Die Bestie in Menschengestalt/"};

// The name part: up to 40 input bytes up to the first 0 byte, as CP1252 text, with the bytes a
// file name cannot hold replaced, so "07 - Artist - Title" and "12 Title" shapes both occur.
std::string nameFrom(const uint8_t*& data, size_t& size) {
    std::string name;
    while (size > 0 && name.size() < 40) {
        const char c = char(*data++);
        --size;
        if (c == 0) break;
        name += (c == '/' || (unsigned char)c < 0x20) ? '_' : c;
    }
    if (name.empty() || name == "." || name == "..") name = "x";
    return klango::base::cp1252ToUtf8(name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const klango::trackdb::GenreTable genres =
        klango::trackdb::GenreTable::fromFile(fs::path(KLANGO_RESOURCES) / "DBPARAMS.INI");
    static const bool ready = [] {
        fs::create_directories(scratchFolder());
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(scratchFolder(), ec);
        });
        return true;
    }();
    (void)ready;
    if (size == 0) return 0;
    const char* folders = kFolders[data[0] % std::size(kFolders)];
    ++data;
    --size;
    const fs::path file = scratchFolder() / folders / (nameFrom(data, size) + ".mp3");
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    klango::trackdb::TagResult tag = klango::trackdb::READMP3(file, genres);
    fs::remove(file, ec);
    if (tag.TRACK < 0 || tag.TRACK > 99 || tag.YEAR < 0 || tag.YEAR > 9999 || tag.TAGREAD.empty()) std::abort();
    return 0;
}
