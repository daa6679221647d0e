// The editor control: its defaults, read-only mode, change and caret
// notifications, current styles, undo and the caret it draws.
#include "richtext/editor/control/RVEdit.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Mask.h"
#include "richtext/engine/text/RVUni.h"

TCustomZoroZudoEdit::TCustomZoroZudoEdit(TComponent* AOwner) : TCustomZoroZudo(AOwner) {
    RecreateData();
    KeyboardScroll = false;
    AlwaysVScroll = true;
    Settings().Flags = RVEditorControlFlags;
    Settings().Cursor = crIBeam;
    Settings().LiveSpellingMode = rvlspOnChange;
    SetCursor(crIBeam);
}

TCustomZoroZudoEdit::~TCustomZoroZudoEdit() {
    SetComponentState(csDestroying, true);
    // The data's records tell the control nothing more.
    EditData()->UndoList->Clear();
    EditData()->RedoList->Clear();
    // The viewer's destructor clears the document after this part is gone.
    EditData()->Editor = nullptr;
}

std::unique_ptr<TZoroZudoRVData> TCustomZoroZudoEdit::CreateData() {
    return std::make_unique<TRVEditRVData>(ControlHost(), static_cast<TRVEditorLink*>(this));
}

void TCustomZoroZudoEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (Value)
        EditData()->ActivateJumps(true);
    else
        EditData()->DeactivateJumps();
    SafeUpdateCaret(false);
    Invalidate();
}

void TCustomZoroZudoEdit::SetTabNavigation(TRVTabNavigationType Value) {
    if (Value != rvtnNone) throw EZoroZudoError(errRVNotSupportedInEditor);
    TCustomZoroZudo::SetTabNavigation(Value);
}

void TCustomZoroZudoEdit::SetCurTextStyleNo(int Value) {
    TRVEditRVData& data = *EditData();
    bool announce = Value != data.CurrentTextStyle || (data.EditStates & rvesStylesAnnounceAgain);
    data.CurrentTextStyle = Value;
    data.EditStates &= ~TRVEditStates(rvesStylesAnnounceAgain);
    if (announce && Style() && !Destroying() && OnCurTextStyleChanged) OnCurTextStyleChanged(this);
}

void TCustomZoroZudoEdit::SetCurParaStyleNo(int Value) {
    TRVEditRVData& data = *EditData();
    bool announce = Value != data.CurrentParaStyle || (data.EditStates & rvesStylesAnnounceAgain);
    data.CurrentParaStyle = Value;
    data.EditStates &= ~TRVEditStates(rvesStylesAnnounceAgain);
    if (announce && Style() && !Destroying() && OnCurParaStyleChanged) OnCurParaStyleChanged(this);
}

// ---------------------------------------------------------------- changes

bool TCustomZoroZudoEdit::DoChanging() {
    bool canEdit = true;
    if (OnChanging) OnChanging(GetRootEditor(), canEdit);
    return canEdit;
}

bool TCustomZoroZudoEdit::CanChange(bool AllowCapture) {
    TRVEditRVData& data = *EditData();
    if (GetReadOnly() || !Style() || (!AllowCapture && data.CapturedItem) || !DoChanging()) {
        Beep();
        return false;
    }
    data.PrepareEmptyDocument();
    return true;
}

void TCustomZoroZudoEdit::DoChange(bool ClearRedo) {
    Modified = true;
    EditData()->DeactivateJumps();
    if (ClearRedo) EditData()->RedoList->Clear();
    if (OnChange) OnChange(this);
}

void TCustomZoroZudoEdit::DoCaretMove() {
    if (!Destroying() && OnCaretMove) OnCaretMove(this);
}

void TCustomZoroZudoEdit::Undo() {
    // A read-only editor always beeps, whatever the style sheet says.
    if (GetReadOnly()) {
        ++BeepCount;
        ::Beep();
        return;
    }
    if (!CanUndo()) return;
    EditData()->Undo();
    // What was undone stays for redo.
    DoChange(false);
}

void TCustomZoroZudoEdit::Redo() {
    if (GetReadOnly()) {
        ++BeepCount;
        ::Beep();
        return;
    }
    if (!CanRedo()) return;
    EditData()->Redo();
    DoChange(false);
}

