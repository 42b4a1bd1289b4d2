#include "platform/scratch_memory.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>

namespace klango::platform {

namespace {
constexpr size_t kHugePage = size_t(2) << 20;
// Below this the heap serves as well.
constexpr size_t kMapFrom = size_t(4) << 20;
}  // namespace

std::unique_ptr<ScratchMemory> ScratchMemory::allocate(size_t size) {
    std::unique_ptr<ScratchMemory> out(new (std::nothrow) ScratchMemory());
    if (!out) return nullptr;
    out->m_size = size;
    if (size >= kMapFrom) {
        // One huge page more, so that the block can start on a huge-page boundary.
        const size_t length = (size + kHugePage - 1) / kHugePage * kHugePage + kHugePage;
        void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p != MAP_FAILED) {
            auto* base = static_cast<char*>(p);
            const auto misalign = reinterpret_cast<uintptr_t>(base) % kHugePage;
            const size_t lead = misalign ? kHugePage - misalign : 0;
            ::madvise(base + lead, length - lead, MADV_HUGEPAGE);
            out->m_mappedLength = length;
            out->m_data = base + lead;
            out->m_lead = lead;
            return out;
        }
    }
    out->m_data = new (std::nothrow) char[size == 0 ? 1 : size];
    if (!out->m_data) return nullptr;
    return out;
}

ScratchMemory::~ScratchMemory() {
    if (m_mappedLength) {
        ::munmap(m_data - m_lead, m_mappedLength);
    } else {
        delete[] m_data;
    }
}

}  // namespace klango::platform
