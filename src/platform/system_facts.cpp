#include "platform/system_facts.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace fs = std::filesystem;

namespace klango::platform {
namespace {

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string firstLine(const fs::path& file) {
    std::string text = readText(file);
    return std::string(trimmed(text.substr(0, text.find('\n'))));
}

template <typename F>
void forEachLine(std::string_view text, F f) {
    while (!text.empty()) {
        size_t end = text.find('\n');
        f(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

uint64_t leadingU64(std::string_view s) {
    s = trimmed(s);
    uint64_t n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') break;
        n = n * 10 + uint64_t(c - '0');
    }
    return n;
}

// "MemTotal:  16307552 kB" -> bytes.
uint64_t kbField(std::string_view rest) { return leadingU64(rest) * 1024; }

CpuIdFacts readCpuId() {
    CpuIdFacts f;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d)) {
        f.available = true;
        int family = int((a >> 8) & 0xF);
        int model = int((a >> 4) & 0xF);
        if (family == 0xF) family += int((a >> 20) & 0xFF);
        if (family == 0x6 || family >= 0xF) model += int((a >> 16) & 0xF) << 4;
        f.family = family;
        f.model = model;
        f.brandIndex = int(b & 0xFF);
        f.mmx = (d >> 23) & 1;
        f.sse = (d >> 25) & 1;
        f.sse2 = (d >> 26) & 1;
    }
#endif
    return f;
}

std::string timeZoneOf(const fs::path& root) {
    std::string tz = firstLine(root / "etc/timezone");
    if (!tz.empty()) return tz;
    std::error_code ec;
    fs::path link = fs::read_symlink(root / "etc/localtime", ec);
    if (ec) return {};
    std::string s = link.string();
    size_t at = s.find("zoneinfo/");
    return at == std::string::npos ? s : s.substr(at + 9);
}

}  // namespace

std::map<std::string, std::string> parseOsRelease(std::string_view text) {
    std::map<std::string, std::string> out;
    forEachLine(text, [&](std::string_view line) {
        line = trimmed(line);
        size_t eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string_view::npos) return;
        std::string_view value = line.substr(eq + 1);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        out[std::string(line.substr(0, eq))] = std::string(value);
    });
    return out;
}

void parseMeminfo(std::string_view text, MemoryFacts& m) {
    bool sawAvailable = false;
    uint64_t memFree = 0;
    forEachLine(text, [&](std::string_view line) {
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) return;
        std::string_view key = line.substr(0, colon), rest = line.substr(colon + 1);
        if (key == "MemTotal")
            m.totalPhysical = kbField(rest);
        else if (key == "MemFree")
            memFree = kbField(rest);
        else if (key == "MemAvailable")
            m.freePhysical = kbField(rest), sawAvailable = true;
        else if (key == "SwapTotal")
            m.totalSwap = kbField(rest);
        else if (key == "SwapFree")
            m.freeSwap = kbField(rest);
    });
    // Kernels before 3.14 do not tell the available memory; the free memory stands in.
    if (!sawAvailable) m.freePhysical = memFree;
}

void parseProcessStatus(std::string_view text, MemoryFacts& m) {
    uint64_t vmSize = 0;
    forEachLine(text, [&](std::string_view line) {
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) return;
        std::string_view key = line.substr(0, colon), rest = line.substr(colon + 1);
        if (key == "VmRSS")
            m.processResident = kbField(rest);
        else if (key == "VmHWM")
            m.processPeak = kbField(rest);
        else if (key == "VmSize")
            vmSize = kbField(rest);
    });
    m.freeVirtual = m.totalVirtual > vmSize ? m.totalVirtual - vmSize : 0;
}

std::vector<CpuFacts> parseCpuinfo(std::string_view text) {
    std::vector<CpuFacts> cpus;
    forEachLine(text, [&](std::string_view line) {
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) return;
        std::string_view key = trimmed(line.substr(0, colon));
        std::string_view value = trimmed(line.substr(colon + 1));
        if (key == "processor") {
            cpus.emplace_back();
            return;
        }
        if (cpus.empty()) return;
        CpuFacts& c = cpus.back();
        if (key == "vendor_id")
            c.vendor = value;
        else if (key == "model name")
            c.modelName = value;
        else if (key == "cpu family")
            c.family = int(leadingU64(value));
        else if (key == "model")
            c.model = int(leadingU64(value));
        else if (key == "stepping")
            c.stepping = int(leadingU64(value));
        else if (key == "cpu MHz")
            c.mhz = std::atof(std::string(value).c_str());
    });
    return cpus;
}

std::map<std::string, std::string> parseMimeTypes(std::string_view text) {
    std::map<std::string, std::string> out;
    forEachLine(text, [&](std::string_view line) {
        if (line.empty() || line[0] == '#') return;
        std::istringstream words{std::string(line)};
        std::string type, ext;
        if (!(words >> type)) return;
        while (words >> ext) out.emplace(ext, type);
    });
    return out;
}

std::map<std::string, std::string> parseMimeApps(std::string_view text) {
    std::map<std::string, std::string> out;
    bool inDefaults = false;
    forEachLine(text, [&](std::string_view line) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#') return;
        if (line.front() == '[') {
            inDefaults = line == "[Default Applications]";
            return;
        }
        size_t eq = line.find('=');
        if (!inDefaults || eq == std::string_view::npos) return;
        std::string_view apps = line.substr(eq + 1);
        std::string first(trimmed(apps.substr(0, apps.find(';'))));
        if (!first.empty()) out.emplace(std::string(trimmed(line.substr(0, eq))), first);
    });
    return out;
}

