#include "platform/volumes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_helpers/test_helpers.h"

namespace fs = std::filesystem;
using klango::platform::DriveState;
using klango::platform::MountEntry;
using klango::platform::VolumeKind;
using klango::platform::Volumes;

namespace {

// A fake /proc and /dev below a temporary folder, with real folders standing in for mount points.
class FakeSystem {
  public:
    FakeSystem() {
        fs::create_directories(proc() / "self");
        fs::create_directories(byLabel());
    }
    fs::path proc() const { return m_home.root() / "proc"; }
    fs::path dev() const { return m_home.root() / "dev"; }
    fs::path byLabel() const { return dev() / "disk" / "by-label"; }
    fs::path mnt(const std::string& name) const { return m_home.root() / "mnt" / name; }

    void setMountInfo(const std::string& text) const {
        klango::test::writeFileBytes(proc() / "self" / "mountinfo", text);
    }
    // A device node stand-in (a plain file) and a by-label link to it, as udev makes them.
    void addDevice(const std::string& device, const std::string& escapedLabel = {}) const {
        klango::test::writeFileBytes(dev() / device, "");
        if (!escapedLabel.empty()) fs::create_symlink(fs::path("../..") / device, byLabel() / escapedLabel);
    }
    // A mountinfo line mounting source (type fsType) at the folder mnt(name), which is created.
    std::string line(int id, const std::string& name, const std::string& fsType, const std::string& source,
                     const std::string& dev = "8:1") const {
        fs::create_directories(mnt(name));
        return std::to_string(id) + " 1 " + dev + " / " + mnt(name).string() + " rw,relatime shared:1 - " +
               fsType + " " + source + " rw\n";
    }
    Volumes volumes() const { return Volumes(proc(), dev()); }

  private:
    klango::test::TempHome m_home;
};

const char* kSample =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "23 27 0:22 / /sys rw,relatime - sysfs sysfs rw\n"
    "25 24 0:23 / /dev/shm rw,relatime - tmpfs tmpfs rw,size=24683752k\n"
    "26 24 0:24 / /dev/pts rw,relatime - devpts devpts rw,mode=600\n"
    "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard\n"
    "32 31 0:29 / /sys/fs/cgroup/cpu rw,relatime - cgroup cgroup rw,cpu\n"
    "41 31 0:38 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n"
    "50 27 11:0 / /media/user/MY\\040DISC rw,nosuid,nodev shared:5 master:2 - iso9660 /dev/sr0 ro\n"
    "51 27 8:17 /music /srv/tab\\011and\\134back rw - vfat /dev/sdb1 rw\n"
    "52 27 0:50 / /net/share rw - nfs4 server:/export rw\n"
    "53 27 0:51 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
    "54 27 0:52 / /home/u/remote rw - fuse.sshfs u@host: rw\n"
    "55 27 0:53 / /mnt/usb rw - fuseblk /dev/sdc1 rw\n"
    "garbage line without the separator\n"
    "60 27 x:y / /bad rw - ext4 /dev/sdz rw\n";

TEST(VolumesTest, ParsesMountInfoWithEscapesAndSkipsMalformedLines) {
    std::vector<MountEntry> m = klango::platform::parseMountInfo(kSample);
    ASSERT_EQ(m.size(), 13u);
    EXPECT_EQ(m[4].mountPoint, "/");
    EXPECT_EQ(m[4].major, 254u);
    EXPECT_EQ(m[4].minor, 0u);
    EXPECT_EQ(m[4].source, "/dev/vda");
    // Optional fields ("shared:5 master:2") come before the separator and are passed over.
    EXPECT_EQ(m[7].mountPoint, "/media/user/MY DISC");
    EXPECT_EQ(m[7].fsType, "iso9660");
    EXPECT_EQ(m[7].kind, VolumeKind::kCdRom);
    EXPECT_EQ(m[8].mountPoint, "/srv/tab\tand\\back");
    EXPECT_EQ(m[8].root, "/music");
    EXPECT_EQ(m[9].kind, VolumeKind::kNetwork);
    EXPECT_EQ(m[11].kind, VolumeKind::kNetwork);
    EXPECT_EQ(m[12].kind, VolumeKind::kLocal);
}

TEST(VolumesTest, UnescapesOnlyCompleteEscapes) {
    EXPECT_EQ(klango::platform::unescapeMountField("a\\040b\\012c"), "a b\nc");
    EXPECT_EQ(klango::platform::unescapeMountField("end\\04"), "end\\04");
    EXPECT_EQ(klango::platform::unescapeMountField("x\\089"), "x\\089");
    EXPECT_EQ(klango::platform::unescapeLabelName("MY\\x20DISC"), "MY DISC");
    EXPECT_EQ(klango::platform::unescapeLabelName("AC\\x2fDC\\x2F"), "AC/DC/");
    EXPECT_EQ(klango::platform::unescapeLabelName("bad\\xZZ\\x4"), "bad\\xZZ\\x4");
}

TEST(VolumesTest, DriveListLeavesOutPseudoAndNetworkFileSystems) {
    FakeSystem sys;
    sys.setMountInfo(kSample);
    std::vector<std::string> roots = sys.volumes().driveRoots();
    std::vector<std::string> expected = {"/", "/media/user/MY DISC", "/srv/tab\tand\\back", "/mnt/usb"};
    EXPECT_EQ(roots, expected);
}

TEST(VolumesTest, DriveListIsEmptyWithoutMountTable) {
    Volumes volumes("/nonexistent/proc", "/nonexistent/dev");
    EXPECT_TRUE(volumes.mounts().empty());
    EXPECT_TRUE(volumes.driveRoots().empty());
    EXPECT_EQ(volumes.readiness("/"), DriveState::kError);
}

TEST(VolumesTest, MountHoldingTakesLongestWholeComponentPrefixAndTopmostMount) {
    FakeSystem sys;
    std::string info = sys.line(1, "usb", "vfat", "/dev/sdb1", "8:17") +
                       sys.line(2, "usb2", "ext4", "/dev/sdc1", "8:33") +
                       sys.line(3, "usb", "ext4", "/dev/sdd1", "8:49");  // mounted over the first
    info = "9 1 254:0 / / rw - ext4 /dev/vda rw\n" + info;
    sys.setMountInfo(info);
    Volumes v = sys.volumes();
    fs::create_directories(sys.mnt("usb2") / "Musik");

    auto m = v.mountHolding(sys.mnt("usb2") / "Musik" / "a.mp3");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->source, "/dev/sdc1");
    m = v.mountHolding(sys.mnt("usb"));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->source, "/dev/sdd1");
    m = v.mountHolding(sys.mnt("usb").string() + "/");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->source, "/dev/sdd1");
    // "/…/usb" does not hold "/…/usbx": the prefix must end at a component.
    m = v.mountHolding(sys.mnt("usbx"));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->mountPoint, "/");
    // The drive list names a point mounted over once.
    EXPECT_EQ(v.driveRoots().size(), 3u);
}

