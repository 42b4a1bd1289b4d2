// Facts about the computer and its operating system, read on Linux from uname, /etc/os-release,
// /proc/meminfo, /proc/cpuinfo, /proc/self/status, /sys/class/dmi/id and the processor's cpuid.
// The parsers are pure functions over the files' texts so that tests feed them fixed texts; the
// system information collector of the support subsystem builds on the result.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace klango::platform {

struct CpuFacts {
    std::string vendor;     // vendor_id
    std::string modelName;  // model name
    int family = 0;
    int model = 0;
    int stepping = 0;
    double mhz = 0;
};

// What the processor identification instruction tells (x86 only).
struct CpuIdFacts {
    bool available = false;  // false on other processors
    int family = 0;
    int model = 0;
    int brandIndex = 0;
    bool mmx = false;
    bool sse = false;
    bool sse2 = false;
};

struct MemoryFacts {  // bytes
    uint64_t totalPhysical = 0;
    uint64_t freePhysical = 0;
    uint64_t totalSwap = 0;
    uint64_t freeSwap = 0;
    uint64_t totalVirtual = 0;
    uint64_t freeVirtual = 0;
    uint64_t processResident = 0;  // VmRSS of this process
    uint64_t processPeak = 0;      // VmHWM
};

struct SystemFacts {
    std::string kernelName;     // uname sysname ("Linux")
    std::string kernelRelease;  // "6.1.0-18-amd64"
    std::string kernelVersion;  // "#1 SMP PREEMPT_DYNAMIC Debian ..."
    std::string machine;        // "x86_64"
    std::string hostName;
    std::string osPrettyName;  // PRETTY_NAME of os-release
    std::string osVersionId;
    std::string timeZone;
    std::string biosDate, biosVersion, biosVendor;
    std::string productName;  // /sys/class/dmi/id/product_name
    std::vector<CpuFacts> cpus;
    CpuIdFacts cpuid;
    MemoryFacts memory;
    long handleLimit = 0;                               // open files this process may hold
    std::map<std::string, std::string> extensionTypes;  // "mp3" -> "audio/mpeg" (/etc/mime.types)
    // The user's default applications: media type -> desktop entry ("audio/mpeg" -> "vlc.desktop").
    std::map<std::string, std::string> defaultApplications;
    std::vector<std::string> pointerDevices;  // names of the mice and touchpads
    std::filesystem::path root = "/";         // where the desktop entries are looked up
    std::filesystem::path userHome;
};

// A desktop entry's command and icon.
struct DesktopEntry {
    std::string exec;
    std::string icon;
};
// Looks the entry id up in the user's and the system's application folders below root.
DesktopEntry readDesktopEntry(const std::filesystem::path& root, const std::filesystem::path& userHome,
                              const std::string& id);
DesktopEntry parseDesktopEntry(std::string_view text);
// The [Default Applications] of a mimeapps.list; the first entry of a list counts.
std::map<std::string, std::string> parseMimeApps(std::string_view text);
// The names of the pointer devices in /proc/bus/input/devices.
std::vector<std::string> parsePointerDevices(std::string_view text);

// The host name, the address found for it and the name found for that address; ok is false
// (address "0.0.0.0", names empty) when the name cannot be resolved.
struct NetworkFacts {
    bool ok = false;
    std::string hostName;
    std::string address = "0.0.0.0";
    std::string nameForAddress;
};
NetworkFacts readNetworkFacts();

// The user running the program, from the password database (no environment variable is read).
struct UserFacts {
    std::string name;
    std::string home;
};
UserFacts readUserFacts();

// Reads every fact; root is "/" except in tests, which give a fake tree of the files.
SystemFacts readSystemFacts(const std::filesystem::path& root = "/");

// The parsers (pure).
std::map<std::string, std::string> parseOsRelease(std::string_view text);
void parseMeminfo(std::string_view text, MemoryFacts& memory);
void parseProcessStatus(std::string_view text, MemoryFacts& memory);
std::vector<CpuFacts> parseCpuinfo(std::string_view text);
std::map<std::string, std::string> parseMimeTypes(std::string_view text);
// "6.1.0-18-amd64" -> {6, 1, 0}; missing parts are 0.
struct KernelNumbers {
    int major = 0, minor = 0, patch = 0;
};
KernelNumbers parseKernelRelease(std::string_view release);

}  // namespace klango::platform
