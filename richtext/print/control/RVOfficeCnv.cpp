// The registered export converters read from the registry, and their
// filter items.
#include "richtext/print/control/RVOfficeCnv.h"

#include <cstdlib>

#include "platform/win/WinReg.h"

namespace {
const AnsiString CommonFilesMacro = "%COMMONPROGRAMFILES%";

// A string value of Key, whatever its length; false when there is none.
bool ReadString(HKEY Key, const char* Name, AnsiString& Value) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(Key, Name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    AnsiString data(size, '\0');
    if (RegQueryValueExA(Key, Name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    data.resize(size);
    // The stored terminating zero is not part of the text.
    if (auto zero = data.find('\0'); zero != AnsiString::npos) data.resize(zero);
    Value = data;
    return true;
}

// The file's name in a path of either kind of separator.
AnsiString FilePart(const AnsiString& Path) {
    auto cut = Path.find_last_of("\\/:");
    return cut == AnsiString::npos ? Path : Path.substr(cut + 1);
}

// "doc rtf" becomes "*.doc;*.rtf"; every blank separates two extensions.
AnsiString ExtensionMasks(const AnsiString& Extensions) {
    AnsiString masks;
    std::size_t start = 0;
    while (true) {
        std::size_t blank = Extensions.find(' ', start);
        if (start > 0) masks += ';';
        masks +=
            "*." + Extensions.substr(start, blank == AnsiString::npos ? AnsiString::npos : blank - start);
        if (blank == AnsiString::npos) break;
        start = blank + 1;
    }
    return masks;
}

// The first "%COMMONPROGRAMFILES%", in any letter case, becomes the folder
// the environment names.
AnsiString ExpandCommonFiles(const AnsiString& Path) {
    AnsiString upper = AnsiUpperCase(Path);
    auto at = upper.find(CommonFilesMacro);
    if (at == AnsiString::npos) return Path;
    const char* folder = std::getenv("COMMONPROGRAMFILES");
    return Path.substr(0, at) + (folder ? folder : "") + Path.substr(at + CommonFilesMacro.size());
}
} // namespace

TRVOfficeCnvList::TRVOfficeCnvList(const AnsiString& Key, TObject* AOwner, bool ExcludeHTML)
    : FOwner(AOwner) {
    try {
        Read(Key, ExcludeHTML);
    } catch (const std::exception&) {
        // What was read stays; the save dialog does without the rest.
    }
}

void TRVOfficeCnvList::Read(const AnsiString& Key, bool ExcludeHTML) {
    Clear();
    TRegKeyGuard root;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key.c_str(), 0, KEY_READ, &root.Key) != ERROR_SUCCESS) return;
    AnsiString subName;
    for (DWORD i = 0; RegEnumKeyName(root.Key, i, subName) == ERROR_SUCCESS; ++i) {
        TRegKeyGuard sub;
        if (RegOpenKeyExA(root.Key, subName.c_str(), 0, KEY_READ, &sub.Key) != ERROR_SUCCESS) continue;
        AnsiString name, path, extensions;
        if (!ReadString(sub.Key, "Name", name) || !ReadString(sub.Key, "Path", path) ||
            !ReadString(sub.Key, "Extensions", extensions))
            continue;
        if (ExcludeHTML && SameText(FilePart(path), "HTML32.CNV")) continue;
        auto* info = new TRVOfficeConverterInfo;
        info->Name = name;
        info->Path = ExpandCommonFiles(path);
        info->Extensions = ExtensionMasks(extensions);
        Add(info);
    }
}

AnsiString TRVOfficeCnvList::GetFilter(bool ShowExtensions) const {
    AnsiString filter;
    for (int i = 0; i < Count(); ++i) {
        const TRVOfficeConverterInfo* c = Items(i);
        if (i > 0) filter += '|';
        filter += ShowExtensions ? c->Name + " (" + c->Extensions + ")|" + c->Extensions
                                 : c->Name + "|" + c->Extensions;
    }
    return filter;
}
