// Start-up and shut-down of the program.
#include "app/Luvora.h"

#include <memory>

#include "app/Blank_Frm.h"
#include "app/DB_Frm.h"
#include "app/MainFrm.h"
#include "app/uOnlyOne.h"
#include "core/DataMod.h"
#include "core/uTarvikApplicationClass.h"
#include "platform/db/IBLockFolder.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/EndSignals.h"
#include "platform/win/MessageBox.h"
#include "platform/win/WinBase.h"
#include "platform/win/WinReg.h"
#include "richtext/editor/tables/RVTable.h"

namespace {

// The settings the store could not read are told once, at start.
void TellRegistryStoreDamage() {
    TRegistryStoreDamage damage;
    if (TakeRegistryStoreDamage(damage))
        MessageBox(RegistryStoreDamageNotice(damage), "Информация"_cp, MB_OK | MB_ICONWARNING);
}

// Shows the error being handled: a database failure as the user is told it,
// under a Russian caption; anything else as the top-level handler does.
void ShowStartupError() {
    Application->Initialize();
    try {
        throw;
    } catch (const EDatabaseStartupError& e) {
        MessageBox(e.Message, "Ошибка"_cp, MB_OK | MB_ICONERROR);
    } catch (const EIBError& e) {
        // Reading the main file after it opened: the lists, the settings.
        MessageBox(ExplainDatabaseFailure(e, MainDatabaseFile()), "Ошибка"_cp, MB_OK | MB_ICONERROR);
    } catch (...) {
        Application->HandleException(nullptr);
    }
}

} // namespace

int RunLuvora() {
    // First, before the engine or the toolkit starts a thread of its own.
    InstallEndSignalHandlers();
    LoadLocaleFormatSettings();
    // Readers make tables by their style number.
    RegisterTableItemClass();
    try {
        // A second copy ends at once, without a window or a message.
        if (!IsFirstInstance(kInstanceMutexName)) return 0;
    } catch (const EInstanceGuardError&) {
        ShowStartupError();
        return 1;
    }
    TScopeGuard closeHandle([] { CloseInstanceHandle(); });
    std::unique_ptr<TTarvikApplication> tarvik;
    std::unique_ptr<TMain_DataModule> dataModule;
    // Shut-down: the data module, then the application object, on every path.
    auto freeAll = [&] {
        TFirstError errors;
        errors.Run([&] { dataModule.reset(); });
        errors.Run([] { DiscardPreparedConnections(); });
        errors.Run([&] { tarvik.reset(); });
        errors.RaiseIfAny();
    };
    try {
        // Before any thread runs and before the engine loads.
        UsePrivateLockFolder();
        RemoveStaleTempFolders();
        OpenRegistryStore();
        // The engine starts on a thread of its own while the toolkit starts
        // and the chooser's window is made.
        TMain_DataModule::PrepareConnections();
        Application->Initialize();
        TellRegistryStoreDamage();
        tarvik = std::make_unique<TTarvikApplication>();
        // Made while the engine starts; shown only once both files are open.
        std::unique_ptr<TDB_Form> chooser = NewDatabaseChooser();
        dataModule = std::make_unique<TMain_DataModule>(nullptr);
        // The module has shown why it cannot go on.
        if (dataModule->StartupFailed()) {
            freeAll();
            return 1;
        }
        tarvik->LoadSettings();
        CheckStatementPairCount();
        TDatabase database;
        if (ChooseDatabase(database, std::move(chooser))) RunMainForm(tarvik.get(), database);
        freeAll();
        return 0;
    } catch (...) {
        auto error = std::current_exception();
        try {
            freeAll();
        } catch (...) {
        }
        // Told to end from outside, the program ends without a word.
        if (Application->Ending()) return 0;
        try {
            std::rethrow_exception(error);
        } catch (...) {
            ShowStartupError();
        }
        return 1;
    }
}
