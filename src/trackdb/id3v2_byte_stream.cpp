#include "trackdb/id3v2_byte_stream.h"

#include <algorithm>

namespace klango::trackdb {

std::string removeUnsynchronisation(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    bool afterFF = false;
    for (char c : raw) {
        if (afterFF && c == '\0') {
            afterFF = false;
            continue;
        }
        out += c;
        afterFF = static_cast<unsigned char>(c) == 0xFF;
    }
    return out;
}

Id3v2ByteStream::Id3v2ByteStream(FileWindow& file, uint64_t begin, uint64_t end, bool unsynchronised)
    : m_file(file), m_pos(begin), m_end(std::max(begin, end)), m_unsync(unsynchronised) {}

size_t Id3v2ByteStream::read(size_t n, std::string& out) {
    out.clear();
    n = std::min(n, FileWindow::kMaxSpan);
    if (!m_unsync) {
        std::string_view got = m_file.bytes(m_pos, static_cast<size_t>(std::min<uint64_t>(n, rawRemaining())));
        out.assign(got);
        m_pos += got.size();
        return got.size();
    }
    while (out.size() < n && m_pos < m_end) {
        // Each decoded byte takes at most two raw bytes.
        size_t want = static_cast<size_t>(std::min<uint64_t>(2 * (n - out.size()), rawRemaining()));
        std::string_view got = m_file.bytes(m_pos, want);
        if (got.empty()) break;
        size_t used = 0;
        for (; used < got.size() && out.size() < n; ++used) {
            char c = got[used];
            if (m_afterFF && c == '\0') {
                m_afterFF = false;
                continue;
            }
            out += c;
            m_afterFF = static_cast<unsigned char>(c) == 0xFF;
        }
        m_pos += used;
    }
    return out.size();
}

bool Id3v2ByteStream::skip(uint64_t n) {
    if (!m_unsync) {
        if (n > rawRemaining()) {
            m_pos = m_end;
            return false;
        }
        m_pos += n;
        return true;
    }
    // Unsynchronised bytes cannot be counted without looking at them.
    std::string chunk;
    while (n > 0) {
        size_t got = read(static_cast<size_t>(std::min<uint64_t>(n, FileWindow::kWindowSize)), chunk);
        if (got == 0) return false;
        n -= got;
    }
    return true;
}

}  // namespace klango::trackdb
