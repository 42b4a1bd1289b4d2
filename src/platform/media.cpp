#include "platform/media.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace fs = std::filesystem;

namespace klango::platform {
namespace {

bool isMountPoint(const fs::path& folder) {
    struct stat self {}, parent {};
    if (::stat(folder.c_str(), &self) != 0) return false;
    if (::stat(folder.parent_path().c_str(), &parent) != 0) return false;
    return self.st_dev != parent.st_dev;
}

// A folder below /media that exists and is no mount point holds the users' mount points.
bool systemUserFolder(const fs::path& folder) {
    std::error_code ec;
    return fs::is_directory(folder, ec) && !isMountPoint(folder);
}

}  // namespace

fs::path namedMountPoint(const fs::path& file, bool (*userFolder)(const fs::path&)) {
    if (!userFolder) userFolder = systemUserFolder;
    std::vector<fs::path> parts;
    for (const fs::path& part : file.lexically_normal()) parts.push_back(part);
    if (parts.size() < 2 || parts[0] != "/") return {};
    auto prefix = [&](size_t n) {
        fs::path p = "/";
        for (size_t i = 1; i < n; ++i) p /= parts[i];
        return p;
    };
    // parts: "/", "media", USER, LABEL, ... — a mount point needs a name below it and the file.
    if (parts[1] == "mnt" && parts.size() >= 4) return prefix(3);
    if (parts[1] == "media" && parts.size() >= 4) {
        if (parts.size() >= 5 && userFolder(prefix(3))) return prefix(4);
        return prefix(3);
    }
    if (parts[1] == "run" && parts.size() >= 6 && parts[2] == "media") return prefix(5);
    return {};
}

fs::path SystemMedia::driveOf(const fs::path& file) const {
    const std::optional<MountEntry> holding = m_volumes.mountHolding(file);
    const fs::path named = namedMountPoint(file);
    // A removable medium that is out leaves its path on the file system below it: the path's
    // usual mount point names the drive then. A deeper mount that holds the path wins.
    if (!named.empty() && (!holding || fs::path(holding->mountPoint).string().size() < named.string().size()))
        return named;
    return holding ? fs::path(holding->mountPoint) : fs::path("/");
}

std::optional<std::string> SystemMedia::label(const fs::path& drive) const { return m_volumes.label(drive); }

std::optional<uint64_t> SystemMedia::freeBytes(const fs::path& path) const { return Volumes::freeBytes(path); }

bool SystemMedia::flush(const fs::path& path) const {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace klango::platform