void TCustomZoroZudoEdit::Beep() {
    if (Style() && Style()->UseSound) {
        ++BeepCount;
        ::Beep();
    }
}

bool TCustomZoroZudoEdit::ItemTextEdit(const AnsiString& OldText, TCustomRVData* RVData, int ItemNo,
                                       TRVTag& NewTag, int& NewStyleNo) {
    if (!OnItemTextEdit) return false;
    OnItemTextEdit(GetRootEditor(), OldText, RVData, ItemNo, NewTag, NewStyleNo);
    return true;
}

// ---------------------------------------------------------------- the caret

void TCustomZoroZudoEdit::ShowSystemCaret(const TRect& Rect) {
    if (FCaretShown) InvalidateRect(FCaret);
    FCaret = Rect;
    FCaretShown = true;
    InvalidateRect(FCaret);
}

void TCustomZoroZudoEdit::HideSystemCaret() {
    if (!FCaretShown) return;
    FCaretShown = false;
    InvalidateRect(FCaret);
}

void TCustomZoroZudoEdit::SafeUpdateCaret(bool ScrollToCaret) {
    TRVEditRVData& data = *EditData();
    if (!Style() || data.HasNoDrawItems()) return;
    try {
        data.UpdateCaret(ScrollToCaret, true, false);
    } catch (const EZoroZudoError&) {
        // The caret was reset before the error: report it once, go on.
        if (!FCaretErrorReported && Application) {
            FCaretErrorReported = true;
            Application->HandleException(this);
        }
    }
}

void TCustomZoroZudoEdit::Paint() {
    TCustomZoroZudo::Paint();
    if (FCaretShown && Focused()) {
        TCanvas* canvas = Canvas();
        canvas->Brush()->SetColor(clWindowText);
        canvas->FillRect(FCaret);
    }
}

void TCustomZoroZudoEdit::DoEnter() {
    TCustomZoroZudo::DoEnter();
    EditData()->PrepareEmptyDocument();
    SafeUpdateCaret(false);
    Invalidate();
}

void TCustomZoroZudoEdit::DoExit() {
    TCustomZoroZudo::DoExit();
    if (Destroying()) return;
    EditData()->DeactivateJumps();
    HideSystemCaret();
}

void TCustomZoroZudoEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomZoroZudo::MouseUp(Button, Shift, X, Y);
    TRVEditRVData& data = *EditData();
    // Live hyperlinks (read-only, or Ctrl held) follow a left click.
    if (Button != TMouseButton::mbLeft || !(data.GetFlags() & rvflUseJumps)) return;
    int x = X + data.GetHOffs(), y = Y + data.GetVOffs();
    // The areas' drawing items give their place after any format.
    for (const auto& jump : data.Jumps) {
        if (jump->DrawItemNo < 0 || jump->DrawItemNo >= data.DrawItems.Count()) continue;
        const TRVDrawLineInfo& d = *data.DrawItems[jump->DrawItemNo];
        if (x >= d.Left && x < d.Left + d.Width && y >= d.Top && y < d.Top + d.Height) {
            data.DoJump(data.FirstJumpNo + jump->JumpNo);
            return;
        }
    }
}

void TCustomZoroZudoEdit::DoVScrolled() {
    TCustomZoroZudo::DoVScrolled();
    SafeUpdateCaret(false);
}

void TCustomZoroZudoEdit::DoHScrolled() {
    TCustomZoroZudo::DoHScrolled();
    SafeUpdateCaret(false);
}

// ---------------------------------------------------------------- keys

bool TCustomZoroZudoEdit::DeleteSelection() {
    TRVEditRVData& data = *EditData();
    if (!data.SelectionExists()) return true;
    if (!CanChange()) return false;
    bool done = data.DeleteSelection();
    if (done) Change();
    return done;
}

