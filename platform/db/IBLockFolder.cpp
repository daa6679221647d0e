// Choosing, making and naming the embedded engine's private lock folder.
#include "platform/db/IBLockFolder.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/db/IBDatabase.h"
#include "platform/win/WinBase.h"

namespace {

const char* const kLockVariable = "FIREBIRD_LOCK";
const char* const kFolderName = "luvora-firebird";
const char* const kDefaultTemp = "/tmp";

// An absolute folder named by an environment variable; empty when the
// variable is unset or names no folder.
AnsiString FolderFromEnvironment(const char* Name) {
    const char* value = std::getenv(Name);
    if (!value || value[0] != '/' || !DirectoryExists(value)) return AnsiString();
    return value;
}

} // namespace

AnsiString PrivateLockFolder() {
    const AnsiString runtime = FolderFromEnvironment("XDG_RUNTIME_DIR");
    if (!runtime.empty()) {
        const AnsiString folder = IncludeTrailingPathDelimiter(runtime) + kFolderName;
        if (MakePrivateFolder(folder)) return folder;
    }
    AnsiString temp = FolderFromEnvironment("TMPDIR");
    if (temp.empty()) temp = kDefaultTemp;
    const AnsiString folder =
        IncludeTrailingPathDelimiter(temp) + kFolderName + "-" + IntToStr(int64_t(::geteuid()));
    if (MakePrivateFolder(folder)) return folder;
    // The name is taken by another user or by a link: a new folder of our own.
    AnsiString unique = folder + "-XXXXXX";
    if (!::mkdtemp(unique.data()))
        throw EIBError("Cannot make a lock folder for the database engine in " + temp + ": " +
                           std::strerror(errno),
                       0, 0, TIBErrorKind::ekLockFolder);
    return unique;
}

AnsiString UsePrivateLockFolder() {
    static std::once_flag once;
    static AnsiString folder;
    std::call_once(once, [] {
        const char* named = std::getenv(kLockVariable);
        if (named && *named) {
            folder = named;
            return;
        }
        folder = PrivateLockFolder();
        if (::setenv(kLockVariable, folder.c_str(), 1) != 0)
            throw EIBError(AnsiString("Cannot set ") + kLockVariable + ": " + std::strerror(errno), 0, 0,
                           TIBErrorKind::ekLockFolder);
    });
    return folder;
}
