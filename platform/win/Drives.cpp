// Drive types from the file system under a path: network file systems and
// FUSE locations of other machines, removable block devices, local disks.
#include "platform/win/Drives.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::function<unsigned(const AnsiString&)> gOverride;

// statfs magic numbers of network file systems.
constexpr unsigned long kNetworkMagic[] = {
    0x6969,     // NFS
    0x517B,     // SMB
    0xFF534D42, // CIFS
    0xFE534D42, // SMB2
    0x01021997, // 9P
    0x73757245, // Coda
    0x5346414F, // AFS
    0x6B414653, // kAFS
    0x564C,     // NCP
    0x00C36400, // Ceph
    0x0BD00BD0, // Lustre
    0x47504653, // GPFS
};
constexpr unsigned long kFuseMagic = 0x65735546;
constexpr unsigned long kIso9660Magic = 0x9660;
constexpr unsigned long kUdfMagic = 0x15013346;

// FUSE file systems that reach another machine.
const char* const kNetworkFuse[] = {"sshfs",   "rclone",    "s3fs",      "gcsfuse", "curlftpfs", "davfs",
                                    "davfs2",  "glusterfs", "ceph-fuse", "cephfs",  "smbnetfs",  "afpfs",
                                    "goofys",  "blobfuse",  "blobfuse2", "httpfs",  "httpdirfs", "nfs",
                                    "moosefs", "mfsmount",  "lizardfs",  "juicefs", "seaweedfs", "wdfs"};

// Locations of the desktop's FUSE mount that reach another machine: the
// folder of a location under ".../gvfs/" starts with its kind and a colon
// ("smb-share:server=host,share=docs").
const char* const kNetworkGvfs[] = {
    "smb-share",  "smb-server", "sftp", "ftp",     "ftps",         "dav",      "davs", "dav+sd", "davs+sd",
    "afp-volume", "afp-server", "nfs",  "network", "google-drive", "onedrive", "http", "https"};

bool IsNetworkGvfsPath(const AnsiString& Path) {
    const AnsiString marker = "/gvfs/";
    const std::size_t at = Path.find(marker);
    if (at == AnsiString::npos) return false;
    const std::size_t start = at + marker.size();
    const std::size_t colon = Path.find(':', start);
    if (colon == AnsiString::npos || Path.find('/', start) < colon) return false;
    const AnsiString kind = AnsiLowerCase(Path.substr(start, colon - start));
    for (const char* name : kNetworkGvfs)
        if (kind == name) return true;
    return false;
}

// Undoes the octal escapes of mountinfo ("\040" for a blank).
AnsiString Unescape(const AnsiString& S) {
    AnsiString out;
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '\\' && i + 3 < S.size() && std::isdigit((unsigned char)S[i + 1])) {
            out += char((S[i + 1] - '0') * 64 + (S[i + 2] - '0') * 8 + (S[i + 3] - '0'));
            i += 3;
        } else {
            out += S[i];
        }
    }
    return out;
}

// The mount type and source of the mount holding the device Dev.
bool FindMount(dev_t Dev, AnsiString& Type, AnsiString& Source) {
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    const std::string want = std::to_string(major(Dev)) + ":" + std::to_string(minor(Dev));
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, devno, field;
        fields >> id >> parent >> devno;
        if (devno != want) continue;
        while (fields >> field && field != "-") {
        }
        std::string type, source;
        fields >> type >> source;
        Type = Unescape(type);
        Source = Unescape(source);
        return true;
    }
    return false;
}

bool IsRemovableDevice(dev_t Dev) {
    // A partition's own folder has no "removable"; its disk's folder does.
    const std::string base =
        "/sys/dev/block/" + std::to_string(major(Dev)) + ":" + std::to_string(minor(Dev));
    for (const char* rel : {"/removable", "/../removable"}) {
        std::ifstream f(base + rel);
        int flag = 0;
        if (f >> flag) return flag == 1;
    }
    return false;
}

} // namespace

unsigned DriveTypeOfFileSystem(unsigned long Magic, const AnsiString& MountType, const AnsiString& Path) {
    if (std::find(std::begin(kNetworkMagic), std::end(kNetworkMagic), Magic) != std::end(kNetworkMagic))
        return DRIVE_REMOTE;
    if (Magic == kIso9660Magic || Magic == kUdfMagic) return DRIVE_CDROM;
    AnsiString type = AnsiLowerCase(MountType);
    if (Magic == kFuseMagic || type.rfind("fuse.", 0) == 0) {
        AnsiString sub = type.rfind("fuse.", 0) == 0 ? type.substr(5) : AnsiString();
        for (const char* name : kNetworkFuse)
            if (sub == name) return DRIVE_REMOTE;
        if (sub == "gvfsd-fuse" && IsNetworkGvfsPath(Path)) return DRIVE_REMOTE;
        return DRIVE_FIXED;
    }
    // Network types a kernel may report under a magic number not listed.
    for (const char* name : {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph", "lustre", "ncpfs"})
        if (type == name) return DRIVE_REMOTE;
    return DRIVE_FIXED;
}

unsigned GetDriveType(const AnsiString& Path) {
    if (gOverride) return gOverride(Path);
    struct statfs fs {};
    struct stat st {};
    if (Path.empty() || ::statfs(Path.c_str(), &fs) != 0 || ::stat(Path.c_str(), &st) != 0)
        return DRIVE_NO_ROOT_DIR;
    AnsiString type, source;
    FindMount(st.st_dev, type, source);
    char resolved[PATH_MAX];
    const AnsiString real = ::realpath(Path.c_str(), resolved) ? AnsiString(resolved) : Path;
    unsigned result = DriveTypeOfFileSystem((unsigned long)(fs.f_type) & 0xFFFFFFFFul, type, real);
    if (result == DRIVE_FIXED && major(st.st_dev) != 0 && IsRemovableDevice(st.st_dev))
        result = DRIVE_REMOVABLE;
    return result;
}

void SetDriveTypeOverride(std::function<unsigned(const AnsiString& Path)> Override) {
    gOverride = std::move(Override);
}
