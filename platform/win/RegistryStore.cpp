// The registry store's file side: reading the file, the lock beside it,
// changes and batches written through a temporary file, damaged files put
// aside, and the start-up that cleans up after killed writers.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/rtl/ScopeGuard.h"
#include "platform/win/RegistryStore_p.h"

namespace {

// How long a writer waits for another process's write before it fails.
constexpr auto kLockPatience = std::chrono::seconds(10);

TRegFileStamp StampOf(const struct stat& St) {
    TRegFileStamp s;
    s.Exists = true;
    s.Dev = St.st_dev;
    s.Ino = St.st_ino;
    s.Size = St.st_size;
    s.MTimeNs = (long long)St.st_mtim.tv_sec * 1000000000LL + St.st_mtim.tv_nsec;
    return s;
}

TRegFileStamp StampOf(const AnsiString& FileName) {
    struct stat st;
    return ::stat(FileName.c_str(), &st) == 0 ? StampOf(st) : TRegFileStamp{};
}

enum class TReadResult { Missing, Read, Unreadable, TooLarge };

// Reads the file and its stamp from one open file, so both belong together.
// A file past the store's limit is not read at all.
TReadResult ReadWhole(const AnsiString& File, std::string& Text, TRegFileStamp& Stamp) {
    Text.clear();
    Stamp = {};
    int fd = ::open(File.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? TReadResult::Missing : TReadResult::Unreadable;
    TScopeGuard close([fd] { ::close(fd); });
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return TReadResult::Unreadable;
    Stamp = StampOf(st);
    if (st.st_size > RegistryStoreMaxSize) return TReadResult::TooLarge;
    Text.reserve(std::size_t(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return TReadResult::Unreadable;
        if (n == 0) return TReadResult::Read;
        Text.append(buf, std::size_t(n));
        if (Text.size() > std::size_t(RegistryStoreMaxSize)) return TReadResult::TooLarge;
    }
}

AnsiString MaxSizeText() {
    return IntToStr(RegistryStoreMaxSize >> 20) + " MB";
}

bool MakeFolders(const AnsiString& Folder) {
    std::size_t pos = 1;
    while (pos <= Folder.size()) {
        std::size_t end = Folder.find('/', pos);
        if (end == AnsiString::npos) end = Folder.size();
        AnsiString part = Folder.substr(0, end);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        pos = end + 1;
    }
    return DirectoryExists(Folder);
}

bool WriteWhole(int Fd, const std::string& Text) {
    for (std::size_t done = 0; done < Text.size();) {
        ssize_t n = ::write(Fd, Text.data() + done, Text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

// Names the temporary file of the writing process: File.tmp-<pid>.
AnsiString TempFileOf(const AnsiString& File) {
    return File + ".tmp-" + IntToStr(::getpid());
}

bool IsDigits(const std::string& S) {
    return !S.empty() && S.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

AnsiString TRegistryStore::FileName() const {
    if (!Override.empty()) return Override;
    AnsiString base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/')
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = AnsiString(h) + "/.config";
    else
        base = "/tmp";
    return IncludeTrailingPathDelimiter(base) + "tarvik/registry.reg";
}

void TRegistryStore::Load(const AnsiString& File) {
    std::string text;
    TRegFileStamp stamp;
    TReadResult read = ReadWhole(File, text, stamp);
    const bool sameBytes = FLoaded && File == FLoadedFile && stamp.Exists == FLoadedStamp.Exists &&
                           read == TReadResult::Read && text == FLoadedText;
    FLoaded = true;
    FLoadedFile = File;
    FLoadedStamp = stamp;
    if (sameBytes) return; // the tree already holds what the file says
    FLoadedText = std::move(text);
    FDamaged = false;
    FTooLarge = false;
    Tree = TRegStoreTree();
    if (read == TReadResult::Missing) return;
    FTooLarge = read == TReadResult::TooLarge;
    AnsiString error = FTooLarge ? "larger than " + MaxSizeText() : AnsiString("it cannot be read");
    if (read == TReadResult::Read) {
        TRegStoreParse parse = ParseRegistryStoreFile(FLoadedText);
        if (parse.Ok()) {
            Tree = std::move(parse.Tree);
            return;
        }
        error = parse.Error;
    }
    FDamaged = true;
    Problem = "The settings file " + File + " is damaged (" + error + "); defaults are used";
}

void TRegistryStore::Refresh() {
    if (FLockFd >= 0) return;
    AnsiString file = FileName();
    if (FLoaded && file == FLoadedFile && StampOf(file) == FLoadedStamp) return;
    Load(file);
}

bool TRegistryStore::TakeFileLock(const AnsiString& File) {
    const AnsiString folder = ExtractFilePath(File);
    if (!MakeFolders(folder)) {
        Problem = "Cannot create the settings folder " + folder;
        return false;
    }
    // The lock file stays: removing it would let two writers lock two files.
    int fd = ::open((File + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        Problem = "Cannot open the lock of the settings file " + File;
        return false;
    }
    TScopeGuard close([fd] { ::close(fd); });
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    auto pause = std::chrono::microseconds(200);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) {
            Problem = "The settings file " + File + " stays locked by another program";
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
    close.Dismiss();
    FLockFd = fd;
    FLockedFile = File;
    return true;
}

void TRegistryStore::ReleaseFileLock() {
    if (FLockFd < 0) return;
    ::close(FLockFd); // closing lets the lock go
    FLockFd = -1;
}

LONG TRegistryStore::BeginChange() {
    if (FLockFd >= 0) return ERROR_SUCCESS; // the batch's change goes on
    const AnsiString file = FileName();
    if (!TakeFileLock(file)) return ERROR_WRITE_FAULT;
    Load(file);
    FBefore = Tree;
    FDirty = false;
    return ERROR_SUCCESS;
}

LONG TRegistryStore::EndChange() {
    return FBatchDepth > 0 ? ERROR_SUCCESS : Commit();
}

LONG TRegistryStore::EndBatch() {
    if (FBatchDepth == 0) return ERROR_INVALID_PARAMETER;
    if (--FBatchDepth > 0 || FLockFd < 0) return ERROR_SUCCESS;
    return Commit();
}

LONG TRegistryStore::Commit() {
    LONG rc = ERROR_SUCCESS;
    if (FDirty && !Save()) {
        Tree = std::move(FBefore);
        rc = ERROR_WRITE_FAULT;
    }
    FBefore = TRegStoreTree();
    FDirty = false;
    ReleaseFileLock();
    return rc;
}

bool TRegistryStore::MoveAside(const AnsiString& File, AnsiString& Aside) {
    char stamp[32];
    std::time_t t = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&t));
    Aside = File + ".damaged-" + stamp;
    for (int n = 1; StampOf(Aside).Exists; ++n)
        Aside = File + ".damaged-" + stamp + "-" + IntToStr(n);
    return std::rename(File.c_str(), Aside.c_str()) == 0;
}

bool TRegistryStore::Save() {
    const AnsiString& file = FLockedFile;
    if (FDamaged && StampOf(file).Exists) {
        AnsiString aside;
        if (!MoveAside(file, aside)) {
            Problem = "Cannot put the damaged settings file " + file + " aside; nothing was written";
            return false;
        }
        Problem = "The damaged settings file was kept as " + aside;
    }
    FDamaged = false;
    std::string text = WriteRegistryStoreFile(Tree);
    // Every write rewrites the whole file: a store past the limit would make
    // each one slow, and none of the program's settings come near it.
    if (text.size() > std::size_t(RegistryStoreMaxSize)) {
        Problem = "The settings file " + file + " would grow past " + MaxSizeText() + "; nothing was written";
        return false;
    }
    const AnsiString temp = TempFileOf(file);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool ok = fd >= 0 && WriteWhole(fd, text) && ::fsync(fd) == 0;
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), file.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        Problem = "Cannot write the settings file " + file;
        return false;
    }
    FLoaded = true;
    FLoadedFile = file;
    FLoadedStamp = StampOf(file);
    FLoadedText = std::move(text);
    return true;
}

void TRegistryStore::RemoveDeadWritersFiles(const AnsiString& File) {
    // Called with the lock held: a writer keeps it while its temporary file
    // exists, so whatever temporary file is there now belongs to a writer
    // that died, even when its pid has been given to another process since.
    const AnsiString folder = ExtractFilePath(File);
    const std::string prefix = ExtractFileName(File) + ".tmp-";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    TScopeGuard close([dir] { ::closedir(dir); });
    std::vector<std::string> stale;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.rfind(prefix, 0) == 0 && IsDigits(name.substr(prefix.size()))) stale.push_back(name);
    }
    for (const std::string& name : stale) {
        const AnsiString path = folder + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
    }
}

void TRegistryStore::Open() {
    const AnsiString file = FileName();
    if (!DirectoryExists(ExtractFilePath(file))) return; // a first start: nothing there yet
    if (!TakeFileLock(file)) {
        Refresh();
        return;
    }
    TScopeGuard release([this] { ReleaseFileLock(); });
    RemoveDeadWritersFiles(file);
    Load(file);
    if (!FDamaged) return;
    FHasDamage = true;
    FDamage.FileName = file;
    FDamage.TooLarge = FTooLarge;
    if (MoveAside(file, FDamage.KeptAs)) {
        FDamaged = false;
        FLoadedStamp = {};
        FLoadedText.clear();
        Problem = "The damaged settings file was kept as " + FDamage.KeptAs;
    } else {
        FDamage.KeptAs = file;
    }
}

bool TRegistryStore::TakeDamage(TRegistryStoreDamage& Damage) {
    if (!FHasDamage) return false;
    FHasDamage = false;
    Damage = FDamage;
    return true;
}

TRegistryStore& RegistryStore() {
    static TRegistryStore store;
    return store;
}

void RegBeginBatch() {
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    s.BeginBatch();
}

LONG RegEndBatch() {
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    return s.EndBatch();
}

void OpenRegistryStore() {
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    s.Open();
}

bool TakeRegistryStoreDamage(TRegistryStoreDamage& Damage) {
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    return s.TakeDamage(Damage);
}

AnsiString RegistryStoreDamageNotice(const TRegistryStoreDamage& Damage) {
    const AnsiString kept = Utf8ToAnsi(Damage.KeptAs);
    const int megabytes = int(RegistryStoreMaxSize >> 20);
    if (Damage.TooLarge && Damage.KeptAs == Damage.FileName)
        return Format("Файл настроек программы %s больше %d МБ, таких программа не ведёт, и он оставлен на "
                      "месте. Программа использует настройки по умолчанию."_cp,
                      {kept, megabytes});
    if (Damage.TooLarge)
        return Format("Файл настроек программы больше %d МБ, таких программа не ведёт. Прежний файл "
                      "сохранён как %s. Программа использует настройки по умолчанию."_cp,
                      {megabytes, kept});
    if (Damage.KeptAs == Damage.FileName)
        return Format("Файл настроек программы %s повреждён или не читается и оставлен на месте. "
                      "Программа использует настройки по умолчанию."_cp,
                      {kept});
    return Format("Файл настроек программы повреждён или не читается. Прежний файл сохранён как %s. "
                  "Программа использует настройки по умолчанию."_cp,
                  {kept});
}
