#include "platform/mapped_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/binary_file.h"

namespace klango::platform {

namespace {

// The mappings the SIGBUS guard watches. A slot is claimed with `used`, then published by
// storing its begin; the handler reads begin and end only.
struct GuardSlot {
    std::atomic<bool> used{false};
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
    std::atomic<bool> lost{false};
};
constexpr int kGuardSlots = 256;
GuardSlot g_slots[kGuardSlots];
struct sigaction g_previous {};
uintptr_t g_pageSize = 4096;
std::once_flag g_installed;

// A read from a page that the file no longer reaches raises SIGBUS. Inside a watched mapping the
// page becomes a page of zero bytes and the read is repeated; anything else goes on as before.
void onBusError(int sig, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
    for (GuardSlot& slot : g_slots) {
        const uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= slot.end.load(std::memory_order_acquire)) continue;
        void* page = reinterpret_cast<void*>(address & ~(g_pageSize - 1));
        if (::mmap(page, g_pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
            MAP_FAILED) {
            slot.lost.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    if ((g_previous.sa_flags & SA_SIGINFO) && g_previous.sa_sigaction) {
        g_previous.sa_sigaction(sig, info, context);
        return;
    }
    if (!(g_previous.sa_flags & SA_SIGINFO) && g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(sig);
        return;
    }
    // The default action: the signal is blocked here and ends the program on return.
    ::signal(SIGBUS, SIG_DFL);
    ::raise(SIGBUS);
}

void installGuard() {
    g_pageSize = uintptr_t(::sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &g_previous);
}

int watch(const char* data, size_t length) {
    for (int i = 0; i < kGuardSlots; ++i) {
        bool expected = false;
        if (!g_slots[i].used.compare_exchange_strong(expected, true)) continue;
        g_slots[i].lost.store(false);
        g_slots[i].end.store(reinterpret_cast<uintptr_t>(data) + length, std::memory_order_release);
        g_slots[i].begin.store(reinterpret_cast<uintptr_t>(data), std::memory_order_release);
        return i;
    }
    return -1;
}

void unwatch(int slot) {
    if (slot < 0) return;
    g_slots[slot].begin.store(0, std::memory_order_release);
    g_slots[slot].end.store(0, std::memory_order_release);
    g_slots[slot].used.store(false, std::memory_order_release);
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::map(BinaryFile& file, uint64_t size, int& osCode) {
    osCode = 0;
    uint64_t fileSize = 0;
    if (!file.size(fileSize)) {
        osCode = file.lastOsCode();
        return nullptr;
    }
    if (size > fileSize || size > uint64_t(SIZE_MAX)) {
        osCode = kOsReadFault;
        return nullptr;
    }
    std::unique_ptr<MappedFile> out(new MappedFile());
    out->m_size = size_t(size);
    if (size == 0) return out;
    std::call_once(g_installed, installGuard);
    // Too few guard slots: the file is read instead of mapped, so no SIGBUS can come from it.
    const size_t length = (size_t(size) + g_pageSize - 1) & ~size_t(g_pageSize - 1);
    void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE, file.descriptor(), 0);
    if (p != MAP_FAILED) {
        out->m_slot = watch(static_cast<char*>(p), length);
        if (out->m_slot >= 0) {
            ::madvise(p, length, MADV_WILLNEED);
            out->m_data = static_cast<char*>(p);
            out->m_mappedLength = length;
            out->m_mapped = true;
            return out;
        }
        ::munmap(p, length);
    }
    out->m_data = new (std::nothrow) char[size_t(size)];
    if (!out->m_data) {
        osCode = kOsGeneralFailure;
        return nullptr;
    }
    if (!file.readAt(0, out->m_data, size_t(size))) {
        osCode = file.lastOsCode();
        return nullptr;
    }
    return out;
}

MappedFile::~MappedFile() {
    if (m_mapped) {
        unwatch(m_slot);
        ::munmap(m_data, m_mappedLength);
    } else {
        delete[] m_data;
    }
}

void MappedFile::release(size_t offset, size_t size) {
    if (!m_mapped || offset >= m_size) return;
    const size_t page = size_t(g_pageSize);
    size_t end = std::min(offset + size, m_size);
    // The page that holds the end of the file is given back too when the range reaches it.
    if (end == m_size) end = m_mappedLength;
    const size_t first = (offset + page - 1) & ~(page - 1);
    const size_t last = end & ~(page - 1);
    if (last > first) ::madvise(m_data + first, last - first, MADV_DONTNEED);
}

bool MappedFile::truncated() const {
    return m_mapped && m_slot >= 0 && g_slots[m_slot].lost.load(std::memory_order_acquire);
}

}  // namespace klango::platform
