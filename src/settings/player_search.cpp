#include "settings/player_search.h"

#include <algorithm>
#include <deque>
#include <system_error>
#include <unordered_set>

#include "base/cp1252.h"
#include "platform/volumes.h"

namespace klango::settings {

namespace fs = std::filesystem;

namespace {

std::string lowerAZ(std::string_view name) {
    std::string s(name);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

bool isExecutableFile(const fs::path& file) {
    std::error_code ec;
    const fs::file_status st = fs::status(file, ec);
    if (ec || !fs::is_regular_file(st)) return false;
    const fs::perms p = st.permissions();
    return (p & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) != fs::perms::none;
}

// What one folder holds: its sub-folders on the same file system, and the program if it is there.
struct FolderListing {
    std::vector<fs::path> folders;
    fs::path studio;
    fs::path winamp;
};

// The entry types come from the directory listing itself: no call per entry but for files.
FolderListing listFolder(const fs::path& folder, const std::unordered_set<std::string>& otherMounts,
                         const std::string& root) {
    FolderListing out;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::none, ec);
    if (ec) return out;  // an unreadable folder counts as empty
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        const fs::directory_entry& entry = *it;
        std::error_code e2;
        if (entry.is_symlink(e2)) {
            // A link may name the program, never a folder to enter.
            if (!entry.is_regular_file(e2)) continue;
        } else if (entry.is_directory(e2)) {
            const std::string& p = entry.path().native();
            if (otherMounts.empty() || p == root || !otherMounts.count(p))
                out.folders.push_back(entry.path());
            continue;
        }
        const std::string name = lowerAZ(entry.path().filename().native());
        if (name != "studio.exe" && name != "winamp.exe") continue;
        if (!entry.is_regular_file(e2)) continue;
        if (name == "studio.exe" && out.studio.empty()) out.studio = entry.path();
        if (name == "winamp.exe" && out.winamp.empty()) out.winamp = entry.path();
    }
    std::sort(out.folders.begin(), out.folders.end());
    return out;
}

std::vector<std::string> mountTablePoints() {
    std::vector<std::string> out;
    for (const platform::MountEntry& m : platform::Volumes().mounts()) out.push_back(m.mountPoint);
    return out;
}

std::string withoutTrailingSeparator(const fs::path& p) {
    std::string s = p.lexically_normal().native();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

std::string findPlayerInPath(std::string_view pathList) {
    std::vector<fs::path> folders;
    size_t pos = 0;
    while (pos <= pathList.size()) {
        size_t end = pathList.find(':', pos);
        if (end == std::string_view::npos) end = pathList.size();
        const fs::path folder(std::string(pathList.substr(pos, end - pos)));
        // An empty or relative entry means the current folder: not a place a player lives.
        if (folder.is_absolute()) folders.push_back(folder);
        pos = end + 1;
    }
    for (const char* player : kLinuxPlayers) {
        for (const fs::path& folder : folders) {
            const fs::path file = folder / player;
            if (isExecutableFile(file)) return base::utf8ToCp1252(file.lexically_normal().string());
        }
    }
    return {};
}

PlayerSearch::PlayerSearch(const std::atomic<bool>& stop) : PlayerSearch(stop, mountTablePoints()) {}

PlayerSearch::PlayerSearch(const std::atomic<bool>& stop, std::vector<std::string> mountPoints)
    : m_stop(stop) {
    for (std::string& m : mountPoints) m_mountPoints.insert(std::move(m));
}

bool PlayerSearch::stopRequested() {
    if (m_stop.load(std::memory_order_relaxed)) m_stopped = true;
    return m_stopped;
}

void PlayerSearch::tell(const fs::path& folder) const {
    if (onFolder) onFolder(base::utf8ToCp1252(folder.string()));
}

std::vector<fs::path> PlayerSearch::MAKETREE2(const fs::path& folder) const {
    return listFolder(folder, m_mountPoints, m_root).folders;
}

bool PlayerSearch::MAKETREE(const fs::path& root) {
    m_found.clear();
    m_stopped = false;
    m_folderCount = 0;
    m_root = withoutTrailingSeparator(root);
    std::error_code ec;
    if (!fs::is_directory(root, ec)) return false;
    // Breadth-first: a folder's files are looked at when it is listed, in list order, so the
    // first hit is the first folder of the whole list that holds the program. Without links and
    // without other mounts (bind mounts included) no folder can come twice.
    std::deque<fs::path> queue;
    for (fs::path& f : MAKETREE2(root)) queue.push_back(std::move(f));
    while (!queue.empty()) {
        if (stopRequested()) return false;
        fs::path folder = std::move(queue.front());
        queue.pop_front();
        ++m_folderCount;
        tell(folder);
        FolderListing listing = listFolder(folder, m_mountPoints, m_root);
        const fs::path& hit = !listing.studio.empty() ? listing.studio : listing.winamp;
        if (!hit.empty()) {
            m_found = base::utf8ToCp1252(hit.string());
            return true;
        }
        for (fs::path& f : listing.folders) queue.push_back(std::move(f));
    }
    return false;
}

bool PlayerSearch::MAKETREE4(const std::vector<fs::path>& folders) {
    m_found.clear();
    m_stopped = false;
    for (const fs::path& folder : folders) {
        if (stopRequested()) return false;
        tell(folder);
        const FolderListing listing = listFolder(folder, m_mountPoints, m_root);
        const fs::path& hit = !listing.studio.empty() ? listing.studio : listing.winamp;
        if (!hit.empty()) {
            m_found = base::utf8ToCp1252(hit.string());
            return true;
        }
    }
    return false;
}

}  // namespace klango::settings
