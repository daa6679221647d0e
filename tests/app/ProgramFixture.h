// The program started as a whole: fresh database files beside a pretended
// executable, a private settings store and mutex folder, scripted boxes and
// windows, and a run whose main window is looked at and closed.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "DialogDriver.h"
#include "app/DBEdit_Frm.h"
#include "app/DB_Frm.h"
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

    // At start-up the user makes a database named Utf8Name in the chooser
    // and opens it.
    void ChooseNewDatabaseAtStart(const char* Utf8Name) {
        Dialogs.Answers.push_back(AsUser<TDB_Form>([](TDB_Form& w) {
            Press(w.Databases_Grid, Qt::Key_Insert);
            Press(w.Databases_Grid, Qt::Key_Return);
        }));
        Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([Utf8Name](TDBEdit_Form& w) {
            Type(w.DB_Edit, Utf8Name);
            Press(w.DB_Edit, Qt::Key_Return);
        }));
    }

    // Runs the program; Look runs on its main window once the message loop
    // is up, then the window is closed. Answers the program's exit code.
    int RunOnMainWindow(std::function<void(TMain_Form&)> Look) {
        TTimer timer(nullptr);
        timer.SetInterval(10);
        int ticks = 0;
        timer.OnTimer = [&](TObject*) {
            // The timer also ticks while the chooser is up: wait for the
            // window, and give up rather than hang when it never comes.
            auto* form = dynamic_cast<TMain_Form*>(Application->MainForm());
            if (!form || !form->Visible()) {
                if (++ticks < 1000) return;
                timer.SetEnabled(false);
                ADD_FAILURE() << "the main window never showed";
                Application->Terminate();
                return;
            }
            timer.SetEnabled(false);
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
