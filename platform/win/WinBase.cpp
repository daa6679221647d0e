// Kernel services over POSIX: system facts, pages of memory, the process
// id, the temporary folder (and those that killed processes left),
// character classes and whether the locale writes right to left.
#include "platform/win/WinBase.h"

#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

void GetSystemInfo(SYSTEM_INFO& Info) {
    Info = SYSTEM_INFO{};
#if defined(__x86_64__)
    Info.wProcessorArchitecture = 9;
#elif defined(__aarch64__)
    Info.wProcessorArchitecture = 12;
#endif
    long page = ::sysconf(_SC_PAGESIZE);
    Info.dwPageSize = page > 0 ? DWORD(page) : 4096;
    Info.lpMinimumApplicationAddress = reinterpret_cast<void*>(std::uintptr_t(0x10000));
    // The top of the user address space: 47 bits on the 64-bit platforms we run on.
    Info.lpMaximumApplicationAddress = reinterpret_cast<void*>(
        sizeof(void*) == 8 ? (std::uintptr_t(1) << 47) - Info.dwPageSize - 1 : 0x7FFEFFFF);
    unsigned n = std::thread::hardware_concurrency();
    Info.dwNumberOfProcessors = n ? n : 1;
    Info.dwAllocationGranularity = 65536;
}

DWORD GetCurrentProcessId() {
    return DWORD(::getpid());
}

