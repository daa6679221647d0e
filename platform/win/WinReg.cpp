// The per-user registry store file: reading, keys and values, atomic writes.
#include "platform/win/WinReg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <vector>

#include "platform/rtl/ScopeGuard.h"

namespace {

struct TRegValue {
    AnsiString Name;
    DWORD Type = REG_NONE;
    std::string Data;
};

struct TRegKey {
    AnsiString Name;
    std::vector<TRegKey> SubKeys;  // sorted by upper-case name
    std::vector<TRegValue> Values; // in the order they were made

    TRegKey* FindSubKey(const AnsiString& Upper) {
        for (TRegKey& k : SubKeys)
            if (AnsiUpperCase(k.Name) == Upper) return &k;
        return nullptr;
    }
    TRegKey& AddSubKey(const AnsiString& KeyName) {
        AnsiString upper = AnsiUpperCase(KeyName);
        auto it =
            std::lower_bound(SubKeys.begin(), SubKeys.end(), upper,
                             [](const TRegKey& k, const AnsiString& u) { return AnsiUpperCase(k.Name) < u; });
        it = SubKeys.insert(it, TRegKey{});
        it->Name = KeyName;
        return *it;
    }
    TRegKey& FindOrAddSubKey(const AnsiString& KeyName) {
        TRegKey* k = FindSubKey(AnsiUpperCase(KeyName));
        return k ? *k : AddSubKey(KeyName);
    }
    TRegValue* FindValue(const AnsiString& ValueName) {
        for (TRegValue& v : Values)
            if (SameText(v.Name, ValueName)) return &v;
        return nullptr;
    }
};

struct TRootInfo {
    HKEY Handle;
    const char* Name;
};
const TRootInfo kRoots[] = {{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
                            {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                            {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
                            {HKEY_USERS, "HKEY_USERS"},
                            {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
                            {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
                            {HKEY_DYN_DATA, "HKEY_DYN_DATA"}};

bool IsRoot(HKEY Key) {
    return Key >= HKEY_CLASSES_ROOT && Key <= HKEY_DYN_DATA;
}

const char kHeader[] = "Windows Registry Editor Version 5.00";

struct TFileStamp {
    bool Exists = false;
    dev_t Dev = 0;
    ino_t Ino = 0;
    off_t Size = 0;
    long long MTimeNs = 0;
    bool operator==(const TFileStamp&) const = default;
};

TFileStamp StampOf(const AnsiString& FileName) {
    TFileStamp s;
    struct stat st;
    if (::stat(FileName.c_str(), &st) != 0) return s;
    s.Exists = true;
    s.Dev = st.st_dev;
    s.Ino = st.st_ino;
    s.Size = st.st_size;
    s.MTimeNs = (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    return s;
}

// ------------------------------------------------------------- file format

std::string Quote(const AnsiString& Ansi) {
    std::string out = "\"";
    for (char c : AnsiToUtf8(Ansi)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string HexBytes(const std::string& Data) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < Data.size(); ++i) {
        if (i) out += ',';
        unsigned char b = Data[i];
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// A REG_SZ value goes out as a quoted text only when the text reads back to
// the very same bytes; anything else is written as hexadecimal bytes.
bool IsPlainText(const std::string& Data) {
    if (Data.empty() || Data.back() != '\0') return false;
    for (std::size_t i = 0; i + 1 < Data.size(); ++i)
        if (Data[i] == '\0' || Data[i] == '\r' || Data[i] == '\n') return false;
    return true;
}

std::string ValueLine(const TRegValue& V) {
    std::string line = V.Name.empty() ? "@" : Quote(V.Name);
    line += '=';
    if (V.Type == REG_SZ && IsPlainText(V.Data)) {
        line += Quote(V.Data.substr(0, V.Data.size() - 1));
    } else if (V.Type == REG_DWORD && V.Data.size() == 4) {
        uint32_t d = 0;
        std::memcpy(&d, V.Data.data(), 4);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        line += buf;
    } else if (V.Type == REG_BINARY) {
        line += "hex:" + HexBytes(V.Data);
    } else {
        char buf[32];
        std::snprintf(buf, sizeof buf, "hex(%x):", unsigned(V.Type));
        line += buf + HexBytes(V.Data);
    }
    return line;
}

void WriteKey(std::string& Out, const std::string& Path, const TRegKey& Key, bool IsRootKey) {
    if (!IsRootKey || !Key.Values.empty()) {
        Out += "\n[" + Path + "]\n";
        for (const TRegValue& v : Key.Values)
            Out += ValueLine(v) + "\n";
    }
    for (const TRegKey& k : Key.SubKeys)
        WriteKey(Out, Path + "\\" + AnsiToUtf8(k.Name), k, false);
}

// Parses a quoted text at Pos (which points at the opening quote).
bool ParseQuoted(const std::string& Line, std::size_t& Pos, AnsiString& Out) {
    if (Pos >= Line.size() || Line[Pos] != '"') return false;
    std::string utf8;
    for (++Pos; Pos < Line.size(); ++Pos) {
        char c = Line[Pos];
        if (c == '\\') {
            if (++Pos >= Line.size()) return false;
            utf8 += Line[Pos];
        } else if (c == '"') {
            ++Pos;
            Out = Utf8ToAnsi(utf8);
            return true;
        } else {
            utf8 += c;
        }
    }
    return false;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

bool ParseHexBytes(const std::string& Text, std::string& Out) {
    Out.clear();
    std::string t;
    for (char c : Text)
        if (c != ' ' && c != '\t') t += c;
    if (t.empty()) return true;
    std::size_t pos = 0;
    while (true) {
        if (pos + 2 > t.size()) return false;
        int hi = HexDigit(t[pos]), lo = HexDigit(t[pos + 1]);
        if (hi < 0 || lo < 0) return false;
        Out += char(hi * 16 + lo);
        pos += 2;
        if (pos == t.size()) return true;
        if (t[pos] != ',') return false;
        ++pos;
    }
}

bool ParseValueLine(const std::string& Line, TRegValue& V) {
    std::size_t pos = 0;
    if (Line[0] == '@') {
        V.Name.clear();
        pos = 1;
    } else if (!ParseQuoted(Line, pos, V.Name)) {
        return false;
    }
    if (pos >= Line.size() || Line[pos] != '=') return false;
    std::string data = Line.substr(pos + 1);
    if (!data.empty() && data[0] == '"') {
        std::size_t p = 0;
        AnsiString text;
        if (!ParseQuoted(data, p, text) || p != data.size()) return false;
        V.Type = REG_SZ;
        V.Data = text + '\0';
        return true;
    }
    if (data.rfind("dword:", 0) == 0) {
        std::string digits = data.substr(6);
        if (digits.empty() || digits.size() > 8) return false;
        uint32_t d = 0;
        for (char c : digits) {
            int h = HexDigit(c);
            if (h < 0) return false;
            d = d * 16 + uint32_t(h);
        }
        V.Type = REG_DWORD;
        V.Data.assign(reinterpret_cast<const char*>(&d), 4);
        return true;
    }
    if (data.rfind("hex:", 0) == 0) {
        V.Type = REG_BINARY;
        return ParseHexBytes(data.substr(4), V.Data);
    }
    if (data.rfind("hex(", 0) == 0) {
        std::size_t close = data.find("):");
        if (close == std::string::npos || close == 4 || close > 12) return false;
        uint32_t t = 0;
        for (std::size_t i = 4; i < close; ++i) {
            int h = HexDigit(data[i]);
            if (h < 0) return false;
            t = t * 16 + uint32_t(h);
        }
        V.Type = t;
        return ParseHexBytes(data.substr(close + 2), V.Data);
    }
    return false;
}

std::vector<AnsiString> SplitKeyPath(const AnsiString& Path) {
    std::vector<AnsiString> parts;
    std::size_t start = 0;
    while (start <= Path.size()) {
        std::size_t end = Path.find('\\', start);
        if (end == AnsiString::npos) end = Path.size();
        if (end > start) parts.push_back(Path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// ------------------------------------------------------------- the store

class TStore {
public:
    std::mutex Lock;
    std::map<HKEY, TRegKey> Roots;
    struct THandle {
        HKEY Root;
        std::vector<AnsiString> Path;
    };
    std::map<HKEY, THandle> Handles;
    HKEY NextHandle = 0x1000;
    AnsiString Override;
    AnsiString LoadedFile;
    TFileStamp LoadedStamp;
    bool Damaged = false; // the file on disk could not be read; put it aside before writing
    AnsiString Problem;

    AnsiString FileName() const {
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

    void Clear() {
        Roots.clear();
        for (const TRootInfo& r : kRoots)
            Roots[r.Handle].Name = r.Name;
    }

    // Brings the memory in line with the file when the file changed under us.
    void Refresh() {
        AnsiString file = FileName();
        TFileStamp stamp = StampOf(file);
        if (file == LoadedFile && stamp == LoadedStamp && !Roots.empty()) return;
        LoadedFile = file;
        LoadedStamp = stamp;
        Clear();
        Damaged = false;
        if (!stamp.Exists) return;
        std::string text;
        if (!ReadFile(file, text) || !Parse(text)) {
            Clear();
            Damaged = true;
            Problem = "The settings file " + file + " cannot be read; defaults are used";
        }
    }

    static bool ReadFile(const AnsiString& File, std::string& Text) {
        FILE* f = std::fopen(File.c_str(), "rb");
        if (!f) return false;
        TScopeGuard close([f] { std::fclose(f); });
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            Text.append(buf, n);
        return !std::ferror(f);
    }

    bool Parse(const std::string& Text) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < Text.size()) {
            std::size_t end = Text.find('\n', start);
            if (end == std::string::npos) end = Text.size();
            std::string line = Text.substr(start, end - start);
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
                line.pop_back();
            // A trailing backslash continues a hexadecimal value on the next line.
            if (!lines.empty() && !lines.back().empty() && lines.back().back() == '\\' &&
                lines.back().find('=') != std::string::npos && lines.back()[0] != '[') {
                lines.back().pop_back();
                std::size_t b = line.find_first_not_of(" \t");
                lines.back() += b == std::string::npos ? std::string() : line.substr(b);
            } else {
                lines.push_back(line);
            }
            start = end + 1;
        }
        std::size_t i = 0;
        if (!lines.empty() && lines[0].rfind("\xEF\xBB\xBF", 0) == 0) lines[0].erase(0, 3);
        if (lines.empty() || (lines[0] != kHeader && lines[0] != "REGEDIT4")) return false;
        TRegKey* current = nullptr;
        for (i = 1; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (line.empty() || line[0] == ';') continue;
            if (line[0] == '[') {
                if (line.back() != ']' || line.size() < 3 || line[1] == '-') return false;
                std::vector<AnsiString> parts = SplitKeyPath(Utf8ToAnsi(line.substr(1, line.size() - 2)));
                if (parts.empty()) return false;
                current = nullptr;
                for (const TRootInfo& r : kRoots)
                    if (parts[0] == r.Name) current = &Roots[r.Handle];
                if (!current) return false;
                for (std::size_t p = 1; p < parts.size(); ++p)
                    current = &current->FindOrAddSubKey(parts[p]);
                continue;
            }
            TRegValue v;
            if (!current || !ParseValueLine(line, v)) return false;
            if (TRegValue* old = current->FindValue(v.Name))
                *old = v;
            else
                current->Values.push_back(v);
        }
        return true;
    }

    std::string Serialize() const {
        std::string out = kHeader;
        out += "\n";
        for (const auto& [handle, key] : Roots)
            WriteKey(out, key.Name, key, true);
        return out;
    }

    static bool MakeFolders(const AnsiString& Folder) {
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

    bool Save() {
        AnsiString file = FileName();
        AnsiString folder = ExtractFilePath(file);
        if (!MakeFolders(folder)) {
            Problem = "Cannot create the settings folder " + folder;
            return false;
        }
        if (Damaged && StampOf(file).Exists) {
            char stamp[32];
            std::time_t t = std::time(nullptr);
            std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&t));
            AnsiString aside = file + ".damaged-" + stamp;
            for (int n = 1; StampOf(aside).Exists; ++n)
                aside = file + ".damaged-" + stamp + "-" + IntToStr(n);
            if (std::rename(file.c_str(), aside.c_str()) != 0) {
                Problem = "Cannot put the damaged settings file " + file + " aside; nothing was written";
                return false;
            }
            Problem = "The damaged settings file was kept as " + aside;
        }
        Damaged = false;
        std::string text = Serialize();
        AnsiString temp = file + ".tmp-" + IntToStr(::getpid());
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        bool ok = fd >= 0;
        for (std::size_t done = 0; ok && done < text.size();) {
            ssize_t n = ::write(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0)
                ok = false;
            else
                done += std::size_t(n);
        }
        if (ok && ::fsync(fd) != 0) ok = false;
        if (fd >= 0 && ::close(fd) != 0) ok = false;
        if (ok && std::rename(temp.c_str(), file.c_str()) != 0) ok = false;
        if (!ok) {
            ::unlink(temp.c_str());
            Problem = "Cannot write the settings file " + file;
            return false;
        }
        LoadedFile = file;
        LoadedStamp = StampOf(file);
        return true;
    }

    // Runs a change and writes the store; when the write fails the change
    // is undone, so memory and file stay alike.
    template <class F> LONG Change(F&& Mutate) {
        std::map<HKEY, TRegKey> backup = Roots;
        LONG rc = Mutate();
        if (rc != ERROR_SUCCESS) return rc;
        TScopeGuard undo([&] { Roots = std::move(backup); });
        if (!Save()) return ERROR_WRITE_FAULT;
        undo.Dismiss();
        return ERROR_SUCCESS;
    }

    bool Resolve(HKEY Key, HKEY& Root, std::vector<AnsiString>& Path) {
        if (IsRoot(Key)) {
            Root = Key;
            Path.clear();
            return true;
        }
        auto it = Handles.find(Key);
        if (it == Handles.end()) return false;
        Root = it->second.Root;
        Path = it->second.Path;
        return true;
    }

    // The root and key path of SubKey below the key a handle stands for.
    bool ResolveBelow(HKEY Key, const char* SubKey, HKEY& Root, std::vector<AnsiString>& Path) {
        if (!Resolve(Key, Root, Path)) return false;
        for (const AnsiString& p : SplitKeyPath(SubKey ? SubKey : ""))
            Path.push_back(p);
        return true;
    }

    TRegKey* Find(HKEY Root, const std::vector<AnsiString>& Path) {
        TRegKey* k = &Roots[Root];
        for (const AnsiString& p : Path) {
            k = k->FindSubKey(AnsiUpperCase(p));
            if (!k) return nullptr;
        }
        return k;
    }

    // The key a handle stands for: null when the handle is unknown (Rc
    // ERROR_INVALID_HANDLE) or its key was deleted (ERROR_KEY_DELETED).
    TRegKey* KeyOf(HKEY Key, LONG& Rc) {
        HKEY root;
        std::vector<AnsiString> path;
        if (!Resolve(Key, root, path)) {
            Rc = ERROR_INVALID_HANDLE;
            return nullptr;
        }
        TRegKey* k = Find(root, path);
        Rc = k ? ERROR_SUCCESS : ERROR_KEY_DELETED;
        return k;
    }

    HKEY NewHandle(HKEY Root, std::vector<AnsiString> Path) {
        HKEY h = NextHandle++;
        Handles[h] = THandle{Root, std::move(Path)};
        return h;
    }
};

TStore& Store() {
    static TStore store;
    return store;
}

// Runs Action on the key a handle stands for, under the store's lock and on
// the file's latest state; an unknown or deleted key gives its error.
template <class F> LONG WithKey(HKEY Key, F&& Action) {
    TStore& s = Store();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    LONG rc;
    TRegKey* k = s.KeyOf(Key, rc);
    return k ? Action(s, *k) : rc;
}

bool HasLineBreak(const char* Name) {
    return Name && (std::strchr(Name, '\n') || std::strchr(Name, '\r'));
}

LONG CopyOut(const std::string& Data, BYTE* Buffer, DWORD* Size) {
    if (!Size) return Buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD needed = DWORD(Data.size());
    if (Buffer && *Size < needed) {
        *Size = needed;
        return ERROR_MORE_DATA;
    }
    if (Buffer && needed) std::memcpy(Buffer, Data.data(), needed);
    *Size = needed;
    return ERROR_SUCCESS;
}

LONG CopyName(const AnsiString& Name, char* Buffer, DWORD* Size) {
    if (!Buffer || !Size) return ERROR_INVALID_PARAMETER;
    if (*Size < Name.size() + 1) {
        *Size = DWORD(Name.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(Buffer, Name.c_str(), Name.size() + 1);
    *Size = DWORD(Name.size());
    return ERROR_SUCCESS;
}

} // namespace

LONG RegOpenKeyExA(HKEY Key, const char* SubKey, DWORD, REGSAM, HKEY* Result) {
    if (!Result) return ERROR_INVALID_PARAMETER;
    *Result = 0;
    TStore& s = Store();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    HKEY root;
    std::vector<AnsiString> path;
    if (!s.ResolveBelow(Key, SubKey, root, path)) return ERROR_INVALID_HANDLE;
    if (!s.Find(root, path)) return ERROR_FILE_NOT_FOUND;
    *Result = s.NewHandle(root, std::move(path));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY Key, const char* SubKey, DWORD, const char*, DWORD, REGSAM, void*, HKEY* Result,
                     DWORD* Disposition) {
    if (!Result || HasLineBreak(SubKey)) return ERROR_INVALID_PARAMETER;
    *Result = 0;
    TStore& s = Store();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    LONG rc;
    if (!s.KeyOf(Key, rc)) return rc;
    HKEY root;
    std::vector<AnsiString> path;
    s.ResolveBelow(Key, SubKey, root, path);
    bool existed = s.Find(root, path) != nullptr;
    if (!existed) {
        rc = s.Change([&] {
            TRegKey* k = &s.Roots[root];
            for (const AnsiString& p : path)
                k = &k->FindOrAddSubKey(p);
            return ERROR_SUCCESS;
        });
        if (rc != ERROR_SUCCESS) return rc;
    }
    if (Disposition) *Disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *Result = s.NewHandle(root, std::move(path));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyA(HKEY Key, const char* SubKey, HKEY* Result) {
    return RegCreateKeyExA(Key, SubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, Result,
                           nullptr);
}

LONG RegCloseKey(HKEY Key) {
    if (IsRoot(Key)) return ERROR_SUCCESS;
    TStore& s = Store();
    std::lock_guard guard(s.Lock);
    return s.Handles.erase(Key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExA(HKEY Key, const char* ValueName, DWORD*, DWORD* Type, BYTE* Data, DWORD* DataSize) {
    return WithKey(Key, [&](TStore&, TRegKey& k) -> LONG {
        TRegValue* v = k.FindValue(ValueName ? ValueName : "");
        if (!v) return ERROR_FILE_NOT_FOUND;
        if (Type) *Type = v->Type;
        return CopyOut(v->Data, Data, DataSize);
    });
}

LONG RegSetValueExA(HKEY Key, const char* ValueName, DWORD, DWORD Type, const BYTE* Data, DWORD DataSize) {
    if (HasLineBreak(ValueName) || (!Data && DataSize)) return ERROR_INVALID_PARAMETER;
    return WithKey(Key, [&](TStore& s, TRegKey& k) {
        return s.Change([&] {
            AnsiString name = ValueName ? ValueName : "";
            TRegValue* v = k.FindValue(name);
            if (!v) {
                k.Values.push_back(TRegValue{name, REG_NONE, {}});
                v = &k.Values.back();
            }
            v->Type = Type;
            v->Data.assign(reinterpret_cast<const char*>(Data), DataSize);
            return ERROR_SUCCESS;
        });
    });
}

LONG RegDeleteValueA(HKEY Key, const char* ValueName) {
    const AnsiString name = ValueName ? ValueName : "";
    return WithKey(Key, [&](TStore& s, TRegKey& k) -> LONG {
        if (!k.FindValue(name)) return ERROR_FILE_NOT_FOUND;
        return s.Change([&] {
            std::erase_if(k.Values, [&](const TRegValue& v) { return SameText(v.Name, name); });
            return ERROR_SUCCESS;
        });
    });
}

LONG RegDeleteKeyA(HKEY Key, const char* SubKey) {
    TStore& s = Store();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    HKEY root;
    std::vector<AnsiString> path;
    if (!s.ResolveBelow(Key, SubKey, root, path)) return ERROR_INVALID_HANDLE;
    if (path.empty()) return ERROR_ACCESS_DENIED; // a root is never deleted
    TRegKey* k = s.Find(root, path);
    if (!k) return ERROR_FILE_NOT_FOUND;
    if (!k->SubKeys.empty()) return ERROR_ACCESS_DENIED;
    return s.Change([&] {
        std::vector<AnsiString> parentPath(path.begin(), path.end() - 1);
        TRegKey* parent = s.Find(root, parentPath);
        AnsiString upper = AnsiUpperCase(path.back());
        std::erase_if(parent->SubKeys, [&](const TRegKey& sub) { return AnsiUpperCase(sub.Name) == upper; });
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyExA(HKEY Key, DWORD Index, char* Name, DWORD* NameSize, DWORD*, char*, DWORD*, void*) {
    return WithKey(Key, [&](TStore&, TRegKey& k) -> LONG {
        if (Index >= k.SubKeys.size()) return ERROR_NO_MORE_ITEMS;
        return CopyName(k.SubKeys[Index].Name, Name, NameSize);
    });
}

LONG RegEnumValueA(HKEY Key, DWORD Index, char* ValueName, DWORD* ValueNameSize, DWORD*, DWORD* Type,
                   BYTE* Data, DWORD* DataSize) {
    return WithKey(Key, [&](TStore&, TRegKey& k) -> LONG {
        if (Index >= k.Values.size()) return ERROR_NO_MORE_ITEMS;
        const TRegValue& v = k.Values[Index];
        LONG rc = CopyName(v.Name, ValueName, ValueNameSize);
        if (rc != ERROR_SUCCESS) return rc;
        if (Type) *Type = v.Type;
        return CopyOut(v.Data, Data, DataSize);
    });
}

LONG RegEnumKeyName(HKEY Key, DWORD Index, AnsiString& Name) {
    return WithKey(Key, [&](TStore&, TRegKey& k) -> LONG {
        if (Index >= k.SubKeys.size()) return ERROR_NO_MORE_ITEMS;
        Name = k.SubKeys[Index].Name;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumValueName(HKEY Key, DWORD Index, AnsiString& Name) {
    return WithKey(Key, [&](TStore&, TRegKey& k) -> LONG {
        if (Index >= k.Values.size()) return ERROR_NO_MORE_ITEMS;
        Name = k.Values[Index].Name;
        return ERROR_SUCCESS;
    });
}

LONG RegQueryInfoKeyA(HKEY Key, char*, DWORD*, DWORD*, DWORD* SubKeys, DWORD* MaxSubKeyLen, DWORD*,
                      DWORD* Values, DWORD* MaxValueNameLen, DWORD* MaxValueLen, DWORD*, void*) {
    return WithKey(Key, [&](TStore&, TRegKey& k) -> LONG {
        DWORD maxSub = 0, maxName = 0, maxData = 0;
        for (const TRegKey& sub : k.SubKeys)
            maxSub = std::max(maxSub, DWORD(sub.Name.size()));
        for (const TRegValue& v : k.Values) {
            maxName = std::max(maxName, DWORD(v.Name.size()));
            maxData = std::max(maxData, DWORD(v.Data.size()));
        }
        if (SubKeys) *SubKeys = DWORD(k.SubKeys.size());
        if (MaxSubKeyLen) *MaxSubKeyLen = maxSub;
        if (Values) *Values = DWORD(k.Values.size());
        if (MaxValueNameLen) *MaxValueNameLen = maxName;
        if (MaxValueLen) *MaxValueLen = maxData;
        return ERROR_SUCCESS;
    });
}

AnsiString RegistryStoreFileName() {
    TStore& s = Store();
    std::lock_guard guard(s.Lock);
    return s.FileName();
}

void SetRegistryStoreFileOverride(const AnsiString& FileName) {
    TStore& s = Store();
    std::lock_guard guard(s.Lock);
    s.Override = FileName;
}

AnsiString TakeRegistryStoreProblem() {
    TStore& s = Store();
    std::lock_guard guard(s.Lock);
    AnsiString p = s.Problem;
    s.Problem.clear();
    return p;
}
