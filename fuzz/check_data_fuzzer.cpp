// Feeds arbitrary bytes as a track table to CHECKDATA. Either the check refuses and the file
// keeps every byte, or every visible record of the input is in the checked table, in its order
// and with its PATH, and no working table or backup is left behind.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/cp1252.h"
#include "base/error.h"
#include "dbf/dbf_table.h"
#include "dbf/work_areas.h"
#include "trackdb/check_data.h"
#include "ui/ui.h"

namespace fs = std::filesystem;
using klango::dbf::DbfTable;

namespace {

const fs::path& scratchFolder() {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    static const fs::path folder = base / ("klango_check_fuzz_" + std::to_string(getpid()));
    return folder;
}

void removeScratch() {
    std::error_code ec;
    fs::remove_all(scratchFolder(), ec);
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// PATH of every visible record, as opening the table reads them; nothing when it does not open
// or has no PATH.
std::vector<std::string> visiblePaths(const fs::path& file) {
    std::vector<std::string> out;
    auto t = DbfTable::open(file);
    if (!t) return out;
    const int path = t->fieldPos("PATH");
    for (uint32_t r = 1; r <= t->lastRec(); ++r) {
        const char* bytes = t->recordBytes(r);
        if (bytes[0] == '*') continue;
        if (path < 0) {
            out.emplace_back();
            continue;
        }
        const auto& f = t->structure()[size_t(path)];
        out.emplace_back(klango::base::trimRight(std::string_view(bytes + f.offset, size_t(f.width))));
    }
    t->close();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        removeScratch();
        fs::create_directories(scratchFolder() / "Daten");
        std::atexit(removeScratch);
        klango::base::setErrorHandler([](const klango::base::ErrorRecord&) { return klango::base::ErrorAnswer::fallBack(); });
        return true;
    }();
    (void)ready;
    const fs::path folder = scratchFolder() / "Daten";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) fs::remove_all(entry.path(), ec);
    const fs::path file = folder / "Fuzz.dbf";
    const std::string input(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(file, std::ios::binary);
        out.write(input.data(), std::streamsize(input.size()));
    }
    const std::vector<std::string> before = visiblePaths(file);
    if (readBytes(file) != input) std::abort();  // reading alone never writes

    klango::dbf::WorkAreas areas(folder);
    klango::ui::NullUi ui;
    const bool checked = klango::trackdb::CHECKDATA(areas, ui, "Fuzz");
    if (!areas.aliases().empty()) std::abort();
    if (!checked) {
        if (readBytes(file) != input) std::abort();  // refused: untouched
        return 0;
    }
    if (visiblePaths(file) != before) std::abort();
    if (fs::exists(folder / "Fuzz.tmp", ec) || fs::exists(folder / "Fuzz.bak", ec)) std::abort();
    return 0;
}
