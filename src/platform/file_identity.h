// The identity of a file system object: the device of the file system that holds it and its
// inode number. The folder walk of the import uses it to stay on one file system and to visit
// each folder once. Stateless; anyone may call it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace klango::platform {

struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;

    bool operator==(const FileIdentity&) const = default;
};

// The identity of path itself (a symbolic link is not followed); nullopt when it cannot be asked.
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

}  // namespace klango::platform
