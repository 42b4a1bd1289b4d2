#include "platform/executable_path.h"

#include <system_error>

namespace klango::platform {

std::filesystem::path executablePath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : p;
}

std::filesystem::path executableFolder() {
    auto p = executablePath();
    if (p.empty()) {
        std::error_code ec;
        return std::filesystem::current_path(ec);
    }
    return p.parent_path();
}

}  // namespace klango::platform
