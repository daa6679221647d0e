// Window placement in the settings store: the values a closed window leaves,
// the placement applied at the next show (stored rectangles that cannot be
// used among them), the form storage's stored values, the size limits, and
// the disabled glyph and drag cursors of the same unit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "platform/gui/Cursors.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/win/WinReg.h"
#include "support/TestSupport.h"
#include "util/JclRegistry.h"
#include "util/JvAppRegistryStorage.h"
#include "util/JvFormPlacement.h"
#include "util/JvJCLUtils.h"

namespace {
const AnsiString RootKey = "Software\\Tarvik\\Luvora";
const AnsiString MainKey = RootKey + "\\Main_Form";

// A window of the program as it is built: a registry storage and a form
// storage on the form, nothing else.
class TPlacedForm : public TForm {
public:
    explicit TPlacedForm(bool CallLoaded = true) : TForm(nullptr) {
        SetName("Main_Form");
        SetPosition(TPosition::poScreenCenter);
        SetBounds(0, 0, 300, 200);
        Registry = new TJvAppRegistryStorage(this);
        Registry->SetRoot(RootKey);
        Storage = new TJvFormStorage(this);
        Storage->SetName("JvFormStorage1");
        Storage->SetAppStorage(Registry);
        Storage->SetAppStoragePath("Main_Form\\");
        OnShow = [this](TObject*) { ++Shows; };
        OnDestroy = [this](TObject*) {
            if (Destroyed) ++*Destroyed;
        };
        if (CallLoaded) Storage->Loaded();
    }
    TJvAppRegistryStorage* Registry;
    TJvFormStorage* Storage;
    int Shows = 0;
    int* Destroyed = nullptr;
};

struct JvFormPlacementTest : ::testing::Test {
    TTempFolder Folder;
    TScriptedMessageBoxes Boxes;
    JvFormPlacementTest() {
        SetRegistryStoreFileOverride(Folder.Path() + "registry.reg");
        Application->Initialize();
    }
    ~JvFormPlacementTest() override {
        Application->ProcessMessages();
        SetRegistryStoreFileOverride("");
    }

    static std::vector<AnsiString> ValueNames(const AnsiString& Key) {
        std::vector<AnsiString> names;
        TRegKeyGuard key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_READ, &key.Key) != ERROR_SUCCESS)
            return names;
        AnsiString name;
        for (DWORD i = 0; RegEnumValueName(key.Key, i, name) == ERROR_SUCCESS; ++i)
            names.push_back(name);
        return names;
    }
    static AnsiString Text(const AnsiString& Name) {
        return RegistryReadText(HKEY_CURRENT_USER, MainKey, Name);
    }
    static int32_t Integer(const AnsiString& Name) {
        return RegistryReadIntegerOr(HKEY_CURRENT_USER, MainKey, Name, -999);
    }
    // Where a fresh window of the test's size lands without stored values.
    static TRect Designed() {
        TPlacedForm probe;
        probe.Storage->SetActive(false);
        probe.Show();
        TRect r = probe.BoundsRect();
        probe.Hide();
        return r;
    }
    // What an earlier window left goes first.
    static void StoreNormPos(const AnsiString& Text, int PixelsPerInch = 96) {
        if (RegistryKeyExists(HKEY_CURRENT_USER, MainKey)) RegistryDeleteTree(HKEY_CURRENT_USER, MainKey);
        RegistryWriteInteger(HKEY_CURRENT_USER, MainKey, "PixelsPerInch", PixelsPerInch);
        RegistryWriteText(HKEY_CURRENT_USER, MainKey, "NormPos", Text);
    }
};
} // namespace

TEST_F(JvFormPlacementTest, AClosedWindowLeavesItsPlacementInTheStore) {
    TPlacedForm form;
    form.Show();
    form.SetBounds(100, 120, 400, 300);
    form.Close();
    const AnsiString suffix = ScreenSizeSuffix();
    EXPECT_EQ(ValueNames(MainKey),
              (std::vector<AnsiString>{"FormVersion", "ShowCmd", "Flags", "PixelsPerInch",
                                       "MinMaxPos" + suffix, "MinMaxPos", "NormPos" + suffix, "NormPos"}));
    DWORD kind = 0;
    ASSERT_TRUE(RegistryValueKind(HKEY_CURRENT_USER, MainKey, "ShowCmd", kind));
    EXPECT_EQ(kind, REG_DWORD);
    ASSERT_TRUE(RegistryValueKind(HKEY_CURRENT_USER, MainKey, "NormPos", kind));
    EXPECT_EQ(kind, REG_SZ);
    EXPECT_EQ(Integer("FormVersion"), 0);
    EXPECT_EQ(Integer("ShowCmd"), 1);
    EXPECT_EQ(Integer("Flags"), 0);
    EXPECT_EQ(Integer("PixelsPerInch"), 96);
    EXPECT_EQ(Text("NormPos"), "100,120,500,420");
    EXPECT_EQ(Text("NormPos" + suffix), "100,120,500,420");
    // A maximised window keeps its frame off the screen.
    EXPECT_EQ(Text("MinMaxPos"), "-1,-1,-4,-4");
    EXPECT_EQ(Screen->Width(), Screen->MonitorBounds(0).Width());
}

