// The program started as a whole: fresh database files beside a pretended
// executable, a private settings store and mutex folder, scripted boxes and
// windows, and a run whose main window is looked at and closed.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "app/Luvora.h"
#include "app/MainFrm.h"
#include "app/uOnlyOne.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/win/Module.h"
#include "platform/win/Mutex.h"
#include "platform/win/WinReg.h"
#include "support/TestSupport.h"

// No data module: the program makes its own.
class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SavedSettings = FormatSettings;
        SetRegistryStoreFileOverride(Folder.Path() + "registry.reg");
        CreateFreshDatabases(Folder.Path() + "DB/");
        SetModuleFileNameOverride(Folder.Path() + "Luvora");
        SetMutexFolderOverride(Folder.Path());
    }
    void TearDown() override {
        CloseInstanceHandle();
        SetMutexFolderOverride("");
        SetModuleFileNameOverride("");
        SetRegistryStoreFileOverride("");
        FormatSettings = SavedSettings;
    }

    // Runs the program; Look runs on its main window once the message loop
    // is up, then the window is closed. Answers the program's exit code.
    int RunOnMainWindow(std::function<void(TMain_Form&)> Look) {
        TTimer timer(nullptr);
        timer.SetInterval(10);
        timer.OnTimer = [&](TObject*) {
            timer.SetEnabled(false);
            auto* form = dynamic_cast<TMain_Form*>(Application->MainForm());
            ASSERT_NE(form, nullptr);
            Look(*form);
            form->Exit_SmallAction->Execute();
        };
        return RunLuvora();
    }

    TTempFolder Folder;
    TScriptedMessageBoxes Boxes;
    TScriptedDialogs Dialogs;
    TFormatSettings SavedSettings;
};
