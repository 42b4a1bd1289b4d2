#include "trackdb/id3v2_reader.h"

#include <algorithm>

#include "trackdb/id3v2_byte_stream.h"
#include "trackdb/id3v2_text_frame.h"

namespace klango::trackdb {

namespace {

// Frame header layouts: 2.2 has a three-letter id and a 3-byte size; 2.3 and 2.4 a four-letter
// id, a 4-byte size (synchsafe in 2.4) and two flag bytes.
constexpr size_t kFrameHeaderV22 = 6;
constexpr size_t kFrameHeaderV23 = 10;

// Format flags (second flag byte) of 2.3 frames.
constexpr unsigned char kV23Compressed = 0x80;
constexpr unsigned char kV23Encrypted = 0x40;
constexpr unsigned char kV23Grouped = 0x20;
// Format flags of 2.4 frames.
constexpr unsigned char kV24Grouped = 0x40;
constexpr unsigned char kV24Compressed = 0x08;
constexpr unsigned char kV24Encrypted = 0x04;
constexpr unsigned char kV24Unsync = 0x02;
constexpr unsigned char kV24DataLength = 0x01;

unsigned char byteAt(std::string_view s, size_t i) { return static_cast<unsigned char>(s[i]); }

uint64_t bigEndian(std::string_view s) {
    uint64_t v = 0;
    for (char c : s) v = (v << 8) | static_cast<unsigned char>(c);
    return v;
}

uint64_t synchsafe(std::string_view s) {
    uint64_t v = 0;
    for (char c : s) v = (v << 7) | (static_cast<unsigned char>(c) & 0x7F);
    return v;
}

bool isSynchsafe(std::string_view s) {
    return std::none_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) & 0x80; });
}

bool isFrameIdChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool isFrameId(std::string_view id) { return !id.empty() && std::all_of(id.begin(), id.end(), isFrameIdChar); }

std::optional<std::string>* fieldFor(Id3v2Tag& tag, std::string_view id) {
    if (id.size() == 3) {
        if (id == "TT2") return &tag.title;
        if (id == "TP1") return &tag.artist;
        if (id == "TAL") return &tag.album;
        if (id == "TCO") return &tag.contentType;
        if (id == "TRK") return &tag.track;
        if (id == "TLE") return &tag.length;
        if (id == "TYE") return &tag.year;
        return nullptr;
    }
    if (id[0] != 'T') return nullptr;
    if (id == "TIT2") return &tag.title;
    if (id == "TPE1") return &tag.artist;
    if (id == "TALB") return &tag.album;
    if (id == "TCON") return &tag.contentType;
    if (id == "TRCK") return &tag.track;
    if (id == "TLEN") return &tag.length;
    // TYER belongs to 2.3 and TDRC to 2.4, but converters leave either in the other version.
    if (id == "TYER" || id == "TDRC") return &tag.year;
    return nullptr;
}

}  // namespace

Id3v2Tag Id3v2Reader::read() {
    Id3v2Tag tag;
    std::string_view head = m_file.bytes(0, kId3v2HeaderSize);
    if (head.size() < 3 || head.substr(0, 3) != "ID3") return tag;
    tag.present = true;
    if (head.size() < kId3v2HeaderSize) {
        tag.end = m_file.size();
        return tag;
    }
    const int major = byteAt(head, 3);
    const unsigned char flags = byteAt(head, 5);
    std::string_view sizeBytes = head.substr(6, 4);
    if (!isSynchsafe(sizeBytes)) {
        // Not a size we can trust: no frames, and the audio is looked for right after the header.
        tag.end = kId3v2HeaderSize;
        return tag;
    }
    const uint64_t bodyEnd = std::min<uint64_t>(kId3v2HeaderSize + synchsafe(sizeBytes), m_file.size());
    uint64_t end = kId3v2HeaderSize + synchsafe(sizeBytes);
    if (major == 4 && (flags & kId3v2FlagFooter)) end += kId3v2FooterSize;
    tag.end = std::min(end, m_file.size());
    if (major < 2 || major > 4) return tag;
    // 2.2 used this bit for a compression that was never defined: such a tag cannot be read.
    if (major == 2 && (flags & kId3v2FlagExtended)) return tag;
    tag.major = major;
    readFrames(tag, kId3v2HeaderSize, bodyEnd, flags);
    return tag;
}