TEST_F(JvFormPlacementTest, TheNextWindowTakesThePlacementAtItsFirstShow) {
    {
        TPlacedForm first;
        first.Show();
        first.SetBounds(60, 70, 350, 250);
        first.Close();
    }
    // Built in code without the loaded step: its first show takes it over.
    TPlacedForm second(false);
    second.Show();
    EXPECT_EQ(second.BoundsRect(), Bounds(60, 70, 350, 250));
    EXPECT_EQ(second.Position(), TPosition::poDesigned);
    EXPECT_EQ(second.Shows, 1) << "the form's own handler still runs";
    EXPECT_TRUE(second.Storage->Restored());
    // Restored once only.
    second.Hide();
    second.SetBounds(10, 10, 300, 200);
    second.Show();
    EXPECT_EQ(second.BoundsRect(), Bounds(10, 10, 300, 200));
}

TEST_F(JvFormPlacementTest, AStoredRectangleThatCannotBeShownLeavesTheDesignedPlacement) {
    const TRect designed = Designed();
    struct TCase {
        const char* Name;
        AnsiString NormPos;
        int MinWidth;
    } cases[] = {
        {"zero width", "100,100,100,300", 0},
        {"upside down", "300,300,100,100", 0},
        {"on no screen", "5000,5000,5400,5300", 0},
        {"above the screens", "10,-500,310,-300", 0},
        {"narrower than the window may be", "10,10,110,210", 250},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        StoreNormPos(c.NormPos);
        TPlacedForm form;
        form.Constraints()->SetMinWidth(c.MinWidth);
        form.Show();
        EXPECT_EQ(form.BoundsRect(), designed);
        EXPECT_EQ(form.Position(), TPosition::poScreenCenter);
        form.Hide();
    }
}

