// TSystemInfo: the version classification with the numbers of the Windows family, the Linux
// facts read from fixed file texts, the processor classes and the memory figures.
#include "support/system_info.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/system_facts.h"
#include "test_helpers/test_helpers.h"

using namespace klango;
using support::TSystemInfo;
using support::VersionRecord;

TEST(SystemInfo, WindowsVersionClassification) {
    struct Case {
        VersionRecord v;
        const char* productType;
        const char* winVer;
        const char* verNum;
        const char* servicePack;
    } cases[] = {
        {{156, 5, 1, 2600, 2, "Service Pack 2", 2},
         "WinNT",
         "Windows XP",
         "5.1.2600 Service Pack 2",
         "Service Pack 2"},
        {{148, 4, 10, 2222, 1, ""}, "", "Windows 98 Second Edition", "4.10.2222", ""},
        {{148, 4, 0, 950, 1, ""}, "", "Windows 95", "4.0.950", ""},
        {{148, 4, 0, 1080, 1, ""}, "", "Windows 95 Service Pack 1", "4.0.1080", ""},
        {{148, 4, 3, 1212, 1, ""}, "", "Windows 95 OSR2", "4.3.1212", ""},
        {{148, 4, 10, 1998, 1, ""}, "", "Windows 98", "4.10.1998", ""},
        {{148, 4, 10, 2183, 1, ""}, "", "Windows 98 Service Pack 1", "4.10.2183", ""},
        {{148, 4, 90, 3000, 1, ""}, "", "Windows ME", "4.90.3000", ""},
        {{156, 3, 51, 1057, 2, ""}, "", "Windows NT 3.51", "3.51.1057", "Service Pack 0"},
        {{156, 4, 0, 1381, 2, "Service Pack 6", 6},
         "WinNT",
         "Windows NT 4",
         "4.0.1381 Service Pack 6",
         "Service Pack 6"},
        {{156, 5, 0, 2195, 2, ""}, "WinNT", "Windows 2000 Professional", "5.0.2195", "Service Pack 0"},
        {{156, 5, 0, 2195, 2, ""}, "LanmanNT", "Windows 2000 Server", "5.0.2195", "Service Pack 0"},
        {{156, 5, 2, 3790, 2, ""}, "ServerNT", "Unknown Windows version", "5.2.3790", "Service Pack 0"},
    };
    for (const Case& c : cases) {
        TSystemInfo info(c.v, {}, {}, c.productType);
        EXPECT_EQ(info.WinVer(), c.winVer) << c.winVer;
        EXPECT_EQ(info.VerNum(), c.verNum) << c.winVer;
        EXPECT_EQ(info.ServicePack(), c.servicePack) << c.winVer;
        EXPECT_EQ(info.version.nOsVer, c.v.nPlatform == 2 ? 156 : 148);
    }
    EXPECT_TRUE(support::IsWin2003Server({156, 5, 2, 3790, 2, ""}));
    TSystemInfo nt4({156, 4, 0, 1381, 2, ""}, {}, {}, "ServerNT");
    EXPECT_TRUE(nt4.IsNTServer());
    EXPECT_FALSE(nt4.IsNTWorkstation());
}

