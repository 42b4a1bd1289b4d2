// The genre text of an ID3v2 content-type frame (TCON / TCO): numeric ID3v1 references such as
// "(17)", "17" or "(17)Rock" are resolved through the genre table, "(RX)" and "(CR)" become
// "Remix" and "Cover"; a plain text genre stays as it is. Used by READMP3.
#pragma once

#include <string>
#include <string_view>

#include "trackdb/genre_table.h"

namespace klango::trackdb {

// A text following the references refines them and is taken ("(4)Eurodisco" gives "Eurodisco");
// otherwise the first reference names the genre. "((" escapes a text that starts with "(".
std::string resolveContentType(std::string_view text, const GenreTable& genres);

}  // namespace klango::trackdb
