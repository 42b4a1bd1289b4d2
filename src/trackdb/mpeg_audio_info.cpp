#include "trackdb/mpeg_audio_info.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace klango::trackdb {

namespace {

// kbit/s by bit-rate index 1..14 (index 0 is free format, 15 is invalid).
constexpr int kBitRates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG 1 layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG 1 layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG 1 layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG 2/2.5 layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG 2/2.5 layers II, III
};
constexpr int kSampleRates[3][3] = {
    {44100, 48000, 32000},  // MPEG 1
    {22050, 24000, 16000},  // MPEG 2
    {11025, 12000, 8000},   // MPEG 2.5
};

// Where a Xing/Info header sits: after the frame header and the layer III side information.
int xingOffset(const MpegFrameHeader& h) {
    if (h.version == 10) return 4 + (h.mono ? 17 : 32);
    return 4 + (h.mono ? 9 : 17);
}
constexpr int kVbriOffset = 4 + 32;
constexpr int kVbriFramesAt = 14;  // "VBRI", version, delay, quality, byte count, then frames
constexpr uint32_t kXingFramesFlag = 0x1;

uint32_t bigEndian32(std::string_view s) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[i]);
    return v;
}

bool sameStream(const MpegFrameHeader& a, const MpegFrameHeader& b) {
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

std::optional<uint64_t> vbrFrameCount(FileWindow& file, uint64_t pos, const MpegFrameHeader& h) {
    std::string_view frame = file.bytes(pos, static_cast<size_t>(h.frameLength));
    if (h.layer == 3) {
        size_t at = static_cast<size_t>(xingOffset(h));
        if (frame.size() >= at + 12) {
            std::string_view tag = frame.substr(at, 4);
            if (tag == "Xing" || tag == "Info") {
                uint32_t flags = bigEndian32(frame.substr(at + 4, 4));
                if (flags & kXingFramesFlag) {
                    uint32_t frames = bigEndian32(frame.substr(at + 8, 4));
                    if (frames > 0) return frames;
                }
                return std::nullopt;
            }
        }
    }
    if (frame.size() >= kVbriOffset + kVbriFramesAt + 4 && frame.substr(kVbriOffset, 4) == "VBRI") {
        uint32_t frames = bigEndian32(frame.substr(kVbriOffset + kVbriFramesAt, 4));
        if (frames > 0) return frames;
    }
    return std::nullopt;
}

}  // namespace

std::optional<MpegFrameHeader> parseMpegFrameHeader(std::string_view bytes) {
    if (bytes.size() < 4) return std::nullopt;
    auto b1 = static_cast<unsigned char>(bytes[1]);
    auto b2 = static_cast<unsigned char>(bytes[2]);
    auto b3 = static_cast<unsigned char>(bytes[3]);
    if (static_cast<unsigned char>(bytes[0]) != 0xFF || (b1 & 0xE0) != 0xE0) return std::nullopt;
    int versionBits = (b1 >> 3) & 3;
    int layerBits = (b1 >> 1) & 3;
    int bitRateIndex = b2 >> 4;
    int sampleRateIndex = (b2 >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitRateIndex == 0 || bitRateIndex == 15 ||
        sampleRateIndex == 3 || (b3 & 3) == 2) {
        return std::nullopt;
    }
    MpegFrameHeader h;
    h.version = versionBits == 3 ? 10 : versionBits == 2 ? 20 : 25;
    h.layer = 4 - layerBits;
    int table = h.version == 10 ? h.layer - 1 : (h.layer == 1 ? 3 : 4);
    h.bitRate = kBitRates[table][bitRateIndex];
    h.sampleRate = kSampleRates[h.version == 10 ? 0 : h.version == 20 ? 1 : 2][sampleRateIndex];
    h.padding = (b2 >> 1) & 1;
    h.mono = (b3 >> 6) == 3;
    const int pad = h.padding ? 1 : 0;
    const int bps = h.bitRate * 1000;
    if (h.layer == 1) {
        h.frameLength = (12 * bps / h.sampleRate + pad) * 4;
        h.samplesPerFrame = 384;
    } else if (h.layer == 2 || h.version == 10) {
        h.frameLength = 144 * bps / h.sampleRate + pad;
        h.samplesPerFrame = 1152;
    } else {
        h.frameLength = 72 * bps / h.sampleRate + pad;
        h.samplesPerFrame = 576;
    }
    return h;
}

std::optional<MpegAudioInfo> readMpegAudioInfo(FileWindow& file, uint64_t from, uint64_t audioEnd) {
    audioEnd = std::min(audioEnd, file.size());
    if (from >= audioEnd) return std::nullopt;
    const uint64_t limit = std::min(audioEnd, from + kMpegSearchLimit);
    std::string chunk;
    for (uint64_t base = from; base + 4 <= limit;) {
        // A copy: checking a candidate reads elsewhere in the file and moves the window.
        chunk.assign(file.bytes(base, FileWindow::kWindowSize));
        if (chunk.size() < 4) return std::nullopt;
        const size_t scanEnd = static_cast<size_t>(std::min<uint64_t>(chunk.size() - 3, limit - base));
        for (size_t i = 0; i < scanEnd; ++i) {
            if (static_cast<unsigned char>(chunk[i]) != 0xFF) continue;
            auto h = parseMpegFrameHeader(std::string_view(chunk).substr(i, 4));
            if (!h) continue;
            const uint64_t pos = base + i;
            const uint64_t next = pos + static_cast<uint64_t>(h->frameLength);
            if (next > audioEnd) continue;
            if (next + 4 <= audioEnd) {
                auto following = parseMpegFrameHeader(file.bytes(next, 4));
                if (!following || !sameStream(*h, *following)) continue;
            }
            MpegAudioInfo info;
            info.firstFrame = pos;
            info.header = *h;
            info.frameCount = vbrFrameCount(file, pos, *h);
            if (info.frameCount) {
                const uint64_t samples = *info.frameCount * static_cast<uint64_t>(h->samplesPerFrame);
                info.seconds = static_cast<int>((samples + h->sampleRate / 2) / h->sampleRate);
            } else {
                const uint64_t bytesPerSecond = static_cast<uint64_t>(h->bitRate) * 125;
                const uint64_t seconds = (audioEnd - pos + bytesPerSecond / 2) / bytesPerSecond;
                info.seconds = static_cast<int>(std::min<uint64_t>(seconds, INT32_MAX));
            }
            return info;
        }
        base += scanEnd;
    }
    return std::nullopt;
}

}  // namespace klango::trackdb
