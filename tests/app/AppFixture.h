// The main window on fresh database files: one logical database, scripted
// message boxes, modal windows and pop-up menus, and helpers that store
// testees, tests and group entries and read the grids back.
#pragma once

#include <memory>
#include <vector>

#include "app/AddTester_Frm.h"
#include "app/Blank_Frm.h"
#include "app/DBEdit_Frm.h"
#include "app/Instr_Frm.h"
#include "app/MainFrm.h"
#include "app/Password_Frm.h"
#include "app/Sour_Frm.h"
#include "app/TeamBlank_Frm.h"
#include "app/Test_Frm.h"
#include "app/results/Dinamics_Frm.h"
#include "app/results/Result_Frm.h"
#include "core/CoreFixture.h"
#include "core/uDBsClass.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/ScriptedMenus.h"

class AppFixture : public CoreFixture {
protected:
    void SetUp() override {
        CoreFixture::SetUp();
        Tarvik = std::make_unique<TTarvikApplication>();
        Tarvik->LoadSettings();
        Database.DB_NAME = "Отдел кадров"_cp;
        Database.DB_ID = TListDatabases().AddDatabase(Database);
        ASSERT_GT(Database.DB_ID, 0);
    }
    void TearDown() override {
        Form.reset();
        Tarvik.reset();
        CoreFixture::TearDown();
    }

    TMain_Form* Open() {
        Form = CreateMainForm(Tarvik.get(), Database);
        return Form.get();
    }
    // Closes the window as the user does (the layouts are stored) and frees it.
    void CloseForm() {
        Form->Close();
        Form.reset();
    }

    int32_t AddTestee(const char* Fio, int32_t Age = -1, double Seniority = 0) {
        TUser u;
        u.DB_ID = Database.DB_ID;
        u.FIO = Utf8ToAnsi(Fio);
        u.AGE = Age;
        u.Seniority = Seniority;
        const int32_t id = DM->ApplyUser(akInsert, u);
        EXPECT_GT(id, 0);
        return id;
    }
    int32_t AddTest(int32_t UserId, TDateTime Date) {
        TTestData t;
        t.USER_ID = UserId;
        t.DATETEST = Date;
        t.ANSWERS = AnsiString(28, '3');
        t.TESTDURATION = 600;
        const int32_t id = DM->ApplyTest(akInsert, t);
        EXPECT_GT(id, 0);
        return id;
    }
    int32_t AddTeam(const char* Job, const AnsiString& Data = "10/10/10/10/10/10/10/10/") {
        TTeam t;
        t.DB_ID = Database.DB_ID;
        t.JOB = Utf8ToAnsi(Job);
        t.NUMBEROFTESTED = 1;
        t.DATETEST = EncodeDate(2007, 5, 14);
        t.EMPNAMES = "1#";
        t.DATA = Data;
        const int32_t id = DM->ApplyTeam(akInsert, t);
        EXPECT_GT(id, 0);
        return id;
    }

    // From now on the database refuses to store Value in Column of Table,
    // so a write of it fails as any failing write does.
    void RefuseValue(const char* Table, const char* Column, const char* Value) {
        DM->Update_IBTransaction->StartTransaction();
        DM->Update_IBQuery->SetSQL(AnsiString("alter table ") + Table + " add constraint REFUSE_" + Column +
                                   " check (" + Column + " <> '" + Value + "')");
        DM->Update_IBQuery->ExecQuery();
        DM->Update_IBTransaction->Commit();
    }

    // The texts of a column, top to bottom.
    static std::vector<AnsiString> ColumnTexts(TBaseVirtualTree* Grid, TColumnIndex Column) {
        std::vector<AnsiString> texts;
        auto* tree = static_cast<TVirtualStringTree*>(Grid);
        for (PVirtualNode n = tree->GetFirst(); n; n = tree->GetNext(n))
            texts.push_back(WideToAnsi(tree->GetCellText(n, Column)));
        return texts;
    }
    static int32_t KeyOf(TBaseVirtualTree* Grid, PVirtualNode Node) {
        return Grid->GetNodeData<TRecord>(Node)->Key.AsInteger();
    }
    static PVirtualNode NodeOfKey(TBaseVirtualTree* Grid, int32_t Key) {
        for (PVirtualNode n = Grid->GetFirst(); n; n = Grid->GetNext(n))
            if (KeyOf(Grid, n) == Key) return n;
        return nullptr;
    }
    static int32_t FocusedKey(TBaseVirtualTree* Grid) {
        return Grid->FocusedNode() ? KeyOf(Grid, Grid->FocusedNode()) : -1;
    }
    // A scripted answer that looks at the modal window as type T, then
    // closes it with Result.
    template <class T>
    static std::function<int(TCustomForm*)> Expect(std::function<void(T&)> Look, int Result) {
        return [Look, Result](TCustomForm* Form) {
            auto* typed = dynamic_cast<T*>(Form);
            EXPECT_NE(typed, nullptr) << Form->Name();
            if (typed && Look) Look(*typed);
            return Result;
        };
    }

    std::unique_ptr<TTarvikApplication> Tarvik;
    TDatabase Database;
    std::unique_ptr<TMain_Form> Form;
    TScriptedDialogs Dialogs;
    TScriptedMenus Menus;
};
