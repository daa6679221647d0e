// A data module on fresh database files beside a pretended executable, with
// fixed format settings, scripted message boxes and a private registry store.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/DataMod.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/win/Module.h"
#include "platform/win/WinReg.h"
#include "support/TestSupport.h"

class CoreFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SavedSettings = FormatSettings;
        FormatSettings.DecimalSeparator = '.';
        FormatSettings.DateSeparator = '.';
        FormatSettings.TimeSeparator = ':';
        FormatSettings.ShortDateFormat = "dd.mm.yyyy";
        FormatSettings.LongTimeFormat = "hh:nn:ss";
        SetRegistryStoreFileOverride(Folder.Path() + "registry.reg");
        CreateFreshDatabases(Folder.Path() + "DB/");
        SetModuleFileNameOverride(Folder.Path() + "Luvora");
        DM = std::make_unique<TMain_DataModule>(nullptr);
        ASSERT_FALSE(DM->StartupFailed());
    }
    void TearDown() override {
        DM.reset();
        SetModuleFileNameOverride("");
        SetRegistryStoreFileOverride("");
        FormatSettings = SavedSettings;
    }

    TTempFolder Folder;
    TScriptedMessageBoxes Boxes;
    std::unique_ptr<TMain_DataModule> DM;
    TFormatSettings SavedSettings;
};
