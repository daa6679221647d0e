// Version resources built from the version record of an ELF file and read
// back through the Windows query functions.
#include "platform/win/Version.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

void Put16(std::string& Out, uint16_t V) {
    Out.append(reinterpret_cast<const char*>(&V), 2);
}
void Put32(std::string& Out, uint32_t V) {
    Out.append(reinterpret_cast<const char*>(&V), 4);
}
void Align4(std::string& Out) {
    while (Out.size() % 4)
        Out += '\0';
}

std::string Utf16z(const AnsiString& Text) {
    std::string out;
    for (char16_t c : AnsiToWide(Text))
        Put16(out, c);
    Put16(out, 0);
    return out;
}

// One block of the 32-bit layout; children are already built blocks.
std::string Block(const AnsiString& Key, uint16_t Type, const std::string& Value, uint16_t ValueLength,
                  const std::vector<std::string>& Children) {
    std::string b;
    Put16(b, 0); // length, set below
    Put16(b, ValueLength);
    Put16(b, Type);
    b += Utf16z(Key);
    Align4(b);
    b += Value;
    for (const std::string& c : Children) {
        Align4(b);
        b += c;
    }
    uint16_t len = uint16_t(b.size());
    std::memcpy(b.data(), &len, 2);
    return b;
}

bool ParseVersion(const AnsiString& Text, DWORD& MS, DWORD& LS) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(Text.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) < 1) return false;
    MS = (a & 0xFFFF) << 16 | (b & 0xFFFF);
    LS = (c & 0xFFFF) << 16 | (d & 0xFFFF);
    return true;
}

template <class T> bool ReadAt(std::ifstream& In, uint64_t Offset, T& Value) {
    In.seekg(std::streamoff(Offset));
    In.read(reinterpret_cast<char*>(&Value), sizeof(T));
    return bool(In);
}

} // namespace

std::string BuildVersionResource(const std::vector<std::pair<AnsiString, AnsiString>>& Entries) {
    VS_FIXEDFILEINFO fixed;
    uint32_t translation = 0x04E30419; // Russian, code page 1251
    std::vector<std::string> strings;
    for (const auto& [key, value] : Entries) {
        if (key == "Translation") {
            unsigned t = 0;
            if (std::sscanf(value.c_str(), "%x", &t) == 1) translation = (t >> 16) | (t & 0xFFFF) << 16;
            continue;
        }
        if (key == "FileFlags") {
            fixed.dwFileFlags = DWORD(StrToIntDef(value, 0));
            continue;
        }
        if (key == "FileVersion") ParseVersion(value, fixed.dwFileVersionMS, fixed.dwFileVersionLS);
        if (key == "ProductVersion") ParseVersion(value, fixed.dwProductVersionMS, fixed.dwProductVersionLS);
        strings.push_back(Block(key, 1, Utf16z(value), uint16_t(AnsiToWide(value).size() + 1), {}));
    }
    char tableKey[16];
    std::snprintf(tableKey, sizeof tableKey, "%04X%04X", unsigned(translation & 0xFFFF),
                  unsigned(translation >> 16));
    std::string table = Block(tableKey, 1, "", 0, strings);
    std::string stringInfo = Block("StringFileInfo", 1, "", 0, {table});
    std::string tr;
    Put32(tr, translation);
    std::string varInfo = Block("VarFileInfo", 1, "", 0, {Block("Translation", 0, tr, 4, {})});
    std::string fixedBytes(reinterpret_cast<const char*>(&fixed), sizeof fixed);
    std::string resource = Block("VS_VERSION_INFO", 0, fixedBytes, 52, {stringInfo, varInfo});
    // Block lengths are 16-bit: a larger resource would be read as another
    // one, so there is none.
    return resource.size() > 0xFFFF ? std::string() : resource;
}

