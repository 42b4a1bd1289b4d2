// The first bytes of an open file as memory, mapped privately: reading them shares the system's
// file cache instead of copying the file, and writing to the memory changes this process's copy
// of the page only (the file is written separately, through BinaryFile). Where the system cannot
// map the file, the bytes are read into ordinary memory instead, with the same behaviour.
//
// Should the file become shorter while it is mapped (someone else truncates it), reading the
// lost part would end the program with SIGBUS; instead the lost pages read as zero bytes and
// truncated() tells it, so that the owner can refuse the table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace klango::platform {

class BinaryFile;

class MappedFile {
public:
    // Maps bytes [0, size) of file. nullptr with osCode set when they can be neither mapped nor
    // read (size beyond the end of the file reads as a failure).
    static std::unique_ptr<MappedFile> map(BinaryFile& file, uint64_t size, int& osCode);

    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    char* data() { return m_data; }
    const char* data() const { return m_data; }
    size_t size() const { return m_size; }
    bool isMapped() const { return m_mapped; }

    // Gives back the memory behind the whole pages inside [offset, offset + size): it reads
    // from the file again when next touched. Only for bytes that equal the file's (written back
    // or never changed); a change that only lives in memory is lost. Nothing for read copies.
    void release(size_t offset, size_t size);
    // Did part of the mapping vanish because the file was cut shorter under it?
    bool truncated() const;

private:
    MappedFile() = default;

    char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_mappedLength = 0;  // the mapping in whole pages
    bool m_mapped = false;
    int m_slot = -1;  // the guard slot that turns SIGBUS in the mapping into zero pages
};

}  // namespace klango::platform
