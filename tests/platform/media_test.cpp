// The drive a track's path names when its medium is out: the usual mount places of removable media.
#include "platform/media.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

bool usersBelowMedia(const fs::path& folder) { return folder == "/media/anna"; }

TEST(Media, APathNamesItsMountPointByTheUsualPlaces) {
    struct Case {
        const char* file;
        const char* drive;
    };
    const Case cases[] = {
        {"/media/anna/CD1/Abba/w.mp3", "/media/anna/CD1"},
        {"/media/cdrom/Abba/w.mp3", "/media/cdrom"},  // no user folder: the mount point itself
        {"/run/media/anna/STICK/w.mp3", "/run/media/anna/STICK"},
        {"/mnt/usb/a/w.mp3", "/mnt/usb"},
        {"/mnt/../media/anna/CD1/w.mp3", "/media/anna/CD1"},
        {"/home/anna/Musik/w.mp3", ""},
        {"/mnt/w.mp3", ""},
        {"relative/w.mp3", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(klango::platform::namedMountPoint(c.file, usersBelowMedia).string(), c.drive) << c.file;
}

}  // namespace
