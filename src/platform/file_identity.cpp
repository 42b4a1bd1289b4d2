#include "platform/file_identity.h"

#include <sys/stat.h>

namespace klango::platform {

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{uint64_t(st.st_dev), uint64_t(st.st_ino)};
}

}  // namespace klango::platform