void TCustomZoroZudoEdit::MoveCaretByKey(uint16_t Key, TShiftState Shift) {
    TRVEditRVData& data = *EditData();
    bool shift = Shift & ssShift, ctrl = Shift & ssCtrl;
    if (shift)
        data.CollapseSelectionToCaret();
    else
        data.Deselect(false);
    switch (Key) {
    case VK_LEFT:
        data.MoveCaretLeft(shift, ctrl);
        break;
    case VK_RIGHT:
        data.MoveCaretRight(shift, ctrl);
        break;
    case VK_UP:
        data.MoveCaretUp(shift, ctrl);
        break;
    case VK_DOWN:
        data.MoveCaretDown(shift, ctrl);
        break;
    case VK_HOME:
        data.MoveCaretHome(ctrl);
        break;
    case VK_END:
        data.MoveCaretEnd(ctrl);
        break;
    case VK_PRIOR:
        data.MoveCaretPageUp();
        break;
    case VK_NEXT:
        data.MoveCaretPageDown();
        break;
    }
    if (shift) data.ExtendSelectionToCaret();
    Invalidate();
}

void TCustomZoroZudoEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    TRVEditRVData& data = *EditData();
    bool ctrl = (Shift & ssCtrl) && !(Shift & ssAlt);
    if (!Style() || data.HasNoDrawItems()) {
        TCustomZoroZudo::KeyDown(Key, Shift);
        return;
    }
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
        MoveCaretByKey(Key, Shift);
        Key = 0;
        return;
    default:
        break;
    }
    if (ctrl && (Key == 'Z' || Key == 'Y')) {
        if (Key == 'Z')
            Undo();
        else
            Redo();
        Invalidate();
        Key = 0;
        return;
    }
    if (GetReadOnly() || IsCopyShortcut(Shift, Key) || IsCutShortcut(Shift, Key)) {
        TCustomZoroZudo::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_BACK || Key == VK_DELETE) {
        if (data.SelectionExists()) {
            DeleteSelection();
        } else if (CanChange()) {
            if (Key == VK_BACK)
                data.PressBackspace(ctrl, false, false);
            else
                data.PressDelete(ctrl, false);
            Change();
        }
        Invalidate();
        Key = 0;
        return;
    }
    if (Key == VK_RETURN) {
        bool lineBreak = Shift & ssShift;
        if (!(lineBreak && (EditorOptions & rvoDoNotWantShiftReturns)) && CanChange() &&
            (!data.SelectionExists() || DeleteSelection()) && data.PressEnter(lineBreak, false)) {
            Change();
            Invalidate();
        }
        Key = 0;
        return;
    }
    TCustomZoroZudo::KeyDown(Key, Shift);
}

void TCustomZoroZudoEdit::TypeRaw(const AnsiString& Raw, char Key) {
    TRVEditRVData& data = *EditData();
    if (!CanChange()) return;
    if (data.SelectionExists() && !DeleteSelection()) return;
    data.TypeText(Raw, Key);
    Invalidate();
}

void TCustomZoroZudoEdit::KeyPress(char& Key) {
    TCustomZoroZudo::KeyPress(Key);
    auto ch = static_cast<unsigned char>(Key);
    if (!Key || ch < 32 || ch == 127 || !Style() || GetReadOnly()) return;
    TRVEditRVData& data = *EditData();
    AnsiString raw(1, Key);
    if (Style()->TextStyles().GetItem(data.GetResolvedCurTextStyle())->Unicode)
        raw = KeyboardAnsiToRawUnicode(raw);
    TypeRaw(raw, Key);
    Key = 0;
}

void TCustomZoroZudoEdit::WndProc(TMessage& Message) {
    if (Message.Msg == WM_UNICHAR && Style() && !GetReadOnly()) {
        TRVEditRVData& data = *EditData();
        bool unicode = Style()->TextStyles().GetItem(data.GetResolvedCurTextStyle())->Unicode;
        if (Message.WParam == UNICODE_NOCHAR) {
            Message.Result = unicode ? 1 : 0;
            return;
        }
        auto code = char32_t(Message.WParam);
        if (unicode && code <= 0xFFFF) {
            AnsiString raw;
            raw += char(code & 0xFF);
            raw += char(code >> 8);
            TypeRaw(raw, '?');
        }
        Message.Result = 0;
        return;
    }
    TCustomZoroZudo::WndProc(Message);
    if (Message.Msg == WM_GETDLGCODE && !GetReadOnly()) {
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
        if (EditorOptions & rvoWantTabs) Message.Result |= DLGC_WANTTAB;
    }
}
