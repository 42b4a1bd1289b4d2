#include "platform/binary_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace klango::platform {

int osCodeOfErrno(int err) {
    switch (err) {
        case 0: return 0;
        case ENOENT: return kOsFileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP: return kOsPathNotFound;
        case EMFILE:
        case ENFILE: return kOsTooManyFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return kOsAccessDenied;
        case EWOULDBLOCK: return kOsSharingViolation;
        case EEXIST: return kOsFileExists;
        case ENOSPC:
        case EFBIG:
        case EDQUOT: return kOsDiskFull;
        case EIO: return kOsWriteFault;
        default: return kOsGeneralFailure;
    }
}

namespace {

// Opens with flags and takes the exclusive lock without waiting. Returns the descriptor or -1
// with err set.
int openLocked(const std::filesystem::path& file, int flags, int& err) {
    int fd;
    do {
        fd = ::open(file.c_str(), flags | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        err = errno;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        err = EISDIR;
        return -1;
    }
    // flock locks belong to the open file description, so a second open in this process is
    // refused just like one from another process.
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        err = errno;
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::unique_ptr<BinaryFile> BinaryFile::open(const std::filesystem::path& file, int& osCode) {
    int err = 0;
    int fd = openLocked(file, O_RDWR, err);
    if (fd < 0) {
        osCode = osCodeOfErrno(err);
        return nullptr;
    }
    osCode = 0;
    return std::unique_ptr<BinaryFile>(new BinaryFile(fd, file));
}

std::unique_ptr<BinaryFile> BinaryFile::createNew(const std::filesystem::path& file, int& osCode) {
    int err = 0;
    int fd = openLocked(file, O_RDWR | O_CREAT | O_EXCL, err);
    if (fd < 0) {
        osCode = osCodeOfErrno(err);
        return nullptr;
    }
    osCode = 0;
    return std::unique_ptr<BinaryFile>(new BinaryFile(fd, file));
}

int BinaryFile::probeLock(const std::filesystem::path& file) {
    int err = 0;
    int fd = openLocked(file, O_RDONLY, err);
    if (fd < 0) return err == ENOENT ? 0 : osCodeOfErrno(err);
    ::close(fd);
    return 0;
}

BinaryFile::~BinaryFile() { close(); }

bool BinaryFile::fail(int err) {
    m_lastOsCode = osCodeOfErrno(err);
    return false;
}

bool BinaryFile::readAt(uint64_t offset, void* buffer, size_t size) {
    if (m_fd < 0) return fail(EBADF);
    char* p = static_cast<char*>(buffer);
    while (size > 0) {
        ssize_t n = ::pread(m_fd, p, size, off_t(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            m_lastOsCode = kOsReadFault;
            return false;
        }
        if (n == 0) {
            m_lastOsCode = kOsReadFault;  // the file is shorter than asked for
            return false;
        }
        p += n;
        size -= size_t(n);
        offset += uint64_t(n);
    }
    return true;
}

bool BinaryFile::writeAt(uint64_t offset, const void* buffer, size_t size) {
    if (m_fd < 0) return fail(EBADF);
    const char* p = static_cast<const char*>(buffer);
    while (size > 0) {
        ssize_t n = ::pwrite(m_fd, p, size, off_t(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (n == 0) return fail(ENOSPC);
        p += n;
        size -= size_t(n);
        offset += uint64_t(n);
    }
    return true;
}

bool BinaryFile::size(uint64_t& out) {
    if (m_fd < 0) return fail(EBADF);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) return fail(errno);
    out = uint64_t(st.st_size);
    return true;
}

bool BinaryFile::resize(uint64_t size) {
    if (m_fd < 0) return fail(EBADF);
    int rc;
    do {
        rc = ::ftruncate(m_fd, off_t(size));
    } while (rc < 0 && errno == EINTR);
    return rc == 0 || fail(errno);
}

bool BinaryFile::sync() {
    if (m_fd < 0) return fail(EBADF);
    return ::fdatasync(m_fd) == 0 || fail(errno);
}

bool BinaryFile::close() {
    if (m_fd < 0) return true;
    int fd = m_fd;
    m_fd = -1;
    // Closing the descriptor releases the lock with it.
    return ::close(fd) == 0 || fail(errno);
}

}  // namespace klango::platform
