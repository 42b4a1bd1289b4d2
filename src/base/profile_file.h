// Private-profile (INI) files with the rules of the Windows profile functions: "[Section]" lines,
// "key=value" lines, sections and keys matched case-blind, values trimmed, everything else kept.
// Stateless for the caller; parsed files are cached by path, time and size. Any layer may call it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace klango::base {

// The value of key in section, or defaultValue when the file, the section or the key is missing.
// The value is trimmed of blanks and tabs; a value enclosed in a matching pair of double (or
// single) quotes loses them. An empty value ("key=") is returned as empty, not as the default.
// Lines before the first section, comment lines (';') and lines without '=' are never keys.
std::string readProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue);

// Sets key in section to value, written exactly as given. Creates the file, appends a missing
// section at the end and a missing key at the end of its section (before its trailing blank
// lines); an existing key keeps its spelling and place. Every other line stays as it was; lines
// are written with CRLF. The new file replaces the old one in a single rename, so a failure
// (unwritable folder, full disk) leaves the old file as it was and returns false.
// A section, key or value that would break the line structure (a line break, a key with '=' or
// starting with '[' or ';', a section with ']', an empty key or section) is refused with false.
bool writeProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value);

// The keys of section in file order, as spelled in the file (empty when the section is missing).
std::vector<std::string> profileKeys(const std::filesystem::path& file, std::string_view section);

// Forgets every cached file; for tests that change files behind the cache in the same second.
void clearProfileCache();

}  // namespace klango::base
