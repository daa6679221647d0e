// Start-up of the program: it cleans up after a killed run, tells the user
// once of damaged settings, and until the windows exist opens both database
// files through the data module and reports what it found.
#include <cstdio>
#include <exception>

#include "core/DataMod.h"
#include "platform/db/IBLockFolder.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Module.h"
#include "platform/win/WinBase.h"
#include "platform/win/WinReg.h"

int main() {
    LoadLocaleFormatSettings();
    try {
        // Before any thread runs and before the engine loads.
        UsePrivateLockFolder();
        RemoveStaleTempFolders();
        OpenRegistryStore();
        TRegistryStoreDamage damage;
        if (TakeRegistryStoreDamage(damage))
            MessageBox(RegistryStoreDamageNotice(damage), "Информация"_cp, MB_OK | MB_ICONWARNING);
        TMain_DataModule dataModule(nullptr);
        // The module has shown why it cannot go on.
        if (dataModule.StartupFailed()) return 1;
        std::printf("%s: %s\n", dataModule.Main_IBDatabase->DatabaseName.c_str(), "connected");
        std::printf("%s: %s\n", dataModule.Data_IBDatabase->DatabaseName.c_str(), "connected");
        dataModule.OpenDatabases(-1);
        std::printf("logical databases: %d\n", dataModule.DB_IBQuery->RecordCount());
        for (dataModule.DB_IBQuery->First(); !dataModule.DB_IBQuery->Eof(); dataModule.DB_IBQuery->Next())
            std::printf("  %s\n",
                        AnsiToUtf8(dataModule.DB_IBQuery->FieldByName("DB_NAME").AsString()).c_str());
        dataModule.Statements_IBQuery->Open();
        std::printf("statement pairs: %d\n", dataModule.Statements_IBQuery->RecordCount());
        dataModule.Statements_IBQuery->Close();
        return 0;
    } catch (const Exception& e) {
        MessageBox(e.Message, "Luvora", MB_OK | MB_ICONERROR);
        return 1;
    } catch (const std::exception& e) {
        // Errors of the standard library are shown too, not left to abort.
        MessageBox(e.what(), "Luvora", MB_OK | MB_ICONERROR);
        return 1;
    }
}