TEST(VolumesTest, LabelsFromByLabelLinksMatchedByDevice) {
    FakeSystem sys;
    sys.addDevice("sdb1", "MY.ROCK");
    sys.addDevice("sdc1", "Urlaub\\x202003");
    sys.addDevice("sdd1");  // no label
    sys.setMountInfo(sys.line(1, "rock", "vfat", "/dev/sdb1") + sys.line(2, "urlaub", "ext4", "/dev/sdc1") +
                     sys.line(3, "plain", "ext4", "/dev/sdd1") +
                     sys.line(4, "ram", "tmpfs", "tmpfs", "0:40"));
    Volumes v = sys.volumes();
    EXPECT_EQ(v.label(sys.mnt("rock")), std::optional<std::string>("MY.ROCK"));
    EXPECT_EQ(v.label(sys.mnt("urlaub").string() + "/"), std::optional<std::string>("Urlaub 2003"));
    EXPECT_EQ(v.label(sys.mnt("plain")), std::optional<std::string>(""));
    EXPECT_EQ(v.label(sys.mnt("ram")), std::optional<std::string>(""));
    // A folder that is not a mount point, or a missing one, has no volume to ask.
    fs::create_directories(sys.mnt("rock") / "sub");
    EXPECT_EQ(v.label(sys.mnt("rock") / "sub"), std::nullopt);
    EXPECT_EQ(v.label(sys.mnt("gone")), std::nullopt);
}

TEST(VolumesTest, ReadinessOfMissingUnmountedAndPlainPaths) {
    FakeSystem sys;
    sys.setMountInfo(sys.line(1, "cd", "iso9660", "/dev/sr0", "11:0"));
    Volumes v = sys.volumes();
    EXPECT_EQ(v.readiness(sys.mnt("cd")), DriveState::kReady);
    fs::create_directories(sys.mnt("empty"));
    EXPECT_EQ(v.readiness(sys.mnt("empty")), DriveState::kNotReady);  // folder there, nothing mounted
    EXPECT_EQ(v.readiness(sys.mnt("missing")), DriveState::kNotReady);
    klango::test::writeFileBytes(sys.mnt("cd") / "file", "x");
    EXPECT_EQ(v.readiness(sys.mnt("cd") / "file"), DriveState::kError);
    EXPECT_EQ(v.readiness(""), DriveState::kError);
    // A mount point that has gone away while the table still names it.
    fs::remove_all(sys.mnt("cd"));
    EXPECT_EQ(v.readiness(sys.mnt("cd")), DriveState::kNotReady);
}

TEST(VolumesTest, FreeBytesOfRealFolder) {
    klango::test::TempHome home;
    auto free = Volumes::freeBytes(home.root());
    ASSERT_TRUE(free);
    EXPECT_GT(*free, 0u);
    EXPECT_FALSE(Volumes::freeBytes(home.root() / "missing"));
    EXPECT_FALSE(Volumes::freeBytes(""));
}

TEST(VolumesTest, RealMountTableHasARoot) {
    Volumes v;
    auto m = v.mountHolding("/");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->mountPoint, "/");
}

}  // namespace
