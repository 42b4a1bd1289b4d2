// The ID3v1 tag in the last 128 bytes of an MP3 file, including the ID3v1.1 track byte. Texts
// are the stored bytes (CP1252) up to the first NUL. Used by READTAG and by the play-length
// computation, which must not count the tag as audio.
#pragma once

#include <optional>
#include <string>

#include "trackdb/file_window.h"

namespace klango::trackdb {

// Layout: "TAG", title 30, artist 30, album 30, year 4, comment 30, genre 1.
constexpr size_t kId3v1Size = 128;
// The genre byte of a tag that names no genre.
constexpr unsigned char kId3v1NoGenre = 255;

struct Id3v1Tag {
    std::string title;
    std::string artist;
    std::string album;
    // The 30 bytes from the year on (year and the start of the comment), up to the first NUL.
    std::string yearAndComment;
    int track = 0;  // ID3v1.1: comment byte 29 zero, byte 30 the track; else 0
    unsigned char genre = 0;
};

// The tag when the file is at least 128 bytes long and its last 128 bytes begin with "TAG".
std::optional<Id3v1Tag> readId3v1(FileWindow& file);
bool hasId3v1(FileWindow& file);

}  // namespace klango::trackdb
