// Expansion of the %NAME% macros into facts of the running application.
#include "util/JvTranslateString.h"

#include "platform/gui/Forms.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Module.h"
#include "util/JclFileUtils.h"
#include "util/JclUnitVersioning.h"

TJvTranslateString::TJvTranslateString(TComponent* AOwner) : TComponent(AOwner) {}

AnsiString TJvTranslateString::ExpandMacros(const AnsiString& Text, bool& Changed) {
    Changed = false;
    AnsiString result;
    std::size_t pos = 0;
    while (pos < Text.size()) {
        std::size_t left = LeftDelimiter.empty() ? AnsiString::npos : Text.find(LeftDelimiter, pos);
        if (left == AnsiString::npos) {
            result.append(Text, pos, AnsiString::npos);
            break;
        }
        result.append(Text, pos, left - pos);
        std::size_t start = left + LeftDelimiter.size();
        std::size_t right = RightDelimiter.empty() ? AnsiString::npos : Text.find(RightDelimiter, start);
        AnsiString value;
        if (right != AnsiString::npos && ResolveMacro(Text.substr(start, right - start), value)) {
            result += value;
            Changed = true;
            pos = right + RightDelimiter.size();
            continue;
        }
        // Not a macro: keep the left delimiter and go on right after it, so
        // a closing delimiter may still open the next macro.
        result += LeftDelimiter;
        pos = start;
    }
    return result;
}

namespace {
AnsiString NormalizeCommand(const AnsiString& Command) {
    AnsiString s = Command;
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return Trim(s);
}

AnsiString ExeBaseName() {
    return ChangeFileExt(ExtractFileName(GetModuleFileName()), "");
}

TCustomForm* OwningForm(TComponent* C) {
    for (TComponent* o = C ? C->Owner() : nullptr; o; o = o->Owner())
        if (auto* form = dynamic_cast<TCustomForm*>(o)) return form;
    return nullptr;
}
} // namespace

AnsiString TJvTranslateString::VersionValue(TCached& Cache, const char* Macro, int KeyIndex,
                                            const char* Default) {
    if (Cache.Loaded) return Cache.Value;
    try {
        TJclFileVersionInfo info(GetModuleFileName());
        Cache.Value = info.VersionKeyValue(KeyIndex);
    } catch (const EJclFileVersionInfoError&) {
        MessageBox(Format("The Default Root Value \"%0:s\" has been replaced with \"%1:s\".\r\n"
                          "Please change the value in the FileVersionInfo Project Properties.",
                          {Macro, Default}),
                   "", MB_OK | MB_ICONINFORMATION);
        Cache.Value = Default;
    }
    Cache.Loaded = true;
    return Cache.Value;
}

bool TJvTranslateString::ResolveMacro(const AnsiString& Command, AnsiString& Value) {
    const AnsiString cmd = NormalizeCommand(Command);
    bool changed = true;
    Value.clear();
    if (cmd == "APPL_NAME") {
        Value = VersionValue(FAppName, "APPL_NAME", 9, "MyJvLibApplication");
        if (Value.empty()) Value = ExeBaseName();
    } else if (cmd == "COMPANY_NAME") {
        Value = VersionValue(FCompanyName, "COMPANY_NAME", 2, "MyCompany");
    } else if (cmd == "FILEVERSION") {
        Value = VersionValue(FFileVersion, "FILEVERSION", 4, "0.0.0.0");
    } else if (cmd == "PRODUCTVERSION") {
        Value = VersionValue(FProductVersion, "PRODUCTVERSION", 10, "0.0.0.0");
    } else if (cmd == "DATE") {
        Value = FormatDateTime(DateFormat, Clock());
    } else if (cmd == "TIME") {
        Value = FormatDateTime(TimeFormat, Clock());
    } else if (cmd == "DATETIME") {
        Value = FormatDateTime(DateTimeFormat, Clock());
    } else if (cmd == "EXENAME") {
        Value = GetModuleFileName();
    } else if (cmd == "FILENAME") {
        Value = ExeBaseName();
    } else if (cmd == "FULLDIREXE") {
        Value = ExtractFilePath(GetModuleFileName());
        if (Value.size() > 1 && Value.back() == '/') Value.pop_back();
    } else if (cmd == "FORMNAME") {
        if (TCustomForm* f = OwningForm(this)) Value = f->Name();
    } else if (cmd == "FORMCAPTION") {
        if (TCustomForm* f = OwningForm(this)) Value = f->Caption();
    } else if (cmd == "SCREENSIZE" || cmd == "DESKTOPSIZE") {
        // The layer knows the primary screen only; it stands for the desktop too.
        Value = Format("%dx%d", {Screen->Width(), Screen->Height()});
    } else {
        changed = false;
    }
    if (OnProcessCommand) OnProcessCommand(this, cmd, Value, changed);
    return changed;
}

LIBRARY_UNIT_VERSION("util/JvTranslateString.cpp", "1", "2026-12-10", "JvLib\\run")
