// Id3v2ByteStream: the body of an ID3v2 tag as a sequential byte stream over a FileWindow, with
// the tag-wide unsynchronisation of versions 2.2 and 2.3 undone on the fly. It never reads past
// the end of the tag. Used by Id3v2Reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "trackdb/file_window.h"

namespace klango::trackdb {

// Undoes unsynchronisation: every 0xFF 0x00 pair becomes 0xFF (2.4 applies it frame by frame).
std::string removeUnsynchronisation(std::string_view raw);

class Id3v2ByteStream {
public:
    // The stream covers the file bytes [begin, end).
    Id3v2ByteStream(FileWindow& file, uint64_t begin, uint64_t end, bool unsynchronised);

    // File offset of the next raw byte.
    uint64_t position() const { return m_pos; }
    uint64_t end() const { return m_end; }
    // Raw bytes left; with unsynchronisation the decoded bytes left may be fewer.
    uint64_t rawRemaining() const { return m_end - m_pos; }
    bool unsynchronised() const { return m_unsync; }

    // Reads up to n decoded bytes (n is capped at FileWindow::kMaxSpan) into out; returns how
    // many were read (fewer only at the end of the tag or of the file).
    size_t read(size_t n, std::string& out);
    // Skips n decoded bytes; false when the tag (or the file) ended first.
    bool skip(uint64_t n);

private:
    FileWindow& m_file;
    uint64_t m_pos;
    uint64_t m_end;
    bool m_unsync;
    bool m_afterFF = false;  // the last raw byte taken was 0xFF, so a following 0x00 is dropped
};

}  // namespace klango::trackdb
