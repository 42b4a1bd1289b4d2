// TagResult: what the tag reader found for one MP3 file, as the track record fields it fills
// (texts in CP1252, not yet cut to the field widths). Made by READMP3, written into the track
// table by the import.
#pragma once

#include <string>

namespace klango::trackdb {

// Sources of TAGREAD: the first source that gave the record data. A file whose ID3v2 tag gave
// some fields and whose ID3v1 tag or name filled the rest says "ID3V2"; an ID3v2 tag that gave
// nothing does not count, and the ID3v1 tag or the name is named instead.
constexpr const char* kTagReadId3v2 = "ID3V2";
constexpr const char* kTagReadId3v1 = "ID3";
constexpr const char* kTagReadFile1 = "FILE1";  // artist and title from a file name with "-"
constexpr const char* kTagReadFile2 = "FILE2";  // title from the file name, album and artist from folders
// TIME of a file whose length nobody can tell (no MPEG audio found) when its data came from its name.
constexpr const char* kUnknownTime = "--:--";

struct TagResult {
    std::string GENRE;
    int YEAR = 0;
    int TRACK = 0;     // 0..99
    std::string TIME;  // "m:ss", "--:--" or empty when unknown
    std::string ALBUM;
    std::string GROUP;  // artist
    std::string TITLE;
    int TAG = 0;  // always 0
    std::string TAGREAD;

    bool operator==(const TagResult&) const = default;
};

}  // namespace klango::trackdb