void* VirtualAlloc(void* Address, std::size_t Size, DWORD, DWORD Protect) {
    int prot = Protect == PAGE_READONLY ? PROT_READ : PROT_READ | PROT_WRITE;
    int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_FIXED_NOREPLACE
    if (Address) flags |= MAP_FIXED_NOREPLACE;
#endif
    void* p = ::mmap(Address, Size, prot, flags, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

bool VirtualFree(void* Address, std::size_t Size, DWORD) {
    if (!Size) Size = std::size_t(::sysconf(_SC_PAGESIZE));
    return ::munmap(Address, Size) == 0;
}

bool VirtualQuery(const void* Address, MEMORY_BASIC_INFORMATION& Info) {
    Info = MEMORY_BASIC_INFORMATION{};
    std::uintptr_t a = reinterpret_cast<std::uintptr_t>(Address);
    FILE* f = std::fopen("/proc/self/maps", "r");
    if (!f) return false;
    char line[512];
    bool found = false;
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long start = 0, end = 0;
        char perms[8] = {};
        if (std::sscanf(line, "%llx-%llx %7s", &start, &end, perms) != 3) continue;
        if (a < start || a >= end) continue;
        Info.BaseAddress = reinterpret_cast<void*>(std::uintptr_t(start));
        Info.RegionSize = std::size_t(end - a);
        Info.Protect = perms[0] == 'r' ? (perms[1] == 'w' ? PAGE_READWRITE : PAGE_READONLY) : 0x01;
        found = true;
        break;
    }
    std::fclose(f);
    return found;
}

namespace {
std::mutex gTempLock;
AnsiString gTempOverride;
AnsiString gPrivateTemp;

void RemovePrivateTemp() {
    if (gPrivateTemp.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(gPrivateTemp, ec);
}

AnsiString TempBase() {
    if (const char* t = std::getenv("TMPDIR"); t && *t == '/' && DirectoryExists(t)) return t;
    return "/tmp";
}

// When the process started, in clock ticks since boot (the 22nd field of
// its stat line); 0 when that cannot be read.
unsigned long long ProcessStartTime(pid_t Pid) {
    FILE* f = std::fopen(("/proc/" + std::to_string(Pid) + "/stat").c_str(), "r");
    if (!f) return 0;
    char line[1024];
    const bool read = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    // The command name may hold blanks and parentheses: count from its end.
    const char* p = read ? std::strrchr(line, ')') : nullptr;
    if (!p) return 0;
    unsigned long long start = 0;
    for (int field = 2; *p && field < 22; ++p)
        if (*p == ' ') ++field;
    return std::sscanf(p, "%llu", &start) == 1 ? start : 0;
}

// "tarvik-<pid>-<start time>-": a folder of a process that still runs
// carries both, so a pid given to another process since does not count.
const char kTempPrefix[] = "tarvik-";

bool ParseTempName(const std::string& Name, pid_t& Pid, unsigned long long& Start) {
    if (Name.rfind(kTempPrefix, 0) != 0) return false;
    unsigned long long pid = 0;
    int used = 0;
    if (std::sscanf(Name.c_str() + std::strlen(kTempPrefix), "%llu-%llu-%n", &pid, &Start, &used) != 2 ||
        used == 0 || pid == 0 || pid > 0x7FFFFFFF)
        return false;
    Pid = pid_t(pid);
    return true;
}

bool IsRunning(pid_t Pid, unsigned long long Start) {
    if (::kill(Pid, 0) != 0 && errno != EPERM) return false;
    const unsigned long long now = ProcessStartTime(Pid);
    return now == 0 || now == Start; // unknown start: assume it is the owner
}
} // namespace

AnsiString GetTempPath() {
    std::lock_guard guard(gTempLock);
    if (!gTempOverride.empty()) return IncludeTrailingPathDelimiter(gTempOverride);
    if (gPrivateTemp.empty() || !DirectoryExists(gPrivateTemp)) {
        AnsiString pattern = IncludeTrailingPathDelimiter(TempBase()) + kTempPrefix + IntToStr(::getpid()) +
                             "-" + std::to_string(ProcessStartTime(::getpid())) + "-XXXXXX";
        if (!::mkdtemp(pattern.data())) return AnsiString();
        static bool registered = false;
        if (!registered) {
            registered = true;
            std::atexit(RemovePrivateTemp);
        }
        gPrivateTemp = pattern + "/";
    }
    return gPrivateTemp;
}

bool MakePrivateFolder(const AnsiString& Path) {
    constexpr mode_t privateMode = S_IRWXU;
    if (::mkdir(Path.c_str(), privateMode) != 0) {
        if (errno != EEXIST) return false;
        struct stat st {};
        if (::lstat(Path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
        if ((st.st_mode & (S_IRWXG | S_IRWXO)) == 0) return true;
    }
    // Also after mkdir: the process's umask may have taken the owner's bits.
    return ::chmod(Path.c_str(), privateMode) == 0;
}

int RemoveStaleTempFolders() {
    const std::string base = TempBase();
    DIR* dir = ::opendir(base.c_str());
    if (!dir) return 0;
    std::vector<std::string> stale;
    while (dirent* e = ::readdir(dir)) {
        pid_t pid;
        unsigned long long start;
        if (ParseTempName(e->d_name, pid, start) && !IsRunning(pid, start)) stale.push_back(e->d_name);
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& name : stale) {
        const std::string path = base + "/" + name;
        struct stat st;
        // Only our own folders, never what a link points at.
        if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) continue;
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
        removed += !ec;
    }
    return removed;
}

void SetTempPathOverride(const AnsiString& Path) {
    std::lock_guard guard(gTempLock);
    gTempOverride = Path;
}

uint16_t GetCharType1(unsigned char Ch) {
    uint16_t t = 0;
    char c = char(Ch);
    if (AnsiLowerChar(c) != c) t |= C1_UPPER | C1_ALPHA;
    if (AnsiUpperChar(c) != c) t |= C1_LOWER | C1_ALPHA;
    if (Ch >= '0' && Ch <= '9') t |= C1_DIGIT | C1_XDIGIT;
    if ((Ch >= 'a' && Ch <= 'f') || (Ch >= 'A' && Ch <= 'F')) t |= C1_XDIGIT;
    if (Ch == ' ' || (Ch >= 9 && Ch <= 13) || Ch == 0xA0) t |= C1_SPACE;
    if (Ch == ' ' || Ch == '\t' || Ch == 0xA0) t |= C1_BLANK;
    if (Ch < 32 || Ch == 127) t |= C1_CNTRL;
    if (!(t & (C1_ALPHA | C1_DIGIT | C1_SPACE | C1_CNTRL)) && Ch > 32 && Ch != 0x98) t |= C1_PUNCT;
    return t;
}

bool SysLocaleMiddleEast() {
    const char* locale = nullptr;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* v = std::getenv(name); v && *v) {
            locale = v;
            break;
        }
    if (!locale) return false;
    // The language is the part before "_", "." or "@": "fa_IR.UTF-8".
    AnsiString language(locale, std::strcspn(locale, "_.@"));
    for (const char* rtl : {"ar", "fa", "he", "iw", "ur"})
        if (language == rtl) return true;
    return false;
}
