// Extended control base classes: mouse enter and leave with events, a hint
// colour of the control's own, the platform's change notifications as
// overridable operations, and an optional focus and hover frame.
#pragma once

#include <cstdint>

#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"

// Dialog-code flags, bit i for flag i.
enum TDialogCodeFlag : unsigned {
    dcfWantAllKeys = 1u << 0,
    dcfWantArrows = 1u << 1,
    dcfWantChars = 1u << 2,
    dcfButton = 1u << 3,
    dcfHasSetSel = 1u << 4,
    dcfWantTab = 1u << 5,
    dcfNative = 1u << 6, // leave the platform's answer untouched
};
using TDialogCodeFlags = unsigned;

TDialogCodeFlags DlgcToDialogCodeFlags(unsigned Dlgc);
unsigned DialogCodeFlagsToDlgc(TDialogCodeFlags Flags); // dcfNative is dropped
// ssAlt 0x20000000, ssCtrl 0x10000000, ssShift 0x08000000.
uint32_t ShiftStateToKeyFlags(TShiftState Shift);

// clNone: the application's hint colour; clDefault: the parent's answer to
// the hint message (unchanged without a parent); any other colour as it is.
void ResolveHintColor(THintInfo& HintInfo, TControl* Control, TColor Color);

// Offers a message of a control being designed to its form's designer.
// Nothing is designed at run time, so nothing is routed.
bool RouteDesignMessage(TControl* Control, TMessage& Message);

// A message that carries a pointer to a record through the dispatch.
struct TStructPtrMessage {
    TStructPtrMessage(unsigned Msg, WPARAM WParam, void* LParam) : Msg{Msg, WParam, LPARAM(LParam), 0} {}
    TMessage Msg;
};

enum class TJvLibAboutInfo { JvLibAbout };

// Marks the library's extended controls.
class IJvExtendedMarker {
public:
    static constexpr const char* GUID = "{8E6579C3-D683-4562-AFAB-D23C8526E386}";
    virtual ~IJvExtendedMarker() = default;
};

// Message number of the extended-interface question nobody asks.
constexpr unsigned CM_JVEXTENDEDQUERY = 0xB7D0;

