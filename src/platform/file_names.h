// The program's own files are found whatever the case of their names ("KLANGO.INI" and
// "klango.ini", "Mp3base.dbf" and "MP3BASE.DBF"): every access to settings, tables, index and
// working files resolves its name here. MP3 paths of the user are never resolved; they are exact.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace klango::platform {

// The existing entry of folder whose name equals name case-blind (an exact match wins), or
// folder / name as given when none exists. name may hold sub-folders ("Daten/Rock.dbf"); each
// component is resolved in turn.
std::filesystem::path resolveCaseBlind(const std::filesystem::path& folder, std::string_view name);

// Does name match a mask with '*' and '?' (case-blind, the way "*.NT?" and "*.dbf" match)?
bool matchesMask(std::string_view name, std::string_view mask);

// Ordinary, not hidden files of folder (not its sub-folders) whose names match mask, sorted by name.
std::vector<std::filesystem::path> listMatching(const std::filesystem::path& folder, std::string_view mask);

// A name counts as hidden (or system) when it starts with '.'.
bool isHiddenName(std::string_view name);

}  // namespace klango::platform