uint64_t Id3v2Reader::frameSizeV24(uint64_t framePos, std::string_view sizeBytes, uint64_t bodyEnd) {
    const uint64_t plain = bigEndian(sizeBytes);
    if (!isSynchsafe(sizeBytes)) return plain;
    const uint64_t safe = synchsafe(sizeBytes);
    if (safe == plain) return safe;
    // Some writers put plain sizes into 2.4 tags. Take the reading after which the next frame, the
    // padding or the end of the tag follows; synchsafe when neither or both fit.
    auto fits = [&](uint64_t size) {
        uint64_t next = framePos + kFrameHeaderV23 + size;
        if (next == bodyEnd) return true;
        if (next > bodyEnd) return false;
        std::string_view b = m_file.bytes(next, 4);
        if (b.empty()) return false;
        return b[0] == '\0' || (b.size() == 4 && isFrameId(b));
    };
    if (fits(safe)) return safe;
    if (fits(plain)) return plain;
    return safe;
}

void Id3v2Reader::readFrames(Id3v2Tag& tag, uint64_t bodyBegin, uint64_t bodyEnd, unsigned char flags) {
    const bool v22 = tag.major == 2;
    const bool v24 = tag.major == 4;
    const bool tagUnsync = (flags & kId3v2FlagUnsync) != 0;
    // Up to 2.3 the whole tag body is unsynchronised; 2.4 does it inside the frames.
    Id3v2ByteStream stream(m_file, bodyBegin, bodyEnd, tagUnsync && !v24);
    std::string header;
    std::string content;

    if (!v22 && (flags & kId3v2FlagExtended)) {
        if (stream.read(4, header) < 4) return;
        uint64_t rest;
        if (v24) {
            // 2.4 counts the size bytes themselves.
            uint64_t size = synchsafe(header);
            if (size < 4) return;
            rest = size - 4;
        } else {
            rest = bigEndian(header);
        }
        if (!stream.skip(rest)) return;
    }

    const size_t headerSize = v22 ? kFrameHeaderV22 : kFrameHeaderV23;
    const size_t idSize = v22 ? 3 : 4;
    while (stream.rawRemaining() >= headerSize) {
        const uint64_t framePos = stream.position();
        if (stream.read(headerSize, header) < headerSize) return;
        if (header[0] == '\0') return;  // padding
        std::string_view id = std::string_view(header).substr(0, idSize);
        if (!isFrameId(id)) return;  // garbage: the frame list ends here
        uint64_t size;
        unsigned char format = 0;
        if (v22) {
            size = bigEndian(std::string_view(header).substr(3, 3));
        } else if (v24) {
            size = frameSizeV24(framePos, std::string_view(header).substr(4, 4), bodyEnd);
            format = byteAt(header, 9);
        } else {
            size = bigEndian(std::string_view(header).substr(4, 4));
            format = byteAt(header, 9);
        }
        if (size == 0) continue;  // not a valid frame; nothing to take from it

        std::optional<std::string>* field = fieldFor(tag, id);
        uint64_t prefix = 0;
        bool readable = field != nullptr;
        bool frameUnsync = false;
        if (readable && !v22 && !v24) {
            if (format & (kV23Compressed | kV23Encrypted)) readable = false;
            if (format & kV23Grouped) prefix += 1;
        } else if (readable && v24) {
            if (format & (kV24Compressed | kV24Encrypted)) readable = false;
            if (format & kV24Grouped) prefix += 1;
            if (format & kV24DataLength) prefix += 4;
            frameUnsync = tagUnsync || (format & kV24Unsync);
        }
        if (!readable || prefix >= size) {
            if (!stream.skip(size)) return;
            continue;
        }
        if (prefix > 0 && !stream.skip(prefix)) return;
        const uint64_t dataSize = size - prefix;
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(dataSize, kMaxTextFrameBytes));
        // A frame that runs past the end of the tag gives what lies inside the tag.
        size_t got = stream.read(wanted, content);
        if (frameUnsync) content = removeUnsynchronisation(content);
        *field = decodeId3v2Text(content);
        if (got < wanted) return;
        if (dataSize > wanted && !stream.skip(dataSize - wanted)) return;
    }
}

}  // namespace klango::trackdb
