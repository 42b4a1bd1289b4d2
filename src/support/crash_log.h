// The short error log of the last resort: written when a crash signal arrives (SIGSEGV, SIGBUS,
// SIGFPE, SIGABRT) or when an error reaches the error handler while it is still at work. It uses
// only async-signal-safe calls (open, write, rename, _exit) on texts prepared at installation.
// Installed once at start by the programs; writeCrashLog is also called by the error handler.
#pragma once

#include <filesystem>
#include <string>

namespace klango::support {

// Remembers where the log goes and the release line, and installs the signal handlers (on an
// alternate stack, so that a stack overflow is caught too).
void installCrashLog(const std::filesystem::path& logFile, const std::string& release);

// Writes the short log: release line, its underline, the reason and the routine stack. Returns
// false when it could not be written. Safe inside a signal handler.
bool writeCrashLog(const char* reason);

// Writes the short log and ends the program with exit code 1.
[[noreturn]] void crashExit(const char* reason);

}  // namespace klango::support
