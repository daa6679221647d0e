// The temporary folder, a loaded module's path, and the reading of a file's
// version resource.
#include "util/JclFileUtils.h"

#include <dlfcn.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/win/Module.h"
#include "platform/win/WinBase.h"
#include "util/JclUnitVersioning.h"

AnsiString GetSystemTempPath() {
    AnsiString path = GetTempPath();
    return path.substr(0, path.find('\0'));
}

AnsiString ModuleFilePath(std::uintptr_t ModuleHandle) {
    // No fixed-size buffer: a long path is never cut.
    if (!ModuleHandle) return GetModuleFileName();
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(ModuleHandle), &info) || !info.dli_fname) return AnsiString();
    return info.dli_fname;
}

bool ReadFixedFileInfo(const AnsiString& FileName, VS_FIXEDFILEINFO& Fixed) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(FileName, &handle);
    if (!size) return false;
    std::string buffer(size, '\0');
    if (!GetFileVersionInfoA(FileName, handle, size, buffer.data())) return false;
    const void* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(buffer.data(), "\\", &value, &len) || len != sizeof(VS_FIXEDFILEINFO)) return false;
    std::memcpy(&Fixed, value, sizeof Fixed);
    return true;
}

namespace {
const char kNoVersionInfo[] = "File contains no version information";
}

TJclFileVersionInfo::TJclFileVersionInfo(const AnsiString& FileName) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(FileName, &handle);
    if (!size) throw EJclFileVersionInfoError(kNoVersionInfo);
    FRawBuffer.assign(size, '\0');
    if (!GetFileVersionInfoA(FileName, handle, size, FRawBuffer.data()))
        throw EJclError(std::strerror(errno ? errno : EIO));
    Parse();
}

std::unique_ptr<TJclFileVersionInfo> TJclFileVersionInfo::FromBuffer(std::string RawBuffer) {
    std::unique_ptr<TJclFileVersionInfo> info(new TJclFileVersionInfo);
    info->FRawBuffer = std::move(RawBuffer);
    info->Parse();
    return info;
}

namespace {

// Walks the resource; any read outside the buffer is a fault, never a read
// past its end.
class TVersionParser {
public:
    explicit TVersionParser(const std::string& Buffer) : B(Buffer) {}

    struct THeader {
        uint16_t Length = 0, ValueLength = 0, Type = 1;
        AnsiString Key;
        std::size_t Size = 0; // header size, alignment included
    };

    const std::string& B;
    bool Fault = false;
    bool Wide = true;

    static std::size_t Align(std::size_t P) { return (P + 3) & ~std::size_t(3); }

    bool Word(std::size_t At, uint16_t& V) {
        if (At + 2 > B.size()) return Fault = true, false;
        std::memcpy(&V, B.data() + At, 2);
        return true;
    }

    bool Header(std::size_t At, THeader& H) {
        H = THeader{};
        if (!Word(At, H.Length) || H.Length == 0 || !Word(At + 2, H.ValueLength)) return Fault = true, false;
        std::size_t p = At + 4;
        if (Wide) {
            if (!Word(p, H.Type)) return false;
            p += 2;
            std::u16string key;
            for (uint16_t c; Word(p, c); p += 2) {
                if (!c) break;
                key += char16_t(c);
            }
            if (Fault) return false;
            H.Key = WideToAnsi(key);
            p += 2;
        } else {
            std::size_t end = B.find('\0', p);
            if (end == std::string::npos) return Fault = true, false;
            H.Key = B.substr(p, end - p);
            p = end + 1;
        }
        H.Size = Align(p) - At;
        return true;
    }

    AnsiString WideText(std::size_t At, std::size_t Units) {
        std::u16string text;
        for (std::size_t i = 0; i < Units; ++i) {
            uint16_t c;
            if (!Word(At + 2 * i, c)) return AnsiString();
            text += char16_t(c);
        }
        AnsiString s = WideToAnsi(text);
        return s.substr(0, s.find('\0'));
    }
};

AnsiString CleanTableKey(AnsiString Key) {
    for (std::size_t p; (p = Key.find("0x")) != AnsiString::npos;)
        Key.erase(p, 2);
    AnsiString out;
    for (char c : Key)
        if (std::isxdigit(static_cast<unsigned char>(c))) out += c;
    return out;
}

} // namespace

