// Media: what the copy needs to know about drives and media, behind one seam so that tests can
// fake it. A track's drive is the mounted file system that holds its stored path (for a medium
// that is not mounted, the mount point its path names); its medium name is that file system's
// label; "not ready" is "nothing mounted there". SystemMedia asks the running system; the copy
// run calls it from its worker thread, so implementations must be safe to call from any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/volumes.h"

namespace klango::platform {

class Media {
public:
    virtual ~Media() = default;
    // The drive (mount point) a file's path lies on, whether or not the file is there now.
    virtual std::filesystem::path driveOf(const std::filesystem::path& file) const = 0;
    // The label (file-system bytes) of what is mounted at drive: "" when it has none; nullopt
    // when nothing is mounted there (the drive is not ready).
    virtual std::optional<std::string> label(const std::filesystem::path& drive) const = 0;
    // Free bytes for the user on the file system that holds path; nullopt when it cannot be asked.
    virtual std::optional<uint64_t> freeBytes(const std::filesystem::path& path) const = 0;
    // Writes everything written to the file system that holds path out to its medium.
    virtual bool flush(const std::filesystem::path& path) const = 0;
};

class SystemMedia : public Media {
public:
    explicit SystemMedia(Volumes volumes = Volumes()) : m_volumes(std::move(volumes)) {}
    std::filesystem::path driveOf(const std::filesystem::path& file) const override;
    std::optional<std::string> label(const std::filesystem::path& drive) const override;
    std::optional<uint64_t> freeBytes(const std::filesystem::path& path) const override;
    bool flush(const std::filesystem::path& path) const override;

private:
    Volumes m_volumes;
};

// The mount point a path names by the usual places of removable media ("/media/USER/LABEL",
// "/media/LABEL", "/run/media/USER/LABEL", "/mnt/NAME"), or empty when it names none. userFolder
// says whether a folder below /media is a user's folder (holding the mount points) or a mount
// point itself.
std::filesystem::path namedMountPoint(const std::filesystem::path& file,
                                      bool (*userFolder)(const std::filesystem::path&) = nullptr);

}  // namespace klango::platform
