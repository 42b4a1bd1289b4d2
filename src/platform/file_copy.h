// Copies one file for the copy of tracks: written under a temporary name beside the target, its
// size checked, and only then renamed to the target, so that a failed or stopped copy leaves no
// file behind and an older target stays as it was until the new one is complete. Any thread may
// call it (the copy run does on its worker thread); stop is watched between blocks, so a large
// file stops within it.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>

namespace klango::platform {

enum class CopyOutcome {
    kCopied,
    kSameSize,         // the target exists with the source's size: not copied again
    kStopped,          // stop was set during the copy
    kSourceError,      // the source cannot be opened or read
    kTargetError,      // the target cannot be written or put in place
    kDestinationFull,  // no room (or no more allowed size) on the destination
};

struct CopyResult {
    CopyOutcome outcome = CopyOutcome::kCopied;
    int error = 0;           // errno of the failure
    uint64_t bytes = 0;      // bytes written
};

// The temporary name a copy is written under, beside target.
std::filesystem::path partialName(const std::filesystem::path& target);

// progress (may be empty) hears the bytes written so far after every block.
CopyResult copyTrackFile(const std::filesystem::path& source, const std::filesystem::path& target,
                         const std::atomic<bool>& stop, const std::function<void(uint64_t)>& progress = {});

}  // namespace klango::platform
