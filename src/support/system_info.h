// TSystemInfo: the facts about the computer and its operating system that the error log shows
// (processor, memory, version), with the version classification of the Windows family kept as
// pure functions over a version record. On Linux the facts come from platform/system_facts; the
// questions that only a Windows registry could answer (modem, wallpaper, browser start page)
// answer with their default, as the registry does for a missing key. The error handler creates
// one per error.
#pragma once

#include <string>
#include <string_view>

#include "platform/system_facts.h"

namespace klango::support {

// Platform ids of the version record: 1 Windows 9x family, 2 NT family; 3 is ours for Linux.
inline constexpr int kPlatformWin9x = 1;
inline constexpr int kPlatformNT = 2;
inline constexpr int kPlatformLinux = 3;
// Sizes of the version record: the basic one and the NT family's extended one.
inline constexpr int kVersionRecordSize = 148;
inline constexpr int kVersionRecordSizeEx = 156;

struct VersionRecord {
    int nOsVer = kVersionRecordSize;
    int nMajor = 0, nMinor = 0, nBuild = 0;
    int nPlatform = 0;
    std::string cSP;
    int wSerPackM = 0, wSerPacki = 0, wSteMask = 0, wProdType = 0, wRes = 0;
};

// The version tests, each on (platform, major, minor, build).
bool IsWin95(const VersionRecord& v);
bool IsWin95SP1(const VersionRecord& v);
bool IsWin95OSR2(const VersionRecord& v);
bool IsWin98(const VersionRecord& v);
bool IsWin98SP1(const VersionRecord& v);
bool IsWin98SE(const VersionRecord& v);
bool IsWinME(const VersionRecord& v);
bool IsWinNT31(const VersionRecord& v);
bool IsWinNT35(const VersionRecord& v);
bool IsWinNT351(const VersionRecord& v);
bool IsWinNT4(const VersionRecord& v);
bool IsWin2000(const VersionRecord& v);
bool IsWinXP(const VersionRecord& v);
bool IsWin2003Server(const VersionRecord& v);
// The name of the Windows version: the first test that holds; whichNT is the product type
// ("WinNT", "ServerNT", "LanmanNT") that tells Windows 2000 Professional from Server.
std::string windowsVersionName(const VersionRecord& v, std::string_view whichNT);
// major "." minor "." build, then a blank and the service-pack text when there is one.
std::string versionNumberText(const VersionRecord& v);
// The version record of this Linux system: kernel numbers, the rest of the release as the
// "service pack" text, the extended record size.
VersionRecord linuxVersionRecord(const platform::SystemFacts& facts);
// An open command without its file argument: cut before the last " %1" (or a quote followed by
// "%"), and before the last field code (" %f", " %F", " %u", " %U") of a desktop entry; right-trimmed.
std::string openCommandWithoutFile(std::string_view command);
// The processor class from the identification instruction (the fallback of CPU()).
std::string cpuClassName(const platform::CpuIdFacts& id);

class TSystemInfo {
  public:
    // Reads the facts of this computer.
    TSystemInfo();
    // From given facts (tests; another platform's version record).
    TSystemInfo(VersionRecord version, platform::SystemFacts facts, platform::NetworkFacts network,
                std::string productType = {});

    VersionRecord version;
    std::string cIP = "0.0.0.0";
    std::string cSName;
    std::string cLName;
    const std::string TSIVersion = "1.06";

    std::string WinVer() const;
    std::string VerNum() const { return versionNumberText(version); }
    std::string WhichNT() const;
    std::string TimeZone() const { return m_facts.timeZone; }
    std::string DateSystemBios() const { return m_facts.biosDate; }
    std::string NameSystemBios() const;
    // The video BIOS is not told by Linux: the answers of a missing registry key.
    std::string DateVideoBios() const { return {}; }
    std::string NameVideoBios() const { return {}; }
    std::string ComputerName() const { return m_facts.hostName; }
    // Windows-only settings, answered as a missing registry key.
    std::string IEStartPage() const { return {}; }
    std::string IEVersion() const { return {}; }
    std::string DTWallpaper() const { return {}; }
    std::string DirectxVersion() const { return {}; }
    std::string BootDir() const { return {}; }
    // The application that opens web pages (its desktop entry).
    std::string DefBrowser() const;
    // The program that handles a file extension: here its media type ("mp3" and ".mp3" alike).
    std::string Ass4Ext(std::string_view ext) const;
    // The command that opens files of the extension, without the file argument; its icon.
    std::string App4Ext(std::string_view ext) const;
    std::string Icon4Ext(std::string_view ext) const;
    long long GetColors() const;
    long long SpeedCPU(int n = 1) const;
    std::string CPU(int n = 1) const;
    std::string CPUName(int n = 1) const;
    bool IsDualCPU() const { return SpeedCPU(2) > 0; }
    std::string CPUVendor(int n = 1) const;
    std::string CPUIdentifier(int n = 1) const;
    // No modem or monitor driver is registered on Linux: the answers of a missing key.
    std::string ModemName() const { return {}; }
    std::string ModemVersion() const { return {}; }
    std::string ModemPort() const { return {}; }
    std::string MonitorName() const { return {}; }
    std::string MouseName() const {
        return m_facts.pointerDevices.empty() ? std::string() : m_facts.pointerDevices.front();
    }
    std::string MouseVersion() const { return {}; }
    bool IPInfo();
    std::string ServicePack() const;
    bool IsNTPreWin2K() const { return version.nPlatform == kPlatformNT && version.nMajor <= 4; }
    bool IsNTWorkstation() const;
    bool IsNTServer() const;
    bool IsWin2000Prof() const;
    bool IsWin2000Server() const;
    // Memory status in MB: 1 total physical, 2 free physical, 3 total swap, 4 free swap, 5 total
    // virtual, 6 free virtual; any other n gives 0.
    long long Memory(int n) const;

    // The message "System Information" that New(lShow = true) shows: the version members, one a line.
    std::string versionReport() const;

    // What the display reports (set by the windowing layer); GetColors is 2 to this power.
    void setDisplayBits(int bits) { m_displayBits = bits; }
    const platform::SystemFacts& facts() const { return m_facts; }

  private:
    const platform::CpuFacts* cpu(int n) const;

    platform::SystemFacts m_facts;
    platform::NetworkFacts m_network;
    std::string m_productType;
    int m_displayBits = 0;
};

}  // namespace klango::support
