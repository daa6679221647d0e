// The extended controls, forms, masked edit and themes: messages, events, painting and version records.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/testing/TestCanvases.h"
#include "util/JclUnitVersioning.h"
#include "util/JvComponent.h"
#include "util/JvExControls.h"
#include "util/JvExForms.h"
#include "util/JvExMask.h"
#include "util/JvThemes.h"
#include "util/JvTypes.h"

namespace {
// Logs every notification it gets and what the platform class then sees.
class TExProbe : public TJvExCustomControl {
public:
    using TJvExCustomControl::TJvExCustomControl;
    std::vector<AnsiString> Log;
    TDialogCodeFlags Adjust = 0;
    bool DropNative = false;

    // What reaches the platform class's handlers.
    void Dispatch(TMessage& Message) override {
        if (Message.Msg >= CM_BASE && Message.Msg < CM_BASE + 0x100)
            Log.push_back("platform " + IntToHex(Message.Msg, 4) + " " + IntToStr(Message.WParam) + " " +
                          IntToStr(Message.LParam != 0));
        if (Message.Msg == WM_GETDLGCODE) {
            Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
            return;
        }
        TJvExCustomControl::Dispatch(Message);
    }

protected:
    void NotifyVisibleChange() override {
        Log.push_back("visible");
        TJvExCustomControl::NotifyVisibleChange();
    }
    void NotifyMouseEnter(TControl* Control) override {
        Log.push_back(Control == this ? "enter self" : "enter other");
        TJvExCustomControl::NotifyMouseEnter(Control);
    }
    void NotifyChildListChanging(TControl*, bool Inserting) override {
        Log.push_back(Inserting ? "changing insert" : "changing remove");
    }
    void NotifyChildListChanged(TControl*, bool Inserting) override {
        Log.push_back(Inserting ? "changed insert" : "changed remove");
    }
    bool HitTestAt(int X, int Y) override {
        Log.push_back("hit " + IntToStr(X) + "," + IntToStr(Y));
        return X >= 0;
    }
    bool AcceptsDialogChar(uint16_t Key, TShiftState Shift, const WideString& KeyText) override {
        Log.push_back("char " + IntToStr(Key) + " " + IntToStr(Shift) + " " + WideToAnsi(KeyText));
        return Key == 'A';
    }
    void AdjustDialogCodes(TDialogCodeFlags& Codes) override {
        Codes |= Adjust;
        if (DropNative) Codes &= ~dcfNative;
    }
    void NotifyBoundsChange() override { Log.push_back("bounds"); }
    bool EraseBackground(TCanvas* Canvas, int Param) override {
        Canvas->MoveOrigin(5, 5); // undone by the caller
        Log.push_back("erase " + IntToStr(Param));
        if (Param == 99) throw Exception("erase failed");
        return true;
    }
};

struct JvExTest : ::testing::Test {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TExProbe* Probe = new TExProbe(Form.get());
    JvExTest() {
        Probe->SetParent(Form.get());
        Probe->SetBounds(0, 0, 40, 30);
        Probe->Log.clear();
    }
};
} // namespace

TEST(JvExFlagsTest, KeyFlagsAndDialogCodes) {
    EXPECT_EQ(ShiftStateToKeyFlags(0), 0u);
    EXPECT_EQ(ShiftStateToKeyFlags(ssAlt | ssCtrl | ssShift | ssLeft), 0x38000000u);
    EXPECT_EQ(ShiftStateToKeyFlags(ssCtrl), 0x10000000u);
    EXPECT_EQ(DlgcToDialogCodeFlags(DLGC_WANTTAB | DLGC_BUTTON | 0x100), dcfWantTab | dcfButton);
    unsigned all =
        DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_BUTTON | DLGC_HASSETSEL | DLGC_WANTTAB;
    EXPECT_EQ(DialogCodeFlagsToDlgc(DlgcToDialogCodeFlags(all) | dcfNative), all) << "dcfNative is dropped";
}

