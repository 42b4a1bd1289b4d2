#include "platform/volumes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>

namespace klango::platform {

namespace fs = std::filesystem;

namespace {

// File systems that hold no user files worth a drive of their own. squashfs and erofs are
// read-only system images (snap packages mount dozens of them) and are left out as well.
constexpr std::array<std::string_view, 30> kPseudoTypes = {
    "proc",     "sysfs",           "tmpfs",       "devtmpfs",   "devpts",    "cgroup",
    "cgroup2",  "securityfs",      "pstore",      "bpf",        "debugfs",   "tracefs",
    "configfs", "fusectl",         "mqueue",      "hugetlbfs",  "autofs",    "binfmt_misc",
    "efivarfs", "rpc_pipefs",      "nsfs",        "ramfs",      "selinuxfs", "squashfs",
    "erofs",    "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "nfsd",      "rootfs",
};

constexpr std::array<std::string_view, 15> kNetworkTypes = {
    "nfs",  "nfs4",      "cifs",       "smb3",        "smbfs",     "ncpfs",       "afs",   "9p",
    "ceph", "glusterfs", "fuse.sshfs", "fuse.rclone", "fuse.s3fs", "fuse.davfs2", "davfs",
};

bool isOctal(char c) { return c >= '0' && c <= '7'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::vector<std::string_view> splitBlanks(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool parseUnsigned(std::string_view text, unsigned& out) {
    if (text.empty() || text.size() > 9) return false;
    unsigned v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + unsigned(c - '0');
    }
    out = v;
    return true;
}

// "/a/b/" -> "/a/b"; "/" stays.
std::string withoutTrailingSlash(std::string text) {
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

// The absolute form of path with symbolic links resolved where the path exists; lexically
// normalised otherwise, so that a path on a missing medium still finds its mount.
std::string absoluteForm(const fs::path& path) {
    std::error_code ec;
    fs::path abs = fs::absolute(path, ec);
    if (ec) abs = path;
    fs::path canon = fs::weakly_canonical(abs, ec);
    if (ec) canon = abs.lexically_normal();
    return withoutTrailingSlash(canon.string());
}

// Does the mount point hold path (both absolute, without trailing "/")?
bool holds(std::string_view mountPoint, std::string_view path) {
    if (mountPoint == "/") return !path.empty() && path[0] == '/';
    if (path.size() < mountPoint.size() || path.compare(0, mountPoint.size(), mountPoint) != 0) return false;
    return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

}  // namespace

std::string unescapeMountField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            int v = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            if (v <= 255) {
                out.push_back(char(v));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::string unescapeLabelName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && (name[i + 1] == 'x' || name[i + 1] == 'X')) {
            int hi = hexValue(name[i + 2]), lo = hexValue(name[i + 3]);
            if (hi >= 0 && lo >= 0) {
                out.push_back(char(hi * 16 + lo));
                i += 3;
                continue;
            }
        }
        out.push_back(name[i]);
    }
    return out;
}

VolumeKind classifyFileSystem(std::string_view fsType) {
    if (fsType == "iso9660" || fsType == "udf") return VolumeKind::kCdRom;
    for (std::string_view t : kPseudoTypes) {
        if (fsType == t) return VolumeKind::kPseudo;
    }
    for (std::string_view t : kNetworkTypes) {
        if (fsType == t) return VolumeKind::kNetwork;
    }
    return VolumeKind::kLocal;
}

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    // Line layout: id parent major:minor root mountpoint options [optional...] - type source superopts
    std::vector<MountEntry> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::vector<std::string_view> f = splitBlanks(line);
        auto dash = std::find(f.begin(), f.end(), std::string_view("-"));
        if (f.size() < 6 || dash == f.end() || dash - f.begin() < 6 || f.end() - dash < 3) continue;
        std::string_view dev = f[2];
        size_t colon = dev.find(':');
        MountEntry m;
        if (colon == std::string_view::npos || !parseUnsigned(dev.substr(0, colon), m.major) ||
            !parseUnsigned(dev.substr(colon + 1), m.minor))
            continue;
        m.root = unescapeMountField(f[3]);
        m.mountPoint = withoutTrailingSlash(unescapeMountField(f[4]));
        if (m.mountPoint.empty() || m.mountPoint[0] != '/') continue;
        m.fsType = unescapeMountField(dash[1]);
        m.source = unescapeMountField(dash[2]);
        m.kind = classifyFileSystem(m.fsType);
        out.push_back(std::move(m));
    }
    return out;
}

Volumes::Volumes(fs::path procRoot, fs::path devRoot)
    : m_procRoot(std::move(procRoot)), m_devRoot(std::move(devRoot)) {}