// The services every extended class adds, on top of the platform class
// TBase.
template <class TBase> class TJvExControlBase : public TBase, public IJvExtendedMarker {
public:
    explicit TJvExControlBase(TComponent* AOwner) : TBase(AOwner) {}

    TColor HintBackColor = clDefault;
    bool MouseInside() const { return FMouseInside; }
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnAfterParentColorChange;
    const THintWindowClass* HintWindowClassOverride = nullptr;
    TJvLibAboutInfo AboutJvLib = TJvLibAboutInfo::JvLibAbout;

protected:
    // The platform class's own handling of a fresh message.
    LRESULT InheritedMsg(unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0) {
        TMessage m{Msg, WParam, LParam, 0};
        TBase::WndProc(m);
        return m.Result;
    }

    virtual void NotifyTextChange() { InheritedMsg(CM_TEXTCHANGED); }
    virtual bool AcceptsDialogChar(uint16_t Key, TShiftState Shift, const WideString& KeyText) {
        (void)KeyText;
        return InheritedMsg(CM_DIALOGCHAR, Key, LPARAM(ShiftStateToKeyFlags(Shift))) != 0;
    }
    virtual bool HitTestAt(int X, int Y) { return InheritedMsg(CM_HITTEST, 0, MAKELPARAM(X, Y)) != 0; }
    virtual void NotifyFocusChange(TControl* Control) { InheritedMsg(CM_FOCUSCHANGED, 0, LPARAM(Control)); }
    virtual void NotifyVisibleChange() { InheritedMsg(CM_VISIBLECHANGED); }
    virtual void NotifyEnabledChange() { InheritedMsg(CM_ENABLEDCHANGED); }
    virtual void NotifyColorChange() { InheritedMsg(CM_COLORCHANGED); }
    virtual void NotifyFontChange() { InheritedMsg(CM_FONTCHANGED); }
    virtual void NotifyParentFontChange() { InheritedMsg(CM_PARENTFONTCHANGED); }
    virtual void NotifyParentColorChange() {
        InheritedMsg(CM_PARENTCOLORCHANGED);
        if (OnAfterParentColorChange) OnAfterParentColorChange(this);
    }
    virtual void NotifyParentShowHintChange() { InheritedMsg(CM_PARENTSHOWHINTCHANGED); }
    virtual bool PrepareHint(THintInfo& HintInfo) {
        ResolveHintColor(HintInfo, this, HintBackColor);
        if (HintWindowClassOverride) HintInfo.HintWindowClass = HintWindowClassOverride;
        TStructPtrMessage message(CM_HINTSHOW, 0, &HintInfo);
        TBase::WndProc(message.Msg);
        return message.Msg.Result != 0;
    }
    virtual void NotifyMouseEnter(TControl* Control) {
        FMouseInside = true;
        if (OnMouseEnter) OnMouseEnter(this);
        InheritedMsg(CM_MOUSEENTER, 0, LPARAM(Control));
    }
    virtual void NotifyMouseLeave(TControl* Control) {
        FMouseInside = false;
        InheritedMsg(CM_MOUSELEAVE, 0, LPARAM(Control));
        if (OnMouseLeave) OnMouseLeave(this);
    }

    // The table every extended class shares; true when it took Message.
    bool DispatchCommon(TMessage& Message) {
        switch (Message.Msg) {
        case CM_DIALOGCHAR: {
            uint16_t key = uint16_t(Message.WParam & 0xFFFF);
            WideString text(1, Cp1251ToUnicode(static_cast<unsigned char>(key & 0xFF)));
            Message.Result = AcceptsDialogChar(key, KeyDataToShiftState(Message.LParam), text) ? 1 : 0;
            return true;
        }
        case CM_FOCUSCHANGED:
            NotifyFocusChange(reinterpret_cast<TControl*>(Message.LParam));
            return true;
        case CM_PARENTFONTCHANGED:
            NotifyParentFontChange();
            return true;
        case CM_PARENTCOLORCHANGED:
            NotifyParentColorChange();
            return true;
        case CM_HITTEST:
            Message.Result = HitTestAt(LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)) ? 1 : 0;
            return true;
        case CM_VISIBLECHANGED:
            NotifyVisibleChange();
            return true;
        case CM_ENABLEDCHANGED:
            NotifyEnabledChange();
            return true;
        case CM_COLORCHANGED:
            NotifyColorChange();
            return true;
        case CM_FONTCHANGED:
            NotifyFontChange();
            return true;
        case CM_TEXTCHANGED:
            NotifyTextChange();
            return true;
        case CM_MOUSEENTER:
            NotifyMouseEnter(reinterpret_cast<TControl*>(Message.LParam));
            return true;
        case CM_MOUSELEAVE:
            NotifyMouseLeave(reinterpret_cast<TControl*>(Message.LParam));
            return true;
        case CM_PARENTSHOWHINTCHANGED:
            NotifyParentShowHintChange();
            return true;
        case CM_HINTSHOW:
            Message.Result = PrepareHint(*reinterpret_cast<THintInfo*>(Message.LParam)) ? 1 : 0;
            return true;
        case CM_JVEXTENDEDQUERY:
            Message.Result = 0;
            return true;
        default:
            return false;
        }
    }

private:
    bool FMouseInside = false;
};