TEST(SystemInfo, LinuxFactsFromTheirFiles) {
    platform::SystemFacts f;
    f.kernelName = "Linux";
    f.kernelRelease = "6.1.0-18-amd64";
    f.machine = "x86_64";
    f.osPrettyName = platform::parseOsRelease(
        "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n# c\nVERSION_ID='12'\n")
        ["PRETTY_NAME"];
    platform::parseMeminfo(
        "MemTotal:        8388608 kB\nMemFree:          100 kB\nMemAvailable:    4194304 kB\n"
        "SwapTotal:       2097152 kB\nSwapFree:        1048576 kB\n",
        f.memory);
    f.memory.totalVirtual = uint64_t(1) << 47;
    platform::parseProcessStatus("VmSize:\t 1048576 kB\nVmHWM:\t   2048 kB\nVmRSS:\t   1024 kB\n", f.memory);
    f.cpus = platform::parseCpuinfo(
        "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\nmodel name\t: Intel(R) "
        "Core(TM) i5-8400 CPU @ 2.80GHz\n"
        "stepping\t: 10\ncpu MHz\t\t: 2807.996\n\nprocessor\t: 1\nvendor_id\t: GenuineIntel\nmodel name\t: "
        "\ncpu MHz\t\t: 799.2\n");
    f.extensionTypes =
        platform::parseMimeTypes("# types\naudio/mpeg\t\t\t\tmpga mpega mp2 mp3 m4a\ntext/plain txt\n");
    f.cpuid = {true, 6, 158, 0, true, true, true};

    TSystemInfo info(support::linuxVersionRecord(f), f, {});
    EXPECT_EQ(info.WinVer(), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(info.VerNum(), "6.1.0 18-amd64");
    EXPECT_EQ(info.version.nOsVer, 156);
    EXPECT_EQ(info.CPU(1), "Intel(R) Core(TM) i5-8400 CPU @ 2.80GHz");
    EXPECT_EQ(info.CPU(2), "Pentium IV") << "no name: the class from cpuid";
    EXPECT_EQ(info.CPUVendor(1), "GenuineIntel");
    EXPECT_EQ(info.CPUIdentifier(1), "x86_64 Family 6 Model 158 Stepping 10");
    EXPECT_EQ(info.SpeedCPU(1), 2810);
    EXPECT_EQ(info.SpeedCPU(2), 800);
    EXPECT_TRUE(info.IsDualCPU());
    EXPECT_EQ(info.SpeedCPU(3), 0);
    const long long memory[8] = {0, 8192, 4096, 2048, 1024, 134217728, 134216704, 0};
    for (int n = 0; n <= 7; ++n) EXPECT_EQ(info.Memory(n), memory[n]) << n;
    EXPECT_EQ(info.Ass4Ext(".mp3"), "audio/mpeg");
    EXPECT_EQ(info.Ass4Ext("MP3"), "audio/mpeg");
    EXPECT_EQ(info.Ass4Ext(""), "");
    EXPECT_EQ(f.memory.processResident, 1024u * 1024);

    // The real machine answers too, without a failure.
    TSystemInfo here;
    EXPECT_FALSE(here.WinVer().empty());
    EXPECT_GT(here.Memory(1), 0);
}

TEST(SystemInfo, ProcessorClasses) {
    struct Case {
        platform::CpuIdFacts id;
        const char* name;
    } cases[] = {
        {{false, 3}, "386"},
        {{false, 4}, "486"},
        {{false, 0}, "GetCPU() failed!"},
        {{true, 6, 8, 1}, "Intel Celeron"},
        {{true, 6, 8, 2}, "Intel Pentium III"},
        {{true, 6, 8, 3}, "Intel Pentium III Xeon"},
        {{true, 15, 2, 8}, "Intel Pentium IV"},
        {{true, 4, 0, 0}, "486"},
        {{true, 5, 4, 0, true}, "Pentium MMX"},
        {{true, 5, 2, 0, false}, "Pentium classic"},
        {{true, 6, 1, 0}, "Pentium Pro"},
        {{true, 6, 5, 0}, "Pentium II"},
        {{true, 6, 6, 0}, "(PII core) Celeron"},
        {{true, 6, 8, 0, true, true}, "Pentium III"},
        {{true, 6, 11, 0, true, true}, "(PIII core) Celeron"},
        {{true, 15, 2, 0}, "GetCPU() failed!"},
    };
    for (const Case& c : cases) EXPECT_EQ(support::cpuClassName(c.id), c.name) << c.name;
    EXPECT_EQ(platform::parseKernelRelease("5.10").minor, 10);
}

TEST(SystemInfo, ProgramsForExtensionsAndDevices) {
    const std::vector<std::pair<std::string, std::string>> commands = {
        {"\"C:\\Programme\\Player\\play.exe\" %1", "\"C:\\Programme\\Player\\play.exe\""},
        {"notepad.exe %1 %1", "notepad.exe %1"},
        {"\"C:\\x.exe\" \"%1\"", "\"C:\\x.exe\""},
        {"vlc --started-from-file %U", "vlc --started-from-file"},
        {"audacious %F  ", "audacious"},
        {"plain", "plain"},
    };
    for (const auto& [command, cut] : commands)
        EXPECT_EQ(support::openCommandWithoutFile(command), cut) << command;

    test::TempHome home;
    platform::SystemFacts f;
    f.root = home.root();
    f.extensionTypes = platform::parseMimeTypes("audio/mpeg mp3\n");
    f.defaultApplications = platform::parseMimeApps(
        "[Added Associations]\naudio/mpeg=other.desktop;\n[Default "
        "Applications]\naudio/mpeg=player.desktop;vlc.desktop;\n"
        "text/html=firefox-esr.desktop\n");
    f.pointerDevices = platform::parsePointerDevices(
        "I: Bus=0011\nN: Name=\"AT Translated Set 2 keyboard\"\nH: Handlers=sysrq kbd event0\n\n"
        "I: Bus=0003\nN: Name=\"Logitech USB Optical Mouse\"\nH: Handlers=mouse0 event2\n\n");
    std::filesystem::create_directories(home.root() / "usr/share/applications");
    test::writeFileBytes(home.root() / "usr/share/applications/player.desktop",
                         "[Desktop Entry]\nName=Player\nExec=player --enqueue %U\nIcon=player \n[Desktop "
                         "Action x]\nExec=no\n");
    TSystemInfo info({}, f, {});
    EXPECT_EQ(info.App4Ext("mp3"), "player --enqueue");
    EXPECT_EQ(info.App4Ext(".MP3"), "player --enqueue");
    EXPECT_EQ(info.Icon4Ext("mp3"), "player");
    EXPECT_EQ(info.App4Ext("txt"), "");
    EXPECT_EQ(info.DefBrowser(), "firefox-esr.desktop");
    EXPECT_EQ(info.MouseName(), "Logitech USB Optical Mouse");
    EXPECT_EQ(
        TSystemInfo({156, 5, 1, 2600, 2, "SP2", 2, 0, 256, 1, 0}, {}, {}).versionReport(),
        "nMajor = 5\rnMinor = 1\rnBuild = 2600\rcSP = SP2\rsPlatform = 2\rwSerPackM = 2\rwSerPacki = 0\r"
        "wSteMask = 256\rwProdType = 1\rwRes = 0");
}
