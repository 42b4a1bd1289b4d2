#include "support/crash_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>

#include "base/call_stack.h"

namespace klango::support {
namespace {

// Prepared at installation: nothing is allocated or formatted with the C library afterwards.
char g_path[4096];
char g_temp[4100];
char g_release[256];
bool g_ready = false;
volatile sig_atomic_t g_writing = 0;
alignas(16) char g_altStack[64 * 1024];

void put(int fd, const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        ssize_t n = ::write(fd, text, left);
        if (n <= 0) return;
        text += n;
        left -= size_t(n);
    }
}

void putNumber(int fd, long long n) {
    char buf[24];
    int i = sizeof buf - 1;
    buf[i] = 0;
    bool negative = n < 0;
    unsigned long long u = negative ? 0ULL - (unsigned long long)n : (unsigned long long)n;
    do {
        buf[--i] = char('0' + u % 10);
        u /= 10;
    } while (u && i > 1);
    if (negative) buf[--i] = '-';
    put(fd, buf + i);
}

const char* signalName(int sig) {
    switch (sig) {
        case SIGSEGV:
            return "Signal SIGSEGV (Speicherzugriffsfehler)";
        case SIGBUS:
            return "Signal SIGBUS (Busfehler)";
        case SIGFPE:
            return "Signal SIGFPE (Rechenfehler)";
        case SIGABRT:
            return "Signal SIGABRT (Programmabbruch)";
        default:
            return "Signal";
    }
}

void onSignal(int sig) { crashExit(signalName(sig)); }

}  // namespace

void installCrashLog(const std::filesystem::path& logFile, const std::string& release) {
    const std::string path = logFile.string();
    if (path.size() + 5 >= sizeof g_path) return;
    std::memcpy(g_path, path.c_str(), path.size() + 1);
    std::memcpy(g_temp, path.c_str(), path.size());
    std::memcpy(g_temp + path.size(), ".tmp", 5);
    const size_t n = std::min(release.size(), sizeof g_release - 1);
    std::memcpy(g_release, release.data(), n);
    g_release[n] = 0;
    g_ready = true;

    stack_t alt{};
    alt.ss_sp = g_altStack;
    alt.ss_size = sizeof g_altStack;
    sigaltstack(&alt, nullptr);
    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGABRT}) sigaction(sig, &action, nullptr);
}

bool writeCrashLog(const char* reason) {
    if (!g_ready || g_writing) return false;  // a second failure while writing never recurses
    g_writing = 1;
    int fd = ::open(g_temp, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        g_writing = 0;
        return false;
    }
    put(fd, g_release);
    put(fd, "\r\n");
    for (size_t i = std::strlen(g_release); i > 0; --i) put(fd, "=");
    put(fd, "\r\n   Fehlerbeschreibung: ");
    put(fd, reason);
    put(fd, "\r\n\r\nStack Aufrufe\r\n=============\r\n");
    size_t count = 0;
    const base::CallFrame* frames = base::CallStack::frames(count);
    for (size_t i = count; i-- > 0;) {
        if (!frames[i].routine || !*frames[i].routine) continue;
        put(fd, "   Aufgerufen von ");
        put(fd, frames[i].routine);
        put(fd, "(");
        putNumber(fd, frames[i].line);
        put(fd, ")\r\n");
    }
    put(fd, "\x1A");
    ::fsync(fd);  // best effort: the log matters more than the time it takes
    ::close(fd);
    const bool renamed = ::rename(g_temp, g_path) == 0;
    g_writing = 0;
    return renamed;
}

void crashExit(const char* reason) {
    writeCrashLog(reason);
    ::_exit(1);
}

}  // namespace klango::support
