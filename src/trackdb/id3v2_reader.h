// Id3v2Reader: parses the ID3v2 tag at the start of an MP3 file (versions 2.2, 2.3 and 2.4) and
// collects the texts of the frames the track record needs, in CP1252. It walks the frames one after
// the other with their full sizes and seeks over all others (pictures of any size), never reading
// past the end of the tag. Used by READMP3; the interpretation of the texts is the caller's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "trackdb/file_window.h"

namespace klango::trackdb {

// Byte layout of the tag header ("ID3", major, revision, flags, 4-byte synchsafe size).
constexpr size_t kId3v2HeaderSize = 10;
constexpr size_t kId3v2FooterSize = 10;  // 2.4 only, after the frames
constexpr unsigned char kId3v2FlagUnsync = 0x80;
constexpr unsigned char kId3v2FlagExtended = 0x40;     // 2.3, 2.4; in 2.2 this bit means compression
constexpr unsigned char kId3v2FlagFooter = 0x10;       // 2.4

// Frame contents longer than this are read only this far: the track record keeps at most 40
// characters of a text, and no text frame the reader needs is meaningful beyond it.
constexpr size_t kMaxTextFrameBytes = 4096;

struct Id3v2Tag {
    bool present = false;  // the file starts with "ID3"
    int major = 0;         // 2, 3 or 4 when the frames could be read; 0 otherwise
    uint64_t end = 0;      // first byte after the tag (header, body, footer), at most the file size
    // Texts of the frames used; a frame that occurs more than once: the last one counts.
    std::optional<std::string> title;        // TIT2 / TT2
    std::optional<std::string> artist;       // TPE1 / TP1
    std::optional<std::string> album;        // TALB / TAL
    std::optional<std::string> contentType;  // TCON / TCO, raw (references unresolved)
    std::optional<std::string> track;        // TRCK / TRK
    std::optional<std::string> length;       // TLEN / TLE, milliseconds
    std::optional<std::string> year;         // TYER / TDRC / TYE
};

class Id3v2Reader {
public:
    explicit Id3v2Reader(FileWindow& file) : m_file(file) {}
    // Reads the tag at offset 0. A file without "ID3" gives present == false and end == 0.
    Id3v2Tag read();

private:
    void readFrames(Id3v2Tag& tag, uint64_t bodyBegin, uint64_t bodyEnd, unsigned char flags);
    uint64_t frameSizeV24(uint64_t framePos, std::string_view sizeBytes, uint64_t bodyEnd);
    FileWindow& m_file;
};

}  // namespace klango::trackdb
