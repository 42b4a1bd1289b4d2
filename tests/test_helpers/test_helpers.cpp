#include "test_helpers/test_helpers.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace klango::test {

TempHome::TempHome() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() /
                         ("klango-test-" + std::to_string(rd()) + "-" + std::to_string(attempt));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            m_root = candidate;
            std::filesystem::create_directory(m_root / "Daten");
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary program folder");
}

TempHome::~TempHome() {
    std::error_code ec;
    std::filesystem::remove_all(m_root, ec);
}

std::string readFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFileBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string shellQuote(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

CommandResult runCommand(const std::string& commandLine) {
    CommandResult result;
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) result.output.append(buf, n);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

CommandResult runPython(const std::string& script, const std::vector<std::string>& args) {
    auto file = std::filesystem::temp_directory_path() / ("klango-py-" + std::to_string(std::random_device{}()) + ".py");
    writeFileBytes(file, script);
    std::string cmd = std::string(KLANGO_SYSTEM_PYTHON) + " " + shellQuote(file.string());
    for (const auto& a : args) cmd += " " + shellQuote(a);
    CommandResult r = runCommand(cmd);
    std::filesystem::remove(file);
    return r;
}

}  // namespace klango::test
