// GenreTable: the genre names of the tag reader's parameter file "DBPARAMS.INI" in the program
// folder, section "Genre", genre n under the key n + 1. Read once when made (the file is never
// written by the program); an import makes one and hands it to every READMP3.
#pragma once

#include <array>
#include <filesystem>
#include <string>

namespace klango::trackdb {

constexpr const char* kGenreFileName = "DBPARAMS.INI";
constexpr const char* kGenreSection = "Genre";
constexpr const char* kNoGenre = "None";

class GenreTable {
public:
    // No file: every genre is "None".
    GenreTable();
    // The parameter file of programFolder, its name resolved case-blind.
    static GenreTable fromProgramFolder(const std::filesystem::path& programFolder);
    // The parameter file given by its full name.
    static GenreTable fromFile(const std::filesystem::path& file);

    // The name of ID3v1 genre number genre (0..255), or "None" when its key is missing or the
    // number lies outside 0..255.
    const std::string& name(int genre) const;

private:
    static constexpr int kGenreCount = 256;  // what one ID3v1 genre byte can name
    std::array<std::string, kGenreCount> m_names;
    std::string m_none = kNoGenre;
};

}  // namespace klango::trackdb
