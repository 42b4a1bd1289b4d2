// Deleting the program's own files: a database with its index files and the backups of its
// conversions. Every such delete goes through removeFile, so that a test can make one fail
// whoever runs it (a folder without write permission does not stop the superuser).
#pragma once

#include <filesystem>
#include <functional>
#include <system_error>

namespace klango::platform {

// Removes file. True when it is gone afterwards, also when there was none; false with ec set when
// it is still there.
bool removeFile(const std::filesystem::path& file, std::error_code& ec);

// What removeFile does instead of asking the file system; tests put a failing one here.
using FileRemover = std::function<bool(const std::filesystem::path& file, std::error_code& ec)>;
// Installs remover; an empty one goes back to the file system.
void setFileRemover(FileRemover remover);

}  // namespace klango::platform
