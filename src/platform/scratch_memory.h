// A large block of working memory for a short job (the full keys of an index build): taken in
// huge pages where the system offers them, so that filling hundreds of megabytes costs a few
// hundred page faults instead of a quarter million. Not zero-filled as far as callers know.
#pragma once

#include <cstddef>
#include <memory>

namespace klango::platform {

class ScratchMemory {
public:
    // nullptr when the memory is not to be had.
    static std::unique_ptr<ScratchMemory> allocate(size_t size);
    ~ScratchMemory();
    ScratchMemory(const ScratchMemory&) = delete;
    ScratchMemory& operator=(const ScratchMemory&) = delete;

    char* data() { return m_data; }
    size_t size() const { return m_size; }

private:
    ScratchMemory() = default;
    char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_mappedLength = 0;  // 0: taken from the heap
    size_t m_lead = 0;          // bytes of the mapping before m_data
};

}  // namespace klango::platform
