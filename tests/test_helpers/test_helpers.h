// Helpers shared by the tests: a temporary program folder with its data folder, file access in
// bytes, and running the system Python (with Debian's dBase and tag modules) on a script.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace klango::test {

// A fresh program folder (with "Daten" below it) in the temporary directory, removed at the end.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path data() const { return m_root / "Daten"; }

private:
    std::filesystem::path m_root;
};

std::string readFileBytes(const std::filesystem::path& file);
void writeFileBytes(const std::filesystem::path& file, const std::string& bytes);

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and error together
};
// Runs a shell command line and captures what it prints.
CommandResult runCommand(const std::string& commandLine);
// Runs /usr/bin/python3 on a script text with the given arguments.
CommandResult runPython(const std::string& script, const std::vector<std::string>& args = {});
// Quotes one argument for the shell.
std::string shellQuote(const std::string& arg);

}  // namespace klango::test
