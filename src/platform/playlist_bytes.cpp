#include "platform/playlist_bytes.h"

#include "base/cp1252.h"

namespace klango::platform {

std::string playlistBytes(const std::vector<std::string>& paths) {
    std::string bytes;
    for (const std::string& path : paths) {
#ifdef _WIN32
        bytes += path;
#else
        // Linux players open the file by its UTF-8 name; the CP1252 bytes of an umlaut name none.
        bytes += base::cp1252ToUtf8(path);
#endif
        bytes += "\r\n";
    }
#ifdef _WIN32
    bytes += '\x1A';
#endif
    return bytes;
}

}  // namespace klango::platform
