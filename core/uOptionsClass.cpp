// Reading and writing the grid row colours in the registry.
#include "core/uOptionsClass.h"

#include "platform/win/Module.h"
#include "platform/win/Registry.h"

namespace {

const char* const kFirst = "FirstGridRowColor";
const char* const kSecond = "SecondGridRowColor";

uint32_t ReadColor(TRegistry& Reg, const char* Name, uint32_t Default) {
    try {
        if (Reg.ValueExists(Name) && Reg.GetDataType(Name) == TRegDataType::rdInteger)
            return uint32_t(Reg.ReadInteger(Name));
    } catch (const ERegistryException&) {
    }
    return Default;
}

} // namespace

TApplicationOptions::TApplicationOptions() = default;

AnsiString TApplicationOptions::RegistryKey() {
    const AnsiString name = ExtractFileName(GetModuleFileName());
    return "Software\\Tarvik\\" + ChangeFileExt(name, "");
}

void TApplicationOptions::Load() {
    ReadFromRegistry();
}

bool TApplicationOptions::Save() {
    return WriteToRegistry();
}

bool TApplicationOptions::ReadFromRegistry() {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    bool opened = false;
    try {
        opened = reg.OpenKey(RegistryKey(), true);
    } catch (const ERegistryException&) {
    }
    FirstGridRowColor = opened ? ReadColor(reg, kFirst, DefaultFirstGridRowColor) : DefaultFirstGridRowColor;
    SecondGridRowColor =
        opened ? ReadColor(reg, kSecond, DefaultSecondGridRowColor) : DefaultSecondGridRowColor;
    reg.CloseKey();
    return opened;
}

bool TApplicationOptions::WriteToRegistry() {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    // The key closes with reg, also on the way out of an error.
    try {
        if (!reg.OpenKey(RegistryKey(), true)) return false;
        reg.WriteInteger(kFirst, int32_t(FirstGridRowColor));
        reg.WriteInteger(kSecond, int32_t(SecondGridRowColor));
    } catch (const ERegistryException&) {
        return false;
    }
    return true;
}
