// Starting another program from a command line without waiting for it: the MP3 player, a web
// address, a mail address. The command line is split with the Windows quoting rules the stored
// settings were written for, and the program is started detached, never through a shell.
// Stateless; called from the GUI thread by the commands that start the player or open addresses.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace klango::platform {

// A program and its arguments, ready for the OS (UTF-8 bytes).
struct ProgramCall {
    std::string program;
    std::vector<std::string> args;
};

// The pieces of a command line by the Windows rules: the first piece (the program) ends at the
// next quote when it starts with one, else at the first blank or tab, and keeps its backslashes;
// in the following pieces 2n backslashes before a quote give n backslashes and the quote opens or
// closes a quoted part, 2n+1 give n backslashes and a literal quote, other backslashes are
// literal, and "" inside a quoted part gives a literal quote and closes the part.
// Leading blanks and tabs are skipped; an empty or blank line gives no pieces.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// What a command line of the program's world starts on Linux. commandLine is a core text
// (CP1252); the result is in UTF-8. "explorer <address>" and "start <address>" (such as
// "start mailto:...") open the address with xdg-open. An unquoted program whose name holds
// blanks is found the way Windows finds it: the shortest run of leading pieces that names an
// existing file wins ("/opt/My Player/play list.m3u" starts "/opt/My Player/play" when that
// exists). nullopt when the line names no program.
std::optional<ProgramCall> commandFor(std::string_view commandLine);

// Starts program (a path, or a name looked up in PATH) with args, detached from this process
// (own session, standard input from /dev/null, no descriptor of ours inherited), and does not
// wait for it. True when the program was started; false when it could not be executed.
bool startDetached(const std::string& program, const std::vector<std::string>& args);

// True when path names a regular file this process may execute.
bool isExecutableFile(const std::string& path);

// commandFor + startDetached.
bool startProgram(std::string_view commandLine);

}  // namespace klango::platform
