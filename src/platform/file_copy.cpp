#include "platform/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace fs = std::filesystem;

namespace klango::platform {
namespace {

// One block between two looks at the stop flag: small enough to stop a large file within a
// fraction of a second, large enough that the kernel copies at full speed.
constexpr size_t kBlock = 8u << 20;

constexpr uint64_t kEarlyWriteback = 4u << 20;

bool isFull(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// Copies one block; returns bytes copied, 0 at the source's end, -1 with errno (and *readSide
// true when reading failed). The kernel's copy is used where the file systems allow it.
ssize_t copyBlock(int in, int out, bool& kernelCopy, std::vector<char>& buffer, bool& readSide) {
    if (kernelCopy) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kBlock, 0);
        if (n >= 0) return n;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != EPERM) {
            // copy_file_range does not say which side failed: ask the source.
            readSide = errno == EIO && ::lseek(in, 0, SEEK_CUR) < 0;
            return -1;
        }
        kernelCopy = false;
    }
    if (buffer.empty()) buffer.resize(1u << 20);
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got <= 0) {
        readSide = got < 0;
        return got;
    }
    for (ssize_t done = 0; done < got;) {
        const ssize_t n = ::write(out, buffer.data() + done, size_t(got - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += n;
    }
    return got;
}

}  // namespace

fs::path partialName(const fs::path& target) {
    return target.parent_path() / ("." + target.filename().string() + ".kopie");
}

CopyResult copyTrackFile(const fs::path& source, const fs::path& target, const std::atomic<bool>& stop,
                         const std::function<void(uint64_t)>& progress) {
    CopyResult r;
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (in.get() < 0 || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        r.outcome = CopyOutcome::kSourceError;
        r.error = in.get() < 0 ? errno : EINVAL;
        return r;
    }
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) && existing.st_size == st.st_size) {
        r.outcome = CopyOutcome::kSameSize;
        return r;
    }

    const fs::path part = partialName(target);
    Fd out(::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.get() < 0) {
        r.error = errno;
        r.outcome = isFull(r.error) ? CopyOutcome::kDestinationFull : CopyOutcome::kTargetError;
        return r;
    }
    auto failed = [&](CopyOutcome outcome, int error) {
        ::close(out.release());
        ::unlink(part.c_str());
        r.outcome = outcome;
        r.error = error;
        return r;
    };

    bool kernelCopy = true;
    std::vector<char> buffer;
    for (;;) {
        if (stop.load()) return failed(CopyOutcome::kStopped, 0);
        bool readSide = false;
        const ssize_t n = copyBlock(in.get(), out.get(), kernelCopy, buffer, readSide);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            if (readSide) return failed(CopyOutcome::kSourceError, error);
            return failed(isFull(error) ? CopyOutcome::kDestinationFull : CopyOutcome::kTargetError, error);
        }
        r.bytes += uint64_t(n);
        if (progress) progress(r.bytes);
    }
    // A large file goes to the medium now, while the next one is copied, so that the one flush at
    // the end of the run has little left to write. Small files wait for that flush together.
    if (r.bytes >= kEarlyWriteback) ::sync_file_range(out.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    // A copy of another length than the source is no copy (the source changed or was cut).
    struct stat written {};
    if (::fstat(out.get(), &written) != 0 || written.st_size != st.st_size || r.bytes != uint64_t(st.st_size))
        return failed(CopyOutcome::kSourceError, EIO);
    if (::close(out.release()) != 0) {
        const int error = errno;
        ::unlink(part.c_str());
        r.outcome = isFull(error) ? CopyOutcome::kDestinationFull : CopyOutcome::kTargetError;
        r.error = error;
        return r;
    }
    if (::rename(part.c_str(), target.c_str()) != 0) {
        r.error = errno;
        ::unlink(part.c_str());
        r.outcome = CopyOutcome::kTargetError;
        return r;
    }
    return r;
}

}  // namespace klango::platform
