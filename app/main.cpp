// Start-up of the program. Until the windows exist it only reports which
// database files it finds beside the executable.
#include <cstdio>

#include "platform/rtl/SysUtils.h"
#include "platform/win/Module.h"

int main() {
    LoadLocaleFormatSettings();
    const AnsiString folder = GetModuleFolder() + "DB/";
    int missing = 0;
    for (const char* name : {"Luvora.FDB", "Luvora_Data.FDB"}) {
        bool found = FileExists(folder + name);
        missing += !found;
        std::printf("%s%s: %s\n", folder.c_str(), name, found ? "found" : "missing");
    }
    return missing ? 1 : 0;
}
