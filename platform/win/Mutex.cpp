// Named mutexes as advisory locks on files in a private runtime folder.
#include "platform/win/Mutex.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/win/WinBase.h"

namespace {

AnsiString gFolderOverride;

AnsiString SystemError(const AnsiString& What) {
    return What + ": " + std::strerror(errno);
}

// An absolute folder named by an environment variable; empty when it names none.
AnsiString FolderOf(const char* Variable) {
    const char* value = std::getenv(Variable);
    if (!value || value[0] != '/' || !DirectoryExists(value)) return AnsiString();
    return value;
}

// True when Path is a folder of the user's that no one else can write in.
bool IsUsersClosedFolder(const AnsiString& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The user's cache folder ($XDG_CACHE_HOME, else .cache in the home folder),
// made when missing, with a trailing "/"; empty when there is none that only
// the user can write in.
AnsiString UserCacheFolder() {
    AnsiString cache = FolderOf("XDG_CACHE_HOME");
    if (cache.empty()) {
        AnsiString home = FolderOf("HOME");
        if (home.empty()) {
            passwd entry{};
            passwd* user = nullptr;
            std::vector<char> buffer(16384);
            if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &user) == 0 && user &&
                user->pw_dir && user->pw_dir[0] == '/')
                home = user->pw_dir;
        }
        if (home.empty() || !IsUsersClosedFolder(home)) return AnsiString();
        cache = IncludeTrailingPathDelimiter(home) + ".cache";
        if (::mkdir(cache.c_str(), S_IRWXU) != 0 && errno != EEXIST) return AnsiString();
    }
    return IsUsersClosedFolder(cache) ? IncludeTrailingPathDelimiter(cache) : AnsiString();
}

AnsiString FileNameOf(const AnsiString& Name) {
    AnsiString file = Name;
    for (char& c : file)
        if (c == '/' || c == '\0') c = '_';
    return file + ".lock";
}

} // namespace

AnsiString MutexFolder() {
    if (!gFolderOverride.empty()) return IncludeTrailingPathDelimiter(gFolderOverride);
    // The session's runtime folder is the user's alone; a name taken there
    // was taken by the user, and is not ours to lock in.
    if (const AnsiString runtime = FolderOf("XDG_RUNTIME_DIR"); !runtime.empty()) {
        const AnsiString folder = IncludeTrailingPathDelimiter(runtime) + "tarvik";
        return MakePrivateFolder(folder) ? folder + "/" : AnsiString();
    }
    // Without one, every copy looks in the same places in the same order: the
    // user's cache folder, where no other user can make a name first, and only
    // when there is none the shared temporary folder, under a name that must
    // then be the user's own.
    if (const AnsiString cache = UserCacheFolder(); !cache.empty()) {
        const AnsiString folder = cache + "tarvik-lock";
        if (MakePrivateFolder(folder)) return folder + "/";
    }
    AnsiString temp = FolderOf("TMPDIR");
    if (temp.empty()) temp = "/tmp";
    const AnsiString folder =
        IncludeTrailingPathDelimiter(temp) + "tarvik-lock-" + IntToStr(int64_t(::geteuid()));
    return MakePrivateFolder(folder) ? folder + "/" : AnsiString();
}

void SetMutexFolderOverride(const AnsiString& Folder) {
    gFolderOverride = Folder;
}

TNamedMutex::TNamedMutex(const AnsiString& Name) {
    if (Name.empty()) {
        FError = "A mutex needs a name";
        return;
    }
    const AnsiString folder = MutexFolder();
    if (folder.empty()) {
        FError = "Cannot make a private folder for the mutex \"" + Name + "\"";
        return;
    }
    const AnsiString path = folder + FileNameOf(Name);
    // Close on exec: a program this one starts must not keep the mutex alive.
    FFile = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (FFile < 0) {
        FError = SystemError("Cannot open " + path);
        return;
    }
    if (::flock(FFile, LOCK_EX | LOCK_NB) == 0) {
        FState = TMutexState::msCreated;
        return;
    }
    if (errno == EWOULDBLOCK) {
        FState = TMutexState::msExisted;
    } else {
        FError = SystemError("Cannot lock " + path);
    }
    ::close(FFile);
    FFile = -1;
}

TNamedMutex::~TNamedMutex() {
    // Closing the file releases the lock.
    if (FFile >= 0) ::close(FFile);
}
