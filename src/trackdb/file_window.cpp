#include "trackdb/file_window.h"

#include <algorithm>

namespace klango::trackdb {

FileWindow::FileWindow(const std::filesystem::path& file) {
    m_file = std::fopen(file.c_str(), "rb");
    if (!m_file) return;
    // Our own buffer does the buffering; a second one in the stream would only copy.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    if (std::fseek(m_file, 0, SEEK_END) == 0) {
        long end = std::ftell(m_file);
        if (end > 0) m_size = static_cast<uint64_t>(end);
    }
}

FileWindow::~FileWindow() {
    if (m_file) std::fclose(m_file);
}

std::string_view FileWindow::bytes(uint64_t offset, size_t n) {
    if (!m_file || offset >= m_size || n == 0) return {};
    n = static_cast<size_t>(std::min<uint64_t>({n, kMaxSpan, m_size - offset}));
    if (offset >= m_bufferOffset && offset + n <= m_bufferOffset + m_bufferLength) {
        return {m_buffer.data() + (offset - m_bufferOffset), n};
    }
    size_t want = static_cast<size_t>(std::min<uint64_t>(std::max(n, kWindowSize), m_size - offset));
    if (m_buffer.size() < want) m_buffer.resize(want);
    m_bufferOffset = offset;
    m_bufferLength = 0;
    ++m_reads;
    if (std::fseek(m_file, static_cast<long>(offset), SEEK_SET) != 0) return {};
    m_bufferLength = std::fread(m_buffer.data(), 1, want, m_file);
    return {m_buffer.data(), std::min(n, m_bufferLength)};
}

}  // namespace klango::trackdb
