// The player search behind "Su&chen" of the settings dialog: first the players a Linux user has
// in the PATH, then the files "winamp.exe" and "studio.exe" (any case) in the folders of the
// mounted file systems (MAKETREE, MAKETREE2, MAKETREE4). Synchronous and free of Ui; the settings
// dialog model runs it on a worker thread (SetupDialogModel::IMPDRIVES) and stops it through the
// shared flag.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace klango::settings {

// The Linux players looked for in the PATH, in this order.
inline constexpr const char* kLinuxPlayers[] = {"audacious", "vlc", "qmmp", "deadbeef", "mpv"};

// The first of kLinuxPlayers that is an executable file in one of the absolute folders of
// pathList (':'-separated, as PATH; relative entries are skipped), as an absolute path in CP1252;
// empty when none is there.
std::string findPlayerInPath(std::string_view pathList);

class PlayerSearch {
  public:
    // stop is LBREAK: set by "&Unterbrechen" from another thread, read between folders.
    // mountPoints: where other file systems are mounted (never entered); by default the mount
    // table's.
    explicit PlayerSearch(const std::atomic<bool>& stop);
    PlayerSearch(const std::atomic<bool>& stop, std::vector<std::string> mountPoints);

    // Told each folder (CP1252) before it is listed or tested; runs on the search's thread.
    std::function<void(const std::string&)> onFolder;

    // MAKETREE2: the sub-folders of folder, sorted by name; links to folders, mount points of
    // other file systems and unreadable folders are left out. Names with a full stop and hidden
    // names are folders like any other.
    std::vector<std::filesystem::path> MAKETREE2(const std::filesystem::path& folder) const;
    // MAKETREE: lists every folder below root breadth-first (the root itself is not tested) and
    // looks for the program in them with MAKETREE4. True when found (see found()).
    bool MAKETREE(const std::filesystem::path& root);
    // MAKETREE4: the first listed folder holding "studio.exe" (preferred) or "winamp.exe" in any
    // case; found() is that file's path as the file system names it.
    bool MAKETREE4(const std::vector<std::filesystem::path>& folders);

    // The program found by the last MAKETREE/MAKETREE4 (CP1252), empty when none.
    const std::string& found() const { return m_found; }
    // Did the last MAKETREE end because of the stop flag?
    bool stopped() const { return m_stopped; }
    // The number of folders the last MAKETREE listed.
    size_t folderCount() const { return m_folderCount; }

  private:
    bool stopRequested();
    void tell(const std::filesystem::path& folder) const;

    const std::atomic<bool>& m_stop;
    std::unordered_set<std::string> m_mountPoints;
    std::string m_root;  // the mount point being searched is no other file system
    std::string m_found;
    bool m_stopped = false;
    size_t m_folderCount = 0;
};

}  // namespace klango::settings
