// Settings: access to one settings file (KLANGO.INI) by the rows of the key table.
// Holds only the file's path; every read goes to the file (cached by the profile reader), so a
// value written by the settings dialog counts at its next use. Any command may create one.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "shell/settings_keys.h"

namespace klango::shell {

class Settings {
  public:
    // The settings file's name in the program folder, found whatever its case.
    static constexpr std::string_view kFileName = "KLANGO.INI";
    static std::filesystem::path fileIn(const std::filesystem::path& programFolder);

    explicit Settings(std::filesystem::path file);

    const std::filesystem::path& file() const { return m_file; }
    // Does the settings file exist (a missing one reads as all defaults)?
    bool exists() const;

    // Does the file hold key (in its section), whatever its value?
    bool has(const SettingKey& key) const;
    // The trimmed value, or the key's default when the file, section or key is missing.
    std::string text(const SettingKey& key) const;
    // A switch is on when its value begins with "1" (after trimming, so " 1" is on too).
    bool on(const SettingKey& key) const;
    // The leading number of the value; text that is no number gives 0.
    long long number(const SettingKey& key) const;

    // Writers create file, section or key as needed and return false when the file could not be
    // written (the old file is then unchanged).
    bool write(const SettingKey& key, std::string_view value) const;
    bool writeSwitch(const SettingKey& key, bool on) const;          // "1" / "0"
    bool writeNumber(const SettingKey& key, long long value) const;  // digits, no leading blanks
    // Right-aligned in ten characters ("         1"); a longer number is written whole.
    bool writeNumberRight10(const SettingKey& key, long long value) const;

  private:
    std::filesystem::path m_file;
};

}  // namespace klango::shell
