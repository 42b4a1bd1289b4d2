#include "shell/settings.h"

#include <system_error>

#include "platform/file_names.h"
#include "base/profile_file.h"
#include "base/text_format.h"

namespace klango::shell {

namespace {
constexpr size_t kRightAlignedWidth = 10;
}

std::filesystem::path Settings::fileIn(const std::filesystem::path& programFolder) {
    return platform::resolveCaseBlind(programFolder, kFileName);
}

Settings::Settings(std::filesystem::path file) : m_file(std::move(file)) {}

bool Settings::exists() const {
    std::error_code ec;
    return std::filesystem::is_regular_file(m_file, ec);
}

bool Settings::has(const SettingKey& key) const {
    // A value never holds a line break, so this one cannot come from the file.
    static constexpr std::string_view kMissing = "\n";
    return base::readProfileString(m_file, key.section, key.key, kMissing) != kMissing;
}

std::string Settings::text(const SettingKey& key) const {
    return base::readProfileString(m_file, key.section, key.key, key.defaultValue);
}

bool Settings::on(const SettingKey& key) const {
    std::string value = text(key);
    return !value.empty() && value[0] == '1';
}

long long Settings::number(const SettingKey& key) const { return base::leadingNumber(text(key)); }

bool Settings::write(const SettingKey& key, std::string_view value) const {
    return base::writeProfileString(m_file, key.section, key.key, value);
}

bool Settings::writeSwitch(const SettingKey& key, bool on) const { return write(key, on ? "1" : "0"); }

bool Settings::writeNumber(const SettingKey& key, long long value) const {
    return write(key, std::to_string(value));
}

bool Settings::writeNumberRight10(const SettingKey& key, long long value) const {
    std::string digits = std::to_string(value);
    if (digits.size() < kRightAlignedWidth) digits.insert(0, kRightAlignedWidth - digits.size(), ' ');
    return write(key, digits);
}

}  // namespace klango::shell