void TJclFileVersionInfo::Parse() {
    TVersionParser p(FRawBuffer);
    uint16_t typeWord = 0;
    p.Wide = p.Word(4, typeWord) && typeWord < 2;
    p.Fault = false;
    TVersionParser::THeader root;
    if (!p.Header(0, root) || !SameText(root.Key, "VS_VERSION_INFO") || root.ValueLength != 52 ||
        root.Size + 52 > FRawBuffer.size())
        throw EJclFileVersionInfoError(kNoVersionInfo);
    std::memcpy(&FFixedInfo, FRawBuffer.data() + root.Size, 52);
    if (FFixedInfo.dwSignature != 0xFEEF04BD) throw EJclFileVersionInfoError(kNoVersionInfo);
    std::size_t pos = TVersionParser::Align(root.Size + 52);
    const std::size_t rootEnd = std::min<std::size_t>(root.Length, FRawBuffer.size());
    while (!p.Fault && pos < rootEnd) {
        TVersionParser::THeader child;
        if (!p.Header(pos, child)) break;
        const std::size_t body = pos + child.Size + child.ValueLength;
        const std::size_t childEnd = pos + child.Length;
        if (SameText(child.Key, "StringFileInfo")) {
            std::size_t at = body;
            while (!p.Fault && at < childEnd) {
                TVersionParser::THeader table;
                if (!p.Header(at, table)) break;
                AnsiString key = CleanTableKey(table.Key);
                if (table.ValueLength != 0 || key.size() != 8) {
                    p.Fault = true;
                    break;
                }
                uint32_t lang = uint32_t(std::strtoul(key.substr(0, 4).c_str(), nullptr, 16));
                uint32_t cp = uint32_t(std::strtoul(key.substr(4, 4).c_str(), nullptr, 16));
                FLanguages.push_back(lang | cp << 16);
                const uint32_t langIndex = uint32_t(FLanguages.size() - 1);
                const std::size_t tableEnd = at + table.Length;
                std::size_t s = TVersionParser::Align(at + table.Size);
                while (!p.Fault && s < tableEnd) {
                    TVersionParser::THeader str;
                    if (!p.Header(s, str)) break;
                    const std::size_t v = s + str.Size;
                    AnsiString value;
                    if (str.Type == 1) {
                        if (str.ValueLength == 0)
                            value.clear();
                        else if (p.Wide)
                            value = p.WideText(v, str.ValueLength);
                        else {
                            std::size_t end = FRawBuffer.find('\0', v);
                            value = v < FRawBuffer.size() ? FRawBuffer.substr(v, end - v) : AnsiString();
                        }
                    } else if (str.Type == 0) {
                        if (str.ValueLength >= 1 && str.ValueLength <= 4) {
                            uint32_t word = 0;
                            if (v + 4 > FRawBuffer.size())
                                p.Fault = true;
                            else
                                std::memcpy(&word, FRawBuffer.data() + v, 4);
                            value = "$" + IntToHex(word, str.ValueLength * 2);
                        } else if (str.ValueLength > 4 && p.Wide) {
                            std::size_t units = 0;
                            for (uint16_t c; p.Word(v + 2 * units, c) && c; ++units) {
                            }
                            value = p.WideText(v, units);
                        }
                    } else {
                        p.Fault = true;
                    }
                    if (p.Fault) break;
                    s = TVersionParser::Align(s + str.Length);
                    FAllEntries.push_back({str.Key + "=" + value, langIndex});
                }
                at = TVersionParser::Align(tableEnd);
            }
        } else if (SameText(child.Key, "VarFileInfo")) {
            TVersionParser::THeader var;
            if (body < childEnd && p.Header(body, var) && SameText(var.Key, "Translation")) {
                const std::size_t v = body + var.Size;
                for (std::size_t i = 0; i < var.ValueLength / 4u; ++i) {
                    uint32_t word;
                    if (v + 4 * i + 4 > FRawBuffer.size()) {
                        p.Fault = true;
                        break;
                    }
                    std::memcpy(&word, FRawBuffer.data() + v + 4 * i, 4);
                    FTranslations.push_back(word);
                }
            }
        } else {
            break;
        }
        pos = TVersionParser::Align(childEnd);
    }
    const DWORD flags = FFixedInfo.dwFileFlags & FFixedInfo.dwFileFlagsMask;
    FFileFlags = 0;
    if (flags & VS_FF_DEBUG) FFileFlags |= FileFlagDebug;
    if (flags & VS_FF_INFOINFERRED) FFileFlags |= FileFlagInfoInferred;
    if (flags & VS_FF_PATCHED) FFileFlags |= FileFlagPatched;
    if (flags & VS_FF_PRERELEASE) FFileFlags |= FileFlagPreRelease;
    if (flags & VS_FF_PRIVATEBUILD) FFileFlags |= FileFlagPrivateBuild;
    if (flags & VS_FF_SPECIALBUILD) FFileFlags |= FileFlagSpecialBuild;
    FLanguageEntries.clear();
    for (const TVersionEntry& e : FAllEntries)
        if (int(e.Tag) == FCurrentLanguage) FLanguageEntries.push_back({e.Text, FLanguages[e.Tag]});
    if (p.Fault) throw EJclFileVersionInfoError(kNoVersionInfo);
}

AnsiString TJclFileVersionInfo::VersionKeyValue(int Index) const {
    if (Index < 1 || Index > 12) return AnsiString();
    const AnsiString key = VersionKeyNames[Index];
    for (const TVersionEntry& e : FLanguageEntries) {
        std::size_t eq = e.Text.find('=');
        if (SameText(e.Text.substr(0, eq), key))
            return eq == AnsiString::npos ? AnsiString() : e.Text.substr(eq + 1);
    }
    return AnsiString();
}

LIBRARY_UNIT_VERSION("util/JclFileUtils.cpp", "1", "2026-12-10", "JclLib\\source\\common")
