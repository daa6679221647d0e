// Drive types of paths. A path lies on a network drive when its file system
// is a network one (NFS, SMB/CIFS, 9P, SSHFS and other network FUSE mounts);
// memory file systems and removable media count as local.
#pragma once

#include <functional>

#include "platform/rtl/SysUtils.h"

constexpr unsigned DRIVE_UNKNOWN = 0;
constexpr unsigned DRIVE_NO_ROOT_DIR = 1;
constexpr unsigned DRIVE_REMOVABLE = 2;
constexpr unsigned DRIVE_FIXED = 3;
constexpr unsigned DRIVE_REMOTE = 4;
constexpr unsigned DRIVE_CDROM = 5;
constexpr unsigned DRIVE_RAMDISK = 6;

// The type of the drive holding Path; DRIVE_NO_ROOT_DIR when the path does
// not exist.
unsigned GetDriveType(const AnsiString& Path);

// The type that a file system of the given statfs magic number and mount
// type (as /proc/self/mountinfo names it, "fuse.sshfs" for instance) has.
// The desktop's own FUSE mount ("fuse.gvfsd-fuse") holds local devices and
// network shares side by side; Path (resolved, absolute) tells them apart.
unsigned DriveTypeOfFileSystem(unsigned long Magic, const AnsiString& MountType, const AnsiString& Path = "");

// For tests: answers GetDriveType instead of the file system; an empty
// function ends that.
void SetDriveTypeOverride(std::function<unsigned(const AnsiString& Path)> Override);
