#include "trackdb/genre_table.h"

#include "platform/file_names.h"
#include "base/profile_file.h"

namespace klango::trackdb {

GenreTable::GenreTable() { m_names.fill(kNoGenre); }

GenreTable GenreTable::fromProgramFolder(const std::filesystem::path& programFolder) {
    return fromFile(platform::resolveCaseBlind(programFolder, kGenreFileName));
}

GenreTable GenreTable::fromFile(const std::filesystem::path& file) {
    GenreTable table;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return table;
    for (int genre = 0; genre < kGenreCount; ++genre) {
        table.m_names[genre] =
            base::readProfileString(file, kGenreSection, std::to_string(genre + 1), kNoGenre);
    }
    return table;
}

const std::string& GenreTable::name(int genre) const {
    if (genre < 0 || genre >= kGenreCount) return m_none;
    return m_names[genre];
}

}  // namespace klango::trackdb
