#include "query/database_files.h"

#include <algorithm>

#include "base/cp1252.h"
#include "platform/file_names.h"
#include "query/text_match.h"

namespace klango::query {

std::vector<std::filesystem::path> databaseFiles(const std::filesystem::path& dataFolder) {
    std::vector<std::filesystem::path> files = platform::listMatching(dataFolder, "*.dbf");
    std::stable_sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return foldCase(databaseBase(a)) < foldCase(databaseBase(b));
    });
    return files;
}

std::string databaseBase(const std::filesystem::path& file) {
    return base::utf8ToCp1252(file.stem().string());
}

bool sameDatabase(const std::string& a, const std::string& b) { return foldCase(a) == foldCase(b); }

}  // namespace klango::query
