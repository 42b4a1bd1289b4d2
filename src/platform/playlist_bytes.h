// The bytes of an M3U playlist as the players of this system read them: one line per track, the
// path as the file system names it, lines ending in CR LF. The one place that knows the format;
// the playlist export and the single-track play write what this returns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace klango::platform {

// paths: the tracks' stored paths (CP1252, trailing blanks removed), in playing order. On Linux
// each becomes its UTF-8 name plus CR LF and nothing follows the last line (no list, no bytes);
// on Windows the paths stay CP1252 and one 0x1A ends the file.
std::string playlistBytes(const std::vector<std::string_view>& paths);

}  // namespace klango::platform
