#include "platform/program_start.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/cp1252.h"

namespace klango::platform {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equalsCaseBlind(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

// The arguments after the program name. quotes counts the quote state the way the Windows
// parser does: 0 outside, 1 inside a quoted part; a third quote in a row yields a literal one.
std::vector<std::string> splitArguments(std::string_view s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    if (i >= s.size()) return out;
    std::string cur;
    int quotes = 0;
    size_t backslashes = 0;
    while (i < s.size()) {
        char c = s[i];
        if (isBlank(c) && quotes == 0) {
            out.push_back(std::move(cur));
            cur.clear();
            while (i < s.size() && isBlank(s[i])) ++i;
            backslashes = 0;
            if (i >= s.size()) return out;
            continue;
        }
        if (c == '\\') {
            cur.push_back(c);
            ++backslashes;
            ++i;
            continue;
        }
        if (c == '"') {
            if (backslashes % 2 == 0) {
                cur.resize(cur.size() - backslashes / 2);
                ++quotes;
            } else {
                cur.resize(cur.size() - backslashes / 2 - 1);
                cur.push_back('"');
            }
            ++i;
            backslashes = 0;
            while (i < s.size() && s[i] == '"') {
                if (++quotes == 3) {
                    cur.push_back('"');
                    quotes = 0;
                }
                ++i;
            }
            if (quotes == 2) quotes = 0;
            continue;
        }
        cur.push_back(c);
        backslashes = 0;
        ++i;
    }
    out.push_back(std::move(cur));
    return out;
}

// The program piece at the start of s (blanks already skipped); rest receives what follows it.
std::string programPiece(std::string_view s, std::string_view& rest) {
    if (!s.empty() && s[0] == '"') {
        size_t close = s.find('"', 1);
        if (close == std::string_view::npos) {
            rest = {};
            return std::string(s.substr(1));
        }
        rest = s.substr(close + 1);
        return std::string(s.substr(1, close - 1));
    }
    size_t end = 0;
    while (end < s.size() && !isBlank(s[end])) ++end;
    rest = s.substr(end);
    return std::string(s.substr(0, end));
}

// The file that name (UTF-8) starts: name itself when it holds a "/", else the first executable
// of that name in PATH.
std::optional<std::string> findProgram(const std::string& name) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string::npos) {
        if (isExecutableFile(name)) return name;
        return std::nullopt;
    }
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t pos = 0;
    while (pos <= dirs.size()) {
        size_t end = dirs.find(':', pos);
        if (end == std::string_view::npos) end = dirs.size();
        std::string candidate(end > pos ? dirs.substr(pos, end - pos) : std::string_view("."));
        candidate.push_back('/');
        candidate.append(name);
        if (isExecutableFile(candidate)) return candidate;
        pos = end + 1;
    }
    return std::nullopt;
}

bool programExists(const std::string& name) { return findProgram(name).has_value(); }

void closeInheritedDescriptors(int keep) {
    // Move the descriptor we keep to 3 and close everything above it, so that the started program
    // holds none of our files (an inherited table descriptor would keep its lock alive).
    if (keep != 3) {
        ::dup2(keep, 3);
        ::close(keep);
    }
#ifdef SYS_close_range
    if (::syscall(SYS_close_range, 4u, ~0u, 0u) == 0) return;
#endif
    long max = ::sysconf(_SC_OPEN_MAX);
    if (max < 0 || max > 65536) max = 65536;
    for (int fd = 4; fd < max; ++fd) ::close(fd);
}

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
    size_t start = 0;
    while (start < commandLine.size() && isBlank(commandLine[start])) ++start;
    std::string_view s = commandLine.substr(start);
    if (s.empty()) return {};
    std::string_view rest;
    std::vector<std::string> out{programPiece(s, rest)};
    for (std::string& a : splitArguments(rest)) out.push_back(std::move(a));
    return out;
}

std::optional<ProgramCall> commandFor(std::string_view commandLine) {
    std::string line = base::cp1252ToUtf8(commandLine);
    size_t start = 0;
    while (start < line.size() && isBlank(line[start])) ++start;
    std::string_view s = std::string_view(line).substr(start);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    if (s.empty()) return std::nullopt;

    std::string_view rest;
    ProgramCall call;
    call.program = programPiece(s, rest);
    if (s[0] != '"' && !programExists(call.program)) {
        // An unquoted name with blanks: the shortest longer run of pieces that names a program wins.
        size_t end = call.program.size();
        while (end < s.size()) {
            while (end < s.size() && isBlank(s[end])) ++end;
            while (end < s.size() && !isBlank(s[end])) ++end;
            std::string candidate(s.substr(0, end));
            if (programExists(candidate)) {
                call.program = std::move(candidate);
                rest = s.substr(end);
                break;
            }
        }
    }
    call.args = splitArguments(rest);
    if (call.program.empty()) return std::nullopt;

    if (equalsCaseBlind(call.program, "explorer") || equalsCaseBlind(call.program, "explorer.exe") ||
        equalsCaseBlind(call.program, "start")) {
        std::vector<std::string> addresses;
        for (std::string& a : call.args) {
            if (!a.empty()) addresses.push_back(std::move(a));
        }
        if (addresses.empty()) return std::nullopt;
        return ProgramCall{"xdg-open", std::move(addresses)};
    }
    return call;
}

bool startDetached(const std::string& program, const std::vector<std::string>& args) {
    // Everything the children need is found and built before fork: after it only
    // async-signal-safe calls, and the program file is executed as it is, never handed to a shell.
    std::optional<std::string> file = findProgram(program);
    if (!file) return false;
    std::vector<std::string> owned;
    owned.reserve(args.size() + 1);
    owned.push_back(program);
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : owned) argv.push_back(a.data());
    argv.push_back(nullptr);

    // The grandchild reports a failed exec through this pipe; it closes on a successful exec.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return false;

    pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0) {
            ::dup2(devNull, 0);
            if (devNull > 2) ::close(devNull);
        }
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        closeInheritedDescriptors(report[1]);
        ::fcntl(3, F_SETFD, FD_CLOEXEC);
        ::execv(file->c_str(), argv.data());
        int err = errno;
        ssize_t ignored = ::write(3, &err, sizeof err);
        (void)ignored;
        ::_exit(127);
    }

    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    bool forked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    int err = 0;
    ssize_t got;
    do {
        got = ::read(report[0], &err, sizeof err);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return forked && got == 0;
}

bool startProgram(std::string_view commandLine) {
    std::optional<ProgramCall> call = commandFor(commandLine);
    return call && startDetached(call->program, call->args);
}

}  // namespace klango::platform
