// FileWindow: read-only access to one user file through a single bounded buffer, so that a tag
// reader can look at any offset with few system calls and never holds more than kMaxSpan bytes,
// whatever sizes the file's headers claim. Used by the MP3 tag reader units only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

namespace klango::trackdb {

class FileWindow {
public:
    // One read of this size at the start of the file usually covers the ID3v2 header, the text
    // frames of a small tag and the first MPEG audio frame after it.
    static constexpr size_t kWindowSize = 8 * 1024;
    // The largest span one call of bytes() hands out.
    static constexpr size_t kMaxSpan = 64 * 1024;

    // Opens the file as given (the user's path is used exactly). A file that cannot be opened
    // behaves as an empty file.
    explicit FileWindow(const std::filesystem::path& file);
    ~FileWindow();
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    // Size in bytes when opened; 0 for a file that could not be opened.
    uint64_t size() const { return m_size; }

    // Up to n bytes (n is capped at kMaxSpan) starting at offset; fewer near the end of the file
    // or when a read fails, none beyond it. The view stays valid until the next call.
    std::string_view bytes(uint64_t offset, size_t n);

    // Number of reads from the file so far (for the benchmark and the tests of the read pattern).
    int readCount() const { return m_reads; }

private:
    std::FILE* m_file = nullptr;
    uint64_t m_size = 0;
    std::vector<char> m_buffer;
    uint64_t m_bufferOffset = 0;
    size_t m_bufferLength = 0;
    int m_reads = 0;
};

}  // namespace klango::trackdb
