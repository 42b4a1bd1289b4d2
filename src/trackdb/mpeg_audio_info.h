// The play length of an MP3 file from its audio: the first MPEG audio frame after the tag
// (MPEG 1, 2 and 2.5, layers I to III), the frame count of a Xing/Info or VBRI header in it when
// there is one, else the bit rate and the size of the audio. Used by READMP3.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "trackdb/file_window.h"

namespace klango::trackdb {

struct MpegFrameHeader {
    int version = 0;  // 10 = MPEG 1, 20 = MPEG 2, 25 = MPEG 2.5
    int layer = 0;    // 1..3
    int bitRate = 0;  // kbit/s
    int sampleRate = 0;
    bool padding = false;
    bool mono = false;
    int frameLength = 0;  // bytes, header included
    int samplesPerFrame = 0;
};

// The header in the first four bytes of bytes, when they are one (free-format bit rates and
// reserved values do not count: no length can be worked out from them).
std::optional<MpegFrameHeader> parseMpegFrameHeader(std::string_view bytes);

struct MpegAudioInfo {
    uint64_t firstFrame = 0;  // file offset of the first frame
    MpegFrameHeader header;
    std::optional<uint64_t> frameCount;  // from a Xing/Info or VBRI header
    int seconds = 0;                     // play length, rounded to whole seconds
};

// How far past `from` the first frame is looked for: enough for the junk and zero runs that
// taggers and rippers leave between the tag and the audio.
constexpr uint64_t kMpegSearchLimit = 64 * 1024;

// Looks for the first audio frame at or after `from`; the audio ends at audioEnd (the file size,
// or the start of an ID3v1 tag). A frame counts only when the next frame follows it where its
// length says, or when it is the last thing in the audio. nullopt when no MPEG audio is found.
std::optional<MpegAudioInfo> readMpegAudioInfo(FileWindow& file, uint64_t from, uint64_t audioEnd);

}  // namespace klango::trackdb