int Volumes::mountTableError() const {
    int fd = ::open(mountTable().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno ? errno : EIO;
    ::close(fd);
    return 0;
}

std::vector<MountEntry> Volumes::mounts() const {
    std::ifstream in(mountTable(), std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return parseMountInfo(text.str());
}

std::vector<std::string> Volumes::driveRoots() const {
    std::vector<std::string> out;
    for (const MountEntry& m : mounts()) {
        if (m.kind != VolumeKind::kLocal && m.kind != VolumeKind::kCdRom) continue;
        if (std::find(out.begin(), out.end(), m.mountPoint) == out.end()) out.push_back(m.mountPoint);
    }
    return out;
}

std::optional<MountEntry> Volumes::mountHolding(const fs::path& path) const {
    if (path.empty()) return std::nullopt;
    std::string target = absoluteForm(path);
    std::optional<MountEntry> best;
    for (MountEntry& m : mounts()) {
        // ">=" so that of two mounts at the same point the later (the one on top) wins.
        if (holds(m.mountPoint, target) && (!best || m.mountPoint.size() >= best->mountPoint.size()))
            best = std::move(m);
    }
    return best;
}

std::optional<MountEntry> Volumes::mountAt(const fs::path& mountPoint) const {
    if (mountPoint.empty()) return std::nullopt;
    std::string target = absoluteForm(mountPoint);
    std::optional<MountEntry> found;
    for (MountEntry& m : mounts()) {
        if (m.mountPoint == target) found = std::move(m);
    }
    return found;
}

fs::path Volumes::devicePath(const std::string& source) const {
    constexpr std::string_view kDev = "/dev/";
    if (source.compare(0, kDev.size(), kDev) == 0) return m_devRoot / source.substr(kDev.size());
    return source;
}

std::string Volumes::labelOf(const MountEntry& mount) const {
    std::error_code ec;
    fs::path device = devicePath(mount.source);
    fs::path deviceReal;
    if (!mount.source.empty() && mount.source[0] == '/') {
        deviceReal = fs::canonical(device, ec);
        if (ec) deviceReal.clear();
    }
    const dev_t wanted = makedev(mount.major, mount.minor);

    fs::directory_iterator it(m_devRoot / "disk" / "by-label", ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path& link = it->path();
        struct stat st {};
        // stat follows the link to the device node: its st_rdev is the mounted device's number.
        if (::stat(link.c_str(), &st) == 0 && S_ISBLK(st.st_mode) && mount.major != 0 && st.st_rdev == wanted)
            return unescapeLabelName(link.filename().string());
        if (!deviceReal.empty()) {
            std::error_code ec2;
            fs::path real = fs::canonical(link, ec2);
            if (!ec2 && real == deviceReal) return unescapeLabelName(link.filename().string());
        }
    }
    return {};
}

std::optional<std::string> Volumes::label(const fs::path& mountPoint) const {
    if (readiness(mountPoint) != DriveState::kReady) return std::nullopt;
    std::optional<MountEntry> m = mountAt(mountPoint);
    if (!m) return std::nullopt;
    return labelOf(*m);
}

std::optional<uint64_t> Volumes::freeBytes(const fs::path& path) {
    if (path.empty()) return std::nullopt;
    struct statvfs sv {};
    if (::statvfs(path.c_str(), &sv) != 0) return std::nullopt;
    return uint64_t(sv.f_bavail) * uint64_t(sv.f_frsize ? sv.f_frsize : sv.f_bsize);
}

DriveState Volumes::readiness(const fs::path& mountPoint) const {
    if (mountPoint.empty()) return DriveState::kError;
    struct stat st {};
    if (::stat(mountPoint.c_str(), &st) != 0) {
        int err = errno;
        if (err == ENOENT || err == EACCES || err == EIO || err == ENOMEDIUM || err == ENXIO || err == ENODEV)
            return DriveState::kNotReady;
        return DriveState::kError;
    }
    if (!S_ISDIR(st.st_mode)) return DriveState::kError;
    if (mounts().empty()) return DriveState::kError;
    if (!mountAt(mountPoint)) return DriveState::kNotReady;
    DIR* dir = ::opendir(mountPoint.c_str());
    if (!dir) {
        int err = errno;
        if (err == EACCES || err == EPERM || err == EIO || err == ENOMEDIUM || err == ENXIO || err == ENODEV)
            return DriveState::kNotReady;
        return DriveState::kError;
    }
    errno = 0;
    // Reading one entry finds a medium that mounts but cannot be read.
    bool failed = ::readdir(dir) == nullptr && (errno == EIO || errno == ENOMEDIUM);
    ::closedir(dir);
    return failed ? DriveState::kNotReady : DriveState::kReady;
}

}  // namespace klango::platform