bool ReadVersionRecord(const AnsiString& FileName, std::string& Record) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in) return false;
    unsigned char ident[16];
    if (!in.read(reinterpret_cast<char*>(ident), 16) || std::memcmp(ident,
                                                                    "\x7F"
                                                                    "ELF",
                                                                    4) != 0)
        return false;
    if (ident[5] != 1) return false; // little-endian only
    bool is64 = ident[4] == 2;
    uint64_t shoff = 0;
    uint16_t shentsize = 0, shnum = 0, shstrndx = 0;
    if (is64) {
        if (!ReadAt(in, 0x28, shoff) || !ReadAt(in, 0x3A, shentsize) || !ReadAt(in, 0x3C, shnum) ||
            !ReadAt(in, 0x3E, shstrndx))
            return false;
    } else {
        uint32_t off32 = 0;
        if (!ReadAt(in, 0x20, off32) || !ReadAt(in, 0x2E, shentsize) || !ReadAt(in, 0x30, shnum) ||
            !ReadAt(in, 0x32, shstrndx))
            return false;
        shoff = off32;
    }
    if (!shoff || shstrndx >= shnum || shentsize < (is64 ? 64 : 40)) return false;
    auto section = [&](uint16_t Index, uint32_t& Name, uint64_t& Offset, uint64_t& Size) {
        uint64_t base = shoff + uint64_t(Index) * shentsize;
        if (!ReadAt(in, base, Name)) return false;
        if (is64) return ReadAt(in, base + 0x18, Offset) && ReadAt(in, base + 0x20, Size);
        uint32_t o = 0, s = 0;
        if (!ReadAt(in, base + 0x10, o) || !ReadAt(in, base + 0x14, s)) return false;
        Offset = o;
        Size = s;
        return true;
    };
    uint32_t name;
    uint64_t strOffset, strSize;
    if (!section(shstrndx, name, strOffset, strSize) || strSize > (1u << 24)) return false;
    std::string names(strSize, '\0');
    in.seekg(std::streamoff(strOffset));
    if (!in.read(names.data(), std::streamsize(strSize))) return false;
    for (uint16_t i = 0; i < shnum; ++i) {
        uint64_t offset, size;
        if (!section(i, name, offset, size)) return false;
        if (name >= names.size() || std::strcmp(names.c_str() + name, ".tarvik_version") != 0) continue;
        if (size > (1u << 20)) return false;
        Record.assign(size, '\0');
        in.seekg(std::streamoff(offset));
        if (!in.read(Record.data(), std::streamsize(size))) return false;
        // The record is a C string in the section.
        Record = Record.substr(0, Record.find('\0'));
        return true;
    }
    return false;
}

namespace {
bool ResourceOf(const AnsiString& FileName, std::string& Resource) {
    std::string record;
    if (!ReadVersionRecord(FileName, record)) return false;
    std::vector<std::pair<AnsiString, AnsiString>> entries;
    std::size_t start = 0;
    while (start < record.size()) {
        std::size_t end = record.find('\n', start);
        if (end == std::string::npos) end = record.size();
        std::string line = record.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t eq = line.find('=');
        if (eq != std::string::npos && eq > 0)
            entries.emplace_back(Trim(line.substr(0, eq)), line.substr(eq + 1));
        start = end + 1;
    }
    if (entries.empty()) return false;
    Resource = BuildVersionResource(entries);
    return !Resource.empty();
}
} // namespace

DWORD GetFileVersionInfoSizeA(const AnsiString& FileName, DWORD* Handle) {
    if (Handle) *Handle = 0;
    std::string resource;
    return ResourceOf(FileName, resource) ? DWORD(resource.size()) : 0;
}

bool GetFileVersionInfoA(const AnsiString& FileName, DWORD, DWORD Len, void* Data) {
    std::string resource;
    if (!Data || !ResourceOf(FileName, resource)) return false;
    std::memcpy(Data, resource.data(), std::min<std::size_t>(Len, resource.size()));
    return true;
}

bool VerQueryValueA(const void* Block, const AnsiString& SubBlock, const void** Buffer, UINT* Len) {
    if (!Block || !Buffer || !Len) return false;
    const unsigned char* base = static_cast<const unsigned char*>(Block);
    struct THeader {
        uint16_t Length, ValueLength, Type;
        AnsiString Key;
        std::size_t ValueOffset;
    };
    auto header = [&](std::size_t At, std::size_t End, THeader& H) {
        if (At + 6 > End) return false;
        std::memcpy(&H.Length, base + At, 2);
        std::memcpy(&H.ValueLength, base + At + 2, 2);
        std::memcpy(&H.Type, base + At + 4, 2);
        if (H.Length < 6 || At + H.Length > End) return false;
        std::u16string key;
        std::size_t p = At + 6;
        for (;; p += 2) {
            if (p + 2 > At + H.Length) return false;
            char16_t c;
            std::memcpy(&c, base + p, 2);
            if (!c) break;
            key += c;
        }
        H.Key = WideToAnsi(key);
        H.ValueOffset = (p + 2 + 3) & ~std::size_t(3);
        return true;
    };
    THeader root;
    uint16_t total;
    std::memcpy(&total, base, 2);
    if (!header(0, total, root)) return false;
    std::vector<AnsiString> parts;
    for (std::size_t s = 0; s <= SubBlock.size();) {
        std::size_t e = SubBlock.find('\\', s);
        if (e == AnsiString::npos) e = SubBlock.size();
        if (e > s) parts.push_back(SubBlock.substr(s, e - s));
        s = e + 1;
    }
    THeader cur = root;
    std::size_t curAt = 0;
    for (const AnsiString& part : parts) {
        std::size_t valueBytes = cur.Type == 1 ? cur.ValueLength * 2u : cur.ValueLength;
        std::size_t at = (cur.ValueOffset + valueBytes + 3) & ~std::size_t(3);
        std::size_t end = curAt + cur.Length;
        bool found = false;
        while (at < end) {
            THeader child;
            if (!header(at, end, child)) return false;
            if (SameText(child.Key, part)) {
                cur = child;
                curAt = at;
                found = true;
                break;
            }
            at = (at + child.Length + 3) & ~std::size_t(3);
        }
        if (!found) return false;
    }
    *Buffer = base + cur.ValueOffset;
    *Len = cur.ValueLength;
    return true;
}
