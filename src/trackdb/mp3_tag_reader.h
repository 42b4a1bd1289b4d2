// The MP3 tag reader of the import: READMP3 reads one file's ID3v2 tag, READTAG completes the
// result from the ID3v1 tag or the file name and fills an empty genre. Neither touches a table;
// the import writes the TagResult into the track record. Memory stays bounded whatever the file.
#pragma once

#include <filesystem>
#include <string_view>

#include "trackdb/file_window.h"
#include "trackdb/genre_table.h"
#include "trackdb/tag_result.h"

namespace klango::trackdb {

// Reads the file at path (a file system path, used exactly as given). A file that cannot be opened
// reads as empty: its data comes from its name. Frames are parsed, not probed, so the
// "Import"/"Buffer" setting limits nothing here. The play length comes from TLEN, else from the
// MPEG audio after the tag; the file-name sources get "--:--" only when no MPEG audio is found.
TagResult READMP3(const std::filesystem::path& path, const GenreTable& genres);

// Completes aTag for the file open in file, whose path as text (CP1252, "/" separators) is cPath.
// Only empty fields are filled (TRACK and YEAR when 0), so what an ID3v2 tag gave stays: from the
// ID3v1 tag, else from the names ("FILE1" when the file name holds a "-", else "FILE2"; TIME
// "--:--" when still empty). TAGREAD keeps the first source that gave data (see tag_result.h).
// An empty GENRE becomes the name of the ID3v1 genre byte; without an ID3v1 tag, or with the
// byte 255, the file has no genre and GENRE stays empty.
TagResult READTAG(std::string_view cPath, FileWindow& file, TagResult aTag, const GenreTable& genres);

}  // namespace klango::trackdb
