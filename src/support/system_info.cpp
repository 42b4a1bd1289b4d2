#include "support/system_info.h"

#include <cctype>
#include <cmath>

#include "base/cp1252.h"

namespace klango::support {
namespace {

bool is(const VersionRecord& v, int platform, int major, int minor) {
    return v.nPlatform == platform && v.nMajor == major && v.nMinor == minor;
}

std::string trimmedCopy(std::string_view s) { return std::string(base::trim(s)); }

}  // namespace

bool IsWin95(const VersionRecord& v) { return is(v, 1, 4, 0) && v.nBuild == 950; }
bool IsWin95SP1(const VersionRecord& v) { return is(v, 1, 4, 0) && v.nBuild <= 1080; }
bool IsWin95OSR2(const VersionRecord& v) {
    return v.nPlatform == 1 && v.nMajor == 4 && v.nMinor < 10 && v.nBuild > 1080;
}
bool IsWin98(const VersionRecord& v) { return is(v, 1, 4, 10) && v.nBuild == 1998; }
bool IsWin98SP1(const VersionRecord& v) { return is(v, 1, 4, 10) && v.nBuild > 1998 && v.nBuild <= 2183; }
bool IsWin98SE(const VersionRecord& v) { return is(v, 1, 4, 10) && v.nBuild > 2183; }
bool IsWinME(const VersionRecord& v) { return is(v, 1, 4, 90) && v.nBuild > 2183; }
bool IsWinNT31(const VersionRecord& v) { return is(v, 2, 3, 10); }
bool IsWinNT35(const VersionRecord& v) { return is(v, 2, 3, 50); }
bool IsWinNT351(const VersionRecord& v) { return is(v, 2, 3, 51); }
bool IsWinNT4(const VersionRecord& v) { return v.nPlatform == 2 && v.nMajor == 4; }
bool IsWin2000(const VersionRecord& v) { return is(v, 2, 5, 0); }
bool IsWinXP(const VersionRecord& v) { return is(v, 2, 5, 1); }
bool IsWin2003Server(const VersionRecord& v) { return is(v, 2, 5, 2); }

std::string windowsVersionName(const VersionRecord& v, std::string_view whichNT) {
    struct Row {
        bool (*test)(const VersionRecord&);
        const char* name;
    };
    static const Row rows[] = {
        {IsWin95, "Windows 95"},
        {IsWin95SP1, "Windows 95 Service Pack 1"},
        {IsWin95OSR2, "Windows 95 OSR2"},
        {IsWin98, "Windows 98"},
        {IsWin98SP1, "Windows 98 Service Pack 1"},
        {IsWin98SE, "Windows 98 Second Edition"},
        {IsWinME, "Windows ME"},
        {IsWinNT31, "Windows NT 3.1"},
        {IsWinNT35, "Windows NT 3.5"},
        {IsWinNT351, "Windows NT 3.51"},
        {IsWinNT4, "Windows NT 4"},
    };
    for (const Row& r : rows)
        if (r.test(v)) return r.name;
    if (IsWin2000(v)) {
        const std::string type = base::upperAZ(whichNT);
        if (type == "WINNT") return "Windows 2000 Professional";
        if (type == "SERVERNT" || type == "LANMANNT") return "Windows 2000 Server";
        return "Windows 2000";
    }
    if (IsWinXP(v)) return "Windows XP";
    return "Unknown Windows version";
}

std::string versionNumberText(const VersionRecord& v) {
    std::string out =
        std::to_string(v.nMajor) + "." + std::to_string(v.nMinor) + "." + std::to_string(v.nBuild);
    if (!v.cSP.empty()) out += " " + v.cSP;
    return out;
}

VersionRecord linuxVersionRecord(const platform::SystemFacts& facts) {
    VersionRecord v;
    v.nOsVer = kVersionRecordSizeEx;
    v.nPlatform = kPlatformLinux;
    const platform::KernelNumbers k = platform::parseKernelRelease(facts.kernelRelease);
    v.nMajor = k.major;
    v.nMinor = k.minor;
    v.nBuild = k.patch & 0xFFFF;
    // What follows the three numbers ("-18-amd64") is this kernel's build text.
    size_t rest = facts.kernelRelease.find_first_not_of("0123456789.");
    if (rest != std::string::npos) {
        std::string_view tail = std::string_view(facts.kernelRelease).substr(rest);
        while (!tail.empty() && (tail.front() == '-' || tail.front() == '+' || tail.front() == '_'))
            tail.remove_prefix(1);
        v.cSP = trimmedCopy(tail);
    }
    return v;
}

std::string openCommandWithoutFile(std::string_view command) {
    std::string_view cut = command;
    if (size_t at = command.rfind(" %1"); at != std::string_view::npos) {
        cut = command.substr(0, at);
    } else if (size_t q = command.rfind("\"%"); q != std::string_view::npos) {
        cut = command.substr(0, q);
    } else {
        size_t last = std::string_view::npos;
        for (const char* code : {" %f", " %F", " %u", " %U"}) {
            size_t at = command.rfind(code);
            if (at != std::string_view::npos && (last == std::string_view::npos || at > last)) last = at;
        }
        if (last != std::string_view::npos) cut = command.substr(0, last);
    }
    return std::string(base::trimRight(cut));
}

std::string cpuClassName(const platform::CpuIdFacts& id) {
    if (!id.available) {
        if (id.family == 3) return "386";
        if (id.family == 4) return "486";
        return "GetCPU() failed!";
    }
    switch (id.brandIndex) {
        case 1:
            return "Intel Celeron";
        case 2:
            return "Intel Pentium III";
        case 3:
            return "Intel Pentium III Xeon";
        case 8:
            return "Intel Pentium IV";
        default:
            break;
    }
    switch (id.family) {
        case 4:
            return "486";
        case 5:
            return id.mmx ? "Pentium MMX" : "Pentium classic";
        case 6:
            // The P6 models in the order Intel made them; later P6 cores carry SSE2.
            if (id.model == 1) return "Pentium Pro";
            if (id.model == 3 || id.model == 5) return "Pentium II";
            if (id.model == 6) return "(PII core) Celeron";
            if (id.model >= 7 && id.model <= 11)
                return id.sse2 ? "Pentium IV" : (id.model == 11 ? "(PIII core) Celeron" : "Pentium III");
            if (id.sse2) return "Pentium IV";
            break;
        default:
            break;
    }
    return "GetCPU() failed!";
}

TSystemInfo::TSystemInfo() : TSystemInfo({}, platform::readSystemFacts(), {}) {
    version = linuxVersionRecord(m_facts);
    IPInfo();
}

TSystemInfo::TSystemInfo(VersionRecord v, platform::SystemFacts facts, platform::NetworkFacts network,
                         std::string productType)
    : version(std::move(v)),
      m_facts(std::move(facts)),
      m_network(std::move(network)),
      m_productType(std::move(productType)) {
    cSName = m_network.hostName;
    cIP = m_network.ok ? m_network.address : "0.0.0.0";
    cLName = m_network.nameForAddress;
}

bool TSystemInfo::IPInfo() {
    m_network = platform::readNetworkFacts();
    cSName = m_network.ok ? m_network.hostName : "";
    cIP = m_network.ok ? m_network.address : "0.0.0.0";
    cLName = m_network.ok ? m_network.nameForAddress : "";
    return m_network.ok;
}

std::string TSystemInfo::WinVer() const {
    if (version.nPlatform == kPlatformLinux)
        return m_facts.osPrettyName.empty() ? m_facts.kernelName : m_facts.osPrettyName;
    return windowsVersionName(version, WhichNT());
}

std::string TSystemInfo::WhichNT() const {
    return version.nPlatform == kPlatformNT ? m_productType : std::string();
}

std::string TSystemInfo::NameSystemBios() const {
    return trimmedCopy(m_facts.biosVendor + " " + m_facts.biosVersion);
}

std::string TSystemInfo::Ass4Ext(std::string_view ext) const {
    std::string key(ext);
    if (key.empty()) return {};
    if (key.front() == '.') key.erase(0, 1);
    for (char& c : key) c = char(std::tolower(static_cast<unsigned char>(c)));
    auto it = m_facts.extensionTypes.find(key);
    return it == m_facts.extensionTypes.end() ? std::string() : it->second;
}

std::string TSystemInfo::App4Ext(std::string_view ext) const {
    const std::string type = Ass4Ext(ext);
    auto app = m_facts.defaultApplications.find(type);
    if (type.empty() || app == m_facts.defaultApplications.end()) return {};
    return openCommandWithoutFile(
        platform::readDesktopEntry(m_facts.root, m_facts.userHome, app->second).exec);
}

std::string TSystemInfo::Icon4Ext(std::string_view ext) const {
    const std::string type = Ass4Ext(ext);
    auto app = m_facts.defaultApplications.find(type);
    if (type.empty() || app == m_facts.defaultApplications.end()) return {};
    return std::string(
        base::trimRight(platform::readDesktopEntry(m_facts.root, m_facts.userHome, app->second).icon));
}

std::string TSystemInfo::DefBrowser() const {
    auto app = m_facts.defaultApplications.find("text/html");
    return app == m_facts.defaultApplications.end() ? std::string() : app->second;
}

std::string TSystemInfo::versionReport() const {
    const VersionRecord& v = version;
    std::string out = "nMajor = " + std::to_string(v.nMajor) + "\rnMinor = " + std::to_string(v.nMinor) +
                      "\rnBuild = " + std::to_string(v.nBuild) + "\rcSP = " + v.cSP +
                      "\rsPlatform = " + std::to_string(v.nPlatform);
    if (v.nPlatform == kPlatformNT) {
        out += "\rwSerPackM = " + std::to_string(v.wSerPackM) +
               "\rwSerPacki = " + std::to_string(v.wSerPacki) + "\rwSteMask = " + std::to_string(v.wSteMask) +
               "\rwProdType = " + std::to_string(v.wProdType) + "\rwRes = " + std::to_string(v.wRes);
    }
    return out;
}

long long TSystemInfo::GetColors() const {
    if (m_displayBits <= 0 || m_displayBits > 62) return 0;
    return 1LL << m_displayBits;
}

const platform::CpuFacts* TSystemInfo::cpu(int n) const {
    if (n < 1 || size_t(n) > m_facts.cpus.size()) return nullptr;
    return &m_facts.cpus[size_t(n - 1)];
}

long long TSystemInfo::SpeedCPU(int n) const {
    if (version.nPlatform == kPlatformWin9x) return 0;
    const platform::CpuFacts* c = cpu(n);
    if (!c) return 0;
    return std::llround(c->mhz / 10.0) * 10;
}

std::string TSystemInfo::CPU(int n) const {
    std::string name = CPUName(n);
    return name.empty() ? cpuClassName(m_facts.cpuid) : name;
}

std::string TSystemInfo::CPUName(int n) const {
    const platform::CpuFacts* c = cpu(n);
    return c ? trimmedCopy(c->modelName) : std::string();
}

std::string TSystemInfo::CPUVendor(int n) const {
    const platform::CpuFacts* c = cpu(n);
    return c ? trimmedCopy(c->vendor) : std::string();
}

std::string TSystemInfo::CPUIdentifier(int n) const {
    const platform::CpuFacts* c = cpu(n);
    if (!c) return {};
    return m_facts.machine + " Family " + std::to_string(c->family) + " Model " + std::to_string(c->model) +
           " Stepping " + std::to_string(c->stepping);
}

std::string TSystemInfo::ServicePack() const {
    return version.nPlatform == kPlatformNT ? "Service Pack " + std::to_string(version.wSerPackM)
                                            : std::string();
}

bool TSystemInfo::IsNTWorkstation() const { return IsNTPreWin2K() && base::upperAZ(WhichNT()) == "WINNT"; }
bool TSystemInfo::IsNTServer() const { return IsNTPreWin2K() && base::upperAZ(WhichNT()) == "SERVERNT"; }
bool TSystemInfo::IsWin2000Prof() const { return IsWin2000(version) && base::upperAZ(WhichNT()) == "WINNT"; }
bool TSystemInfo::IsWin2000Server() const {
    const std::string t = base::upperAZ(WhichNT());
    return IsWin2000(version) && (t == "SERVERNT" || t == "LANMANNT");
}

long long TSystemInfo::Memory(int n) const {
    const platform::MemoryFacts& m = m_facts.memory;
    uint64_t bytes = 0;
    switch (n) {
        case 1:
            bytes = m.totalPhysical;
            break;
        case 2:
            bytes = m.freePhysical;
            break;
        case 3:
            bytes = m.totalSwap;
            break;
        case 4:
            bytes = m.freeSwap;
            break;
        case 5:
            bytes = m.totalVirtual;
            break;
        case 6:
            bytes = m.freeVirtual;
            break;
        default:
            return 0;
    }
    return (long long)(bytes / 1048576);
}

}  // namespace klango::support