TEST_F(JvExTest, NotificationsReachTheirOperationsAndThePlatform) {
    Probe->SetVisible(false);
    EXPECT_EQ(Probe->Log, (std::vector<AnsiString>{"visible", "platform B00B 0 0"}));
    Probe->Log.clear();
    EXPECT_EQ(Probe->Perform(CM_HITTEST, 0, MAKELPARAM(-3, 7)), 0);
    EXPECT_EQ(Probe->Perform(CM_HITTEST, 0, MAKELPARAM(3, 7)), 1);
    EXPECT_EQ(Probe->Perform(CM_DIALOGCHAR, 'A', AltMask), 1);
    EXPECT_EQ(Probe->Perform(CM_JVEXTENDEDQUERY, 0, 0), 0);
    EXPECT_EQ(Probe->Log, (std::vector<AnsiString>{"hit -3,7", "hit 3,7", "char 65 2 A"}));
}

TEST_F(JvExTest, MouseEnterAndLeaveAroundThePlatform) {
    std::vector<AnsiString> order;
    Probe->OnMouseEnter = [&](TObject*) {
        order.push_back("OnMouseEnter " + IntToStr(Probe->MouseInside()));
    };
    Probe->OnMouseLeave = [&](TObject*) {
        order.push_back("seen by platform " + IntToStr(Probe->Log.size()));
        order.push_back("OnMouseLeave " + IntToStr(Probe->MouseInside()));
    };
    Probe->Perform(CM_MOUSEENTER, 0, LPARAM(Probe));
    EXPECT_EQ(order, (std::vector<AnsiString>{"OnMouseEnter 1"}));
    EXPECT_EQ(Probe->Log, (std::vector<AnsiString>{"enter self", "platform B013 0 1"}))
        << "the event comes first";
    Probe->Perform(CM_MOUSELEAVE, 0, LPARAM(Probe));
    EXPECT_EQ(order.back(), "OnMouseLeave 0");
    EXPECT_EQ(order[1], "seen by platform 3") << "the platform saw the leave before the event";
}

TEST_F(JvExTest, ChildListNotificationsKeepThePlatformOrder) {
    auto* child = new TExProbe(Form.get());
    child->SetParent(Probe);
    child->SetParent(nullptr);
    EXPECT_EQ(Probe->Log, (std::vector<AnsiString>{"changing insert", "changed insert", "changing remove",
                                                   "changed remove"}));
    delete child;
}

TEST_F(JvExTest, DialogCodesChangeOnlyWhenNativeIsDropped) {
    Probe->Adjust = dcfWantTab;
    EXPECT_EQ(Probe->Perform(WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS | DLGC_WANTCHARS));
    Probe->DropNative = true;
    EXPECT_EQ(Probe->Perform(WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB));
}

TEST_F(JvExTest, EraseBackgroundRestoresTheCanvasAlsoOnError) {
    TRecordingCanvas canvas;
    EXPECT_EQ(Probe->Perform(WM_ERASEBKGND, WPARAM(static_cast<TCanvas*>(&canvas)), 4), 1);
    EXPECT_EQ(canvas.Origin(), (TPoint{0, 0}));
    EXPECT_THROW(Probe->Perform(WM_ERASEBKGND, WPARAM(static_cast<TCanvas*>(&canvas)), 99), Exception);
    EXPECT_EQ(canvas.Origin(), (TPoint{0, 0}));
    Probe->SetWidth(60);
    EXPECT_EQ(Probe->Log.back(), "bounds");
}

TEST_F(JvExTest, HintColourComesFromTheControlTheApplicationOrTheParent) {
    THintInfo info;
    info.HintColor = clYellow;
    TExProbe orphan(nullptr);
    orphan.Perform(CM_HINTSHOW, 0, LPARAM(&info));
    EXPECT_EQ(info.HintColor, clYellow) << "clDefault without a parent keeps the record's colour";

    auto* child = new TExProbe(Form.get());
    child->SetParent(Probe);
    Probe->HintBackColor = clRed;
    child->Perform(CM_HINTSHOW, 0, LPARAM(&info));
    EXPECT_EQ(info.HintColor, clRed) << "clDefault asks the parent";
    child->HintBackColor = clNone;
    child->Perform(CM_HINTSHOW, 0, LPARAM(&info));
    EXPECT_EQ(info.HintColor, Application->HintColor());
    child->HintBackColor = clLime;
    THintWindowClass special{"TSpecialHint"};
    child->HintWindowClassOverride = &special;
    child->Perform(CM_HINTSHOW, 0, LPARAM(&info));
    EXPECT_EQ(info.HintColor, clLime);
    EXPECT_EQ(info.HintWindowClass, &special);
}

