// A file opened for reading and writing at byte offsets, held under an exclusive advisory lock
// for as long as it is open, so that a second opener (in this process or another) is refused.
// Used by the table engine; failures are reported as Windows-like OS codes (2, 5, 32, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

namespace klango::platform {

// Windows-like OS codes the rest of the program knows.
constexpr int kOsFileNotFound = 2;
constexpr int kOsPathNotFound = 3;
constexpr int kOsTooManyFiles = 4;
constexpr int kOsAccessDenied = 5;
constexpr int kOsWriteFault = 29;
constexpr int kOsReadFault = 30;
constexpr int kOsGeneralFailure = 31;
constexpr int kOsSharingViolation = 32;
constexpr int kOsFileExists = 80;
constexpr int kOsDiskFull = 112;

// The OS code that stands for a POSIX errno value.
int osCodeOfErrno(int err);

class BinaryFile {
public:
    // Opens an existing file read/write and locks it. nullptr with osCode set on failure
    // (2 missing, 5 no access, 32 already opened and locked by someone, also by this process).
    static std::unique_ptr<BinaryFile> open(const std::filesystem::path& file, int& osCode);
    // Creates a file that must not exist yet, locked (80 when it exists).
    static std::unique_ptr<BinaryFile> createNew(const std::filesystem::path& file, int& osCode);
    // Can file be locked right now? 0 when it is free or missing, else the OS code (32 locked).
    static int probeLock(const std::filesystem::path& file);

    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    // Each returns false on failure; lastOsCode() says why. Short reads count as failures.
    bool readAt(uint64_t offset, void* buffer, size_t size);
    bool writeAt(uint64_t offset, const void* buffer, size_t size);
    bool size(uint64_t& out);
    bool resize(uint64_t size);
    bool sync();
    // Releases the lock and the handle; false when the OS reported an error on close.
    bool close();

    bool isOpen() const { return m_fd >= 0; }
    int lastOsCode() const { return m_lastOsCode; }
    const std::filesystem::path& path() const { return m_path; }
    // The descriptor, for mapping the file (MappedFile); -1 when closed.
    int descriptor() const { return m_fd; }

private:
    BinaryFile(int fd, std::filesystem::path path) : m_fd(fd), m_path(std::move(path)) {}
    bool fail(int err);

    int m_fd = -1;
    std::filesystem::path m_path;
    int m_lastOsCode = 0;
};

}  // namespace klango::platform
