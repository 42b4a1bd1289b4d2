// Byte-by-byte builders for the tag reader tests: ID3v2 headers and frames of every version,
// ID3v1 tags and MPEG audio frames (plain, Xing/Info, VBRI), plus a scratch folder whose path
// holds no "-" (so no test depends on where the scratch folder lies).
#pragma once

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "test_helpers/test_helpers.h"

namespace klango::test {

inline std::string be(uint64_t v, int bytes) {
    std::string s(static_cast<size_t>(bytes), '\0');
    for (int i = bytes - 1; i >= 0; --i, v >>= 8) s[static_cast<size_t>(i)] = char(v & 0xFF);
    return s;
}

inline std::string synchsafe(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 3; i >= 0; --i, v >>= 7) s[static_cast<size_t>(i)] = char(v & 0x7F);
    return s;
}

// Frame of 2.3 (plain size), 2.4 (synchsafe size) or 2.2 (three-letter id, 3-byte size).
inline std::string frame23(const std::string& id, const std::string& body, uint8_t format = 0) {
    return id + be(body.size(), 4) + std::string(1, '\0') + char(format) + body;
}
inline std::string frame24(const std::string& id, const std::string& body, uint8_t format = 0) {
    return id + synchsafe(static_cast<uint32_t>(body.size())) + std::string(1, '\0') + char(format) + body;
}
inline std::string frame22(const std::string& id, const std::string& body) { return id + be(body.size(), 3) + body; }

// A text frame body: encoding byte and text.
inline std::string text(const std::string& t, uint8_t encoding = 0) { return char(encoding) + t; }

// Header and body of a tag; padding zero bytes follow the frames and count in the size.
inline std::string id3v2(int major, const std::string& frames, size_t padding = 0, uint8_t flags = 0) {
    std::string body = frames + std::string(padding, '\0');
    return std::string("ID3") + char(major) + '\0' + char(flags) + synchsafe(static_cast<uint32_t>(body.size())) +
           body;
}

inline std::string field(const std::string& t, size_t width) {
    std::string s = t.substr(0, width);
    s.resize(width, '\0');
    return s;
}

// ID3v1 (track 0) or ID3v1.1 (track 1..255).
inline std::string id3v1(const std::string& title, const std::string& artist, const std::string& album,
                         const std::string& year, uint8_t genre, int track = 0, const std::string& comment = "") {
    std::string c = field(comment, 30);
    if (track > 0) {
        c[28] = '\0';
        c[29] = char(track);
    }
    return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) + c + char(genre);
}

// MPEG 1 layer III, 128 kbit/s, 44100 Hz, stereo, no padding: 417 bytes per frame.
constexpr size_t kFrameLength = 417;
inline std::string mpegHeader() { return std::string("\xFF\xFB\x90\x00", 4); }
inline std::string mpegFrames(size_t count) {
    std::string one = mpegHeader() + std::string(kFrameLength - 4, '\0');
    std::string all;
    for (size_t i = 0; i < count; ++i) all += one;
    return all;
}
// A first frame carrying a Xing/Info or VBRI header with a frame count.
inline std::string xingFrame(uint32_t frames, const std::string& magic = "Xing") {
    std::string f = mpegHeader() + std::string(32, '\0') + magic + be(1, 4) + be(frames, 4);
    f.resize(kFrameLength, '\0');
    return f;
}
inline std::string vbriFrame(uint32_t frames) {
    std::string f = mpegHeader() + std::string(32, '\0') + "VBRI" + be(1, 2) + be(0, 2) + be(75, 2) +
                    be(100000, 4) + be(frames, 4);
    f.resize(kFrameLength, '\0');
    return f;
}

// A folder in the temporary directory whose path holds no "-", removed at the end.
class PlainTempDir {
public:
    PlainTempDir() {
        std::random_device rd;
        m_root = std::filesystem::temp_directory_path() / ("klango_tags_" + std::to_string(rd()));
        std::filesystem::create_directories(m_root);
    }
    ~PlainTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }
    PlainTempDir(const PlainTempDir&) = delete;
    PlainTempDir& operator=(const PlainTempDir&) = delete;
    const std::filesystem::path& root() const { return m_root; }
    // Writes bytes to root/relative (folders made as needed) and returns the full path.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const {
        auto file = m_root / relative;
        std::filesystem::create_directories(file.parent_path());
        writeFileBytes(file, bytes);
        return file;
    }

private:
    std::filesystem::path m_root;
};

}  // namespace klango::test
