// FolderWalk: collects the MP3 files below an import's source folder (GETINDIR's file list) and
// hands them back sorted by their lower-cased path. Owns nothing beyond its result; called by the
// import. Folders reached through links and folders of other file systems are not entered.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace klango::trackdb {

struct FoundFile {
    std::string text;            // the path as the track record stores it: CP1252, "/", case kept
    std::filesystem::path path;  // the same file for the file system
};

struct FolderWalkResult {
    std::vector<FoundFile> files;  // ascending by the lower-cased text, equal ones by the text
    // Files whose path cannot be written in CP1252: a record could never find them again.
    size_t skippedCount = 0;
    std::vector<std::string> skippedNames;  // the first kNamedSkips of them, as the file system names them
};

class FolderWalk {
  public:
    static constexpr size_t kNamedSkips = 5;

    // pattern is matched case-blind against file names ("*.MP3" takes "a.mp3" and "b.Mp3").
    FolderWalk(std::filesystem::path baseFolder, std::string pattern);

    // Told the number of folders directly below the base folder, before they are walked.
    std::function<void(size_t)> onTopFolders;
    // Told each folder (CP1252 text) as its sub-folders are listed.
    std::function<void(const std::string&)> onFolder;

    // Hidden entries (names starting with ".") are left out, and so is anything not an ordinary
    // file; an unreadable folder counts as empty. Each folder is visited once.
    FolderWalkResult run() const;

    // The lower-casing of the sort: A to Z only, as the keys upper-case a to z only.
    static std::string sortKey(std::string_view text);

  private:
    std::filesystem::path m_base;
    std::string m_pattern;
};

}  // namespace klango::trackdb
