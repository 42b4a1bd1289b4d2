#include "output/player_command.h"

#include <unistd.h>

#include <filesystem>

#include "base/cp1252.h"

namespace fs = std::filesystem;

namespace klango::output {
namespace {

bool isExecutableFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

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
    if (isExecutableFile(whole)) {
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

}  // namespace klango::output
