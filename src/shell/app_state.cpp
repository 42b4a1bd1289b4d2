#include "shell/app_state.h"

#include <system_error>

#include "platform/file_names.h"
#include "base/cp1252.h"

namespace klango::shell {

namespace {

constexpr std::string_view kDataFolderName = "Daten";

// The program folder as an absolute path ending with a separator.
std::filesystem::path folderWithSeparator(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::path abs = std::filesystem::absolute(folder.empty() ? "." : folder, ec);
    if (ec) abs = folder;
    abs = abs.lexically_normal();
    if (abs.has_filename()) abs /= "";
    return abs;
}

// The same folder as text without its trailing separator (the root stays "/").
std::string folderText(const std::filesystem::path& withSeparator) {
    std::string s = withSeparator.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return base::utf8ToCp1252(s);
}

}  // namespace

std::filesystem::path AppState::dataFolder() const {
    return platform::resolveCaseBlind(CRUNIN, kDataFolderName);
}

// Names are core texts (CP1252); the file system names files in UTF-8.
std::filesystem::path AppState::programFile(std::string_view name) const {
    return platform::resolveCaseBlind(CRUNIN, base::cp1252ToUtf8(name));
}

std::filesystem::path AppState::dataFile(std::string_view name) const {
    return platform::resolveCaseBlind(dataFolder(), base::cp1252ToUtf8(name));
}

bool LOADPUBLICS(AppState& state, const std::filesystem::path& programFolder) {
    state = AppState{};
    state.CRUNIN = folderWithSeparator(programFolder);
    state.CINIFILE = Settings::fileIn(state.CRUNIN);
    state.CPRGPATH = folderText(state.CRUNIN);
    state.CMYPATH = state.CPRGPATH;

    const Settings settings = state.settings();
    state.settingsFileWasMissing = !settings.has(keys::kAutoOpen);
    state.CRELEASE = settings.text(keys::kProgram) + " " + settings.text(keys::kVersion);
    state.LS_MARKDATE = settings.on(keys::kMarkDate);
    state.LS_MARKHOUR = settings.on(keys::kMarkHour);
    state.LS_MARKSORT = settings.on(keys::kMarkSort);
    state.LS_SHOWTRAK = settings.on(keys::kShowTrak);
    state.CS_AMPPATH = settings.text(keys::kPlayPath);
    state.NS_DBLCLICK = settings.number(keys::kDblClick);
    state.NS_FONTSIZE = settings.number(keys::kFontSize);
    state.CS_EMAIL_M = settings.text(keys::kEmailMenue);
    state.CS_EMAIL = settings.text(keys::kEmailUrl);
    state.CS_WWW_M = settings.text(keys::kInternetMenue);
    state.CS_WWW = settings.text(keys::kInternetUrl);

    settings.write(keys::kMyPath, state.CMYPATH);
    return true;
}

}  // namespace klango::shell