TEST_F(JvExTest, HighlightFrameFollowsMouseAndFocus) {
    Probe->SetColor(clWhite);
    Probe->SetDotNetHighlighting(true);
    TBitmap shot(40, 30);
    Probe->PaintTo(shot.Canvas(), 0, 0);
    EXPECT_EQ(shot.Pixel(0, 0), clGray);
    EXPECT_EQ(shot.Pixel(1, 1), clWhite);
    Probe->Perform(CM_MOUSEENTER, 0, LPARAM(Probe));
    Probe->PaintTo(shot.Canvas(), 0, 0);
    EXPECT_EQ(shot.Pixel(0, 0), RGB(0, 56, 115));
    EXPECT_EQ(shot.Pixel(1, 1), RGB(0, 56, 115));
    EXPECT_EQ(shot.Pixel(2, 2), clWhite);
}

TEST(JvExMaskTest, ClipboardGateSwallowsRefusedCommands) {
    TForm form(nullptr);
    auto* edit = new TJvExCustomMaskEdit(&form);
    edit->SetParent(&form);
    edit->SetText("12345");
    edit->SelectAll();
    edit->SetClipboardCommands(0);
    for (unsigned msg : {WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, WM_UNDO, EM_UNDO})
        EXPECT_EQ(edit->Perform(msg, 0, 0), 1) << std::hex << msg;
    EXPECT_EQ(edit->Text(), "12345");
    edit->SetClipboardCommands(caClear | caUndo);
    edit->ClearSelection();
    EXPECT_EQ(edit->Text(), "");
    edit->Undo();
    EXPECT_EQ(edit->Text(), "12345");
}

namespace {
struct TBeepingEdit : TJvExCustomMaskEdit {
    using TJvExCustomMaskEdit::SignalInputError;
    using TJvExCustomMaskEdit::TJvExCustomMaskEdit;
};
} // namespace

TEST(JvExMaskTest, InputErrorsBeepOnlyWhenAsked) {
    TBeepingEdit edit(nullptr);
    int before = BeepCount();
    edit.SignalInputError();
    EXPECT_EQ(BeepCount(), before + 1);
    edit.SetBeepOnError(false);
    edit.SignalInputError();
    EXPECT_EQ(BeepCount(), before + 1);
}

namespace {
struct TCueForm : TJvForm {
    using TJvForm::TJvForm;
    std::vector<WPARAM> Cues;
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == WM_CHANGEUISTATE) Cues.push_back(Message.WParam);
        TJvForm::Dispatch(Message);
    }
};
} // namespace

TEST(JvFormTest, KeyboardCuesComeBeforeTheDialogKey) {
    TCueForm form(nullptr);
    form.Perform(CM_DIALOGKEY, VK_LEFT, 0);
    form.Perform(CM_DIALOGKEY, VK_MENU, 0);
    form.Perform(CM_DIALOGKEY, VK_RETURN, 0);
    EXPECT_EQ(form.Cues, (std::vector<WPARAM>{0x10002, 0x30002}));
    form.Show();
    form.Perform(CM_SHOWINGCHANGED, 0, 0);
    EXPECT_EQ(form.Cues.back(), UIS_INITIALIZE);
    form.Hide();
}

TEST(JvFormTest, AFormThatTakesNoFocusIsNotActivatedByAClick) {
    TJvForm form(nullptr);
    EXPECT_NE(form.Perform(WM_MOUSEACTIVATE, 0, 0), LRESULT(MA_NOACTIVATE));
    form.SetIsFocusable(false);
    EXPECT_EQ(form.Perform(WM_MOUSEACTIVATE, 0, 0), LRESULT(MA_NOACTIVATE));
}

TEST(JvFormTest, ShownFormsFindTheirOwnerWindow) {
    TForm main(nullptr);
    Application->SetMainForm(&main);
    TForm other(nullptr);
    TJvForm form(nullptr);
    form.Show();
    EXPECT_EQ(form.WindowOwner(), &main) << "the main form owns a plain form";
    form.Hide();
    form.SetWindowOwner(&other);
    form.SetFormStyle(TFormStyle::fsStayOnTop);
    form.Show();
    EXPECT_EQ(form.WindowOwner(), nullptr) << "a stay-on-top form goes to the application window";
    form.Hide();
    Application->SetMainForm(nullptr);
}

