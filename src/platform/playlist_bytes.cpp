#include "platform/playlist_bytes.h"

#include "base/cp1252.h"

namespace klango::platform {

std::string playlistBytes(const std::vector<std::string_view>& paths) {
    std::string bytes;
    size_t size = 1;
    for (std::string_view path : paths) size += path.size() + 2;
    bytes.reserve(size + size / 8);
    for (std::string_view path : paths) {
#ifdef _WIN32
        bytes += path;
#else
        // Linux players open the file by its UTF-8 name; the CP1252 bytes of an umlaut name none.
        for (char c : path) {
            if (static_cast<unsigned char>(c) < 0x80) {
                bytes += c;
            } else {
                bytes += base::cp1252ToUtf8(std::string_view(&c, 1));
            }
        }
#endif
        bytes += "\r\n";
    }
#ifdef _WIN32
    bytes += '\x1A';
#endif
    return bytes;
}

}  // namespace klango::platform
