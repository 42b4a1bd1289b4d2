// The mounted file systems, which stand in for the program's drives: the mount table read from
// <proc>/self/mountinfo, volume labels from <dev>/disk/by-label, free space and readiness.
// Stateless apart from the two roots, which tests point at fake folders; anyone may call it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace klango::platform {

// What a mounted file system is to the program.
enum class VolumeKind {
    kLocal,    // a disk or partition (also removable media: the kernel does not tell them apart here)
    kCdRom,    // iso9660 or udf
    kNetwork,  // nfs, cifs, sshfs and the like: not a local drive
    kPseudo,   // proc, sysfs, tmpfs, cgroup, devpts, ...: holds no user files worth a drive
};

// One line of mountinfo. Text fields are unescaped ("\040" -> blank) and are file-system bytes.
struct MountEntry {
    unsigned major = 0;  // device of the file system ("st_dev" of files on it)
    unsigned minor = 0;
    std::string root;        // the folder of the file system mounted here ("/" for a whole one)
    std::string mountPoint;  // absolute, without trailing "/" except for "/" itself
    std::string fsType;      // "ext4", "fuse.sshfs", ...
    std::string source;      // "/dev/sda1", "tmpfs", "server:/export", ...
    VolumeKind kind = VolumeKind::kLocal;
};

// Drive readiness, the stand-in for the "device not ready" OS error.
enum class DriveState {
    kReady,
    kNotReady,  // mount point missing, not mounted, or not readable
    kError,     // anything else (empty name, not a folder, mount table unreadable)
};

// "\040" style octal escapes of mountinfo fields.
std::string unescapeMountField(std::string_view field);
// "\x20" style hex escapes of udev's by-label names.
std::string unescapeLabelName(std::string_view name);
// The kind of a file system by its type name from mountinfo.
VolumeKind classifyFileSystem(std::string_view fsType);
// Parses a whole mountinfo text; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(std::string_view text);

class Volumes {
  public:
    // procRoot holds "self/mountinfo", devRoot holds "disk/by-label"; "/dev/..." sources of the
    // mount table are looked up below devRoot.
    explicit Volumes(std::filesystem::path procRoot = "/proc", std::filesystem::path devRoot = "/dev");

    // Every mounted file system, in mount order; empty when the table cannot be read.
    std::vector<MountEntry> mounts() const;
    // The mount table file, and 0 when it can be read, else the errno of the failed open.
    std::filesystem::path mountTable() const { return m_procRoot / "self" / "mountinfo"; }
    int mountTableError() const;
    // The drive list: mount points of local, removable and CD file systems, pseudo and network
    // file systems left out, in mount order, each once (a mount point mounted over counts once).
    std::vector<std::string> driveRoots() const;
    // The topmost mount whose mount point holds path (the longest prefix, whole components).
    // Relative paths count from the current folder; symbolic links are followed where they exist.
    std::optional<MountEntry> mountHolding(const std::filesystem::path& path) const;
    // The mount mounted exactly at mountPoint (the topmost one), if any.
    std::optional<MountEntry> mountAt(const std::filesystem::path& mountPoint) const;

    // The label of the file system mounted at mountPoint: "" when it has none; nullopt when the
    // query fails (not mounted, not ready).
    std::optional<std::string> label(const std::filesystem::path& mountPoint) const;
    // The label of a mount entry's device ("" when it has none).
    std::string labelOf(const MountEntry& mount) const;

    // Free bytes available to the user on the file system that holds path; nullopt on failure.
    static std::optional<uint64_t> freeBytes(const std::filesystem::path& path);

    // Readiness of a drive root.
    DriveState readiness(const std::filesystem::path& mountPoint) const;

  private:
    std::filesystem::path devicePath(const std::string& source) const;

    std::filesystem::path m_procRoot;
    std::filesystem::path m_devRoot;
};

}  // namespace klango::platform