TEST(JvFormTest, ShowWithoutActivationRunsTheActivationHandlerWhenAsked) {
    TJvForm form(nullptr);
    int activated = 0;
    form.OnActivate = [&](TObject*) { ++activated; };
    form.ShowWithoutActivation(false);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(activated, 0);
    form.Hide();
    form.ShowWithoutActivation(true);
    EXPECT_EQ(activated, 1);
    form.Hide();
}

TEST(JvThemesTest, ButtonFaceShrinksByTheBevelAndShowsFocus) {
    TRecordingCanvas canvas;
    CurrentThemeServices()->SetThemesEnabled(false);
    TRect classic = PaintThemedButtonFace(nullptr, &canvas, {0, 0, 40, 20}, 1, TButtonStyle::bsNew, false,
                                          false, false, false);
    EXPECT_EQ(classic, (TRect{1, 1, 39, 19})) << "one raised ring";
    CurrentThemeServices()->SetThemesEnabled(true);
    canvas.Log.clear();
    TRect content = CurrentThemeServices()->ContentRect(TThemedButton::tbPushButtonDefaulted, {0, 0, 40, 20});
    TRect themed = PaintThemedButtonFace(nullptr, &canvas, {0, 0, 40, 20}, 2, TButtonStyle::bsNew, false,
                                         false, true, false);
    InflateRect(content, -2, -2);
    EXPECT_EQ(themed, content);
    EXPECT_EQ(canvas.Calls("Bitmap").size(), 1u) << "the themed face";
    EXPECT_EQ(canvas.Calls("Focus").size(), 1u) << "a focus rectangle when focused";
    canvas.Log.clear();
    PaintThemedButtonFace(nullptr, &canvas, {0, 0, 40, 20}, 2, TButtonStyle::bsWin31, false, false, true,
                          false);
    EXPECT_TRUE(canvas.Calls("Bitmap").empty()) << "the old style is always classic";
}

TEST(JvThemesTest, CursorOverControlAndThemeStyles) {
    TForm form(nullptr);
    form.SetBounds(100, 50, 200, 100);
    auto* c = new TExProbe(&form);
    c->SetParent(&form);
    c->SetBounds(10, 10, 20, 20);
    Mouse.SetCursorPos({115, 65});
    EXPECT_TRUE(IsCursorOverControl(c));
    Mouse.SetCursorPos({131, 65});
    EXPECT_FALSE(IsCursorOverControl(c));
    TControlStyle before = c->ControlStyle();
    AddThemeControlStyle(c, csNeedsBorderPaint | csOpaque | csAcceptsControls);
    EXPECT_EQ(c->ControlStyle(), before | csNeedsBorderPaint);
}

TEST(JvTypesTest, ColourTables) {
    EXPECT_EQ(StandardColorTable[19].ColorValue, clMedGray);
    EXPECT_STREQ(StandardColorTable[3].DisplayName, "Olive green");
    EXPECT_EQ(PaletteColorTable[1].ColorValue, RGB(153, 51, 0));
    EXPECT_STREQ(PaletteColorTable[39].IdentName, "clWhite");
    EXPECT_EQ(SystemColorTable[15].ColorValue, clBtnFace);
    EXPECT_EQ(SystemColorTable[27].ColorValue, clHotLight);
}

TEST(JvUnitVersionTest, EveryUnitOfTheExtendedControlsIsRegistered) {
    // Units that hold nothing but their record are registered too, though no
    // code of the program calls into them.
    TUnitVersioningModule* module = SharedUnitVersionRegistry()->FindModule(HInstance());
    ASSERT_NE(module, nullptr);
    std::vector<std::string> urls;
    for (int i = 0; i < module->Count(); ++i)
        urls.push_back(module->Items(i)->Info()->UrlKeyword);
    for (const char* unit :
         {"JvExControls",  "JvExMask",  "JvExForms",    "JvComponent",     "JvThemes",
          "JvResources",   "JvTypes",   "JvExStdCtrls", "JvProgressUtils", "JvButton",
          "JvSpeedButton", "JvExGrids", "JvPickDate",   "JvBaseDlg",       "JvBrowseFolder",
          "JvToolEdit",    "JvCaret",   "JvMaskEdit",   "JvMaxPixel",      "JvFixedEditPopUp",
          "JvEdit"}) {
        std::string url = std::string("$URL: util/") + unit + ".cpp $";
        EXPECT_NE(std::find(urls.begin(), urls.end(), url), urls.end()) << unit;
    }
}