TEST_F(JvFormPlacementTest, ADamagedRectangleIsIgnoredAndOtherScreensUseThePlainValue) {
    const TRect designed = Designed();
    struct TCase {
        const char* Name;
        AnsiString NormPos;
        TRect Expected;
    } cases[] = {
        {"not numbers", "left,top,right,bottom", designed},
        {"two words", "20,30", designed},
        {"one word spoilt", "20,30,2x0,130", designed},
        {"blanks for commas", "20 30 220 130", Bounds(20, 30, 200, 100)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        StoreNormPos(c.NormPos);
        TPlacedForm form;
        form.Show();
        EXPECT_EQ(form.BoundsRect(), c.Expected);
        form.Hide();
    }
    // A placement of another screen size is read through the plain name;
    // one of this size wins over it.
    RegistryWriteText(HKEY_CURRENT_USER, MainKey, "NormPos(1x1)", "1,1,2,2");
    StoreNormPos("40,50,340,250");
    {
        TPlacedForm form;
        form.Show();
        EXPECT_EQ(form.BoundsRect(), Bounds(40, 50, 300, 200));
    }
    RegistryWriteText(HKEY_CURRENT_USER, MainKey, "NormPos" + ScreenSizeSuffix(), "45,55,345,255");
    TPlacedForm form;
    form.Show();
    EXPECT_EQ(form.BoundsRect(), Bounds(45, 55, 300, 200));
}

TEST_F(JvFormPlacementTest, AnotherResolutionSkipsThePlaceButKeepsTheState) {
    const TRect designed = Designed();
    StoreNormPos("40,50,340,250", 120);
    RegistryWriteInteger(HKEY_CURRENT_USER, MainKey, "ShowCmd", 3);
    TPlacedForm form;
    form.Show();
    EXPECT_EQ(form.WindowState(), TWindowState::wsMaximized);
    EXPECT_EQ(form.NormalBounds(), designed);
}

TEST_F(JvFormPlacementTest, AMaximisedWindowComesBackMaximisedOverItsNormalRectangle) {
    {
        TPlacedForm first;
        first.Show();
        first.SetBounds(30, 40, 320, 220);
        first.SetWindowState(TWindowState::wsMaximized);
        first.Close();
    }
    EXPECT_EQ(Integer("ShowCmd"), 3);
    EXPECT_EQ(Text("NormPos"), "30,40,350,260");
    TPlacedForm second;
    second.Show();
    EXPECT_EQ(second.WindowState(), TWindowState::wsMaximized);
    EXPECT_EQ(second.NormalBounds(), Bounds(30, 40, 320, 220));
    second.SetWindowState(TWindowState::wsNormal);
    EXPECT_EQ(second.BoundsRect(), Bounds(30, 40, 320, 220));
}

TEST_F(JvFormPlacementTest, AMinimisedMainWindowMinimisesTheProgramOnceItIsUp) {
    RegistryWriteInteger(HKEY_CURRENT_USER, MainKey, "ShowCmd", 2);
    TPlacedForm form;
    Application->SetMainForm(&form);
    form.Show();
    EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
    Application->ProcessMessages();
    EXPECT_EQ(form.WindowState(), TWindowState::wsMinimized);
    EXPECT_TRUE(IsApplicationIconic());
    form.Close();
    EXPECT_EQ(Integer("ShowCmd"), 2);
    Application->SetMainForm(nullptr);
}

TEST_F(JvFormPlacementTest, WhatIsSavedWhenAWindowCloses) {
    StoreNormPos("40,50,340,250");
    {
        // Never shown: its designed place does not overwrite the stored one.
        TPlacedForm unseen;
    }
    EXPECT_EQ(Text("NormPos"), "40,50,340,250");
    {
        // Its own handler refuses to close: nothing is written.
        TPlacedForm refusing;
        refusing.OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; };
        refusing.Storage->Loaded();
        refusing.Show();
        refusing.SetBounds(11, 12, 300, 200);
        refusing.Close();
        EXPECT_EQ(Text("NormPos"), "40,50,340,250");
        refusing.OnCloseQuery = nullptr;
    }
    // Shown and freed without a close: saved as it goes, and the form's
    // own destroy handler runs after.
    int destroyed = 0;
    {
        TPlacedForm freed;
        freed.Destroyed = &destroyed;
        freed.Show();
        freed.SetBounds(21, 22, 300, 200);
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(Text("NormPos"), "21,22,321,222");
}

TEST_F(JvFormPlacementTest, VersionsAndWhatTheOptionsStore) {
    RegistryWriteInteger(HKEY_CURRENT_USER, MainKey, "FormVersion", 1);
    StoreNormPos("40,50,340,250");
    {
        TPlacedForm form;
        form.Storage->SetVersion(2);
        form.Storage->SetVersionCheck(TJvFormPlacementVersionCheck::fpvcCheckEqual);
        int events = 0;
        form.Storage->BeforeRestorePlacement = [&](TObject*) { ++events; };
        form.Storage->AfterRestorePlacement = [&](TObject*) { ++events; };
        form.Show();
        EXPECT_EQ(events, 0) << "another version skips the whole restore";
        EXPECT_NE(form.BoundsRect(), Bounds(40, 50, 300, 200));
        form.Close();
    }
    EXPECT_EQ(Integer("FormVersion"), 2);

    RegistryDeleteTree(HKEY_CURRENT_USER, MainKey);
    TPlacedForm stateOnly;
    stateOnly.Storage->SetOptions(fpState);
    stateOnly.Show();
    stateOnly.Close();
    EXPECT_EQ(ValueNames(MainKey), (std::vector<AnsiString>{"FormVersion", "ShowCmd"}));
}

TEST_F(JvFormPlacementTest, AFixedBorderWindowKeepsItsSize) {
    StoreNormPos("40,50,640,550");
    TPlacedForm form;
    form.SetBorderStyle(TFormBorderStyle::bsSingle);
    form.Show();
    EXPECT_EQ(form.BoundsRect(), Bounds(40, 50, 300, 200));
}

TEST_F(JvFormPlacementTest, LimitsAndTheResizeLockReachTheWindow) {
    TPlacedForm form;
    form.Show();
    form.Storage->MinMaxInfo()->SetMinTrackWidth(250);
    form.Storage->MinMaxInfo()->SetMaxTrackHeight(400);
    TMinMaxInfo limits = form.MinMaxInfo();
    EXPECT_EQ(limits.ptMinTrackSize.X, 250);
    EXPECT_EQ(limits.ptMaxTrackSize.Y, 400);
    EXPECT_EQ(form.Widget()->minimumWidth(), 250);
    EXPECT_EQ(form.Widget()->maximumHeight(), 400);
    // A stored size beyond the limits is not applied.
    EXPECT_FALSE(PlacementRectUsable(&form, Bounds(10, 10, 200, 300)));
    EXPECT_TRUE(PlacementRectUsable(&form, Bounds(10, 10, 260, 300)));

    form.Storage->SetPreventResize(true);
    limits = form.MinMaxInfo();
    EXPECT_EQ(limits.ptMinTrackSize.X, form.Width());
    EXPECT_EQ(limits.ptMaxTrackSize.Y, form.Height());
    EXPECT_FALSE(form.BorderIcons() & biMaximize);
    form.Storage->SetPreventResize(false);
    EXPECT_TRUE(form.BorderIcons() & biMaximize);
    form.Hide();
}

TEST_F(JvFormPlacementTest, StoredValuesKeepTheirKindsAndCodedTexts) {
    {
        TPlacedForm form;
        auto* values = form.Storage->StoredValues();
        auto add = [&](const AnsiString& Name, Variant Value, const AnsiString& Key = "") {
            TJvStoredValue* v = values->Add();
            v->SetName(Name);
            v->Value = Value;
            v->KeyString = Key;
            return v;
        };
        add("Count", Variant(42));
        add("Ratio", Variant(2.5));
        add("Flag", Variant(true));
        add("Title", Variant(AnsiString("Имя"_cp)));
        add("Secret", Variant(AnsiString("pw")), "k");
        TJvStoredValue* saved = add("Saved", Variant(1));
        saved->OnSave = [](TObject*, Variant& V) { V = Variant(99); };
        EXPECT_THROW(add("count", Variant(1)), EJvLibException);
        form.Show();
        form.Close();
    }
    EXPECT_EQ(Integer("Count"), 42);
    EXPECT_EQ(Integer("Saved"), 99);
    EXPECT_EQ(Text("Title"), "Имя"_cp);
    EXPECT_EQ(Text("Secret"), XorHexEncode("k", "pw"));
    RegistryWriteText(HKEY_CURRENT_USER, MainKey, "Broken", "zz");

    TPlacedForm form;
    auto* values = form.Storage->StoredValues();
    struct TRead {
        const char* Name;
        Variant Start;
        AnsiString Key;
        Variant Expected;
    } reads[] = {
        {"Count", Variant(0), "", Variant(42)},
        {"Ratio", Variant(0.0), "", Variant(2.5)},
        {"Flag", Variant(false), "", Variant(true)},
        {"Title", Variant(AnsiString()), "", Variant(AnsiString("Имя"_cp))},
        {"Secret", Variant(AnsiString()), "k", Variant(AnsiString("pw"))},
        {"Broken", Variant(AnsiString("kept")), "k", Variant(AnsiString("kept"))},
        {"Missing", Variant(7), "", Variant(7)},
    };
    for (const TRead& r : reads) {
        TJvStoredValue* v = values->Add();
        v->SetName(r.Name);
        v->Value = r.Start;
        v->KeyString = r.Key;
    }
    form.Show();
    for (int i = 0; i < values->Count(); ++i) {
        SCOPED_TRACE(reads[i].Name);
        EXPECT_EQ(values->Items(i)->Value, reads[i].Expected);
    }
}

TEST(JvFormUtilsTest, ADisabledGlyphShowsItsOutlineEmbossed) {
    TBitmap glyph(16, 16);
    glyph.Canvas()->Brush()->SetColor(clWhite);
    glyph.Canvas()->FillRect({0, 0, 16, 16});
    auto plain = BuildDisabledBitmap(&glyph, clBlack);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(plain->Pixel(x, y), ColorToRGB(clBtnFace)) << x << "," << y;
    glyph.SetPixel(3, 4, clBlack);
    glyph.SetPixel(15, 15, clBlack);
    auto result = BuildDisabledBitmap(&glyph, clBlack);
    EXPECT_EQ(result->Pixel(3, 4), ColorToRGB(clBtnShadow));
    EXPECT_EQ(result->Pixel(4, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(result->Pixel(15, 15), ColorToRGB(clBtnShadow)) << "the copy outside the glyph is cut";
    EXPECT_EQ(result->Pixel(2, 3), ColorToRGB(clBtnFace));
}

TEST(JvFormUtilsTest, TheDragCursorsAreRegistered) {
    EXPECT_EQ(Screen->Cursors(100), StandardCursor(crMultiDrag));
    EXPECT_EQ(Screen->Cursors(101), StandardCursor(crDrag));
    EXPECT_EQ(Screen->Cursors(103), StandardCursor(crMultiDrag));
}
