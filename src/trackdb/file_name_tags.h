// The fall-backs of the tag reader when an MP3 file has no ID3v1 tag: source "FILE1" (artist and
// title from a file name with "-") and "FILE2" (title from the file name, album and artist from its
// folders), plus the pieces of a path the ID3v1 rules borrow names from. Used by READTAG.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "trackdb/tag_result.h"

namespace klango::trackdb {

// The pieces of a path between "/" separators as NUMTOKEN counts them: with r = NUMTOKEN(path, "/"),
// piece(r - 1) is the file name, piece(r - 2) its folder and piece(r - 3) the folder above.
class PathPieces {
public:
    explicit PathPieces(std::string_view path);
    int r() const { return m_r; }
    // Piece k, from 1; empty outside 1..r - 1.
    std::string_view piece(int k) const;

private:
    std::vector<std::string> m_pieces;
    int m_r;
};

// The text after the last "/" of path.
std::string_view fileNameOf(std::string_view path);

// A track number in front of a name: when the first blank of text is its 1st, 2nd or 3rd
// character, number is the value of the text before it and, when above 0, rest is the text after
// it, trimmed; otherwise number is 0 and rest is text.
struct LeadingNumber {
    int number = 0;
    std::string rest;
};
LeadingNumber splitLeadingNumber(std::string_view text);

// "FILE1": artist before the first "-" of the file name, title (with its track number) after it;
// the album is left as it is. Sets TRACK, TITLE, GROUP and TAGREAD.
void applyFileName1(std::string_view path, TagResult& tag);
// "FILE2": title (with its track number) from the file name, album and artist from the folders,
// capitalised. Sets ALBUM, GROUP, TRACK, TITLE and TAGREAD.
void applyFileName2(std::string_view path, TagResult& tag);

}  // namespace klango::trackdb
