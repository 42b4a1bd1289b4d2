#include "trackdb/folder_walk.h"

#include <algorithm>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include "platform/file_identity.h"
#include "platform/file_names.h"
#include "base/cp1252.h"

namespace klango::trackdb {

namespace fs = std::filesystem;

namespace {

// The CP1252 text of a file-system path, or nullopt when some character has no CP1252 byte (the
// conversion back would not give the same name).
std::optional<std::string> cp1252Text(const std::string& utf8) {
    std::string text = base::utf8ToCp1252(utf8);
    if (base::cp1252ToUtf8(text) != utf8) return std::nullopt;
    return text;
}

struct Listing {
    std::vector<fs::path> folders;
    std::vector<fs::path> files;
};

Listing listFolder(const fs::path& folder, uint64_t device, std::string_view pattern,
                   std::set<std::pair<uint64_t, uint64_t>>& visited) {
    Listing out;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path& entry = it->path();
        const std::string name = entry.filename().string();
        if (platform::isHiddenName(name)) continue;
        std::error_code sec;
        const fs::file_status own = it->symlink_status(sec);
        if (sec) continue;
        if (fs::is_directory(own)) {
            auto id = platform::fileIdentity(entry);
            // A mount point below the source leads to another file system: not part of this one.
            if (!id || id->device != device) continue;
            if (!visited.insert({id->device, id->inode}).second) continue;
            out.folders.push_back(entry);
        } else if (platform::matchesMask(name, pattern)) {
            // A link to a file is read as the file; a link to a folder is never followed.
            const fs::file_status target = fs::is_symlink(own) ? it->status(sec) : own;
            if (!sec && fs::is_regular_file(target)) out.files.push_back(entry);
        }
    }
    return out;
}

}  // namespace

FolderWalk::FolderWalk(fs::path baseFolder, std::string pattern)
    : m_base(std::move(baseFolder)), m_pattern(std::move(pattern)) {}

std::string FolderWalk::sortKey(std::string_view text) {
    std::string key(text);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return key;
}

FolderWalkResult FolderWalk::run() const {
    FolderWalkResult result;
    auto baseId = platform::fileIdentity(m_base);
    std::error_code ec;
    if (!baseId || !fs::is_directory(m_base, ec)) return result;
    // A source chosen through a link to a folder is taken as the folder it names.
    if (fs::is_symlink(m_base, ec)) {
        if (auto target = platform::fileIdentity(fs::canonical(m_base, ec)); target && !ec) baseId = target;
    }
    std::set<std::pair<uint64_t, uint64_t>> visited{{baseId->device, baseId->inode}};

    std::vector<fs::path> filePaths;
    Listing top = listFolder(m_base, baseId->device, m_pattern, visited);
    filePaths = std::move(top.files);
    if (onTopFolders) onTopFolders(top.folders.size());

    // Breadth first, the list growing while it is walked.
    std::vector<fs::path> folders = std::move(top.folders);
    for (size_t i = 0; i < folders.size(); ++i) {
        const fs::path folder = folders[i];
        if (onFolder) onFolder(base::utf8ToCp1252(folder.string()));
        Listing below = listFolder(folder, baseId->device, m_pattern, visited);
        for (auto& f : below.folders) folders.push_back(std::move(f));
        for (auto& f : below.files) filePaths.push_back(std::move(f));
    }

    std::vector<std::pair<std::string, FoundFile>> keyed;
    keyed.reserve(filePaths.size());
    for (auto& path : filePaths) {
        const std::string utf8 = path.string();
        std::optional<std::string> text = cp1252Text(utf8);
        if (!text) {
            result.skippedNames.push_back(utf8);
            continue;
        }
        std::string key = sortKey(*text);
        keyed.push_back({std::move(key), FoundFile{std::move(*text), std::move(path)}});
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return a.second.text < b.second.text;
    });
    result.skippedCount = result.skippedNames.size();
    std::sort(result.skippedNames.begin(), result.skippedNames.end());
    if (result.skippedNames.size() > kNamedSkips) result.skippedNames.resize(kNamedSkips);
    result.files.reserve(keyed.size());
    for (auto& k : keyed) result.files.push_back(std::move(k.second));
    return result;
}

}  // namespace klango::trackdb
