#include "shell/player_command.h"

#include <filesystem>

#include "base/cp1252.h"

namespace fs = std::filesystem;

namespace klango::shell {
namespace {

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

}  // namespace

std::vector<std::string> addSwitchesFor(const std::string& program) {
    std::string name = lowerAscii(fs::path(program).filename().string());
    if (name.size() > 4 && name.ends_with(".exe")) name.resize(name.size() - 4);
    if (name == "audacious") return {"--enqueue"};
    if (name == "vlc" || name == "cvlc") return {"--one-instance", "--playlist-enqueue"};
    return {};
}

std::optional<platform::ProgramCall> playerCall(const std::string& setting, bool append, const std::string& playlist) {
    const std::string whole = base::cp1252ToUtf8(base::trim(setting));
    std::optional<platform::ProgramCall> call;
    if (!whole.empty() && platform::isExecutableFile(whole)) {
        call = platform::ProgramCall{whole, {}};
    } else {
        call = platform::commandFor(setting);
    }
    if (!call || call->program.empty()) return std::nullopt;
    if (append) {
        for (std::string& s : addSwitchesFor(call->program)) call->args.push_back(std::move(s));
    }
    call->args.push_back(playlist);
    return call;
}

}  // namespace klango::shell
