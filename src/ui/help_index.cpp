#include "ui/help_index.h"

#include <fstream>

#include "base/cp1252.h"

namespace klango::ui {

std::string helpAnchor(std::string_view topic) {
    std::string out;
    bool pendingDash = false;
    auto put = [&](const char* text) {
        if (pendingDash && !out.empty()) out += '-';
        pendingDash = false;
        out += text;
    };
    for (char ch : topic) {
        const unsigned char c = static_cast<unsigned char>(ch);
        char plain[2] = {0, 0};
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            plain[0] = ch;
            put(plain);
        } else if (c >= 'A' && c <= 'Z') {
            plain[0] = char(c - 'A' + 'a');
            put(plain);
        } else if (c == 0xE4 || c == 0xC4) {
            put("ae");
        } else if (c == 0xF6 || c == 0xD6) {
            put("oe");
        } else if (c == 0xFC || c == 0xDC) {
            put("ue");
        } else if (c == 0xDF) {
            put("ss");
        } else {
            pendingDash = true;
        }
    }
    return out.empty() ? kHelpTopAnchor : out;
}

std::vector<HelpKeyword> readHelpIndex(const std::filesystem::path& file) {
    std::vector<HelpKeyword> out;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        std::string keyword = line.substr(0, tab);
        std::string anchor(base::trim(std::string_view(line).substr(tab + 1)));
        if (keyword.empty() || anchor.empty()) continue;
        out.push_back({base::utf8ToCp1252(keyword), anchor});
    }
    return out;
}

}  // namespace klango::ui
