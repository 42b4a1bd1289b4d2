// The names the copy writes its files under: the target folder and file of a structured copy
// (the source path below its drive, kept below the destination) and of a flat copy (a name built
// from the tags), and the claims that keep two tracks of one run from writing the same file.
// Every target lies below the destination, whatever a stored path or a tag holds. Used by the
// copy run (TRANSFERIT) on its worker thread; pure functions apart from TargetClaims.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace klango::output {

// The tag texts a flat name is built from, as the track record holds them (CP1252).
struct TrackNameParts {
    std::string group;
    std::string album;
    std::string title;
    int track = 0;
    std::string sourceFile;  // the source file's own name, for its extension
};

struct FlatNameOptions {
    bool artist = false;
    bool album = false;
    bool number = false;
};

// A tag text made fit for a file name: ";", ":", "/", "\", "." and the characters no medium takes
// in a name (* ? " < > | and control characters) become blanks, the result trimmed.
std::string flatNamePart(std::string_view text);
// The file name of a flat copy (CP1252): "[artist - ][album - ][NN ]title.ext"; "Titel" stands for
// a name that would be empty, and a name too long for a file system is shortened.
std::string flatFileName(const TrackNameParts& parts, const FlatNameOptions& options);

// The target of a structured copy: destination / the source path below its drive. "." and ".."
// and empty levels are left out, so the target never lies outside the destination. Empty when
// nothing remains of the source path.
std::filesystem::path structuredTarget(const std::filesystem::path& destination, const std::filesystem::path& source,
                                       const std::filesystem::path& drive);

// The targets claimed in one run, compared case-blind (a medium may not tell "A.mp3" from
// "a.mp3"). A target claimed for a different source gets " (2)", " (3)", ... before its
// extension.
class TargetClaims {
public:
    std::filesystem::path claim(const std::filesystem::path& target, const std::filesystem::path& source);

private:
    std::map<std::string, std::filesystem::path> m_claimed;  // upper-cased target -> source
};

}  // namespace klango::output