class TJvExGraphicControl : public TJvExControlBase<TGraphicControl> {
public:
    explicit TJvExGraphicControl(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
};

// The windowed classes add focus, bounds, erasing, dialog codes, child list
// notifications and the highlight frame.
template <class TBase> class TJvExWinControl : public TJvExControlBase<TBase> {
public:
    explicit TJvExWinControl(TComponent* AOwner) : TJvExControlBase<TBase>(AOwner) {}

    bool DotNetHighlighting() const { return FDotNetHighlighting; }
    void SetDotNetHighlighting(bool Value) {
        FDotNetHighlighting = Value;
        this->Invalidate();
    }

    void WndProc(TMessage& Message) override {
        if (RouteDesignMessage(this, Message)) return;
        if (!this->DispatchCommon(Message) && !DispatchWindowed(Message)) TBase::WndProc(Message);
        if (!FDotNetHighlighting) return;
        switch (Message.Msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_NCPAINT:
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            // The frame is part of the next paint.
            this->Invalidate();
            break;
        case WM_PAINT:
            if (Message.WParam) DrawHighlightFrame(reinterpret_cast<TCanvas*>(Message.WParam));
            break;
        default:
            break;
        }
    }

protected:
    using TJvExControlBase<TBase>::InheritedMsg;

    virtual void NotifyBoundsChange() {}
    virtual void AdjustDialogCodes(TDialogCodeFlags& Codes) { (void)Codes; }
    virtual void NotifyFocusSet(void* PreviousWnd) { InheritedMsg(WM_SETFOCUS, WPARAM(PreviousWnd)); }
    virtual void NotifyFocusKilled(void* NextWnd) { InheritedMsg(WM_KILLFOCUS, WPARAM(NextWnd)); }
    virtual bool EraseBackground(TCanvas* Canvas, int Param) {
        return InheritedMsg(WM_ERASEBKGND, WPARAM(Canvas), LPARAM(Param)) != 0;
    }
    virtual void NotifyCursorChange() { InheritedMsg(CM_CURSORCHANGED); }
    virtual void NotifyShowingChange() { InheritedMsg(CM_SHOWINGCHANGED); }
    virtual void NotifyShowHintChange() { InheritedMsg(CM_SHOWHINTCHANGED); }
    // The platform's order: list-change before and control-change after an
    // insertion, control-change before and list-change after a removal.
    virtual void NotifyChildListChanging(TControl* Control, bool Inserting) {
        InheritedMsg(Inserting ? CM_CONTROLLISTCHANGE : CM_CONTROLCHANGE, WPARAM(Control), Inserting ? 1 : 0);
    }
    virtual void NotifyChildListChanged(TControl* Control, bool Inserting) {
        InheritedMsg(Inserting ? CM_CONTROLCHANGE : CM_CONTROLLISTCHANGE, WPARAM(Control), Inserting ? 1 : 0);
    }

    // The focus and hover frame: grey, or the highlight colour with the
    // mouse inside or the focus here; inside it the control's colour or the
    // highlight colour.
    void DrawHighlightFrame(TCanvas* Canvas) {
        const TColor highlight = RGB(0, 56, 115);
        bool lit = this->MouseInside() || this->Focused();
        TColor savedColor = Canvas->Brush()->Color();
        TBrushStyle savedStyle = Canvas->Brush()->Style();
        TRect r{0, 0, this->Width(), this->Height()};
        Canvas->Brush()->SetColor(lit ? highlight : clGray);
        Canvas->FrameRect(r);
        InflateRect(r, -1, -1);
        Canvas->Brush()->SetColor(lit ? highlight : this->Color());
        Canvas->FrameRect(r);
        Canvas->Brush()->SetColor(savedColor);
        Canvas->Brush()->SetStyle(savedStyle);
    }

private:
    bool DispatchWindowed(TMessage& Message) {
        switch (Message.Msg) {
        case CM_CURSORCHANGED:
            NotifyCursorChange();
            return true;
        case CM_SHOWINGCHANGED:
            NotifyShowingChange();
            return true;
        case CM_SHOWHINTCHANGED:
            NotifyShowHintChange();
            return true;
        case CM_CONTROLLISTCHANGE: {
            auto* child = reinterpret_cast<TControl*>(Message.WParam);
            if (Message.LParam)
                NotifyChildListChanging(child, true);
            else
                NotifyChildListChanged(child, false);
            return true;
        }
        case CM_CONTROLCHANGE: {
            auto* child = reinterpret_cast<TControl*>(Message.WParam);
            if (Message.LParam)
                NotifyChildListChanged(child, true);
            else
                NotifyChildListChanging(child, false);
            return true;
        }
        case WM_SIZE:
            TBase::WndProc(Message);
            NotifyBoundsChange();
            return true;
        case WM_SETFOCUS:
            NotifyFocusSet(reinterpret_cast<void*>(Message.WParam));
            return true;
        case WM_KILLFOCUS:
            NotifyFocusKilled(reinterpret_cast<void*>(Message.WParam));
            return true;
        case WM_ERASEBKGND: {
            auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
            if (!canvas) return false;
            canvas->SaveState();
            TScopeGuard restore([canvas] { canvas->RestoreState(); });
            Message.Result = EraseBackground(canvas, int(Message.LParam)) ? 1 : 0;
            return true;
        }
        case WM_GETDLGCODE: {
            TBase::WndProc(Message);
            TDialogCodeFlags codes = DlgcToDialogCodeFlags(unsigned(Message.Result)) | dcfNative;
            AdjustDialogCodes(codes);
            if (!(codes & dcfNative)) Message.Result = LRESULT(DialogCodeFlagsToDlgc(codes));
            return true;
        }
        default:
            return false;
        }
    }

    bool FDotNetHighlighting = false;
};

class TJvExCustomControl : public TJvExWinControl<TCustomControl> {
public:
    explicit TJvExCustomControl(TComponent* AOwner);
};
