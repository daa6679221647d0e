// Named mutexes as advisory locks on files in a private runtime folder.
#include "platform/win/Mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

AnsiString FileNameOf(const AnsiString& Name) {
    AnsiString file = Name;
    for (char& c : file)
        if (c == '/' || c == '\0') c = '_';
    return file + ".lock";
}

} // namespace

AnsiString MutexFolder() {
    if (!gFolderOverride.empty()) return IncludeTrailingPathDelimiter(gFolderOverride);
    AnsiString folder = FolderOf("XDG_RUNTIME_DIR");
    if (!folder.empty()) {
        folder = IncludeTrailingPathDelimiter(folder) + "tarvik";
    } else {
        folder = FolderOf("TMPDIR");
        if (folder.empty()) folder = "/tmp";
        folder = IncludeTrailingPathDelimiter(folder) + "tarvik-lock-" + IntToStr(int64_t(::geteuid()));
    }
    // A name taken by someone else is not ours to lock in: the mutex fails.
    if (!MakePrivateFolder(folder)) return AnsiString();
    return folder + "/";
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
