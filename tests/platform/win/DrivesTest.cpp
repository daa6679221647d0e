// Drive types from file systems, mounts and the override.
#include "platform/win/Drives.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace {

TEST(Drives, FileSystemTypes) {
    struct Case {
        unsigned long Magic;
        const char* MountType;
        unsigned Expected;
    } cases[] = {
        {0xEF53, "ext4", DRIVE_FIXED},
        {0x01021994, "tmpfs", DRIVE_FIXED},
        {0x9123683E, "btrfs", DRIVE_FIXED},
        {0x4D44, "vfat", DRIVE_FIXED},
        {0x6969, "nfs4", DRIVE_REMOTE},
        {0xFF534D42, "cifs", DRIVE_REMOTE},
        {0xFE534D42, "smb3", DRIVE_REMOTE},
        {0x01021997, "9p", DRIVE_REMOTE},
        {0x65735546, "fuse.sshfs", DRIVE_REMOTE},
        {0x65735546, "fuse.rclone", DRIVE_REMOTE},
        {0x65735546, "fuse.ntfs-3g", DRIVE_FIXED},
        {0x65735546, "fuseblk", DRIVE_FIXED},
        {0x65735546, "", DRIVE_FIXED},
        {0x12345678, "nfs", DRIVE_REMOTE}, // known by its mount type alone
        {0x9660, "iso9660", DRIVE_CDROM},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DriveTypeOfFileSystem(c.Magic, c.MountType), c.Expected)
            << std::hex << c.Magic << " " << c.MountType;
}

// The desktop's FUSE mount holds network shares and local devices alike.
TEST(Drives, DesktopMountTellsSharesFromDevices) {
    struct Case {
        const char* Path;
        unsigned Expected;
    } cases[] = {
        {"/run/user/1000/gvfs/smb-share:server=nas,share=docs/DB/Luvora.FDB", DRIVE_REMOTE},
        {"/run/user/1000/gvfs/sftp:host=srv,user=me/home/me/DB/Luvora.FDB", DRIVE_REMOTE},
        {"/run/user/1000/gvfs/dav:host=cloud,ssl=false/DB/Luvora.FDB", DRIVE_REMOTE},
        {"/run/user/1000/gvfs/mtp:host=Phone/Internal/DB/Luvora.FDB", DRIVE_FIXED},
        {"/run/user/1000/gvfs/notes/smb-share:x/Luvora.FDB", DRIVE_FIXED},
        {"/home/me/DB/Luvora.FDB", DRIVE_FIXED},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DriveTypeOfFileSystem(0x65735546, "fuse.gvfsd-fuse", c.Path), c.Expected) << c.Path;
    // The same location on another FUSE file system is not judged by its name.
    EXPECT_EQ(DriveTypeOfFileSystem(0x65735546, "fuse.ntfs-3g", cases[0].Path), DRIVE_FIXED);
}

TEST(Drives, RealPaths) {
    TTempFolder folder;
    const unsigned type = GetDriveType(folder.Path());
    EXPECT_TRUE(type == DRIVE_FIXED || type == DRIVE_REMOVABLE) << type;
    EXPECT_EQ(GetDriveType(folder.Path() + "absent/file"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(GetDriveType(""), DRIVE_NO_ROOT_DIR);
}

TEST(Drives, OverrideAnswersInsteadOfTheFileSystem) {
    SetDriveTypeOverride(
        [](const AnsiString& Path) { return Path == "/net/x" ? DRIVE_REMOTE : DRIVE_FIXED; });
    EXPECT_EQ(GetDriveType("/net/x"), DRIVE_REMOTE);
    EXPECT_EQ(GetDriveType("/absent"), DRIVE_FIXED);
    SetDriveTypeOverride(nullptr);
    EXPECT_EQ(GetDriveType("/absent/really"), DRIVE_NO_ROOT_DIR);
}

} // namespace
