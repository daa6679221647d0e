// The running program's own file, or the one a test pretends.
#include "platform/win/Module.h"

#include <unistd.h>

#include <climits>

namespace {
AnsiString gOverride;
}

AnsiString GetModuleFileName() {
    if (!gOverride.empty()) return gOverride;
    char buf[PATH_MAX + 1];
    ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    return n > 0 ? AnsiString(buf, std::size_t(n)) : AnsiString();
}

AnsiString GetModuleFolder() {
    return ExtractFilePath(GetModuleFileName());
}

void SetModuleFileNameOverride(const AnsiString& Path) {
    gOverride = Path;
}
