#include "platform/file_removal.h"

#include <utility>

namespace klango::platform {
namespace {

FileRemover& installed() {
    static FileRemover remover;
    return remover;
}

}  // namespace

bool removeFile(const std::filesystem::path& file, std::error_code& ec) {
    ec.clear();
    if (const FileRemover& remover = installed()) return remover(file, ec);
    std::filesystem::remove(file, ec);
    return !ec;
}

void setFileRemover(FileRemover remover) { installed() = std::move(remover); }

}  // namespace klango::platform