DesktopEntry parseDesktopEntry(std::string_view text) {
    DesktopEntry e;
    bool inEntry = false;
    forEachLine(text, [&](std::string_view line) {
        line = trimmed(line);
        if (!line.empty() && line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            return;
        }
        if (!inEntry) return;
        if (line.rfind("Exec=", 0) == 0 && e.exec.empty())
            e.exec = line.substr(5);
        else if (line.rfind("Icon=", 0) == 0 && e.icon.empty())
            e.icon = line.substr(5);
    });
    return e;
}

DesktopEntry readDesktopEntry(const fs::path& root, const fs::path& userHome, const std::string& id) {
    if (id.empty() || id.find('/') != std::string::npos) return {};
    std::vector<fs::path> folders;
    if (!userHome.empty()) folders.push_back(userHome / ".local/share/applications");
    folders.push_back(root / "usr/local/share/applications");
    folders.push_back(root / "usr/share/applications");
    for (const fs::path& folder : folders) {
        std::string text = readText(folder / id);
        if (!text.empty()) return parseDesktopEntry(text);
    }
    return {};
}

std::vector<std::string> parsePointerDevices(std::string_view text) {
    std::vector<std::string> out;
    std::string name;
    forEachLine(text, [&](std::string_view line) {
        if (line.rfind("N: Name=", 0) == 0) {
            std::string_view n = trimmed(line.substr(8));
            if (n.size() >= 2 && n.front() == '"' && n.back() == '"') n = n.substr(1, n.size() - 2);
            name = n;
        } else if (line.rfind("H: Handlers=", 0) == 0) {
            std::istringstream handlers{std::string(line.substr(12))};
            for (std::string h; handlers >> h;)
                if (h.rfind("mouse", 0) == 0 && !name.empty()) {
                    out.push_back(name);
                    break;
                }
        } else if (trimmed(line).empty()) {
            name.clear();
        }
    });
    return out;
}

KernelNumbers parseKernelRelease(std::string_view release) {
    KernelNumbers k;
    int* parts[3] = {&k.major, &k.minor, &k.patch};
    size_t i = 0;
    for (int* part : parts) {
        if (i >= release.size() || release[i] < '0' || release[i] > '9') break;
        int n = 0;
        while (i < release.size() && release[i] >= '0' && release[i] <= '9' && n < 100000)
            n = n * 10 + (release[i++] - '0');
        *part = n;
        if (i >= release.size() || release[i] != '.') break;
        ++i;
    }
    return k;
}

UserFacts readUserFacts() {
    UserFacts u;
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(getuid(), &entry, buf, sizeof buf, &found) == 0 && found) {
        u.name = found->pw_name ? found->pw_name : "";
        u.home = found->pw_dir ? found->pw_dir : "";
    }
    return u;
}

NetworkFacts readNetworkFacts() {
    NetworkFacts n;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return n;
    n.hostName = host;
    struct addrinfo hints {};
    hints.ai_family = AF_INET;
    struct addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return n;
    char address[INET_ADDRSTRLEN] = {};
    auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    if (inet_ntop(AF_INET, &in->sin_addr, address, sizeof address)) {
        n.ok = true;
        n.address = address;
        char name[NI_MAXHOST] = {};
        if (getnameinfo(found->ai_addr, found->ai_addrlen, name, sizeof name, nullptr, 0, NI_NAMEREQD) == 0)
            n.nameForAddress = name;
    }
    freeaddrinfo(found);
    return n;
}

SystemFacts readSystemFacts(const fs::path& root) {
    SystemFacts f;
    struct utsname u {};
    if (uname(&u) == 0) {
        f.kernelName = u.sysname;
        f.kernelRelease = u.release;
        f.kernelVersion = u.version;
        f.machine = u.machine;
        f.hostName = u.nodename;
    }
    auto os = parseOsRelease(readText(root / "etc/os-release"));
    if (os.empty()) os = parseOsRelease(readText(root / "usr/lib/os-release"));
    f.osPrettyName = os.count("PRETTY_NAME") ? os["PRETTY_NAME"] : os["NAME"];
    f.osVersionId = os["VERSION_ID"];
    f.timeZone = timeZoneOf(root);
    const fs::path dmi = root / "sys/class/dmi/id";
    f.biosDate = firstLine(dmi / "bios_date");
    f.biosVersion = firstLine(dmi / "bios_version");
    f.biosVendor = firstLine(dmi / "bios_vendor");
    f.productName = firstLine(dmi / "product_name");
    f.cpus = parseCpuinfo(readText(root / "proc/cpuinfo"));
    f.cpuid = readCpuId();
    parseMeminfo(readText(root / "proc/meminfo"), f.memory);
    // The address space a process may use: its limit, else what the kernel can map.
    struct rlimit as {};
    if (getrlimit(RLIMIT_AS, &as) == 0 && as.rlim_cur != RLIM_INFINITY)
        f.memory.totalVirtual = as.rlim_cur;
    else
        f.memory.totalVirtual = sizeof(void*) == 8 ? uint64_t(1) << 47 : uint64_t(3) << 30;
    parseProcessStatus(readText(root / "proc/self/status"), f.memory);
    struct rlimit files {};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0) f.handleLimit = long(files.rlim_cur);
    f.extensionTypes = parseMimeTypes(readText(root / "etc/mime.types"));
    f.root = root;
    f.userHome = readUserFacts().home;
    // The user's choices first, then the system's.
    for (const fs::path& list : {f.userHome / ".config/mimeapps.list", root / "etc/xdg/mimeapps.list",
                                 root / "usr/share/applications/mimeapps.list"}) {
        if (list.is_relative()) continue;
        for (auto& [type, app] : parseMimeApps(readText(list))) f.defaultApplications.emplace(type, app);
    }
    f.pointerDevices = parsePointerDevices(readText(root / "proc/bus/input/devices"));
    return f;
}

}  // namespace klango::platform
