// Where the running program file lies: its folder is the program folder.
#pragma once

#include <filesystem>

namespace klango::platform {

// Full path of the running executable; empty when the system cannot tell.
std::filesystem::path executablePath();
// Its folder, or the current folder when the path is unknown.
std::filesystem::path executableFolder();

}  // namespace klango::platform
